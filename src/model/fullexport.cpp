#include "model/fullexport.h"

#include "core/errors.h"
#include "core/files.h"
#include "core/numbertext.h"
#include "model/csvexport.h"
#include "model/testdate.h"
#include "model/testfilter.h"
#include "store/layout.h"
#include "store/testnotes.h"
#include "store/testrows.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>


#include <atomic>

#include <unistd.h>
#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif
#include <vector>

namespace data {
namespace {

// A failure to read the stored tests, told apart from a failure to write.
core::Failure readFailure(const QString &sentence)
{
    return core::Failure(core::Failure::Kind::ReadFailed, QString(), sentence);
}

core::Failure writeFailure(const QString &path, const QString &sentence)
{
    return core::Failure(core::Failure::Kind::WriteFailed, path, sentence);
}

bool isBlank(char16_t c)
{
    // The characters QString::trimmed() takes off that fit in ASCII.
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Where `s` starts and ends with the blanks around it taken off.
template <typename Char>
std::pair<qsizetype, qsizetype> withoutBlanks(const Char *s, qsizetype n)
{
    qsizetype b = 0;
    qsizetype e = n;
    while (b < e && isBlank(char16_t(s[b])))
        ++b;
    while (e > b && isBlank(char16_t(s[e - 1])))
        --e;
    return {b, e};
}

// Moves `i` past the digits that stand from there up to `e`; returns how many.
template <typename Char>
qsizetype skipDigits(const Char *s, qsizetype &i, qsizetype e)
{
    const qsizetype from = i;
    while (i < e && isDigit(char16_t(s[i])))
        ++i;
    return i - from;
}

// Where a decimal-comma number stands in `s` (blanks taken off), or nothing.
// `needsCheck` tells that the value may be out of range (it has an exponent).
template <typename Char>
std::optional<std::pair<qsizetype, qsizetype>> decimalCommaSpan(const Char *s, qsizetype n, bool &needsCheck)
{
    const auto [b, e] = withoutBlanks(s, n);
    qsizetype i = b;
    if (i < e && (s[i] == '-' || s[i] == '+'))
        ++i;
    qsizetype digits = skipDigits(s, i, e);
    if (i < e && s[i] == ',') {
        ++i;
        digits += skipDigits(s, i, e);
    }
    if (digits == 0)
        return std::nullopt;
    needsCheck = false;
    if (i < e && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < e && (s[i] == '-' || s[i] == '+'))
            ++i;
        if (skipDigits(s, i, e) == 0)
            return std::nullopt;
        needsCheck = true;
    }
    if (i != e)
        return std::nullopt;
    return std::pair{b, e};
}

const std::vector<bool> &numberFields()
{
    static const std::vector<bool> mask = [] {
        const store::Layout &layout = store::testTableLayout();
        std::vector<bool> numbers(size_t(layout.fields.size()), true);
        for (const char *text : {"Date", "Name", "Surname", "Exercise"})
            numbers[size_t(layout.indexOf(QString::fromLatin1(text)))] = false;
        return numbers;
    }();
    return mask;
}

} // namespace

QByteArray fullExportHeader()
{
    QByteArray header;
    for (const store::FieldDef &field : store::testTableLayout().fields) {
        if (!header.isEmpty())
            header.append(',');
        header.append(field.name.toUtf8());
    }
    // The notes of the tests come after the test table's fields.
    header.append(",Note,Valid,Tester\r\n");
    return header;
}

bool isNumberField(int index)
{
    const std::vector<bool> &mask = numberFields();
    return index >= 0 && size_t(index) < mask.size() && mask[size_t(index)];
}

int dateFieldIndex()
{
    static const int index = store::testTableLayout().indexOf(QStringLiteral("Date"));
    return index;
}

namespace {

// Appends the number with a decimal point and returns true, or appends
// nothing and returns false when the text is no decimal-comma number.
bool appendDecimalPoint(QByteArray &out, QByteArrayView utf8)
{
    for (char c : utf8) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            // Blanks outside ASCII may surround a number too; the number
            // itself is ASCII.
            const QString trimmed = QString::fromUtf8(utf8).trimmed();
            for (QChar q : trimmed) {
                if (q.unicode() >= 0x80)
                    return false;
            }
            return appendDecimalPoint(out, trimmed.toLatin1());
        }
    }
    bool needsCheck = false;
    const auto span = decimalCommaSpan(utf8.data(), utf8.size(), needsCheck);
    if (!span)
        return false;
    const QByteArrayView number = utf8.sliced(span->first, span->second - span->first);
    if (needsCheck && !tryTextToFloat(QString::fromLatin1(number)))
        return false;
    const qsizetype start = out.size();
    out.append(number);
    char *d = out.data() + start;
    for (qsizetype i = 0; i < number.size(); ++i) {
        if (d[i] == ',')
            d[i] = '.';
    }
    return true;
}

// yyyy-mm-dd of a date of the years 1 to 9999.
void appendIsoDate(QByteArray &out, const QDate &date)
{
    char text[10];
    int y = date.year();
    for (int i = 3; i >= 0; --i, y /= 10)
        text[i] = char('0' + y % 10);
    text[4] = '-';
    text[5] = char('0' + date.month() / 10);
    text[6] = char('0' + date.month() % 10);
    text[7] = '-';
    text[8] = char('0' + date.day() / 10);
    text[9] = char('0' + date.day() % 10);
    out.append(text, 10);
}

} // namespace

std::optional<QByteArray> decimalPointNumber(QByteArrayView utf8)
{
    QByteArray number;
    if (!appendDecimalPoint(number, utf8))
        return std::nullopt;
    return number;
}

