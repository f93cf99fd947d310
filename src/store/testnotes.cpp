#include "store/testnotes.h"

#include "store/analysisviews.h"
#include "store/postgres.h"
#include "store/sqlitefile.h"
#include "store/table.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace store {
namespace {

SqlDialect dialectOf(const QSqlDatabase &db)
{
    return isPostgres(db) ? SqlDialect::Postgres : SqlDialect::Sqlite;
}

[[noreturn]] void failRead(const QSqlError &error)
{
    throw StoreError(core::Failure::Kind::ReadFailed, QString(),
                     QCoreApplication::translate("Store", "The notes of the tests could not be read: %1").arg(errorText(error)));
}

TestNote noteOf(const QSqlQuery &query, int first)
{
    TestNote note;
    note.text = query.value(first).toString();
    note.valid = query.value(first + 1).isNull() || query.value(first + 1).toBool();
    note.tester = query.value(first + 2).toString();
    return note;
}

} // namespace

QString createTestNotesStatement(SqlDialect dialect)
{
    if (dialect == SqlDialect::Postgres)
        return QStringLiteral("CREATE TABLE IF NOT EXISTS \"TestNotes\" (\"Testnr\" BIGINT PRIMARY KEY, \"Note\" TEXT, "
                              "\"Valid\" BOOLEAN NOT NULL DEFAULT true, \"Tester\" TEXT)");
    return QStringLiteral("CREATE TABLE IF NOT EXISTS \"TestNotes\" (\"Testnr\" INTEGER PRIMARY KEY, \"Note\" TEXT, "
                          "\"Valid\" INTEGER NOT NULL DEFAULT 1 CHECK (\"Valid\" IN (0, 1)), \"Tester\" TEXT)");
}

QHash<qint64, TestNote> readTestNotes(const QSqlDatabase &db)
{
    QHash<qint64, TestNote> notes;
    if (!hasRelation(db, dialectOf(db), testNotesTableName()))
        return notes;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT \"Testnr\", \"Note\", \"Valid\", \"Tester\" FROM \"TestNotes\"")))
        failRead(query.lastError());
    while (query.next())
        notes.insert(query.value(0).toLongLong(), noteOf(query, 1));
    if (query.lastError().isValid())
        failRead(query.lastError());
    return notes;
}

TestNote readTestNote(const QSqlDatabase &db, qint64 testnr)
{
    if (!hasRelation(db, dialectOf(db), testNotesTableName()))
        return {};
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT \"Note\", \"Valid\", \"Tester\" FROM \"TestNotes\" WHERE \"Testnr\" = ?"));
    query.addBindValue(testnr);
    if (!query.exec())
        failRead(query.lastError());
    if (!query.next()) {
        if (query.lastError().isValid())
            failRead(query.lastError());
        return {};
    }
    return noteOf(query, 0);
}

QSqlError removeTestNotes(const QSqlDatabase &db, std::optional<qint64> testnr)
{
    if (!hasRelation(db, dialectOf(db), testNotesTableName()))
        return {};
    QSqlQuery query(db);
    if (testnr) {
        query.prepare(QStringLiteral("DELETE FROM \"TestNotes\" WHERE \"Testnr\" = ?"));
        query.addBindValue(*testnr);
    } else {
        query.prepare(QStringLiteral("DELETE FROM \"TestNotes\""));
    }
    if (!query.exec())
        return query.lastError();
    return {};
}

void storeTestNote(Table &tests, qint64 testnr, const TestNote &note)
{
    tests.ensureConnection();
    tests.aboutToWrite();
    QSqlDatabase db = tests.database();
    const SqlDialect dialect = tests.onServer() ? SqlDialect::Postgres : SqlDialect::Sqlite;
    const auto fail = [&](const QSqlError &error) {
        tests.fail(QCoreApplication::translate("Store", "the note of test %1 cannot be stored (%2)")
                       .arg(testnr)
                       .arg(tests.reasonOf(error)));
    };
    QSqlQuery query(db);
    if (!hasRelation(db, dialect, testNotesTableName())) {
        // Nothing to remove: the table is made for a note only.
        if (note.isEmpty())
            return;
        if (!query.exec(createTestNotesStatement(dialect)))
            fail(query.lastError());
        // The views gain the notes' columns.
        keepAnalysisViews(db, dialect);
    }
    if (note.isEmpty()) {
        query.prepare(QStringLiteral("DELETE FROM \"TestNotes\" WHERE \"Testnr\" = ?"));
        query.addBindValue(testnr);
    } else {
        query.prepare(QStringLiteral("INSERT INTO \"TestNotes\" (\"Testnr\", \"Note\", \"Valid\", \"Tester\") VALUES (?, ?, ?, ?) "
                                     "ON CONFLICT (\"Testnr\") DO UPDATE SET \"Note\" = excluded.\"Note\", "
                                     "\"Valid\" = excluded.\"Valid\", \"Tester\" = excluded.\"Tester\""));
        query.addBindValue(testnr);
        query.addBindValue(note.text.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(note.text));
        query.addBindValue(dialect == SqlDialect::Postgres ? QVariant(note.valid) : QVariant(note.valid ? 1 : 0));
        query.addBindValue(note.tester.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(note.tester));
    }
    if (!query.exec())
        fail(query.lastError());
}

} // namespace store
