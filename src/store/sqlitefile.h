#pragma once

// What every reader and writer of the program's SQLite table files shares:
// the connection's handle, quoting, the reason of a failed call, and the
// check that a file holds a table in its layout.

#include "store/layout.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>

struct sqlite3;

namespace store {

// The SQLite connection behind a Qt SQL connection; null when none is open.
sqlite3 *sqliteHandle(const QSqlDatabase &db);

// An identifier in double quotes, as SQL reads it.
QString quoted(const QString &identifier);

// The text of a failed call: the database's own when it gave one.
QString errorText(const QSqlError &error);

// How the table of `layout` stands in the file behind `db`.  Reading the
// schema is the first read of a file: a foreign, cut-off or damaged first
// page fails it (Unreadable, with the error).
struct LayoutCheck {
    enum class Result { Same, Unreadable, NoTable, OtherFields, KeyNotInteger };
    Result result = Result::Same;
    QSqlError error;        // Unreadable
    QStringList fields;     // the file's fields in their order
    // The fields are the layout's (a key not declared as integer aside).
    bool sameFields() const { return result == Result::Same || result == Result::KeyNotInteger; }
};
LayoutCheck checkLayout(const QSqlDatabase &db, const Layout &layout);

} // namespace store
