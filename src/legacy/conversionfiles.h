#pragma once

// What the parts of the conversion share: the tables it knows, the names it
// writes in a folder, the old files as they are read, and the journal.

#include "legacy/conversion.h"
#include "legacy/paradoxtable.h"
#include "store/layout.h"

#include <QByteArrayView>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <utility>

namespace legacy {

// The three tables a conversion may write.
const store::Layout *const *layouts();
constexpr int layoutCount = 3;

QString nativeFolder(const QString &folder);
QString baseName(const QString &fileName);
// Whether anything is at `path`; links are not followed.
bool exists(const QString &path);
// Whether `path` is a table file of the program's own (an SQLite file).
bool isOwnTableFile(const QString &path);

// A file's bytes, mapped where the platform allows, read otherwise.
class FileBytes {
public:
    explicit FileBytes(const QString &path);
    QByteArrayView view() const { return m_view; }

private:
    QFile m_file;
    QByteArray m_data;
    QByteArrayView m_view;
};

// A Paradox table with its files open.
struct OpenTable {
    std::unique_ptr<FileBytes> db;
    std::unique_ptr<FileBytes> memo;
    std::unique_ptr<ParadoxTable> table;
};
OpenTable openTable(const QString &folder, const QString &fileName, const QString &memoFileName);

// The journal: the kept folder, the files to move there, the files to put
// in place.  Written whole (through a temporary name) or not at all.
struct Plan {
    QString kept;
    QStringList moves;
    QList<std::pair<QString, QString>> places; // temporary name, final name
};
void writeJournal(const QString &folder, const Plan &plan);
std::optional<Plan> readJournal(const QString &folder);
// Carries out a durable journal; every step may already have been done.
void carryOut(const QString &folder, const Plan &plan);
void removeTemporaries(const QString &folder);
bool anyTemporary(const QString &folder);

} // namespace legacy
