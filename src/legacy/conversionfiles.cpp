#include "legacy/conversionfiles.h"

#include "core/files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace legacy {
namespace {

const QString journalMagic = QStringLiteral("KORVANE-CONVERSION 1");

// A journal is carried out only when it names what a conversion writes: the
// kept subfolder, the three tables' temporary and final names, and old files
// of those tables.  Checked whole before anything is done.
void checkPlan(const QString &folder, const Plan &plan)
{
    const QDir dir(folder);
    auto refuse = [](const QString &name) {
        return conversionStep(QCoreApplication::translate("Conversion", "its journal names \"%1\", which a conversion never writes; nothing "
                                              "was changed. Remove the journal \"%2\" if no conversion was "
                                              "interrupted")
                                   .arg(name, journalFileName()));
    };
    static const QRegularExpression numbered(
        QStringLiteral("^%1 \\([0-9]{1,4}\\)$").arg(QRegularExpression::escape(keptFilesFolderName())));
    if (plan.kept != keptFilesFolderName() && !numbered.match(plan.kept).hasMatch())
        throw refuse(plan.kept);
    QStringList tableBases;
    for (const auto &[temporary, final] : plan.places) {
        bool known = false;
        for (int l = 0; l < layoutCount && !known; ++l)
            known = temporary == temporaryFileName(*layouts()[l]) && final == layouts()[l]->fileName;
        if (!known)
            throw refuse(temporary + QCoreApplication::translate("Conversion", "\" and \"") + final);
        tableBases << baseName(final);
        // What is put in place is a table file of the program's own.
        const QString path = dir.filePath(temporary);
        if (exists(path) && !isOwnTableFile(path))
            throw refuse(temporary);
    }
    static const QRegularExpression extension(QStringLiteral("^[A-Za-z0-9]{1,3}$"));
    for (const QString &name : plan.moves) {
        const qsizetype dot = name.lastIndexOf(u'.');
        bool known = dot > 0 && extension.match(name.mid(dot + 1)).hasMatch();
        bool baseKnown = false;
        for (const QString &base : tableBases)
            baseKnown = baseKnown || baseName(name).compare(base, Qt::CaseInsensitive) == 0;
        if (!known || !baseKnown)
            throw refuse(name);
        // The old files are Paradox files; a table of the program's own under
        // such a name is the live table, never moved aside (unless the old
        // file was moved and the new one put in its place already).
        const QString path = dir.filePath(name);
        if (exists(path) && isOwnTableFile(path) && !exists(QDir(dir.filePath(plan.kept)).filePath(name)))
            throw refuse(name);
    }
}

} // namespace

const store::Layout *const *layouts()
{
    static const store::Layout *const all[] = {&store::testTableLayout(), &store::profilLayout(),
                                               &store::spTableLayout()};
    return all;
}

QString nativeFolder(const QString &folder)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
}

QString baseName(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? fileName : fileName.left(dot);
}

bool exists(const QString &path)
{
    return platform::fileKind(path, false) != platform::FileKind::Missing;
}

bool isOwnTableFile(const QString &path)
{
    return platform::readHead(path, 16) == QByteArrayView("SQLite format 3\0", 16);
}

FileBytes::FileBytes(const QString &path)
{
    QString reason;
    if (!platform::openOrdinary(m_file, path, &reason)) {
        throw ParadoxError(QCoreApplication::translate("Conversion", "it cannot be read (%1)").arg(reason));
    }
    const qint64 size = m_file.size();
    if (size > 0) {
        if (uchar *mapped = m_file.map(0, size)) {
            m_view = QByteArrayView(reinterpret_cast<const char *>(mapped), qsizetype(size));
            return;
        }
    }
    m_data = m_file.readAll();
    if (m_file.error() != QFileDevice::NoError)
        throw ParadoxError(QCoreApplication::translate("Conversion", "it cannot be read (%1)").arg(m_file.errorString()));
    m_view = m_data;
}

OpenTable openTable(const QString &folder, const QString &fileName, const QString &memoFileName)
{
    OpenTable open;
    const QDir dir(folder);
    open.db = std::make_unique<FileBytes>(dir.filePath(fileName));
    if (!memoFileName.isEmpty()) {
        try {
            open.memo = std::make_unique<FileBytes>(dir.filePath(memoFileName));
        } catch (const ParadoxError &error) {
            throw ParadoxError(QCoreApplication::translate("Conversion", "its memo file \"%1\" cannot be read").arg(memoFileName));
        }
    }
    open.table = std::make_unique<ParadoxTable>(open.db->view(), open.memo ? open.memo->view() : QByteArrayView(),
                                                open.memo != nullptr);
    return open;
}

