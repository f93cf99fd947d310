#pragma once

// The records a filtered grid shows, by key: kept in a temporary table of
// the grid's connection (nothing is written to the file or the server's
// tables), so that the grid's condition holds no values.

#include <QList>
#include <QSqlDatabase>
#include <QString>

namespace store {

class Table;

// Puts `keys` in place of the keys kept before and returns the condition
// on the table's key that takes just these records.  A failure throws a
// StoreError naming the table.
QString keepShownKeys(const Table &table, const QList<qint64> &keys);

} // namespace store
