#include "store/analysisviews.h"

#include "store/sqlitefile.h"

#include <QCryptographicHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace store {
namespace {

constexpr int setSlots = 20;

// The SQL that reads stored texts as typed values in one dialect.  Every
// expression takes a text already trimmed of blanks (`x`, a column of an
// inner select, never NULL) so that the outer expressions stay short.
class Reading {
public:
    explicit Reading(SqlDialect dialect) : m_server(dialect == SqlDialect::Postgres) {}

    bool onServer() const { return m_server; }

    // The stored text without the blanks around it; '' for NULL.
    QString trimmed(const QString &column) const
    {
        if (m_server)
            return QStringLiteral("COALESCE(btrim(%1, ' ' || chr(9) || chr(10) || chr(11) || chr(12) || chr(13)), '')").arg(column);
        return QStringLiteral("COALESCE(trim(%1, ' ' || char(9, 10, 11, 12, 13)), '')").arg(column);
    }

    // A decimal-comma number ("72,5", "-0,4", ",5", "1,5E3") or NULL.
    QString number(const QString &x) const
    {
        if (m_server) {
            // numeric holds any such number: no text can make the cast fail.
            return QStringLiteral("CASE WHEN length(%1) < 100 AND %1 ~ '^[+-]?([0-9]+(,[0-9]*)?|,[0-9]+)([eE][+-]?[0-9]{1,3})?$' "
                                  "THEN CAST(replace(%1, ',', '.') AS numeric) END")
                .arg(x);
        }
        // SQLite has no regular expressions: the text's shape (digit runs
        // as one '9') is compared with the shapes of a number instead.
        QString shape = QStringLiteral("lower(%1)").arg(x);
        for (char digit = '0'; digit <= '8'; ++digit)
            shape = QStringLiteral("replace(%1, '%2', '9')").arg(shape).arg(QLatin1Char(digit));
        for (int i = 0; i < 5; ++i)
            shape = QStringLiteral("replace(%1, '99', '9')").arg(shape);
        QStringList shapes;
        for (const char *sign : {"", "-", "+"}) {
            for (const char *mantissa : {"9", "9,", "9,9", ",9"}) {
                for (const char *exponent : {"", "e9", "e-9", "e+9"})
                    shapes << QStringLiteral("'%1%2%3'").arg(QLatin1String(sign), QLatin1String(mantissa), QLatin1String(exponent));
            }
        }
        // Up to 24 characters: digit runs that long collapse fully, and
        // the value stays within a double.
        return QStringLiteral("CASE WHEN length(%1) BETWEEN 1 AND 24 AND %2 IN (%3) THEN CAST(replace(%1, ',', '.') AS REAL) END")
            .arg(x, shape, shapes.join(QLatin1Char(',')));
    }

    // A whole number of digits only ("6"), or NULL.
    QString wholeNumber(const QString &x) const
    {
        if (m_server)
            return QStringLiteral("CASE WHEN %1 ~ '^[0-9]{1,9}$' THEN CAST(%1 AS integer) END").arg(x);
        return QStringLiteral("CASE WHEN length(%1) BETWEEN 1 AND 9 AND %1 NOT GLOB '*[^0-9]*' THEN CAST(%1 AS INTEGER) END")
            .arg(x);
    }

    // A date in the forms the program reads a stored date in, or NULL:
    // dd.mm.yyyy (one-digit day and month too), d.M.yy, yyyy-mm-dd, d/M/yyyy,
    // M/d/yy and "6 Dec 2026".  A two-digit year lies within the 80 years
    // before and the 19 after the current one.  An impossible day (31.02.)
    // is NULL.
    QString date(const QString &x) const
    {
        QStringList forms;
        for (const DateForm &form : dateForms(x)) {
            if (m_server)
                forms << QStringLiteral("WHEN %1 ~ '%2' THEN %3").arg(x, form.pattern, madeOnServer(form));
            else
                // Concatenated: arg() would read the printf format as places.
                forms << QStringLiteral("WHEN ") + form.shapes.join(QStringLiteral(" OR "))
                        + QStringLiteral(" THEN printf('%04d-%02d-%02d', ") + form.year + QStringLiteral(", ") + form.month
                        + QStringLiteral(", ") + form.day + QLatin1Char(')');
        }
        const QString made = QStringLiteral("CASE %1 END").arg(forms.join(u' '));
        if (m_server)
            return made;
        // A modifier makes date() move an impossible day into the next
        // month: only a day that comes back unchanged is one.  The text is
        // made once in a subquery: written three times, it would be made
        // three times.
        return QStringLiteral("(SELECT CASE WHEN date(v, '+0 days') = v AND substr(v, 1, 4) <> '0000' THEN v END "
                              "FROM (SELECT %1 AS v))")
            .arg(made);
    }

