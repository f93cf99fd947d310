#include "legacy/conversion.h"

#include "core/files.h"
#include "legacy/conversionfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>

namespace legacy {

Survey surveyFolder(const QString &folder)
{
    Survey survey;
    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (int l = 0; l < layoutCount; ++l) {
        const store::Layout &layout = *layouts()[l];
        QStringList candidates;
        QStringList misnamed;
        bool ownFile = false;
        for (const QString &name : entries) {
            if (name.compare(layout.fileName, Qt::CaseInsensitive) != 0)
                continue;
            // A named pipe would block the start; only ordinary files are read.
            // Under the exact name the store refuses it itself.
            const platform::FileKind kind = platform::fileKind(dir.filePath(name));
            if (kind != platform::FileKind::Ordinary) {
                if (name == layout.fileName)
                    ownFile = true;
                else
                    survey.refusals.append({name, QCoreApplication::translate("Conversion", "it is %1, not an ordinary file").arg(platform::describe(kind))});
                continue;
            }
            const QByteArray head = platform::readHead(dir.filePath(name), 0x800);
            if (ParadoxTable::looksLikeTable(head))
                candidates << name;
            else if (name == layout.fileName)
                ownFile = true;
            else
                misnamed << name;
        }
        // A file named like the table in another case that is no Paradox
        // table would be passed over while the store starts an empty table
        // beside it.
        if (!ownFile && candidates.isEmpty()) {
            for (const QString &name : misnamed) {
                survey.refusals.append({name, QCoreApplication::translate("Conversion", "it is named like the table \"%1\" but is no Paradox "
                                                             "table (its header does not match)")
                                                  .arg(layout.fileName)});
            }
        }
        // A table file of the program's own under the exact name wins;
        // Paradox files that differ from it in case only are left alone.
        if (ownFile || candidates.isEmpty())
            continue;
        if (candidates.size() > 1) {
            survey.refusals.append({candidates.at(1), QCoreApplication::translate("Conversion", "the file \"%1\" holds the same table")
                                                          .arg(candidates.at(0))});
            continue;
        }
        FoundTable found;
        found.layout = &layout;
        found.fileName = candidates.first();
        static const QRegularExpression extension(QStringLiteral("^[A-Za-z0-9]{1,3}$"));
        const QString base = baseName(found.fileName);
        for (const QString &name : entries) {
            if (name == found.fileName || baseName(name).compare(base, Qt::CaseInsensitive) != 0)
                continue;
            const QString suffix = name.mid(base.size() + 1);
            if (!extension.match(suffix).hasMatch())
                continue;
            found.companions << name;
            if (suffix.compare(QLatin1String("MB"), Qt::CaseInsensitive) == 0)
                found.memoFileName = name;
        }
        try {
            OpenTable open = openTable(folder, found.fileName, found.memoFileName);
            const ParadoxTable &table = *open.table;
            found.version = table.version();
            found.records = table.countRecords();
            found.headerRecords = table.headerRecordCount();
            // Read every memo now, so that a damaged memo file is refused
            // before anything is asked or written.
            QList<int> memos;
            for (int i = 0; i < table.fields().size(); ++i) {
                if (table.fields().at(i).type == FieldType::Memo)
                    memos << i;
            }
            if (!memos.isEmpty()) {
                table.forEachRecord([&](const uchar *record) {
                    for (int i : memos)
                        table.value(record, i);
                });
            }
            survey.tables.append(found);
        } catch (const ParadoxError &error) {
            survey.refusals.append({found.fileName, error.reason()});
        }
    }
    return survey;
}

} // namespace legacy
