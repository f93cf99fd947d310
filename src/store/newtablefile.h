#pragma once

#include "store/layout.h"

#include <QByteArrayView>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace store {

// A new table file filled in one go, as a conversion writes it: created
// readable by its owner only and laid out for `layout`, filled without a
// rollback journal, and trusted only once finish() made it durable.  A file
// not finished is removed again.  Failures throw a StoreError whose reason
// says what failed.
class NewTableFile {
public:
    // `path` must not exist.
    NewTableFile(const QString &path, const Layout &layout);
    ~NewTableFile();
    NewTableFile(const NewTableFile &) = delete;
    NewTableFile &operator=(const NewTableFile &) = delete;

    // The values of the next record by field position (0 is the key).  Text
    // bound with `copy` false must stay valid until insert().
    void bindNull(int field);
    void bindInteger(int field, qint64 value);
    void bindText(int field, QByteArrayView utf8, bool copy = true);
    void insert();
    // Commits the records, closes the file and makes it durable.
    void finish();

private:
    // Ends the connection; removes the file unless it was finished.
    void close();
    [[noreturn]] void fail(const QString &what);
    void exec(const QString &sql);

    QString m_path;
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_insert = nullptr;
    bool m_done = false;
};

} // namespace store