    QString greatest(const QString &a, const QString &b) const
    {
        return QStringLiteral("%1(%2, %3)").arg(m_server ? QStringLiteral("GREATEST") : QStringLiteral("max"), a, b);
    }

    QString validDefault() const { return m_server ? QStringLiteral("true") : QStringLiteral("1"); }

private:
    // One written form of a date: its shape (a regular expression on a
    // server, GLOB patterns in a file) and its parts as whole numbers.
    struct DateForm {
        QString pattern;
        QStringList shapes;
        QString year;
        QString month;
        QString day;
    };

    QString integer(const QString &text) const
    {
        return QStringLiteral("CAST(%1 AS %2)").arg(text, m_server ? QStringLiteral("integer") : QStringLiteral("INTEGER"));
    }

    // The number before the first separator, the one after it, and the
    // last `width` characters: the three parts of a shape already checked.
    QString firstPart(const QString &x, char separator) const
    {
        return m_server ? integer(QStringLiteral("split_part(%1, '%2', 1)").arg(x).arg(QLatin1Char(separator))) : integer(x);
    }
    QString secondPart(const QString &x, char separator) const
    {
        if (m_server)
            return integer(QStringLiteral("split_part(%1, '%2', 2)").arg(x).arg(QLatin1Char(separator)));
        return integer(QStringLiteral("substr(%1, instr(%1, '%2') + 1)").arg(x).arg(QLatin1Char(separator)));
    }
    QString lastPart(const QString &x, int width) const
    {
        return integer(QStringLiteral("%1(%2, %3)").arg(m_server ? QStringLiteral("right") : QStringLiteral("substr"), x)
                           .arg(m_server ? width : -width));
    }

    // The year of a two-digit year: within the 100 years from 80 before
    // the current one.
    QString fullYear(const QString &yy) const
    {
        const QString first = m_server ? QStringLiteral("(CAST(extract(year FROM current_date) AS integer) - 80)")
                                       : QStringLiteral("(CAST(strftime('%Y', 'now', 'localtime') AS INTEGER) - 80)");
        return QStringLiteral("(%1 + ((%2 - %1 % 100) % 100 + 100) % 100)").arg(first, yy);
    }

    // Day and month of one or two digits with `separator` after each, then
    // a year of `yearWidth` digits.
    DateForm shortForm(const QString &x, char separator, int yearWidth, bool monthFirst) const
    {
        DateForm form;
        const QString sep = separator == '.' ? QStringLiteral("\\.") : QString(QLatin1Char(separator));
        form.pattern = QStringLiteral("^[0-9]{1,2}%1[0-9]{1,2}%1[0-9]{%2}$").arg(sep).arg(yearWidth);
        const QString year = QStringLiteral("[0-9]").repeated(yearWidth);
        for (const char *first : {"[0-9]", "[0-9][0-9]"}) {
            for (const char *second : {"[0-9]", "[0-9][0-9]"})
                form.shapes << QStringLiteral("%1 GLOB '%2%3%4%3%5'")
                                   .arg(x, QLatin1String(first), QString(QLatin1Char(separator)), QLatin1String(second), year);
        }
        const QString last = lastPart(x, yearWidth);
        form.year = yearWidth == 2 ? fullYear(last) : last;
        form.month = monthFirst ? firstPart(x, separator) : secondPart(x, separator);
        form.day = monthFirst ? secondPart(x, separator) : firstPart(x, separator);
        return form;
    }

    QList<DateForm> dateForms(const QString &x) const
    {
        QList<DateForm> forms{shortForm(x, '.', 4, false), shortForm(x, '.', 2, false), shortForm(x, '/', 4, false),
                              shortForm(x, '/', 2, true)};
        DateForm iso;
        iso.pattern = QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$");
        iso.shapes << QStringLiteral("%1 GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'").arg(x);
        iso.year = integer(QStringLiteral("substr(%1, 1, 4)").arg(x));
        iso.month = integer(QStringLiteral("substr(%1, 6, 2)").arg(x));
        iso.day = integer(QStringLiteral("substr(%1, 9, 2)").arg(x));
        forms << iso;
        // "6 Dec 2026": English month abbreviations in any case.  Each sits
        // at a place 4k + 1 of the list, so (place + 3) / 4 is the month and
        // no three letters match across two of them.
        DateForm named;
        named.pattern = QStringLiteral("^[0-9]{1,2} [A-Za-z]{3} [0-9]{4}$");
        for (const char *day : {"[0-9]", "[0-9][0-9]"})
            named.shapes << QStringLiteral("%1 GLOB '%2 [A-Za-z][A-Za-z][A-Za-z] [0-9][0-9][0-9][0-9]'").arg(x, QLatin1String(day));
        const QString months = QStringLiteral("'jan feb mar apr may jun jul aug sep oct nov dec'");
        named.year = lastPart(x, 4);
        named.day = firstPart(x, ' ');
        named.month = m_server
            ? QStringLiteral("((position(lower(split_part(%1, ' ', 2)) in %2) + 3) / 4)").arg(x, months)
            : QStringLiteral("((instr(%2, lower(substr(%1, instr(%1, ' ') + 1, 3))) + 3) / 4)").arg(x, months);
        forms << named;
        return forms;
    }

