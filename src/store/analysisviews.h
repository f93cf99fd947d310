#pragma once

// Typed views beside the tables for analysis in SQL: `korvane_tests` (one
// row per test) and `korvane_sets` (one row per set that ran).  Column names
// are lower-case; measurements are numbers, the date a date (ISO text in a
// file, `date` on a server), read in the forms the program reads a stored
// date in (dd.mm.yyyy, d.M.yy, yyyy-mm-dd, d/M/yyyy, M/d/yy, "6 Dec 2026").
// A stored text that is no number or no such date is NULL there, never a
// wrong value.  With the notes table present the views carry its note, validity
// and tester.

#include "store/layout.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <optional>

namespace store {

inline QString testsViewName() { return QStringLiteral("korvane_tests"); }
inline QString setsViewName() { return QStringLiteral("korvane_sets"); }

// The statements that make both views over the tables of `dialect`, with
// the columns of the notes table when `withNotes`.
QStringList createAnalysisViewStatements(SqlDialect dialect, bool withNotes);

// Whether the database holds a table (or view) of that name.
bool hasRelation(const QSqlDatabase &db, SqlDialect dialect, const QString &name);

// Makes the views when they are missing or were made for other tables (an
// older program, the notes table added since), in one transaction.  Views
// that are up to date are left alone: nothing is written then.  Returns the
// reason when they could not be made (a read-only file, a user without the
// right to create views); the tables work as before then.
std::optional<QString> keepAnalysisViews(const QSqlDatabase &db, SqlDialect dialect);

} // namespace store
