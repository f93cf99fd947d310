#pragma once

#include <QByteArrayView>
#include <QString>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace store {

class Table;
class CopyRows;

// A read-only query over one table, for the export.  The one text it knows is
// "Select * from <file name> " (as the export sets it): every record with all
// fields in layout order, in ascending key order.  Fields are read by their
// 1-based position.
//
// It steps through the rows on the table's own SQLite connection without
// turning every value into a QVariant: the export reads a hundred thousand
// tests at the speed of the file.
class Query {
public:
    explicit Query(Table &table);
    ~Query();
    Query(const Query &) = delete;
    Query &operator=(const Query &) = delete;

    void setText(const QString &text) { close(); m_text = text; }
    QString text() const { return m_text; }
    void clear() { setText(QString()); }

    // Runs the text anew and stands on the first result record.
    void open();
    void close();
    bool isOpen() const { return m_statement != nullptr || m_copy != nullptr; }

    qint64 recordCount() const { return m_count; }
    void first();
    void next();
    bool eof() const { return m_eof; }
    int fieldCount() const { return m_fieldCount; }
    // The text form of a field of the current record (empty past the end).
    QString fieldText(int position) const;
    // The same as UTF-8 bytes, valid until the next move.
    QByteArrayView fieldUtf8(int position) const;

private:
    void step();
    void openOnServer(const QString &columns, const QString &table);
    void stepOnServer();
    void endServerRead();
    [[noreturn]] void fail() const;

    Table &m_table;
    QString m_text;
    sqlite3 *m_handle = nullptr;
    sqlite3_stmt *m_statement = nullptr;
    bool m_eof = true;
    bool m_atFirst = false;
    qint64 m_count = 0;
    int m_fieldCount = 0;
    std::unique_ptr<CopyRows> m_copy;   // on a database server
    bool m_inServerRead = false;        // its snapshot transaction is open
};

} // namespace store