    // The date of a form's parts on a server, NULL for an impossible one.
    QString madeOnServer(const DateForm &form) const
    {
        return QStringLiteral("CASE WHEN %1 NOT BETWEEN 1 AND 9999 OR %2 NOT BETWEEN 1 AND 12 THEN NULL "
                              "WHEN %3 BETWEEN 1 AND extract(day FROM make_date(%1, %2, 1) + interval '1 month - 1 day') "
                              "THEN make_date(%1, %2, %3) END")
            .arg(form.year, form.month, form.day);
    }

private:
    bool m_server;
};

QString q(const QString &name)
{
    return quoted(name);
}

QString field(const char *name)
{
    return QStringLiteral("t.") + q(QString::fromLatin1(name));
}

bool isTextField(const QString &name)
{
    for (const char *text : {"Date", "Name", "Surname", "Exercise"}) {
        if (name == QLatin1String(text))
            return true;
    }
    return false;
}

// The tests with notes joined when there are notes.
QString testSource(bool withNotes)
{
    QString source = q(testTableLayout().tableName) + QStringLiteral(" AS t");
    if (withNotes)
        source += QStringLiteral(" LEFT JOIN \"TestNotes\" AS n ON n.\"Testnr\" = t.\"Testnr\"");
    return source;
}

QString testsView(const Reading &r, bool withNotes)
{
    // Inner select: every text trimmed once; outer: the typed values.
    QStringList inner{QStringLiteral("t.\"Testnr\" AS testnr"), QStringLiteral("t.\"ProfilNr\" AS profilnr")};
    QStringList outer{QStringLiteral("testnr")};
    for (const FieldDef &f : testTableLayout().fields) {
        if (f.kind != FieldKind::Text)
            continue;
        const QString lower = f.name.toLower();
        const QString x = QStringLiteral("x_") + lower;
        if (f.name == QLatin1String("Date")) {
            inner << r.trimmed(QStringLiteral("t.") + q(f.name)) + QStringLiteral(" AS ") + x;
            outer << r.date(x) + QStringLiteral(" AS date");
        } else if (isTextField(f.name)) {
            inner << QStringLiteral("t.%1 AS %2").arg(q(f.name), lower);
        } else {
            inner << r.trimmed(QStringLiteral("t.") + q(f.name)) + QStringLiteral(" AS ") + x;
        }
    }
    // Output in the layout's order, ProfilNr after the date as stored.
    for (const FieldDef &f : testTableLayout().fields) {
        const QString lower = f.name.toLower();
        if (f.kind == FieldKind::Key || f.name == QLatin1String("Date"))
            continue;
        if (f.kind == FieldKind::Integer || isTextField(f.name))
            outer << lower;
        else
            outer << r.number(QStringLiteral("x_") + lower) + QStringLiteral(" AS ") + lower;
    }
    if (withNotes) {
        inner << QStringLiteral("n.\"Note\" AS note") << QStringLiteral("n.\"Valid\" AS valid")
              << QStringLiteral("n.\"Tester\" AS tester");
        outer << QStringLiteral("note") << QStringLiteral("COALESCE(valid, %1) AS valid").arg(r.validDefault())
              << QStringLiteral("tester");
    } else {
        outer << QStringLiteral("CAST(NULL AS TEXT) AS note") << r.validDefault() + QStringLiteral(" AS valid")
              << QStringLiteral("CAST(NULL AS TEXT) AS tester");
    }
    return QStringLiteral("CREATE VIEW %1 AS SELECT %2 FROM (SELECT %3 FROM %4) AS r")
        .arg(testsViewName(), outer.join(QStringLiteral(", ")), inner.join(QStringLiteral(", ")), testSource(withNotes));
}

QString setsView(const Reading &r, bool withNotes)
{
    // Level 1: the texts a set needs, trimmed.
    QStringList texts{QStringLiteral("t.\"Testnr\" AS testnr"), QStringLiteral("t.\"Name\" AS name"),
                      QStringLiteral("t.\"Surname\" AS surname"), QStringLiteral("t.\"Exercise\" AS exercise")};
    for (const char *name : {"Date", "Load", "Sets", "StartRest", "FroPhase", "ToPhase", "RestafterFro", "RestafterTo",
                             "Rep", "RestSets"})
        texts << r.trimmed(field(name)) + QStringLiteral(" AS x_") + QString::fromLatin1(name).toLower();
    for (int k = 1; k <= setSlots; ++k) {
        texts << r.trimmed(field(qPrintable(QStringLiteral("RealTime%1").arg(k)))) + QStringLiteral(" AS rt%1").arg(k)
              << r.trimmed(field(qPrintable(QStringLiteral("RealR%1").arg(k)))) + QStringLiteral(" AS rr%1").arg(k);
    }
    texts << (withNotes ? QStringLiteral("COALESCE(n.\"Valid\", %1) AS valid").arg(r.validDefault())
                        : r.validDefault() + QStringLiteral(" AS valid"));

    // Level 2: one row per set counted.  A test counts the sets its Sets
    // field names (1 to 20), or else up to the last set that recorded
    // anything; a set ran when it recorded a time or repetitions but "0".
    const auto ran = [](const QString &time, const QString &reps) {
        return QStringLiteral("(%1 <> '' OR %2 NOT IN ('', '0'))").arg(time, reps);
    };
    QStringList setNumbers;
    QStringList slotTimes;
    QStringList slotReps;
    QStringList slotRows;
    for (int k = 1; k <= setSlots; ++k) {
        setNumbers << QStringLiteral("'%1'").arg(k);
        slotTimes << QStringLiteral("WHEN %1 THEN rt%1").arg(k);
        slotReps << QStringLiteral("WHEN %1 THEN rr%1").arg(k);
        slotRows << QStringLiteral("SELECT %1 AS k").arg(k);
    }
    QStringList lastRan;
    for (int k = setSlots; k >= 1; --k)
        lastRan << QStringLiteral("WHEN %1 THEN %2").arg(ran(QStringLiteral("rt%1").arg(k), QStringLiteral("rr%1").arg(k))).arg(k);
    const QString count = QStringLiteral("CASE WHEN x_sets IN (%1) THEN CAST(x_sets AS INTEGER) ELSE CASE %2 ELSE 0 END END")
                              .arg(setNumbers.join(QLatin1Char(',')), lastRan.join(QLatin1Char(' ')));
    const QString level2 = QStringLiteral("SELECT l1.*, s.k, CASE s.k %1 END AS rt, CASE s.k %2 END AS rr FROM (SELECT %3 FROM %4) AS l1 "
                                          "JOIN (%5) AS s ON s.k <= %6")
                               .arg(slotTimes.join(QLatin1Char(' ')), slotReps.join(QLatin1Char(' ')),
                                    texts.join(QStringLiteral(", ")), testSource(withNotes),
                                    slotRows.join(QStringLiteral(" UNION ALL ")), count);

    // Level 3: typed values; the planned set time as the clock works it out
    // for plain numbers: repetitions times the cycle of the four phases,
    // each at least 0.1 s and the cycle at least 1 s.
    const auto atLeastTenth = [&r](const char *name) {
        return r.greatest(r.number(QStringLiteral("x_") + QString::fromLatin1(name)), QStringLiteral("0.1"));
    };
    const QString cycle = r.greatest(QStringLiteral("%1 + %2 + %3 + %4")
                                         .arg(atLeastTenth("frophase"), atLeastTenth("tophase"), atLeastTenth("restafterfro"),
                                              atLeastTenth("restafterto")),
                                     QStringLiteral("1"));
    const QString planned =
        QStringLiteral("CASE WHEN %1 IS NOT NULL AND %2 IS NOT NULL AND %3 IS NOT NULL AND %4 IS NOT NULL AND %5 IS NOT NULL "
                       "AND %6 IS NOT NULL AND %7 IS NOT NULL AND %8 IS NOT NULL THEN round(%9 * %10, 3) END")
            .arg(r.number(QStringLiteral("x_startrest")), r.number(QStringLiteral("x_frophase")),
                 r.number(QStringLiteral("x_tophase")), r.number(QStringLiteral("x_restafterfro")),
                 r.number(QStringLiteral("x_restafterto")), r.number(QStringLiteral("x_restsets")),
                 r.wholeNumber(QStringLiteral("x_rep")), r.wholeNumber(QStringLiteral("x_sets")))
            .arg(r.greatest(r.wholeNumber(QStringLiteral("x_rep")), QStringLiteral("1")), cycle);
    const QString level3 = QStringLiteral("SELECT testnr, %1 AS date, name, surname, exercise, %2 AS load, k AS set_number, "
                                          "%3 AS planned_time, %4 AS real_time, %5 AS repetitions, valid FROM (%6) AS l2 WHERE %7")
                               .arg(r.date(QStringLiteral("x_date")), r.number(QStringLiteral("x_load")), planned,
                                    r.number(QStringLiteral("rt")), r.number(QStringLiteral("rr")), level2,
                                    ran(QStringLiteral("rt"), QStringLiteral("rr")));
    // Level 4: the outcome.  A set that ran to its end was stored with the
    // planned time.
    return QStringLiteral("CREATE VIEW %1 AS SELECT testnr, date, name, surname, exercise, load, set_number, planned_time, "
                          "real_time, repetitions, CASE WHEN real_time IS NOT NULL AND planned_time IS NOT NULL "
                          "AND abs(real_time - planned_time) > 0.0005 THEN 'cancelled' ELSE 'completed' END AS outcome, "
                          "valid FROM (%2) AS l3")
        .arg(setsViewName(), level3);
}

// What the views were made from, kept with them on a server (its stored
// definitions are rewritten and cannot be compared).
QString viewMark(const QStringList &statements)
{
    return QStringLiteral("korvane ")
        + QString::fromLatin1(QCryptographicHash::hash(statements.join(u';').toUtf8(), QCryptographicHash::Sha1).toHex());
}

bool viewsAreCurrent(const QSqlDatabase &db, SqlDialect dialect, const QStringList &statements)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (dialect == SqlDialect::Postgres) {
        query.prepare(QStringLiteral("SELECT obj_description(to_regclass(?), 'pg_class'), to_regclass(?) IS NOT NULL"));
        query.addBindValue(testsViewName());
        query.addBindValue(setsViewName());
        return query.exec() && query.next() && query.value(0).toString() == viewMark(statements) && query.value(1).toBool();
    }
    query.prepare(QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'view' AND name IN (?, ?) ORDER BY name DESC"));
    query.addBindValue(testsViewName());
    query.addBindValue(setsViewName());
    if (!query.exec())
        return false;
    QStringList stored;
    while (query.next())
        stored << query.value(0).toString();
    return stored == statements;
}

} // namespace