void appendCsvField(QByteArray &out, QByteArrayView utf8)
{
    bool quote = false;
    for (char c : utf8) {
        // A semicolon too: spreadsheets in many languages split at it.
        if (c == ',' || c == ';' || c == '"' || c == '\r' || c == '\n') {
            quote = true;
            break;
        }
    }
    if (!quote) {
        out.append(utf8.data(), utf8.size());
        return;
    }
    out.append('"');
    for (char c : utf8) {
        if (c == '"')
            out.append('"');
        out.append(c);
    }
    out.append('"');
}

qint64 writeFullExport(QIODevice &out, const QSqlDatabase &db, const TestFilter &filter)
{
    const QHash<qint64, store::TestNote> notes = store::readTestNotes(db);
    TestRowFilter wanted(filter);
    const store::Layout &layout = store::testTableLayout();
    const int nameIndex = layout.indexOf(QStringLiteral("Name"));
    const int surnameIndex = layout.indexOf(QStringLiteral("Surname"));
    const int exerciseIndex = layout.indexOf(QStringLiteral("Exercise"));
    // One statement reads one snapshot of the table from start to end.
    store::TestRows rows(db, [](const QString &reason) {
        throw readFailure(QCoreApplication::translate("Export", "The stored tests could not be read: %1").arg(reason));
    });

    writeExportBytes(out, fullExportHeader());

    const int fieldCount = rows.fieldCount();
    const int dateIndex = dateFieldIndex();
    const std::vector<bool> &numbers = numberFields();
    const int referenceYear = QDate::currentDate().year();
    // Tests share their dates: each distinct text is read once.
    QHash<QByteArray, QByteArray> dates;

    constexpr qsizetype blockSize = 1 << 16;
    QByteArray block;
    block.reserve(2 * blockSize);
    qint64 count = 0;
    while (rows.next()) {
        if (!wanted.takesAll()
            && !wanted.accepts(rows.field(nameIndex), rows.field(surnameIndex), rows.field(exerciseIndex), rows.field(dateIndex)))
            continue;
        for (int i = 0; i < fieldCount; ++i) {
            if (i > 0)
                block.append(',');
            const QByteArrayView value = rows.field(i);
            if (value.isEmpty())
                continue;
            if (numbers[size_t(i)]) {
                if (appendDecimalPoint(block, value))
                    continue;
            } else if (i == dateIndex) {
                if (const auto date = readDottedTestDate(value, referenceYear)) {
                    appendIsoDate(block, *date);
                    continue;
                }
                const QByteArray key = value.toByteArray();
                auto known = dates.constFind(key);
                if (known == dates.cend()) {
                    const auto date = readTestDate(QString::fromUtf8(value), referenceYear);
                    QByteArray iso;
                    if (date)
                        appendIsoDate(iso, *date);
                    known = dates.insert(key, iso);
                }
                if (!known->isEmpty()) {
                    block.append(*known);
                    continue;
                }
            }
            appendCsvField(block, value);
        }
        if (notes.isEmpty()) {
            block.append(",,true,\r\n");
        } else {
            const store::TestNote note = notes.value(rows.field(0).toByteArray().toLongLong());
            block.append(',');
            appendCsvField(block, note.text.toUtf8());
            block.append(note.valid ? ",true," : ",false,");
            appendCsvField(block, note.tester.toUtf8());
            block.append("\r\n", 2);
        }
        ++count;
        if (block.size() >= blockSize) {
            writeExportBytes(out, block);
            block.resize(0);
        }
    }
    if (!block.isEmpty())
        writeExportBytes(out, block);
    return count;
}

namespace {

qint64 writeFullExportStream(const QSqlDatabase &db, const TestFilter &filter)
{
    QFile out;
#ifdef Q_OS_WIN
    _setmode(STDOUT_FILENO, _O_BINARY); // the bytes of the file, with no \r added
#endif
    if (!out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
        throw writeFailure(QString(), QCoreApplication::translate("Export", "The standard output cannot be written: %1").arg(out.errorString()));
    try {
        return writeFullExport(out, db, filter);
    } catch (const core::Failure &error) {
        throw error.afterPrefix(QCoreApplication::translate("Export", "The export on the standard output is incomplete. "));
    }
}

} // namespace

qint64 writeFullExportFile(const QString &path, const QSqlDatabase &db, const TestFilter &filter)
{
    const QString name = QFileInfo(path).fileName();
    const QString notWritten = QCoreApplication::translate("Export", "\"%1\" was not written; the previous file is unchanged. ").arg(name);
    // Standard output (/dev/stdout, or the file it was sent to) is written
    // as a stream: there is nothing to replace.
    if (platform::namesStandardOutput(path))
        return writeFullExportStream(db, filter);
    checkExportTarget(path, notWritten);
    const bool existed = platform::fileKind(path, false) == platform::FileKind::Ordinary;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw writeFailure(path, QCoreApplication::translate("Export", "\"%1\" could not be created: %2").arg(name, file.errorString()));
    // A new file holds personal data: readable by its owner only.
    if (!existed)
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    qint64 count = 0;
    try {
        count = writeFullExport(file, db, filter);
    } catch (const core::Failure &error) {
        file.cancelWriting();
        throw error.afterPrefix(notWritten);
    }
    // Closing the file forgets why a write failed, so the reason is taken
    // from the last flush before the file is committed.
    if (!file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw writeFailure(path, notWritten + QCoreApplication::translate("Export", "The export could not be written: %1").arg(reason));
    }
    if (!file.commit()) {
        throw writeFailure(path, notWritten + QCoreApplication::translate("Export", "The export could not be written: %1").arg(file.errorString()));
    }
    return count;
}

} // namespace data
