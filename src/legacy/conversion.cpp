#include "legacy/conversion.h"

#include "core/files.h"
#include "core/numbertext.h"
#include "store/layout.h"

#include <QCryptographicHash>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTime>

#include <sqlite3.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <unordered_set>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace legacy {
namespace {

const store::Layout *const *layouts()
{
    static const store::Layout *const all[] = {&store::testTableLayout(), &store::profilLayout(),
                                               &store::spTableLayout()};
    return all;
}
constexpr int layoutCount = 3;

QString nativeFolder(const QString &folder)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
}

QString baseName(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? fileName : fileName.left(dot);
}

// Makes a file's content, or a folder's entries, durable.
bool syncPath(const QString &path, bool directory)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | (directory ? O_DIRECTORY : 0));
    if (fd < 0)
        return false;
    const int result = ::fsync(fd);
    ::close(fd);
    return result == 0 || directory; // some file systems refuse to sync a folder
#else
    Q_UNUSED(path);
    Q_UNUSED(directory);
    return true;
#endif
}

void syncFolder(const QString &folder)
{
    syncPath(folder, true);
}

// A file's bytes, mapped where the platform allows, read otherwise.
class FileBytes {
public:
    explicit FileBytes(const QString &path)
    {
        QString reason;
        const int fd = platform::openOrdinaryForReading(path, &reason);
        if (fd < 0 || !m_file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            if (fd >= 0)
                ::close(fd);
            throw ParadoxError(QStringLiteral("it cannot be read (%1)").arg(reason));
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
            throw ParadoxError(QStringLiteral("it cannot be read (%1)").arg(m_file.errorString()));
        m_view = m_data;
    }
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

OpenTable openTable(const QString &folder, const QString &fileName, const QString &memoFileName)
{
    OpenTable open;
    const QDir dir(folder);
    open.db = std::make_unique<FileBytes>(dir.filePath(fileName));
    if (!memoFileName.isEmpty()) {
        try {
            open.memo = std::make_unique<FileBytes>(dir.filePath(memoFileName));
        } catch (const ParadoxError &error) {
            throw ParadoxError(QStringLiteral("its memo file \"%1\" cannot be read").arg(memoFileName));
        }
    }
    open.table = std::make_unique<ParadoxTable>(open.db->view(), open.memo ? open.memo->view() : QByteArrayView(),
                                                open.memo != nullptr);
    return open;
}

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

QString quoted(const QString &identifier)
{
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

// The SQLite file being written, closed (and on failure removed) on scope exit.
class NewFile {
public:
    explicit NewFile(const QString &path)
        : m_path(path)
    {
        if (platform::fileKind(path) != platform::FileKind::Missing || platform::isSymLink(path))
            throw ConversionError(QStringLiteral("the file \"%1\" is in the way").arg(QFileInfo(path).fileName()));
        // Made first, readable by its owner only: the tables hold personal data.
        QString reason;
        if (!platform::createPrivateFile(path, &reason))
            throw ConversionError(QStringLiteral("the new table file cannot be created (%1)").arg(reason));
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            fail(QStringLiteral("cannot be opened"));
    }
    ~NewFile()
    {
        sqlite3_finalize(m_insert);
        if (m_db)
            sqlite3_close(m_db);
        if (!m_done)
            QFile::remove(m_path);
    }
    NewFile(const NewFile &) = delete;
    NewFile &operator=(const NewFile &) = delete;

    [[noreturn]] void fail(const QString &what)
    {
        const QString reason = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("out of memory");
        throw ConversionError(QStringLiteral("the new table file %1 (%2)").arg(what, reason));
    }
    void exec(const QString &sql)
    {
        if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(QStringLiteral("cannot be written"));
    }
    sqlite3_stmt *prepare(const QString &sql)
    {
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &m_insert, nullptr) != SQLITE_OK)
            fail(QStringLiteral("cannot be written"));
        return m_insert;
    }
    void step()
    {
        if (sqlite3_step(m_insert) != SQLITE_DONE)
            fail(QStringLiteral("cannot be written"));
        sqlite3_reset(m_insert);
    }
    // Closes the file and makes it durable.
    void finish()
    {
        sqlite3_finalize(m_insert);
        m_insert = nullptr;
        if (sqlite3_close(m_db) != SQLITE_OK)
            fail(QStringLiteral("cannot be closed"));
        m_db = nullptr;
        if (!syncPath(m_path, false))
            throw ConversionError(QStringLiteral("the new table file cannot be made durable"));
        m_done = true;
    }

private:
    QString m_path;
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_insert = nullptr;
    bool m_done = false;
};

// The journal: the kept folder, the files to move there, the files to put
// in place.  Written whole (through a temporary name) or not at all.
struct Plan {
    QString kept;
    QStringList moves;
    QList<std::pair<QString, QString>> places; // temporary name, final name
};

const QString journalMagic = QStringLiteral("KORVANE-CONVERSION 1");

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
        throw ConversionError(QStringLiteral("its journal cannot be written (%1)").arg(reason));
    }
    file.close();
    if (!syncPath(partial, false) || !QFile::rename(partial, path)) {
        QFile::remove(partial);
        throw ConversionError(QStringLiteral("its journal cannot be written"));
    }
    syncFolder(folder);
}

