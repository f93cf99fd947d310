#pragma once

#include <QList>
#include <QString>

namespace store {

// How a field holds its value.  Keys are assigned by the store; the one
// whole-number field holds an integer; every other field holds the text
// written, unchanged.
enum class FieldKind { Key, Integer, Text };

struct FieldDef {
    QString name;
    FieldKind kind;
};

// The record layout of one table: its name, its file and its fields in order.
struct Layout {
    QString tableName;
    QString fileName;
    QList<FieldDef> fields;

    // Position of a field, matched without regard to case; -1 when absent.
    int indexOf(const QString &name) const;
    const FieldDef &key() const { return fields.first(); }
};

const Layout &testTableLayout();   // "TestTable.DB", 59 fields, key Testnr
const Layout &profilLayout();      // "Profil.db", 12 fields, key Nr
const Layout &spTableLayout();     // "SPTable.db", 5 fields, key Nr

// Where a table is laid out: a file of its own, or a database server.
enum class SqlDialect { Sqlite, Postgres };

// The SQL statement that lays out a new, empty table for `layout`.  Keys
// count up and are never used again: AUTOINCREMENT in a file, an identity
// on a server (which takes the keys a copy brings).
QString createTableStatement(const Layout &layout, SqlDialect dialect = SqlDialect::Sqlite);

} // namespace store
