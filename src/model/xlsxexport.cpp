#include "model/xlsxexport.h"

#include "core/errors.h"
#include "core/files.h"
#include "model/csvexport.h"
#include "model/fullexport.h"
#include "model/progress.h"
#include "model/records.h"
#include "store/layout.h"
#include "store/sqlitefile.h"
#include "store/table.h"
#include "store/testnotes.h"
#include "store/testrows.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>

#include <xlsxwriter.h>

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <locale.h>
#include <optional>
#include <string>
#include <vector>

namespace data {
namespace {

core::Failure readFailure(const QString &reason)
{
    return core::Failure(core::Failure::Kind::ReadFailed, QString(),
                         QCoreApplication::translate("Export", "The stored tests could not be read: %1").arg(reason));
}

core::Failure writeFailure(const QString &path, const QString &sentence)
{
    return core::Failure(core::Failure::Kind::WriteFailed, path, sentence);
}

// The library writes numbers with the C library's formatting, which follows
// LC_NUMERIC: a German locale would put decimal commas into the file.  The
// writing thread uses the C locale while this lives.
#ifdef Q_OS_WIN
// Windows' C library has no locale objects per thread: the thread gets a
// locale of its own, set to C, and both are given back at the end.
class CNumericLocale {
public:
    CNumericLocale()
        : m_previousMode(_configthreadlocale(_ENABLE_PER_THREAD_LOCALE))
    {
        if (const char *current = std::setlocale(LC_NUMERIC, nullptr))
            m_previous = current;
        std::setlocale(LC_NUMERIC, "C");
    }
    ~CNumericLocale()
    {
        if (!m_previous.empty())
            std::setlocale(LC_NUMERIC, m_previous.c_str());
        if (m_previousMode == _DISABLE_PER_THREAD_LOCALE)
            _configthreadlocale(_DISABLE_PER_THREAD_LOCALE);
    }
    CNumericLocale(const CNumericLocale &) = delete;
    CNumericLocale &operator=(const CNumericLocale &) = delete;

private:
    int m_previousMode;
    std::string m_previous;
};
#else
class CNumericLocale {
public:
    CNumericLocale()
        : m_c(newlocale(LC_NUMERIC_MASK, "C", locale_t(nullptr)))
    {
        if (m_c)
            m_previous = uselocale(m_c);
    }
    ~CNumericLocale()
    {
        if (m_c) {
            uselocale(m_previous);
            freelocale(m_c);
        }
    }
    CNumericLocale(const CNumericLocale &) = delete;
    CNumericLocale &operator=(const CNumericLocale &) = delete;

private:
    locale_t m_c = locale_t(nullptr);
    locale_t m_previous = locale_t(nullptr);
};
#endif

// The most a cell holds, in bytes of UTF-8 (the library's limit).
constexpr qsizetype cellTextLimit = 32767;

bool isBlankByte(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

QByteArrayView trimmedView(QByteArrayView bytes)
{
    qsizetype b = 0;
    qsizetype e = bytes.size();
    while (b < e && isBlankByte(bytes[b]))
        ++b;
    while (e > b && isBlankByte(bytes[e - 1]))
        --e;
    return bytes.sliced(b, e - b);
}

// A decimal-comma number ("72,5", "-0,4", "1,5E3") as a double; nothing for
// any other text, and for values beyond the range of a double.
std::optional<double> numberOf(QByteArrayView bytes)
{
    char buffer[40];
    const QByteArrayView trimmed = trimmedView(bytes);
    // The common short forms without an allocation.
    if (!trimmed.isEmpty() && trimmed.size() < qsizetype(sizeof buffer)) {
        bool plain = true;
        bool comma = false;
        int digits = 0;
        for (qsizetype i = 0; i < trimmed.size() && plain; ++i) {
            const char c = trimmed[i];
            if (c >= '0' && c <= '9') {
                ++digits;
                buffer[i] = c;
            } else if (c == ',' && !comma) {
                comma = true;
                buffer[i] = '.';
            } else if (c == '-' && i == 0) {
                buffer[i] = c;
            } else {
                plain = false;
            }
        }
        if (plain) {
            if (digits == 0)
                return std::nullopt;
            double value = 0;
            const auto [end, error] = std::from_chars(buffer, buffer + trimmed.size(), value);
            if (error == std::errc() && end == buffer + trimmed.size())
                return value;
            return std::nullopt;
        }
    }
    const std::optional<QByteArray> point = decimalPointNumber(bytes);
    if (!point)
        return std::nullopt;
    QByteArrayView text(*point);
    if (text.startsWith('+'))
        text = text.sliced(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The characters a cell shows of `bytes`: UTF-8 continuation bytes do not
// count.  Line breaks make the widest line count.
int shownWidth(QByteArrayView bytes)
{
    int widest = 0;
    int width = 0;
    for (char c : bytes) {
        if (c == '\n') {
            widest = std::max(widest, width);
            width = 0;
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++width;
        }
    }
    return std::max(widest, width);
}

// Fields holding texts rather than numbers, in every table.
bool isTextField(const QString &name)
{
    for (const char *text : {"Date", "Name", "Surname", "Exercise", "Profil"}) {
        if (name.compare(QLatin1String(text), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

class Workbook;

// One sheet written row by row, with its column widths and autofilter set
// at the end.
class Sheet {
public:
    // `countsTexts`: values of number fields that stay text are counted
    // (the "Sets" sheet repeats values the "Tests" sheet counted).
    Sheet(Workbook &book, lxw_worksheet *sheet, const QStringList &header, bool countsTexts = true);

    void text(int column, QByteArrayView utf8);
    void number(int column, double value, int shownDigits);
    void date(int column, const QDate &date);
    void boolean(int column, bool value);
    // The value as a number when it reads as one, else as text (counted).
    void numberOrText(int column, QByteArrayView utf8);
    // Goes to the next row; the first call steps from the header row.
    void nextRow();
    void finish();
    qint64 rows() const { return m_row; }

private:
    void check(lxw_error error);
    void widen(int column, int width)
    {
        if (width > m_widths[size_t(column)])
            m_widths[size_t(column)] = width;
    }

    Workbook &m_book;
    lxw_worksheet *m_sheet;
    std::vector<int> m_widths;
    lxw_row_t m_row = 0;
    bool m_countsTexts = true;
};

class Workbook {
public:
    Workbook(const QString &path, const QString &name)
        : m_path(path)
        , m_name(name)
    {
        lxw_workbook_options options{};
        // Rows go to the file as they are written: memory stays flat for
        // any number of tests.
        options.constant_memory = LXW_TRUE;
        // The library opens its file with fopen(): the file exists already,
        // under a name that the C library can open.
        m_book = workbook_new_opt(platform::narrowFileName(path).constData(), &options);
        if (!m_book)
            throw writeFailure(path, QCoreApplication::translate("Export", "\"%1\" could not be created.").arg(name));
        m_header = workbook_add_format(m_book);
        format_set_bold(m_header);
        m_date = workbook_add_format(m_book);
        format_set_num_format(m_date, "yyyy-mm-dd");
    }
    ~Workbook()
    {
        // An unfinished workbook still owns its memory and temporary files.
        if (m_book)
            workbook_close(m_book);
    }
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    lxw_worksheet *addSheet(const char *name)
    {
        lxw_worksheet *sheet = workbook_add_worksheet(m_book, name);
        if (!sheet)
            fail(LXW_ERROR_MEMORY_MALLOC_FAILED);
        return sheet;
    }

    void close()
    {
        lxw_workbook *book = m_book;
        m_book = nullptr;
        const lxw_error error = workbook_close(book);
        if (error != LXW_NO_ERROR)
            fail(error);
    }

    [[noreturn]] void fail(lxw_error error) const
    {
        throw writeFailure(m_path, QCoreApplication::translate("Export", "The workbook could not be written: %1")
                                       .arg(QString::fromUtf8(lxw_strerror(error))));
    }

    lxw_format *headerFormat() const { return m_header; }
    lxw_format *dateFormat() const { return m_date; }
    qint64 textInNumberFields = 0;

private:
    QString m_path;
    QString m_name;
    lxw_workbook *m_book = nullptr;
    lxw_format *m_header = nullptr;
    lxw_format *m_date = nullptr;
};

Sheet::Sheet(Workbook &book, lxw_worksheet *sheet, const QStringList &header, bool countsTexts)
    : m_book(book)
    , m_sheet(sheet)
    , m_widths(size_t(header.size()), 0)
    , m_countsTexts(countsTexts)
{
    for (int column = 0; column < header.size(); ++column) {
        const QByteArray name = header.at(column).toUtf8();
        check(worksheet_write_string(m_sheet, 0, lxw_col_t(column), name.constData(), m_book.headerFormat()));
        // Room for the filter button beside the name.
        widen(column, shownWidth(name) + 3);
    }
    worksheet_freeze_panes(m_sheet, 1, 0);
}

void Sheet::check(lxw_error error)
{
    if (error == LXW_NO_ERROR)
        return;
    if (error == LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE)
        throw writeFailure(QString(), QCoreApplication::translate("Export", "The workbook could not be written: a sheet "
                                                                            "would have more than %1 rows.")
                                          .arg(LXW_ROW_MAX));
    m_book.fail(error);
}

void Sheet::nextRow()
{
    ++m_row;
}

void Sheet::text(int column, QByteArrayView utf8)
{
    if (utf8.isEmpty())
        return;
    if (utf8.size() > cellTextLimit) {
        throw writeFailure(QString(), QCoreApplication::translate("Export", "The workbook could not be written: a value in "
                                                                            "row %1 is longer than a cell holds (%2 characters).")
                                          .arg(m_row + 1)
                                          .arg(cellTextLimit));
    }
    // The library wants a terminated string; most values fit on the stack.
    char small[128];
    QByteArray large;
    const char *terminated = nullptr;
    if (utf8.size() < qsizetype(sizeof small)) {
        std::copy(utf8.begin(), utf8.end(), small);
        small[utf8.size()] = '\0';
        terminated = small;
    } else {
        large = utf8.toByteArray();
        terminated = large.constData();
    }
    check(worksheet_write_string(m_sheet, m_row, lxw_col_t(column), terminated, nullptr));
    widen(column, shownWidth(utf8));
}

void Sheet::number(int column, double value, int shownDigits)
{
    check(worksheet_write_number(m_sheet, m_row, lxw_col_t(column), value, nullptr));
    widen(column, shownDigits);
}

void Sheet::date(int column, const QDate &date)
{
    lxw_datetime when{date.year(), date.month(), date.day(), 0, 0, 0.0};
    check(worksheet_write_datetime(m_sheet, m_row, lxw_col_t(column), &when, m_book.dateFormat()));
    widen(column, 10);
}

void Sheet::boolean(int column, bool value)
{
    check(worksheet_write_boolean(m_sheet, m_row, lxw_col_t(column), value ? 1 : 0, nullptr));
    widen(column, 5);
}

void Sheet::numberOrText(int column, QByteArrayView utf8)
{
    if (utf8.isEmpty())
        return;
    if (const std::optional<double> value = numberOf(utf8)) {
        number(column, *value, int(trimmedView(utf8).size()));
        return;
    }
    if (m_countsTexts && !trimmedView(utf8).isEmpty())
        ++m_book.textInNumberFields;
    text(column, utf8);
}

void Sheet::finish()
{
    for (size_t column = 0; column < m_widths.size(); ++column) {
        // Wide enough for the widest value, within reason.
        const double width = std::clamp(m_widths[column] + 1, 6, 60);
        check(worksheet_set_column(m_sheet, lxw_col_t(column), lxw_col_t(column), width, nullptr));
    }
    if (!m_widths.empty())
        check(worksheet_autofilter(m_sheet, 0, 0, std::max<lxw_row_t>(m_row, 1), lxw_col_t(m_widths.size() - 1)));
}

QStringList fieldNames(const store::Layout &layout)
{
    QStringList names;
    for (const store::FieldDef &field : layout.fields)
        names << field.name;
    return names;
}

// The athletes or profiles, whole, in key order.
qint64 writeTableSheet(Workbook &book, const char *sheetName, const store::Layout &layout, const QSqlDatabase &db)
{
    Sheet sheet(book, book.addSheet(sheetName), fieldNames(layout));
    if (db.isValid() && db.isOpen()) {
        QStringList columns;
        for (const store::FieldDef &field : layout.fields)
            columns << store::quoted(field.name);
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!query.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                            .arg(columns.join(QLatin1Char(',')), store::quoted(layout.tableName),
                                 store::quoted(layout.key().name))))
            throw readFailure(store::errorText(query.lastError()));
        std::vector<bool> texts;
        for (const store::FieldDef &field : layout.fields)
            texts.push_back(field.kind == store::FieldKind::Text && isTextField(field.name));
        while (query.next()) {
            sheet.nextRow();
            for (int i = 0; i < layout.fields.size(); ++i) {
                const QByteArray value = store::textForm(query.value(i)).toUtf8();
                if (texts[size_t(i)])
                    sheet.text(i, value);
                else
                    sheet.numberOrText(i, value);
            }
        }
        if (query.lastError().isValid())
            throw readFailure(store::errorText(query.lastError()));
    }
    sheet.finish();
    return sheet.rows();
}

// The positions of the fields the sets and the filter need.
struct TestFields {
    int testnr, date, name, surname, exercise, load, sets;
    int realTime[20], repetitions[20];
    std::vector<int> settings;   // the fields the planned set time is worked out from

    TestFields()
    {
        const store::Layout &layout = store::testTableLayout();
        const auto at = [&](const QString &name) { return layout.indexOf(name); };
        testnr = at(QStringLiteral("Testnr"));
        date = at(QStringLiteral("Date"));
        name = at(QStringLiteral("Name"));
        surname = at(QStringLiteral("Surname"));
        exercise = at(QStringLiteral("Exercise"));
        load = at(QStringLiteral("Load"));
        sets = at(QStringLiteral("Sets"));
        for (int k = 0; k < 20; ++k) {
            realTime[k] = at(QStringLiteral("RealTime%1").arg(k + 1));
            repetitions[k] = at(QStringLiteral("RealR%1").arg(k + 1));
        }
        for (const char *field : {"StartRest", "FroPhase", "RestafterFro", "ToPhase", "RestafterTo", "Rep", "Sets", "RestSets"})
            settings.push_back(at(QString::fromLatin1(field)));
    }
};

// The planned set time of each distinct combination of settings, worked
// out once.
class PlannedTimes {
public:
    std::optional<double> of(const store::TestRows &rows, const TestFields &fields)
    {
        QByteArray key;
        for (int index : fields.settings) {
            key.append(rows.field(index));
            key.append('\0');
        }
        auto known = m_planned.constFind(key);
        if (known == m_planned.cend()) {
            StoredTest test(store::testTableLayout().fields.size());
            for (int index : fields.settings)
                test[index] = QString::fromUtf8(rows.field(index));
            const std::optional<QString> text = plannedSetTimeText(test);
            known = m_planned.insert(key, text ? numberOf(text->toUtf8()) : std::nullopt);
        }
        return *known;
    }

private:
    QHash<QByteArray, std::optional<double>> m_planned;
};

// Whether set k (0-based) of the current test ran: it recorded a real time
// or repetitions other than "0".
bool setRan(const store::TestRows &rows, const TestFields &fields, int k)
{
    if (!trimmedView(rows.field(fields.realTime[k])).isEmpty())
        return true;
    const QByteArrayView reps = trimmedView(rows.field(fields.repetitions[k]));
    return !reps.isEmpty() && reps != QByteArrayView("0");
}

// The number of sets a test has: its Sets field when that is 1 to 20,
// otherwise up to the last set that ran.
int setCount(const store::TestRows &rows, const TestFields &fields)
{
    // Blanks around the number are kept by the tables but mean nothing.
    const QByteArrayView sets = trimmedView(rows.field(fields.sets));
    if (const std::optional<int> count = setNumberOf(QString::fromUtf8(sets)))
        return *count;
    int count = 0;
    for (int k = 0; k < 20; ++k) {
        if (setRan(rows, fields, k))
            count = k + 1;
    }
    return count;
}

void writeTestsAndSets(Workbook &book, const QSqlDatabase &db, const TestFilter &filter, WorkbookSummary &summary)
{
    const store::Layout &layout = store::testTableLayout();
    Sheet tests(book, book.addSheet("Tests"), fieldNames(layout) + noteColumnNames());
    Sheet sets(book, book.addSheet("Sets"), setSheetHeader(), false);
    if (db.isValid() && db.isOpen()) {
        const QHash<qint64, store::TestNote> notes = store::readTestNotes(db);
        store::TestRows rows(db, [](const QString &reason) { throw readFailure(reason); });
        const TestFields fields;
        TestRowFilter wanted(filter);
        PlannedTimes plannedTimes;
        const int count = rows.fieldCount();
        std::vector<bool> numbers(static_cast<size_t>(count), false);
        for (int i = 0; i < count; ++i)
            numbers[size_t(i)] = isNumberField(i);
        while (rows.next()) {
            const QByteArrayView dateText = rows.field(fields.date);
            if (!wanted.takesAll()
                && !wanted.accepts(rows.field(fields.name), rows.field(fields.surname), rows.field(fields.exercise), dateText))
                continue;
            const std::optional<QDate> date = wanted.date(dateText);
            // A date that Excel cannot hold (before 1900) stays text.
            const bool dateCell = date && date->year() >= 1900;
            tests.nextRow();
            for (int i = 0; i < count; ++i) {
                const QByteArrayView value = rows.field(i);
                if (i == fields.date) {
                    if (dateCell) {
                        tests.date(i, *date);
                    } else {
                        if (!trimmedView(value).isEmpty())
                            ++book.textInNumberFields;
                        tests.text(i, value);
                    }
                } else if (numbers[size_t(i)]) {
                    tests.numberOrText(i, value);
                } else {
                    tests.text(i, value);
                }
            }
            const store::TestNote note = notes.value(rows.field(fields.testnr).toByteArray().toLongLong());
            tests.text(count, note.text.toUtf8());
            tests.boolean(count + 1, note.valid);
            tests.text(count + 2, note.tester.toUtf8());

            const std::optional<double> planned = plannedTimes.of(rows, fields);
            const int setsOfTest = setCount(rows, fields);
            for (int k = 0; k < setsOfTest; ++k) {
                if (!setRan(rows, fields, k))
                    continue;
                sets.nextRow();
                const QByteArrayView realTime = rows.field(fields.realTime[k]);
                const std::optional<double> real = numberOf(realTime);
                int column = 0;
                sets.numberOrText(column++, rows.field(fields.testnr));
                if (dateCell)
                    sets.date(column++, *date);
                else
                    sets.text(column++, dateText);
                sets.text(column++, rows.field(fields.name));
                sets.text(column++, rows.field(fields.surname));
                sets.text(column++, rows.field(fields.exercise));
                sets.numberOrText(column++, rows.field(fields.load));
                sets.number(column++, k + 1, 2);
                if (planned)
                    sets.number(column, *planned, 6);
                ++column;
                sets.numberOrText(column++, realTime);
                sets.numberOrText(column++, rows.field(fields.repetitions[k]));
                // A set that ran to its end was stored with the planned time.
                const bool cancelled = real && planned && std::abs(*real - *planned) > 0.0005;
                sets.text(column++, cancelled ? QByteArrayView("cancelled") : QByteArrayView("completed"));
                sets.boolean(column++, note.valid);
            }
        }
    }
    tests.finish();
    sets.finish();
    summary.tests = tests.rows();
    summary.sets = sets.rows();
}

} // namespace

QStringList setSheetHeader()
{
    return {QStringLiteral("Testnr"), QStringLiteral("Date"), QStringLiteral("Name"), QStringLiteral("Surname"),
            QStringLiteral("Exercise"), QStringLiteral("Load"), QStringLiteral("Set"), QStringLiteral("PlannedTime"),
            QStringLiteral("RealTime"), QStringLiteral("Repetitions"), QStringLiteral("Outcome"), QStringLiteral("Valid")};
}

QStringList noteColumnNames()
{
    return {QStringLiteral("Note"), QStringLiteral("Valid"), QStringLiteral("Tester")};
}

WorkbookSummary writeWorkbookFile(const QString &path, const WorkbookSources &sources)
{
    const QString name = QFileInfo(path).fileName();
    const QString notWritten = QCoreApplication::translate("Export", "\"%1\" was not written; the previous file is unchanged. ").arg(name);
    checkExportTarget(path, notWritten);
    const bool existed = platform::fileKind(path, false) == platform::FileKind::Ordinary;

    // Written beside the target under a name of its own, and put in its
    // place only when whole.  The temporary file is private to its owner
    // (on Windows by its access list), as a new export is.  Nothing holds it
    // open while the library writes it: Windows renames no open file.
    const QDir folder = QFileInfo(path).absoluteDir();
    QString temporaryName;
    QString notCreated;
    for (int attempt = 0; attempt < 16 && temporaryName.isEmpty(); ++attempt) {
        const QString candidate = folder.filePath(QStringLiteral(".%1.%2").arg(name).arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        if (platform::createPrivateFile(candidate, &notCreated))
            temporaryName = candidate;
        else if (platform::fileKind(candidate, false) == platform::FileKind::Missing)
            break;
    }
    if (temporaryName.isEmpty())
        throw writeFailure(path, notWritten + QCoreApplication::translate("Export", "\"%1\" could not be created: %2")
                                                  .arg(name, notCreated));
    auto removeTemporary = qScopeGuard([&temporaryName] { QFile::remove(temporaryName); });

    WorkbookSummary summary;
    try {
        const CNumericLocale cNumbers;
        Workbook book(temporaryName, name);
        writeTestsAndSets(book, sources.tests, sources.filter, summary);
        summary.athletes = writeTableSheet(book, "Athletes", store::spTableLayout(), sources.athletes);
        summary.profiles = writeTableSheet(book, "Profiles", store::profilLayout(), sources.profiles);
        summary.textInNumberFields = book.textInNumberFields;
        book.close();
    } catch (const core::Failure &error) {
        throw error.afterPrefix(notWritten);
    }
    if (existed)
        QFile::setPermissions(temporaryName, QFile::permissions(path));
    // Replacing an existing file, which the C library's rename() refuses on
    // Windows.
    bool otherFileSystem = false;
    QString reason;
    if (!platform::renameInFileSystem(temporaryName, path, &otherFileSystem, &reason))
        throw writeFailure(path, notWritten + QCoreApplication::translate("Export", "The workbook could not be put in place: %1")
                                                  .arg(reason));
    removeTemporary.dismiss();
    return summary;
}

QString workbookWrittenMessage(const WorkbookSummary &summary, const QString &path)
{
    const QString tests = summary.tests == 1 ? QCoreApplication::translate("Export", "1 test") : QCoreApplication::translate("Export", "%1 tests").arg(summary.tests);
    const QString sets = summary.sets == 1 ? QCoreApplication::translate("Export", "1 set") : QCoreApplication::translate("Export", "%1 sets").arg(summary.sets);
    QString message = QCoreApplication::translate("Export", "%1 with %2 written to \"%3\".").arg(tests, sets, QDir::toNativeSeparators(path));
    if (summary.textInNumberFields == 1)
        message += QLatin1Char(' ') + QCoreApplication::translate("Export", "1 value that could not be read as a number or date stayed text.");
    else if (summary.textInNumberFields > 1)
        message += QLatin1Char(' ')
            + QCoreApplication::translate("Export", "%1 values that could not be read as a number or date stayed text.").arg(summary.textInNumberFields);
    return message;
}

} // namespace data
