#include "core/errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace core {
namespace {

QString folderOf(const QString &file)
{
    return QDir::toNativeSeparators(QFileInfo(QFileInfo(file).absolutePath()).absoluteFilePath());
}

QString nativeFolder(const QString &folder)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
}

} // namespace

Failure::Failure(Kind kind, const QString &file, const QString &detail)
    : m_kind(kind)
    , m_file(file)
    , m_detail(detail)
{
    m_what = message().toUtf8();
}

QString Failure::message() const
{
    const QString name = QFileInfo(m_file).fileName();
    switch (m_kind) {
    case Kind::Action:
    case Kind::ConversionStep:
    case Kind::ReadFailed:
    case Kind::WriteFailed:
        return m_detail;
    case Kind::NotAWholeNumber:
        // Said in German whatever the language, as the program always has.
        return QStringLiteral("'%1' ist kein gültiger Integerwert").arg(m_detail);
    case Kind::NotADecimalNumber:
        return QStringLiteral("'%1' ist kein gültiger Gleitkommawert").arg(m_detail);
    case Kind::TableFile:
        return QCoreApplication::translate("Failure", "Table file \"%1\" in %2: %3").arg(name, folderOf(m_file), m_detail);
    case Kind::TableReplaced:
        return QCoreApplication::translate("Failure", "Table file \"%1\" in %2: %3")
            .arg(name, folderOf(m_file),
                 QCoreApplication::translate("Failure", "the file was removed or replaced while Korvane was running, so nothing can be stored in it. "
                    "What you entered stays in the window. Close Korvane and start it again: it then opens the "
                    "folder's \"%1\" again (and creates it anew if none is there), and you can store the entry "
                    "again.")
                     .arg(name));
    case Kind::TableFolderReadOnly:
        return QCoreApplication::translate("Failure", "Table file \"%1\" in %2: %3")
            .arg(name, folderOf(m_file),
                 QCoreApplication::translate("Failure", "the record cannot be stored because the folder %1 is read-only. Korvane needs a folder it "
                    "can write to; what you entered stays in the window (%2).")
                     .arg(folderOf(m_file), m_detail));
    case Kind::ConvertTable:
        return QCoreApplication::translate("Failure", "The table file \"%1\" in %2 cannot be converted: %3.").arg(name, folderOf(m_file), m_detail);
    case Kind::ConvertFolder:
        return QCoreApplication::translate("Failure", "The tables in %1 cannot be converted: %2.").arg(nativeFolder(m_file), m_detail);
    case Kind::ConversionUnfinished:
        return QCoreApplication::translate("Failure", "The conversion in %1 could not be finished: %2. It will be finished at the next start.")
            .arg(nativeFolder(m_file), m_detail);
    case Kind::BackupFailed:
        return QCoreApplication::translate("Failure", "The daily backup into %1 failed: %2. Saving goes on as usual; "
                                                      "the backup is tried again tomorrow.")
            .arg(nativeFolder(m_file), m_detail);
    case Kind::ServerTable:
        return QCoreApplication::translate("Failure", "Database server %1: %2").arg(m_file, m_detail);
    case Kind::RecoveryFailed:
        return QCoreApplication::translate("Failure", "An interrupted conversion in %1 cannot be finished: %2.").arg(nativeFolder(m_file), m_detail);
    }
    return m_detail;
}

} // namespace core