std::optional<Plan> readJournal(const QString &folder)
{
    QFile file(QDir(folder).filePath(journalFileName()));
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly))
        throw ConversionError(QStringLiteral("its journal cannot be read (%1)").arg(file.errorString()));
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
        throw ConversionError(QStringLiteral("its journal \"%1\" is damaged").arg(journalFileName()));
    return plan;
}

bool exists(const QString &path)
{
    return platform::fileKind(path, false) != platform::FileKind::Missing;
}

bool isOwnTableFile(const QString &path)
{
    return platform::readHead(path, 16) == QByteArrayView("SQLite format 3\0", 16);
}

// A journal is carried out only when it names what a conversion writes: the
// kept subfolder, the three tables' temporary and final names, and old files
// of those tables.  Checked whole before anything is done.
void checkPlan(const QString &folder, const Plan &plan)
{
    const QDir dir(folder);
    auto refuse = [](const QString &name) {
        return ConversionError(QStringLiteral("its journal names \"%1\", which a conversion never writes; nothing "
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
            throw refuse(temporary + QStringLiteral("\" and \"") + final);
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

// Carries out a durable journal; every step may already have been done.
void carryOut(const QString &folder, const Plan &plan)
{
    const QDir dir(folder);
    checkPlan(folder, plan);
    QString reason;
    if (!platform::createPrivateFolder(dir.filePath(plan.kept), &reason))
        throw ConversionError(QStringLiteral("the folder \"%1\" cannot be created (%2)").arg(plan.kept, reason));
    syncFolder(folder);
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
            if (sameContent(from, to)) {
                if (!QFile::remove(from))
                    throw ConversionError(QStringLiteral("the old file \"%1\" cannot be removed").arg(name));
                continue;
            }
            if (!QFile::remove(to))
                throw ConversionError(QStringLiteral("the incomplete copy of \"%1\" in \"%2\" cannot be removed")
                                          .arg(name, plan.kept));
        }
        if (!exists(from))
            throw ConversionError(QStringLiteral("the old file \"%1\" has vanished").arg(name));
        moveFileVerified(from, to);
    }
    syncFolder(kept.path());
    syncFolder(folder);
    for (const auto &[temporary, final] : plan.places) {
        if (!QFileInfo::exists(dir.filePath(temporary))) {
            if (!QFileInfo::exists(dir.filePath(final)))
                throw ConversionError(QStringLiteral("the new file \"%1\" has vanished").arg(final));
            continue;
        }
        if (exists(dir.filePath(final)) || !QFile::rename(dir.filePath(temporary), dir.filePath(final)))
            throw ConversionError(QStringLiteral("the new file \"%1\" cannot be put in place").arg(final));
    }
    syncFolder(folder);
    if (!QFile::remove(dir.filePath(journalFileName())))
        throw ConversionError(QStringLiteral("its journal cannot be removed"));
    syncFolder(folder);
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

QString dateText(qint64 day)
{
    // Day 1 is 1 January of the year 1.
    const QDate date = QDate::fromJulianDay(day + 1721425);
    return date.isValid() ? date.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

QString timeText(qint64 ms)
{
    const QTime time = QTime::fromMSecsSinceStartOfDay(int(ms));
    if (ms < 0 || ms >= 86400000 || !time.isValid())
        return QString();
    return time.toString(ms % 1000 ? QStringLiteral("hh:mm:ss,zzz") : QStringLiteral("hh:mm:ss"));
}

QString decimalText(const QString &digits)
{
    QString text = digits;
    const bool negative = text.startsWith(u'-');
    if (negative)
        text.remove(0, 1);
    qsizetype start = 0;
    while (start + 1 < text.size() && text.at(start) == u'0' && text.at(start + 1) != u'.')
        ++start;
    text = text.mid(start);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    text.replace(u'.', u',');
    if (text.isEmpty() || text == QLatin1String("0"))
        return QStringLiteral("0");
    return negative ? u'-' + text : text;
}

} // namespace

bool sameContent(const QString &a, const QString &b)
{
    auto digest = [](const QString &path, qint64 *size) -> std::optional<QByteArray> {
        const int fd = platform::openOrdinaryForReading(path);
        QFile file;
        if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            if (fd >= 0)
                ::close(fd);
            return std::nullopt;
        }
        *size = file.size();
        QCryptographicHash hash(QCryptographicHash::Sha256);
        if (!hash.addData(&file) || file.error() != QFileDevice::NoError)
            return std::nullopt;
        return hash.result();
    };
    qint64 sizeA = -1;
    qint64 sizeB = -2;
    const auto digestA = digest(a, &sizeA);
    const auto digestB = digest(b, &sizeB);
    return digestA && digestB && sizeA == sizeB && *digestA == *digestB;
}

void moveFileVerified(const QString &from, const QString &to)
{
    const QString name = QFileInfo(from).fileName();
    const QString keptName = QFileInfo(QFileInfo(to).path()).fileName();
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return;
    if (errno != EXDEV) {
        throw ConversionError(QStringLiteral("the old file \"%1\" cannot be moved into \"%2\" (%3)")
                                  .arg(name, keptName, QString::fromLocal8Bit(std::strerror(errno))));
    }
    // Another file system: copied under a name of its own, made durable and
    // compared before it takes the final name and the original goes.
    const QString partial = to + QStringLiteral(".korvane-copying");
    QFile::remove(partial);
    auto failCopy = [&](const QString &why) {
        QFile::remove(partial);
        return ConversionError(QStringLiteral("the old file \"%1\" cannot be copied into \"%2\" (%3); it is kept "
                                              "where it was")
                                   .arg(name, keptName, why));
    };
    QString reason;
    const int fd = platform::openOrdinaryForReading(from, &reason);
    if (fd < 0)
        throw failCopy(reason);
    QFile source;
    source.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
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
    if (!syncPath(partial, false))
        throw failCopy(QStringLiteral("the copy cannot be made durable"));
    if (!sameContent(from, partial))
        throw failCopy(QStringLiteral("the copy differs from the original"));
    if (!QFile::rename(partial, to))
        throw failCopy(QStringLiteral("the copy cannot take its name"));
    syncFolder(QFileInfo(to).path());
    if (!QFile::remove(from))
        throw ConversionError(QStringLiteral("the old file \"%1\" was copied into \"%2\" but cannot be removed")
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

QString textForm(const FieldValue &value, bool *replaced)
{
    bool lost = value.replaced;
    QString text;
    switch (value.kind) {
    case FieldValue::Kind::Blank:
    case FieldValue::Kind::Binary:
        break;
    case FieldValue::Kind::Text:
        text = value.ascii.isNull() ? value.text : QString::fromLatin1(value.ascii);
        break;
    case FieldValue::Kind::Integer:
        text = QString::number(value.integer);
        break;
    case FieldValue::Kind::Float:
        if (std::isfinite(value.number))
            text = floatToText(value.number);
        else
            lost = true;
        break;
    case FieldValue::Kind::Decimal:
        text = decimalText(value.text);
        break;
    case FieldValue::Kind::Date:
        text = dateText(value.integer);
        lost = lost || text.isEmpty();
        break;
    case FieldValue::Kind::Time:
        text = timeText(value.integer);
        lost = lost || text.isEmpty();
        break;
    case FieldValue::Kind::Timestamp: {
        if (!std::isfinite(value.number) || std::abs(value.number) > 1e15) {
            lost = true;
            break;
        }
        const auto ms = qint64(std::floor(value.number));
        const qint64 day = ms >= 0 ? ms / 86400000 : (ms - 86399999) / 86400000;
        const QString date = dateText(day);
        const QString time = timeText(ms - day * 86400000);
        if (date.isEmpty() || time.isEmpty())
            lost = true;
        else
            text = date + u' ' + time;
        break;
    }
    case FieldValue::Kind::Logical:
        text = value.integer ? QStringLiteral("True") : QStringLiteral("False");
        break;
    }
    if (replaced)
        *replaced = lost;
    return text;
}

std::optional<qint64> wholeNumber(const FieldValue &value)
{
    switch (value.kind) {
    case FieldValue::Kind::Integer:
        return value.integer;
    case FieldValue::Kind::Float:
        if (std::isfinite(value.number) && value.number == std::floor(value.number) && std::abs(value.number) < 9e15)
            return qint64(value.number);
        return std::nullopt;
    case FieldValue::Kind::Decimal: {
        const QString text = decimalText(value.text);
        bool ok = false;
        const qint64 number = text.toLongLong(&ok);
        return ok ? std::optional<qint64>(number) : std::nullopt;
    }
    case FieldValue::Kind::Text:
        if (auto number = tryTextToInt(textForm(value).trimmed()))
            return *number;
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

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
                    survey.refusals.append({name, QStringLiteral("it is %1, not an ordinary file").arg(platform::describe(kind))});
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
                survey.refusals.append({name, QStringLiteral("it is named like the table \"%1\" but is no Paradox "
                                                             "table (its header does not match)")
                                                  .arg(layout.fileName)});
            }
        }
        // A table file of the program's own under the exact name wins;
        // Paradox files that differ from it in case only are left alone.
        if (ownFile || candidates.isEmpty())
            continue;
        if (candidates.size() > 1) {
            survey.refusals.append({candidates.at(1), QStringLiteral("the file \"%1\" holds the same table")
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

    NewFile file(targetPath);
    // The file is only trusted once it is complete and durable, so it is
    // filled without a rollback journal and synced once at the end.
    file.exec(QStringLiteral("PRAGMA journal_mode = OFF"));
    file.exec(QStringLiteral("PRAGMA synchronous = OFF"));
    file.exec(store::createTableStatement(layout));
    file.exec(QStringLiteral("BEGIN"));
    QStringList names;
    QStringList marks;
    for (const store::FieldDef &field : layout.fields) {
        names << quoted(field.name);
        marks << QStringLiteral("?");
    }
    sqlite3_stmt *insert = file.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                            .arg(quoted(layout.tableName), names.join(u','), marks.join(u',')));

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
            throw ConversionError(QStringLiteral("it changed while it was read"));
        sqlite3_bind_int64(insert, 1, keys[position++]);
        for (int i = 1; i < columns; ++i) {
            const int from = source.at(i);
            if (from < 0) {
                sqlite3_bind_null(insert, i + 1);
                continue;
            }
            const FieldValue value = table.value(record, from);
            if (layout.fields.at(i).kind == store::FieldKind::Integer) {
                const std::optional<qint64> number = wholeNumber(value);
                if (number && *number >= std::numeric_limits<qint32>::min() && *number <= std::numeric_limits<qint32>::max()) {
                    sqlite3_bind_int64(insert, i + 1, *number);
                } else {
                    if (value.kind != FieldValue::Kind::Blank)
                        ++report.notWholeNumbers;
                    sqlite3_bind_null(insert, i + 1);
                }
                continue;
            }
            if (value.kind == FieldValue::Kind::Text && !value.ascii.isNull()) {
                sqlite3_bind_text(insert, i + 1, value.ascii.data(), int(value.ascii.size()), SQLITE_STATIC);
                continue;
            }
            bool replaced = false;
            const QString text = textForm(value, &replaced);
            if (replaced)
                ++report.replacedValues;
            if (text.isEmpty()) {
                sqlite3_bind_null(insert, i + 1);
            } else {
                const QByteArray utf8 = text.toUtf8();
                sqlite3_bind_text(insert, i + 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            }
        }
        file.step();
        ++report.converted;
    });
    report.recordsFound = visited;
    if (advance)
        advance(visited % 512);
    file.exec(QStringLiteral("COMMIT"));
    file.finish();
    return report;
}

ConversionResult convertFolder(const QString &folder, const Survey &survey,
                               const std::function<void(qint64, qint64)> &progress)
{
    const QDir dir(folder);
    if (QFileInfo::exists(dir.filePath(journalFileName())))
        throw ConversionError(QStringLiteral("An earlier conversion in %1 is not finished.").arg(nativeFolder(folder)));
    if (!platform::folderIsWritable(folder)) {
        throw ConversionError(QStringLiteral("The tables in %1 cannot be converted because the folder is read-only. "
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
                throw ConversionError(QStringLiteral("The table file \"%1\" in %2 cannot be converted: %3.")
                                          .arg(found.fileName, nativeFolder(folder), error.reason()));
            } catch (const ConversionError &error) {
                throw ConversionError(QStringLiteral("The table file \"%1\" in %2 cannot be converted: %3.")
                                          .arg(found.fileName, nativeFolder(folder), error.message()));
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
                throw ConversionError(QStringLiteral("the subfolder \"%1\" that receives the old files cannot be "
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
        syncFolder(folder);
        writeJournal(folder, plan);
    } catch (const ConversionError &error) {
        removeTemporaries(folder);
        throw ConversionError(error.message().endsWith(u'.')
                                  ? error.message()
                                  : QStringLiteral("The tables in %1 cannot be converted: %2.")
                                        .arg(nativeFolder(folder), error.message()));
    } catch (const std::exception &error) {
        // Out of memory and the like: nothing may be left half done.
        removeTemporaries(folder);
        throw ConversionError(QStringLiteral("The tables in %1 cannot be converted: %2.")
                                  .arg(nativeFolder(folder), QString::fromLocal8Bit(error.what())));
    }
    result.keptFolder = plan.kept;
    try {
        carryOut(folder, plan);
    } catch (const ConversionError &error) {
        throw ConversionError(QStringLiteral("The conversion in %1 could not be finished: %2. It will be finished at "
                                             "the next start.")
                                  .arg(nativeFolder(folder), error.message()));
    }
    return result;
}

Recovery recoverConversion(const QString &folder, QString *keptFolder)
{
    std::optional<Plan> plan;
    try {
        plan = readJournal(folder);
    } catch (const ConversionError &error) {
        throw ConversionError(QStringLiteral("An interrupted conversion in %1 cannot be finished: %2.")
                                  .arg(nativeFolder(folder), error.message()));
    }
    if (!plan) {
        if (!anyTemporary(folder))
            return Recovery::Nothing;
        removeTemporaries(folder);
        syncFolder(folder);
        return Recovery::RolledBack;
    }
    try {
        carryOut(folder, *plan);
    } catch (const ConversionError &error) {
        throw ConversionError(QStringLiteral("An interrupted conversion in %1 cannot be finished: %2.")
                                  .arg(nativeFolder(folder), error.message()));
    }
    if (keptFolder)
        *keptFolder = plan->kept;
    return Recovery::Completed;
}

} // namespace legacy
