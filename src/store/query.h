#pragma once

#include <QSqlQuery>
#include <QString>

namespace store {

class Table;

// A read-only query over one table, for the export.  The one text it knows is
// "Select * from <file name> " (as the export sets it): every record with all
// fields in layout order, in ascending key order.  Fields are read by their
// 1-based position.
class Query {
public:
    explicit Query(Table &table);

    void setText(const QString &text) { close(); m_text = text; }
    QString text() const { return m_text; }
    void clear() { setText(QString()); }

    // Runs the text anew and stands on the first result record.
    void open();
    void close();
    bool isOpen() const { return m_open; }

    qint64 recordCount() const { return m_count; }
    void first();
    void next();
    bool eof() const { return m_eof; }
    int fieldCount() const { return m_fieldCount; }
    QString fieldText(int position) const;

private:
    void run();

    Table &m_table;
    QString m_text;
    QSqlQuery m_query;
    bool m_open = false;
    bool m_eof = true;
    bool m_atFirst = false;
    qint64 m_count = 0;
    int m_fieldCount = 0;
};

} // namespace store
