#pragma once

// Notes and validity per test, kept in a table of their own ("TestNotes":
// test number, note text, valid yes/no, tester) beside the test table: in
// the test table's file in a folder, beside it on a server.  The tables of
// tests, profiles and athletes keep their layouts.  A folder or server
// without the table works as before and gains it at the first note stored.

#include "store/layout.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include <optional>

namespace store {

class Table;

inline QString testNotesTableName() { return QStringLiteral("TestNotes"); }

struct TestNote {
    QString text;
    bool valid = true;
    QString tester;

    // A note that says nothing: no text, no tester, valid.
    bool isEmpty() const { return text.isEmpty() && valid && tester.isEmpty(); }
    friend bool operator==(const TestNote &, const TestNote &) = default;
};

QString createTestNotesStatement(SqlDialect dialect);

// Every note by test number; none when the table is missing.  A failed
// read throws a StoreError.
QHash<qint64, TestNote> readTestNotes(const QSqlDatabase &db);
// The note of one test; an empty note when it has none.
TestNote readTestNote(const QSqlDatabase &db, qint64 testnr);

// Removes the note of test `testnr` (of every test when none is named)
// when the notes table exists: for a test deleted, inside the transaction
// that deletes it, so that no later test finds its note.  Returns the error
// when the removal failed, an invalid one otherwise.
QSqlError removeTestNotes(const QSqlDatabase &db, std::optional<qint64> testnr);

// Stores the note of test `testnr` on the connection of the test table,
// replacing the one it had; an empty note removes it.  Makes the table
// (and brings the typed views up to date) when it is missing and the note
// says something.  The test table's
// write hook (the daily backup) runs first.  A failure throws a StoreError
// naming the table.
void storeTestNote(Table &tests, qint64 testnr, const TestNote &note);

} // namespace store
