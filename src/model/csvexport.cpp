#include "model/csvexport.h"

#include "core/codepage.h"
#include "core/errors.h"
#include "core/files.h"
#include "legacy/paradoxtable.h"
#include "store/query.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>

namespace data {
namespace {

// The Windows-1252 byte of every character of the Basic Multilingual Plane,
// or -1 where the code page has none.
const QList<qint16> &windows1252Table()
{
    static const QList<qint16> table = [] {
        QList<qint16> bytes = core::CodePage(1252).byteTable();
        if (bytes.size() != 0x10000) {
            throw core::Failure(
                QCoreApplication::translate("Export", "The code page Windows-1252 is not available for the export."));
        }
        return bytes;
    }();
    return table;
}

// Appends the byte of `c`, or '?' for a character outside the code page;
// returns whether it was replaced.
bool appendCharacter(char *&d, char32_t c)
{
    if (c < 0x80) {
        *d++ = char(c);
        return false;
    }
    const qint16 byte = c < 0x10000 ? windows1252Table()[c] : -1;
    *d++ = byte < 0 ? '?' : char(byte);
    return byte < 0;
}

} // namespace

void writeExportBytes(QIODevice &out, const QByteArray &bytes)
{
    // A short write is retried with the rest, so that a full disk shows up
    // as a failed write with its reason.
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 written = out.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            const QString reason = out.errorString().isEmpty() ? QCoreApplication::translate("Export", "write failed") : out.errorString();
            throw core::Failure(core::Failure::Kind::WriteFailed, QString(),
                                QCoreApplication::translate("Export", "The export could not be written: %1").arg(reason));
        }
        done += written;
    }
}

QByteArray exportHeader()
{
    return QByteArrayLiteral(
               "Testnr;Dat;ProfNr;Name;Surname;Bodyweight;High;Exercise;Load;Rt1;RR1;Rt2;RR2;Rt3;RR3;"
               "Rt4;RR4;Rt5;RR5;Rt6;RR6;Rt7;RR7;Rt8;RR8;Rt9;RR9;Rt10;RR10;")
        + QByteArrayLiteral(
               "Rt11;RR11;Rt12;RR12;Rt13;RR13;Rt14;RR14;Rt15;RR15;Rt16;RR16;Rt17;RR17;Rt18;RR18;"
               "Rt19;RR19;StartRest;froPhase;ToPhase;RestafterFro;RestafterTo;Rep;Set;RestSets;"
               "TUTTotal;TUTReal\r\n");
}

int appendWindows1252(QByteArray &out, QStringView text)
{
    // One byte out per character, and a character takes at least one code
    // unit in: the output never outgrows the input.
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char *d = out.data() + start;
    const qsizetype n = text.size();
    const QChar *p = text.data();
    int replaced = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = p[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(p[i + 1].unicode())) {
            // One character outside the code page, whatever its two halves.
            replaced += appendCharacter(d, QChar::surrogateToUcs4(u, p[i + 1].unicode()));
            ++i;
        } else if (QChar::isSurrogate(u)) {
            *d++ = '?';
            ++replaced;
        } else {
            replaced += appendCharacter(d, u);
        }
    }
    out.resize(d - out.data());
    return replaced;
}

int appendWindows1252(QByteArray &out, QByteArrayView utf8)
{
    const qsizetype start = out.size();
    out.resize(start + utf8.size());
    char *d = out.data() + start;
    const auto *s = reinterpret_cast<const unsigned char *>(utf8.data());
    const qsizetype n = utf8.size();
    qsizetype i = 0;
    int replaced = 0;
    while (i < n) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            *d++ = char(c);
            ++i;
            continue;
        }
        int length = 0;
        char32_t code = 0;
        char32_t least = 0;
        if ((c & 0xE0) == 0xC0) {
            length = 2; code = c & 0x1F; least = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            length = 3; code = c & 0x0F; least = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            length = 4; code = c & 0x07; least = 0x10000;
        }
        bool valid = length > 0 && i + length <= n;
        for (int k = 1; valid && k < length; ++k) {
            valid = (s[i + k] & 0xC0) == 0x80;
            code = (code << 6) | (s[i + k] & 0x3F);
        }
        if (!valid || code < least) {
            // A byte that starts no valid sequence.
            *d++ = '?';
            ++replaced;
            ++i;
            continue;
        }
        replaced += appendCharacter(d, code);
        i += length;
    }
    out.resize(d - out.data());
    return replaced;
}

static ExportSummary writeRows(QIODevice &out, store::Query &query, const std::function<void(int)> &advance);

ExportSummary writeTestExport(QIODevice &out, store::Query &query, const std::function<void(int)> &advance)
{
    // A failure anywhere closes the query, so that no half-read result keeps
    // the test table's file locked against writers.
    try {
        return writeRows(out, query, advance);
    } catch (...) {
        query.close();
        throw;
    }
}

