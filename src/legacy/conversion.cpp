#include "legacy/conversion.h"

#include "core/files.h"
#include "legacy/conversionfiles.h"
#include "store/newtablefile.h"
#include "store/table.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <limits>
#include <optional>
#include <unordered_set>
#include <vector>

namespace legacy {
namespace {

bool isBinary(FieldType type)
{
    return type == FieldType::Blob || type == FieldType::FormattedMemo || type == FieldType::Ole
        || type == FieldType::Graphic || type == FieldType::Bytes;
}

bool blankRecord(const uchar *record, int size)
{
    for (int i = 0; i < size; ++i) {
        if (record[i] != 0)
            return false;
    }
    return true;
}

} // namespace

TableReport convertTable(const ParadoxTable &table, const store::Layout &layout, const QString &targetPath,
                         const std::function<void(qint64)> &advance)
{
    TableReport report;
    report.tableName = layout.tableName;
    report.keyName = layout.key().name;

    // Where each field of the layout comes from; binary fields have no place.
    const int columns = int(layout.fields.size());
    QList<int> source(columns, -1);
    for (int i = 0; i < columns; ++i) {
        const int from = table.fieldIndex(layout.fields.at(i).name);
        if (from >= 0 && !isBinary(table.fields().at(from).type))
            source[i] = from;
    }
    for (int j = 0; j < table.fields().size(); ++j) {
        const ParadoxField &field = table.fields().at(j);
        if (!source.contains(j))
            report.unplacedFields << field.name;
    }

    // Keys: each number is kept once; a missing, unusable or repeated one
    // gets a new key after the largest kept one, in record order.
    const int keyFrom = source.at(0);
    std::vector<qint64> keys;
    std::unordered_set<qint64> used;
    qint64 largest = 0;
    QList<std::pair<qsizetype, QString>> unkeyed; // record position, old key text
    table.forEachRecord([&](const uchar *record) {
        if (blankRecord(record, table.recordSize()))
            return;
        std::optional<qint64> key;
        QString oldText;
        if (keyFrom >= 0) {
            const FieldValue value = table.value(record, keyFrom);
            key = wholeNumber(value);
            oldText = textForm(value);
        }
        if (key && *key >= 1 && used.insert(*key).second) {
            largest = std::max(largest, *key);
            keys.push_back(*key);
        } else {
            if (keyFrom >= 0)
                unkeyed.append({qsizetype(keys.size()), oldText});
            keys.push_back(0);
        }
    });
    qint64 next = largest;
    for (const auto &[position, oldText] : unkeyed) {
        keys[size_t(position)] = ++next;
        report.renumbered.append({oldText, next});
    }
    if (keyFrom < 0) {
        for (qint64 &key : keys) {
            if (key == 0)
                key = ++next;
        }
    }

    // The new file is only trusted once it is complete and durable.
    std::optional<store::NewTableFile> created;
    try {
        created.emplace(targetPath, layout);
    } catch (const store::StoreError &error) {
        throw conversionStep(error.message());
    }
    store::NewTableFile &file = *created;

    report.headerRecords = table.headerRecordCount();
    size_t position = 0;
    qint64 visited = 0;
    table.forEachRecord([&](const uchar *record) {
        ++visited;
        if (advance && visited % 512 == 0)
            advance(512);
        if (blankRecord(record, table.recordSize())) {
            ++report.skipped;
            return;
        }
        if (position >= keys.size())
            throw conversionStep(QCoreApplication::translate("Conversion", "it changed while it was read"));
        file.bindInteger(0, keys[position++]);
        for (int i = 1; i < columns; ++i) {
            const int from = source.at(i);
            if (from < 0) {
                file.bindNull(i);
                continue;
            }
            const FieldValue value = table.value(record, from);
            if (layout.fields.at(i).kind == store::FieldKind::Integer) {
                const std::optional<qint64> number = wholeNumber(value);
                if (number && *number >= std::numeric_limits<qint32>::min() && *number <= std::numeric_limits<qint32>::max()) {
                    file.bindInteger(i, *number);
                } else {
                    if (value.kind != FieldValue::Kind::Blank)
                        ++report.notWholeNumbers;
                    file.bindNull(i);
                }
                continue;
            }
            if (value.kind == FieldValue::Kind::Text && !value.ascii.isNull()) {
                file.bindText(i, value.ascii, false);
                continue;
            }
            bool replaced = false;
            const QString text = textForm(value, &replaced);
            if (replaced)
                ++report.replacedValues;
            if (text.isEmpty()) {
                file.bindNull(i);
            } else {
                file.bindText(i, text.toUtf8());
            }
        }
        try {
            file.insert();
        } catch (const store::StoreError &error) {
            throw conversionStep(error.message());
        }
        ++report.converted;
    });
    report.recordsFound = visited;
    if (advance)
        advance(visited % 512);
    try {
        file.finish();
    } catch (const store::StoreError &error) {
        throw conversionStep(error.message());
    }
    return report;
}

ConversionResult convertFolder(const QString &folder, const Survey &survey,
                               const std::function<void(qint64, qint64)> &progress)
{
    const QDir dir(folder);
    if (QFileInfo::exists(dir.filePath(journalFileName())))
        throw core::Failure(QCoreApplication::translate("Conversion", "An earlier conversion in %1 is not finished.").arg(nativeFolder(folder)));
    if (!platform::folderIsWritable(folder)) {
        throw core::Failure(QCoreApplication::translate("Conversion", "The tables in %1 cannot be converted because the folder is read-only. "
                                             "Nothing in it was changed; copy the folder to a place you can write "
                                             "to and start Korvane there.")
                                  .arg(nativeFolder(folder)));
    }
    removeTemporaries(folder);

    qint64 total = 0;
    for (const FoundTable &found : survey.tables)
        total += found.records;
    qint64 done = 0;

    ConversionResult result;
    Plan plan;
    try {
        for (const FoundTable &found : survey.tables) {
            try {
                OpenTable open = openTable(folder, found.fileName, found.memoFileName);
                const QString temporary = temporaryFileName(*found.layout);
                TableReport report = convertTable(*open.table, *found.layout, dir.filePath(temporary), [&](qint64 step) {
                    done += step;
                    if (progress)
                        progress(done, total);
                });
                report.fileName = found.fileName;
                result.tables.append(report);
                plan.moves << found.fileName << found.companions;
                plan.places.append({temporary, found.layout->fileName});
            } catch (const ParadoxError &error) {
                throw core::Failure(core::Failure::Kind::ConvertTable, dir.filePath(found.fileName), error.reason());
            } catch (const core::Failure &error) {
                throw core::Failure(core::Failure::Kind::ConvertTable, dir.filePath(found.fileName), error.message());
            }
        }
        // A kept folder from an earlier conversion is used again unless one
        // of the names is already taken there.
        plan.kept = keptFilesFolderName();
        for (int n = 2;; ++n) {
            const QString keptPath = dir.filePath(plan.kept);
            // A link to a folder elsewhere is used; anything else under the
            // name is left alone and reported before anything is moved.
            const platform::FileKind kind = platform::fileKind(keptPath);
            if (kind != platform::FileKind::Missing && kind != platform::FileKind::Folder) {
                throw conversionStep(QCoreApplication::translate("Conversion", "the subfolder \"%1\" that receives the old files cannot be "
                                                     "used: it is %2, not a folder")
                                          .arg(plan.kept, platform::describe(kind)));
            }
            const QDir kept(keptPath);
            bool clash = false;
            for (const QString &name : plan.moves)
                clash = clash || exists(kept.filePath(name));
            if (!clash)
                break;
            plan.kept = keptFilesFolderName() + QStringLiteral(" (%1)").arg(n);
        }
        platform::syncFolder(folder);
        writeJournal(folder, plan);
    } catch (const core::Failure &error) {
        removeTemporaries(folder);
        // A table's own failure names the table already; a step of the
        // folder's is said of the folder.
        if (error.kind() != core::Failure::Kind::ConversionStep)
            throw;
        throw core::Failure(core::Failure::Kind::ConvertFolder, folder, error.detail());
    } catch (const std::exception &error) {
        // Out of memory and the like: nothing may be left half done.
        removeTemporaries(folder);
        throw core::Failure(core::Failure::Kind::ConvertFolder, folder, QString::fromLocal8Bit(error.what()));
    }
    result.keptFolder = plan.kept;
    try {
        carryOut(folder, plan);
    } catch (const core::Failure &error) {
        throw core::Failure(core::Failure::Kind::ConversionUnfinished, folder, error.message());
    }
    return result;
}

} // namespace legacy
