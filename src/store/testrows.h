#pragma once

// The stored tests as rows for the readers that go through many of them (the
// complete export, the progress chart): every field in layout order as the
// UTF-8 bytes the file holds, in ascending key order, from one snapshot of
// the table, without a QVariant per value.

#include <QByteArrayView>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace store {

class CopyRows;

class TestRows {
public:
    // Says why a read failed; it must throw (the caller's failure).
    using Failing = std::function<void(const QString &reason)>;

    // All tests of the test table behind `db`.
    TestRows(const QSqlDatabase &db, Failing fail);
    // The tests of one athlete, name and surname as stored (empty matches
    // an empty field).
    TestRows(const QSqlDatabase &db, const QString &name, const QString &surname, Failing fail);
    ~TestRows();
    TestRows(const TestRows &) = delete;
    TestRows &operator=(const TestRows &) = delete;

    // Steps to the next row; false after the last.
    bool next();
    // A field of the current row, valid until the next step; an empty
    // (NULL) field is a null view.
    QByteArrayView field(int index) const;
    int fieldCount() const { return m_fieldCount; }

private:
    void prepare(const QSqlDatabase &db, const QString &where);
    [[noreturn]] void fail();
    [[noreturn]] void failWith(const QString &reason);

    Failing m_fail;
    sqlite3 *m_handle = nullptr;
    sqlite3_stmt *m_statement = nullptr;
    int m_fieldCount = 0;
    QByteArray m_name;
    QByteArray m_surname;
    std::unique_ptr<CopyRows> m_copy;   // on a database server
};

} // namespace store