QStringList createAnalysisViewStatements(SqlDialect dialect, bool withNotes)
{
    const Reading reading(dialect);
    return {testsView(reading, withNotes), setsView(reading, withNotes)};
}

bool hasRelation(const QSqlDatabase &db, SqlDialect dialect, const QString &name)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (dialect == SqlDialect::Postgres) {
        query.prepare(QStringLiteral("SELECT to_regclass(?) IS NOT NULL"));
        query.addBindValue(quoted(name));
        return query.exec() && query.next() && query.value(0).toBool();
    }
    query.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = ? COLLATE NOCASE"));
    query.addBindValue(name);
    return query.exec() && query.next();
}

std::optional<QString> keepAnalysisViews(const QSqlDatabase &db, SqlDialect dialect)
{
    QSqlDatabase connection = db;
    const bool withNotes = hasRelation(db, dialect, QStringLiteral("TestNotes"));
    const QStringList statements = createAnalysisViewStatements(dialect, withNotes);
    if (viewsAreCurrent(db, dialect, statements))
        return std::nullopt;
    if (!connection.transaction())
        return errorText(connection.lastError());
    QSqlQuery query(connection);
    const auto failed = [&](const QSqlError &error) {
        const QString reason = errorText(error);
        query.finish();
        connection.rollback();
        return reason;
    };
    // Stations that start together make them once: the lock orders them.
    if (dialect == SqlDialect::Postgres && !query.exec(QStringLiteral("SELECT pg_advisory_xact_lock(7482302)")))
        return failed(query.lastError());
    for (const QString &view : {setsViewName(), testsViewName()}) {
        if (!query.exec(QStringLiteral("DROP VIEW IF EXISTS %1").arg(view)))
            return failed(query.lastError());
    }
    for (const QString &statement : statements) {
        if (!query.exec(statement))
            return failed(query.lastError());
    }
    if (dialect == SqlDialect::Postgres
        && !query.exec(QStringLiteral("COMMENT ON VIEW %1 IS '%2'").arg(testsViewName(), viewMark(statements))))
        return failed(query.lastError());
    query.finish();
    if (!connection.commit())
        return failed(connection.lastError());
    return std::nullopt;
}

} // namespace store
