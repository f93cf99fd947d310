#include "app/legacyimport.h"

#include "platform/messages.h"

#include <QCoreApplication>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

#include <memory>

namespace legacy {
namespace {

QString nativeFolder(const QString &folder)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
}

QString count(qint64 n, const QString &one, const QString &many)
{
    return QStringLiteral("%1 %2").arg(n).arg(n == 1 ? one : many);
}

} // namespace

QString conversionQuestion(const QString &folder, const Survey &survey)
{
    QString text = QCoreApplication::translate("LegacyImport", "The folder\n%1\nholds tables in the older Paradox format:\n\n").arg(nativeFolder(folder));
    for (const FoundTable &table : survey.tables)
        text += QStringLiteral("    %1: %2\n").arg(table.fileName, count(table.records, QCoreApplication::translate("LegacyImport", "record"),
                                                                              QCoreApplication::translate("LegacyImport", "records")));
    text += QCoreApplication::translate("LegacyImport", "\nKorvane can convert them into its own tables now. The old files are kept unchanged: "
                           "they and their companion files are moved into the subfolder \"%1\".\n\n"
                           "Convert the tables now? No ends Korvane and leaves the folder as it is.")
                .arg(keptFilesFolderName());
    return text;
}

QString refusalMessage(const QString &folder, const QList<Refusal> &refusals)
{
    QString text = QCoreApplication::translate("LegacyImport", "The Paradox tables in the folder\n%1\ncannot be converted:\n\n").arg(nativeFolder(folder));
    for (const Refusal &refusal : refusals)
        text += QStringLiteral("\"%1\": %2.\n").arg(refusal.fileName, refusal.reason);
    text += QCoreApplication::translate("LegacyImport", "\nNothing in the folder was changed. Korvane ends.");
    return text;
}

QString conversionReport(const ConversionResult &result)
{
    QString text = QCoreApplication::translate("LegacyImport", "The tables were converted. The old files are kept unchanged in the subfolder "
                                  "\"%1\".\n")
                       .arg(result.keptFolder);
    for (const TableReport &table : result.tables) {
        text += QCoreApplication::translate("LegacyImport", "\n%1 (now %2): %3 converted, %4 skipped as empty.\n")
                    .arg(table.fileName, table.tableName,
                         count(table.converted, QCoreApplication::translate("LegacyImport", "record"), QCoreApplication::translate("LegacyImport", "records")))
                    .arg(table.skipped);
        if (table.headerRecords != table.recordsFound) {
            text += QCoreApplication::translate("LegacyImport", "    Its header counts %1 but its blocks hold %2; every record found was "
                                   "converted.\n")
                        .arg(count(table.headerRecords, QCoreApplication::translate("LegacyImport", "record"), QCoreApplication::translate("LegacyImport", "records")),
                             count(table.recordsFound, QCoreApplication::translate("LegacyImport", "record"), QCoreApplication::translate("LegacyImport", "records")));
        }
        text += QCoreApplication::translate("LegacyImport", "    Fields with no place in Korvane: %1.\n")
                    .arg(table.unplacedFields.isEmpty() ? QCoreApplication::translate("LegacyImport", "none")
                                                        : table.unplacedFields.join(QStringLiteral(", ")));
        text += QCoreApplication::translate("LegacyImport", "    Values with characters that had to be replaced: %1.\n").arg(table.replacedValues);
        if (table.notWholeNumbers > 0) {
            text += QCoreApplication::translate("LegacyImport", "    Values left empty because they are no whole number: %1.\n")
                        .arg(table.notWholeNumbers);
        }
        if (table.renumbered.isEmpty()) {
            text += QCoreApplication::translate("LegacyImport", "    Keys renumbered: none.\n");
        } else {
            QStringList shown;
            for (qsizetype i = 0; i < table.renumbered.size() && i < 5; ++i) {
                const auto &[old, now] = table.renumbered.at(i);
                shown << (old.isEmpty() ? QCoreApplication::translate("LegacyImport", "an empty %1").arg(table.keyName)
                                        : QStringLiteral("%1 %2").arg(table.keyName, old))
                        + QCoreApplication::translate("LegacyImport", " became ") + QString::number(now);
            }
            if (table.renumbered.size() > 5)
                shown << QCoreApplication::translate("LegacyImport", "%1 more").arg(table.renumbered.size() - 5);
            text += QCoreApplication::translate("LegacyImport", "    Keys renumbered because they were repeated or unusable: %1 (%2).\n")
                        .arg(table.renumbered.size())
                        .arg(shown.join(QStringLiteral("; ")));
        }
    }
    return text;
}

QString finishedInterruptedMessage(const QString &folder, const QString &keptFolder)
{
    return QCoreApplication::translate("LegacyImport", "An interrupted conversion of the Paradox tables in\n%1\nhas been finished. The old files "
                          "are kept unchanged in the subfolder \"%2\".")
        .arg(nativeFolder(folder), keptFolder);
}

namespace {

bool offer(const QString &folder, QWidget *parent)
{
    platform::MessageBoxes &boxes = platform::messageBoxes();
    try {
        QString kept;
        if (recoverConversion(folder, &kept) == Recovery::Completed)
            boxes.inform(parent, finishedInterruptedMessage(folder, kept));
    } catch (const core::Failure &error) {
        boxes.error(parent, error.message());
        return false;
    }

    const Survey survey = surveyFolder(folder);
    if (!survey.refusals.isEmpty()) {
        boxes.error(parent, refusalMessage(folder, survey.refusals));
        return false;
    }
    if (survey.tables.isEmpty())
        return true;
    if (!boxes.ask(parent, conversionQuestion(folder, survey)))
        return false;

    qint64 total = 0;
    for (const FoundTable &table : survey.tables)
        total += table.records;
    // Shown only when the conversion takes more than a moment.
    std::unique_ptr<QProgressDialog> dialog;
    if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
        dialog = std::make_unique<QProgressDialog>(QCoreApplication::translate("LegacyImport", "Converting the Paradox tables..."), QString(), 0,
                                                   int(qMin<qint64>(total, 1000000000)), parent);
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->setMinimumDuration(500);
        dialog->setAutoClose(false);
        dialog->setValue(0);
    }
    ConversionResult result;
    try {
        result = convertFolder(folder, survey, [&](qint64 done, qint64) {
            if (dialog)
                dialog->setValue(int(qMin<qint64>(done, 1000000000)));
        });
    } catch (const core::Failure &error) {
        dialog.reset();
        boxes.error(parent, error.message());
        return false;
    }
    dialog.reset();
    boxes.inform(parent, conversionReport(result));
    return true;
}

} // namespace

bool offerLegacyConversion(const QString &folder, QWidget *parent)
{
    try {
        return offer(folder, parent);
    } catch (const std::exception &error) {
        // Out of memory while reading a huge file and the like.
        platform::messageBoxes().error(parent, QCoreApplication::translate("LegacyImport", "The Paradox tables in %1 cannot be converted: %2.")
                                                   .arg(nativeFolder(folder), QString::fromLocal8Bit(error.what())));
        return false;
    }
}

} // namespace legacy