void writeJournal(const QString &folder, const Plan &plan)
{
    QString text = journalMagic + u'\n';
    text += QStringLiteral("kept\t%1\n").arg(plan.kept);
    for (const QString &name : plan.moves)
        text += QStringLiteral("move\t%1\n").arg(name);
    for (const auto &place : plan.places)
        text += QStringLiteral("place\t%1\t%2\n").arg(place.first, place.second);
    text += QStringLiteral("end\n");

    const QString path = QDir(folder).filePath(journalFileName());
    const QString partial = path + QStringLiteral(".new");
    QFile file(partial);
    const QByteArray bytes = text.toUtf8();
    QFile::remove(partial);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) || file.write(bytes) != bytes.size()
        || !file.flush()) {
        const QString reason = file.errorString();
        file.close();
        QFile::remove(partial);
        throw conversionStep(QCoreApplication::translate("Conversion", "its journal cannot be written (%1)").arg(reason));
    }
    file.close();
    if (!platform::syncPath(partial, false) || !QFile::rename(partial, path)) {
        QFile::remove(partial);
        throw conversionStep(QCoreApplication::translate("Conversion", "its journal cannot be written"));
    }
    platform::syncFolder(folder);
}

std::optional<Plan> readJournal(const QString &folder)
{
    QFile file(QDir(folder).filePath(journalFileName()));
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly))
        throw conversionStep(QCoreApplication::translate("Conversion", "its journal cannot be read (%1)").arg(file.errorString()));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    Plan plan;
    bool complete = false;
    bool ok = !lines.isEmpty() && lines.first() == journalMagic;
    for (int i = 1; ok && i < lines.size() && !complete; ++i) {
        const QStringList parts = lines.at(i).split(u'\t');
        auto plainName = [](const QString &name) {
            return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') && name != QLatin1String("..")
                && name != QLatin1String(".");
        };
        if (parts.first() == QLatin1String("kept") && parts.size() == 2 && plainName(parts.at(1)))
            plan.kept = parts.at(1);
        else if (parts.first() == QLatin1String("move") && parts.size() == 2 && plainName(parts.at(1)))
            plan.moves << parts.at(1);
        else if (parts.first() == QLatin1String("place") && parts.size() == 3 && plainName(parts.at(1))
                 && plainName(parts.at(2)))
            plan.places.append({parts.at(1), parts.at(2)});
        else if (parts.first() == QLatin1String("end") && parts.size() == 1)
            complete = true;
        else
            ok = false;
    }
    if (!ok || !complete || plan.kept.isEmpty())
        throw conversionStep(QCoreApplication::translate("Conversion", "its journal \"%1\" is damaged").arg(journalFileName()));
    return plan;
}

void carryOut(const QString &folder, const Plan &plan)
{
    const QDir dir(folder);
    checkPlan(folder, plan);
    QString reason;
    if (!platform::createPrivateFolder(dir.filePath(plan.kept), &reason))
        throw conversionStep(QCoreApplication::translate("Conversion", "the folder \"%1\" cannot be created (%2)").arg(plan.kept, reason));
    platform::syncFolder(folder);
    const QDir kept(dir.filePath(plan.kept));
    // The kept folder held none of these names when the journal was
    // written, so a name found there is a move begun here.  It counts as
    // done only when the copy is whole; a copy cut short is made again.
    for (const QString &name : plan.moves) {
        const QString from = dir.filePath(name);
        const QString to = kept.filePath(name);
        if (exists(to)) {
            // Moved, and perhaps the new table put in its place.
            if (!exists(from) || isOwnTableFile(from))
                continue;
            if (platform::sameContent(from, to)) {
                if (!QFile::remove(from))
                    throw conversionStep(QCoreApplication::translate("Conversion", "the old file \"%1\" cannot be removed").arg(name));
                continue;
            }
            if (!QFile::remove(to))
                throw conversionStep(QCoreApplication::translate("Conversion", "the incomplete copy of \"%1\" in \"%2\" cannot be removed")
                                          .arg(name, plan.kept));
        }
        if (!exists(from))
            throw conversionStep(QCoreApplication::translate("Conversion", "the old file \"%1\" has vanished").arg(name));
        moveFileVerified(from, to);
    }
    platform::syncFolder(kept.path());
    platform::syncFolder(folder);
    for (const auto &[temporary, final] : plan.places) {
        if (!QFileInfo::exists(dir.filePath(temporary))) {
            if (!QFileInfo::exists(dir.filePath(final)))
                throw conversionStep(QCoreApplication::translate("Conversion", "the new file \"%1\" has vanished").arg(final));
            continue;
        }
        if (exists(dir.filePath(final)) || !QFile::rename(dir.filePath(temporary), dir.filePath(final)))
            throw conversionStep(QCoreApplication::translate("Conversion", "the new file \"%1\" cannot be put in place").arg(final));
    }
    platform::syncFolder(folder);
    if (!QFile::remove(dir.filePath(journalFileName())))
        throw conversionStep(QCoreApplication::translate("Conversion", "its journal cannot be removed"));
    platform::syncFolder(folder);
}

