#pragma once

// Turning the Paradox tables found in a working folder into the program's
// own table files, so that no record is lost on the way and an interrupted
// conversion never leaves the folder half done.
//
// The conversion writes each new table file under a temporary name and
// makes it durable; then a journal naming every step is made durable, which
// is the moment the conversion counts as done.  After it, the old files are
// moved byte for byte into a subfolder and the new files renamed into place,
// and the journal is removed.  At the next start a journal is carried out to
// its end; temporary files without a journal are removed, which leaves the
// folder as it was before.

#include "legacy/paradoxtable.h"
#include "legacy/valuetext.h"
#include "core/errors.h"
#include "store/layout.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace legacy {

// A step of the conversion that failed; the detail says which.  The
// conversion completes it with the table or folder it concerns.
inline core::Failure conversionStep(const QString &detail)
{
    return core::Failure(core::Failure::Kind::ConversionStep, QString(), detail);
}

// The subfolder of the working folder that receives the old files.
QString keptFilesFolderName();
// The journal's and the temporary files' names (they start with a dot).
QString journalFileName();
QString temporaryFileName(const store::Layout &layout);

// One Paradox table found in the folder.
struct FoundTable {
    const store::Layout *layout = nullptr;
    QString fileName;        // as spelt on disk ("PROFIL.DB")
    QStringList companions;  // files of the same base name (".PX", ".MB", ...)
    QString memoFileName;    // the ".MB" among them, empty when none
    qint64 records = 0;
    qint64 headerRecords = 0; // what the header says; differs from `records` in a damaged header
    int version = 0;
};

// A file that looks like a Paradox table and cannot be converted.
struct Refusal {
    QString fileName;
    QString reason;          // "it is cut off: ..."
};

struct Survey {
    QList<FoundTable> tables;
    QList<Refusal> refusals;
};

// Looks for the three table files by name without regard to case and reads
// every one that is a Paradox table through to its last record.  Writes
// nothing.  A file under a table's exact name that is no Paradox table is
// left to the store; one that differs in case only, or anything that is no
// ordinary file, is refused (the store would otherwise start with an empty
// table beside it, or wait on a named pipe).
Survey surveyFolder(const QString &folder);

struct TableReport {
    QString fileName;            // the old file
    QString tableName;
    QString keyName;             // Testnr or Nr
    qint64 converted = 0;
    qint64 skipped = 0;          // records without any value
    qint64 headerRecords = 0;    // the record count the header states
    qint64 recordsFound = 0;     // the records the blocks hold
    QStringList unplacedFields;  // old fields that have no place in the layout
    qint64 replacedValues = 0;   // values with characters that could not be decoded
    qint64 notWholeNumbers = 0;  // values left empty where a whole number belongs
    QList<std::pair<QString, qint64>> renumbered; // old key text (empty when none) and new key
};

struct ConversionResult {
    QList<TableReport> tables;
    QString keptFolder;          // the subfolder's name
};

// Converts every table of `survey` (taken just before).  `progress` gets
// records done and records in all.  On a failure before the journal is
// durable, the temporary files are removed and the folder is as it was; the
// failure (ConvertTable or ConvertFolder) says why.  A failure after it leaves the journal, which
// the next start completes.
ConversionResult convertFolder(const QString &folder, const Survey &survey,
                               const std::function<void(qint64, qint64)> &progress = {});

// Moves `from` to `to` (which must not exist).  Across file systems the
// file is copied under a temporary name beside `to`, made durable and
// compared with the original (size and checksum) before it takes its name
// and the original is removed.
void moveFileVerified(const QString &from, const QString &to);

// Converts one table into a new table file at `targetPath` (which must not
// exist) and makes the file durable.  Throws ParadoxError or a conversion step.
TableReport convertTable(const ParadoxTable &table, const store::Layout &layout, const QString &targetPath,
                         const std::function<void(qint64)> &advance = {});

enum class Recovery { Nothing, RolledBack, Completed };
// Finishes what an interrupted conversion left in the folder.  Only the
// names a conversion writes are acted on: the three tables and their
// companion files, the kept subfolder and the temporary files; a journal
// naming anything else is refused and nothing is changed.  Completed
// sets `keptFolder` to the subfolder with the old files.  Throws
// a core::Failure (RecoveryFailed) when a journal cannot be carried out.
Recovery recoverConversion(const QString &folder, QString *keptFolder = nullptr);


} // namespace legacy
