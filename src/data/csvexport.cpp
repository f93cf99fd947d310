#include "data/csvexport.h"

#include "platform/errors.h"
#include "store/query.h"

#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>

namespace data {
namespace {

// Windows-1252 bytes 0x80 to 0x9F.  The five bytes the code page leaves
// undefined stand for the C1 controls of the same number, as Windows maps
// them; 0 marks the rest of the C1 range, which has no byte.
constexpr char16_t highTable[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char windows1252Byte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (int i = 0; i < 32; ++i) {
        if (highTable[i] == c)
            return char(0x80 + i);
    }
    return '?';
}

void writeBytes(QIODevice &out, const QByteArray &bytes)
{
    // A short write is retried with the rest, so that a full disk shows up
    // as a failed write with its reason.
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 written = out.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            const QString reason = out.errorString().isEmpty() ? QStringLiteral("write failed") : out.errorString();
            throw platform::ActionError(QStringLiteral("The export could not be written: %1").arg(reason));
        }
        done += written;
    }
}

} // namespace

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

void appendWindows1252(QByteArray &out, QStringView text)
{
    const qsizetype n = text.size();
    const QChar *p = text.data();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = p[i].unicode();
        if (u < 0x80) {
            out.append(char(u));
        } else if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(p[i + 1].unicode())) {
            // One character outside the code page, whatever its two halves.
            out.append('?');
            ++i;
        } else {
            out.append(windows1252Byte(u));
        }
    }
}

void appendWindows1252(QByteArray &out, QByteArrayView utf8)
{
    // One byte out per character, and a character takes at least one byte
    // in: the output never outgrows the input.
    const qsizetype start = out.size();
    out.resize(start + utf8.size());
    char *d = out.data() + start;
    const auto *s = reinterpret_cast<const unsigned char *>(utf8.data());
    const qsizetype n = utf8.size();
    qsizetype i = 0;
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
            *d++ = '?';
            ++i;
            continue;
        }
        *d++ = windows1252Byte(code);
        i += length;
    }
    out.resize(d - out.data());
}

void writeTestExport(QIODevice &out, store::Query &query, const std::function<void(int)> &advance)
{
    writeBytes(out, exportHeader());

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
                appendWindows1252(block, query.fieldUtf8(position));
                block.append("; ", 2);
            }
            block.append("\r\n", 2);
            if (advance)
                advance(exportedFieldCount);
            if (block.size() >= blockSize) {
                writeBytes(out, block);
                block.resize(0);
            }
            query.next();
        }
    }
    if (!block.isEmpty())
        writeBytes(out, block);
}

void exportTestsToFile(const QString &path, store::Query &query, const std::function<void(int)> &advance)
{
    const QString name = QFileInfo(path).fileName();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw platform::ActionError(QStringLiteral("\"%1\" could not be created: %2").arg(name, file.errorString()));
    }
    try {
        writeTestExport(file, query, advance);
    } catch (const platform::ActionError &error) {
        file.cancelWriting();
        throw platform::ActionError(QStringLiteral("\"%1\" was not written; the previous file is unchanged. %2")
                                        .arg(name, error.message()));
    }
    // Closing the file forgets why a write failed, so the reason is taken
    // from the last flush before the file is committed.
    if (!file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw platform::ActionError(
            QStringLiteral("\"%1\" was not written; the previous file is unchanged. "
                           "The export could not be written: %2")
                .arg(name, reason));
    }
    if (!file.commit()) {
        throw platform::ActionError(
            QStringLiteral("\"%1\" was not written; the previous file is unchanged. "
                           "The export could not be written: %2")
                .arg(name, file.errorString()));
    }
}

} // namespace data
