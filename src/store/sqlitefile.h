#pragma once

// What every reader and writer of the program's SQLite table files shares:
// the connection's handle, quoting, the reason of a failed call, and the
// check that a file holds a table in its layout.

#include "store/layout.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlError>
#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>

struct sqlite3;

namespace store {

// The SQLite connection behind a Qt SQL connection; null when none is open.
sqlite3 *sqliteHandle(const QSqlDatabase &db);
// The driver's own connection behind a Qt SQL connection when its type has
// one of `typeNames`; null otherwise.
void *driverHandle(const QSqlDatabase &db, std::initializer_list<const char *> typeNames);

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

// Opens the table file at `path` read-only on a new connection named
// `connection`, checked to hold the fields of `layout`: nothing is created or
// changed, and a file on read-only media can be read.  A file that cannot be
// opened or read throws a StoreError naming it, one without the table with
// `foreign` as the reason; the connection is removed again then.
QSqlDatabase openTableFileReadOnly(const QString &path, const Layout &layout, const QString &connection,
                                   const QString &foreign);

// The check from a query that ran (`ran`) to list a table's fields in their
// order, each row with the field's name in `nameColumn`; `isIntegerKey`
// tells from the first row whether the key is an integer.  Names are
// compared with `names` sensitivity.
LayoutCheck checkFieldList(QSqlQuery &query, bool ran, const Layout &layout, int nameColumn,
                           const std::function<bool(const QSqlQuery &)> &isIntegerKey, Qt::CaseSensitivity names);

} // namespace store
