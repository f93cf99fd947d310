#pragma once

// Reading stored tests for documents made from them (the test report): one
// test by its key, and one athlete's tests of one exercise up to a key.  The
// report reads only through this interface, so another kind of store only
// has to offer these two reads.

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace store {

class Table;

class TestReader {
public:
    virtual ~TestReader() = default;

    // The test's fields as text in the test table's layout order (an empty
    // field as an empty text); nothing when no test has that number.
    virtual std::optional<QStringList> test(qint64 testnr) = 0;

    // The tests of one athlete (name and surname as stored) in one exercise
    // whose numbers are at most `lastTestnr`, in ascending order of their
    // numbers.  Only these tests are read, not the whole table.
    virtual QList<QStringList> athleteTests(const QString &name, const QString &surname, const QString &exercise,
                                            qint64 lastTestnr) = 0;

    // A failure of either read throws a StoreError naming the file.

    // The name of profile `number` in the profile table; nothing when there
    // is no such profile or no profile table to read: a report goes without.
    virtual std::optional<QString> profileName(qint32 /*number*/) { return std::nullopt; }
};

// The reads on the SQLite test table.
class SqliteTestReader : public TestReader {
public:
    // On the connection of an open table (the windows' tables).
    explicit SqliteTestReader(const Table &table);
    // Opens "TestTable.DB" in `folder` read-only: nothing is created or
    // changed there.  A missing folder or file, a file that is no test table
    // of this program or that cannot be read throws a StoreError.  The
    // profile names come from "Profil.db" there, also read-only.
    static std::unique_ptr<SqliteTestReader> openFile(const QString &folder);
    ~SqliteTestReader() override;

    // The connection the reads use (the complete export reads on it too).
    const QSqlDatabase &database() const { return m_db; }

    // The profile names come from `profiles` (an open profile table).
    void readProfilesFrom(const Table &profiles);

    std::optional<QStringList> test(qint64 testnr) override;
    QList<QStringList> athleteTests(const QString &name, const QString &surname, const QString &exercise,
                                    qint64 lastTestnr) override;
    std::optional<QString> profileName(qint32 number) override;

private:
    SqliteTestReader(const QSqlDatabase &db, const QString &folder, const QString &ownConnection);
    [[noreturn]] void fail(const QString &reason) const;

    QSqlDatabase m_db;
    QString m_folder;
    QString m_ownConnection;   // set when this reader opened the file itself
    QString m_columns;
    QSqlDatabase m_profiles;          // invalid when there is none to read
    QString m_ownProfilesConnection;  // set when this reader opened the file itself
};

} // namespace store