static ExportSummary writeRows(QIODevice &out, store::Query &query, const std::function<void(int)> &advance)
{
    ExportSummary summary;
    writeExportBytes(out, exportHeader());

    query.clear();
    query.setText(exportQueryText());
    query.open();
    query.first();

    // Lines are gathered into blocks so the device sees few, large writes.
    constexpr qsizetype blockSize = 1 << 16;
    QByteArray block;
    block.reserve(2 * blockSize);
    if (query.recordCount() > 0) {
        while (!query.eof()) {
            for (int position = 1; position <= exportedFieldCount; ++position) {
                if (appendWindows1252(block, query.fieldUtf8(position)) > 0)
                    ++summary.valuesWithReplacements;
                block.append("; ", 2);
            }
            block.append("\r\n", 2);
            ++summary.tests;
            if (advance)
                advance(exportedFieldCount);
            if (block.size() >= blockSize) {
                writeExportBytes(out, block);
                block.resize(0);
            }
            query.next();
        }
    }
    if (!block.isEmpty())
        writeExportBytes(out, block);
    return summary;
}

WriteTarget writeTarget(const QString &path)
{
    WriteTarget target;
    target.kind = platform::fileKind(path, false);
    if (platform::isSymLink(path)) {
        target.problem = WriteTarget::Problem::Link;
        target.linkTarget = QFileInfo(path).symLinkTarget();
    } else if (target.kind != platform::FileKind::Missing && target.kind != platform::FileKind::Ordinary) {
        target.problem = WriteTarget::Problem::NotOrdinary;
    } else {
        const QByteArray head = platform::readHead(path, 0x800);
        if (head.startsWith(QByteArrayView("SQLite format 3\0", 16)) || legacy::ParadoxTable::looksLikeTable(head))
            target.problem = WriteTarget::Problem::TableFile;
    }
    return target;
}

void checkExportTarget(const QString &path, const QString &notWritten)
{
    const WriteTarget target = writeTarget(path);
    QString why;
    switch (target.problem) {
    case WriteTarget::Problem::None:
        return;
    case WriteTarget::Problem::Link:
        why = QCoreApplication::translate("Export", "It is a link to \"%1\"; Korvane writes its export only as an "
                                                    "ordinary file. Remove or rename the link and export again.")
                  .arg(QDir::toNativeSeparators(target.linkTarget));
        break;
    case WriteTarget::Problem::NotOrdinary:
        why = QCoreApplication::translate("Export", "It is %1, not an ordinary file, so the export could not be "
                                                    "created there.")
                  .arg(platform::describe(target.kind));
        break;
    case WriteTarget::Problem::TableFile:
        why = QCoreApplication::translate("Export", "It is a table file, not an export.");
        break;
    }
    throw core::Failure(core::Failure::Kind::WriteFailed, path, notWritten + why);
}

namespace {

// A new export holds personal data: readable by its owner only.  An existing
// file keeps the permissions its owner gave it (QSaveFile carries them over).
void keepPrivateWhenNew(QSaveFile &file, bool existed)
{
    if (!existed)
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace

ExportSummary exportTestsToFile(const QString &path, store::Query &query, const std::function<void(int)> &advance)
{
    const QString name = QFileInfo(path).fileName();
    checkExportTarget(path, QCoreApplication::translate("Export", "\"%1\" was not written; the previous file is unchanged. ").arg(name));
    const bool existed = platform::fileKind(path, false) == platform::FileKind::Ordinary;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw core::Failure(core::Failure::Kind::WriteFailed, path, QCoreApplication::translate("Export", "\"%1\" could not be created: %2").arg(name, file.errorString()));
    }
    keepPrivateWhenNew(file, existed);
    ExportSummary summary;
    try {
        summary = writeTestExport(file, query, advance);
    } catch (const core::Failure &error) {
        file.cancelWriting();
        throw error.afterPrefix(
            QCoreApplication::translate("Export", "\"%1\" was not written; the previous file is unchanged. ").arg(name));
    }
    // Closing the file forgets why a write failed, so the reason is taken
    // from the last flush before the file is committed.
    if (!file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw core::Failure(core::Failure::Kind::WriteFailed, path, 
            QCoreApplication::translate("Export", "\"%1\" was not written; the previous file is unchanged. "
                           "The export could not be written: %2")
                .arg(name, reason));
    }
    if (!file.commit()) {
        throw core::Failure(core::Failure::Kind::WriteFailed, path, 
            QCoreApplication::translate("Export", "\"%1\" was not written; the previous file is unchanged. "
                           "The export could not be written: %2")
                .arg(name, file.errorString()));
    }
    return summary;
}

QString replacementNotice(const ExportSummary &summary)
{
    if (summary.valuesWithReplacements == 0)
        return QString();
    const QString values = summary.valuesWithReplacements == 1
        ? QCoreApplication::translate("Export", "1 value holds")
        : QCoreApplication::translate("Export", "%1 values hold").arg(summary.valuesWithReplacements);
    return QCoreApplication::translate("Export", "\"%1\" was written. %2 characters that its code page (Windows-1252) cannot "
                          "represent; each of them was written as \"?\". The tables keep the full text.")
        .arg(exportFileName(), values);
}

} // namespace data