void removeTemporaries(const QString &folder)
{
    const QDir dir(folder);
    for (int i = 0; i < layoutCount; ++i) {
        const QString path = dir.filePath(temporaryFileName(*layouts()[i]));
        QFile::remove(path + QStringLiteral("-journal"));
        QFile::remove(path);
    }
    QFile::remove(dir.filePath(journalFileName() + QStringLiteral(".new")));
}

bool anyTemporary(const QString &folder)
{
    const QDir dir(folder);
    for (int i = 0; i < layoutCount; ++i) {
        const QString path = dir.filePath(temporaryFileName(*layouts()[i]));
        if (QFileInfo::exists(path) || QFileInfo::exists(path + QStringLiteral("-journal")))
            return true;
    }
    return QFileInfo::exists(dir.filePath(journalFileName() + QStringLiteral(".new")));
}

void moveFileVerified(const QString &from, const QString &to)
{
    const QString name = QFileInfo(from).fileName();
    const QString keptName = QFileInfo(QFileInfo(to).path()).fileName();
    bool otherFileSystem = false;
    QString reason;
    if (platform::renameInFileSystem(from, to, &otherFileSystem, &reason))
        return;
    if (!otherFileSystem) {
        throw conversionStep(QCoreApplication::translate("Conversion", "the old file \"%1\" cannot be moved into \"%2\" (%3)")
                                  .arg(name, keptName, reason));
    }
    // Another file system: copied under a name of its own, made durable and
    // compared before it takes the final name and the original goes.
    const QString partial = to + QStringLiteral(".korvane-copying");
    QFile::remove(partial);
    auto failCopy = [&](const QString &why) {
        QFile::remove(partial);
        return conversionStep(QCoreApplication::translate("Conversion", "the old file \"%1\" cannot be copied into \"%2\" (%3); it is kept "
                                              "where it was")
                                   .arg(name, keptName, why));
    };
    QFile source;
    if (!platform::openOrdinary(source, from, &reason))
        throw failCopy(reason);
    QFile copy(partial);
    if (!copy.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw failCopy(copy.errorString());
    copy.setPermissions(source.permissions());
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (;;) {
        const qint64 n = source.read(buffer.data(), buffer.size());
        if (n < 0)
            throw failCopy(source.errorString());
        if (n == 0)
            break;
        if (copy.write(buffer.constData(), n) != n)
            throw failCopy(copy.errorString());
    }
    if (!copy.flush())
        throw failCopy(copy.errorString());
    copy.close();
    if (!platform::syncPath(partial, false))
        throw failCopy(QCoreApplication::translate("Conversion", "the copy cannot be made durable"));
    if (!platform::sameContent(from, partial))
        throw failCopy(QCoreApplication::translate("Conversion", "the copy differs from the original"));
    if (!QFile::rename(partial, to))
        throw failCopy(QCoreApplication::translate("Conversion", "the copy cannot take its name"));
    platform::syncFolder(QFileInfo(to).path());
    if (!QFile::remove(from))
        throw conversionStep(QCoreApplication::translate("Conversion", "the old file \"%1\" was copied into \"%2\" but cannot be removed")
                                  .arg(name, keptName));
}

QString keptFilesFolderName()
{
    return QStringLiteral("Paradox tables (before conversion)");
}

QString journalFileName()
{
    return QStringLiteral(".korvane-conversion-journal");
}

QString temporaryFileName(const store::Layout &layout)
{
    return QStringLiteral(".korvane-converting-") + layout.fileName;
}

Recovery recoverConversion(const QString &folder, QString *keptFolder)
{
    std::optional<Plan> plan;
    try {
        plan = readJournal(folder);
    } catch (const core::Failure &error) {
        throw core::Failure(core::Failure::Kind::RecoveryFailed, folder, error.message());
    }
    if (!plan) {
        if (!anyTemporary(folder))
            return Recovery::Nothing;
        removeTemporaries(folder);
        platform::syncFolder(folder);
        return Recovery::RolledBack;
    }
    try {
        carryOut(folder, *plan);
    } catch (const core::Failure &error) {
        throw core::Failure(core::Failure::Kind::RecoveryFailed, folder, error.message());
    }
    if (keptFolder)
        *keptFolder = plan->kept;
    return Recovery::Completed;
}

} // namespace legacy
