#pragma once

// Moving a folder's tables into a database server that several stations
// will share.

#include "store/serveraddress.h"

#include <QString>

namespace data {

struct CopiedRecords {
    qint64 athletes = 0;
    qint64 tests = 0;
    qint64 profiles = 0;
};

// Copies the three tables of `folder` (read only; a missing file counts as
// an empty table) with their keys into the server's tables, made there when
// missing, in one transaction.  The copy is checked before it is committed:
// the record counts, and the complete export of the tests read from both
// sides byte for byte.  Refused when a table on the server holds records.
// The server's keys go on after the highest key the folder ever gave.  A
// failure throws core::Failure and leaves the server as it was.
CopiedRecords copyFolderToServer(const QString &folder, const store::ServerAddress &server);

} // namespace data
