#include "store/postgres.h"

#include "core/library.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <libpq-fe.h>

#include <cstring>
#include <thread>

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace store {
namespace {

// libpq as the driver loaded it.  Korvane does not link it: that would load
// it, with its TLS, Kerberos and directory libraries, into every start,
// also at the stations that keep their tables in a folder.  A connection
// through the driver has it loaded already, so this finds it at once.
struct ClientLibrary {
    decltype(&PQstatus) status = nullptr;
    decltype(&PQerrorMessage) errorMessage = nullptr;
    decltype(&PQescapeLiteral) escapeLiteral = nullptr;
    decltype(&PQfreemem) freemem = nullptr;
    decltype(&PQexec) exec = nullptr;
    decltype(&PQresultStatus) resultStatus = nullptr;
    decltype(&PQresultErrorMessage) resultErrorMessage = nullptr;
    decltype(&PQclear) clear = nullptr;
    decltype(&PQgetCopyData) getCopyData = nullptr;
    decltype(&PQgetResult) getResult = nullptr;
    decltype(&PQsocket) socket = nullptr;
    decltype(&PQgetCancel) getCancel = nullptr;
    decltype(&PQfreeCancel) freeCancel = nullptr;
    decltype(&PQcancel) cancel = nullptr;
    // Empty when every function was found.
    QString error;
};

const ClientLibrary &pq()
{
    static const ClientLibrary client = [] {
        ClientLibrary c;
#ifdef Q_OS_WIN
        QLibrary library(QStringLiteral("libpq"));
#else
        QLibrary library(QStringLiteral("pq"), 5);
#endif
        // Never unloaded: the driver holds it as long as the program runs.
        if (!library.load()) {
            c.error = library.errorString();
            return c;
        }
        core::resolveFunction(library, c.status, "PQstatus", &c.error);
        core::resolveFunction(library, c.errorMessage, "PQerrorMessage", &c.error);
        core::resolveFunction(library, c.escapeLiteral, "PQescapeLiteral", &c.error);
        core::resolveFunction(library, c.freemem, "PQfreemem", &c.error);
        core::resolveFunction(library, c.exec, "PQexec", &c.error);
        core::resolveFunction(library, c.resultStatus, "PQresultStatus", &c.error);
        core::resolveFunction(library, c.resultErrorMessage, "PQresultErrorMessage", &c.error);
        core::resolveFunction(library, c.clear, "PQclear", &c.error);
        core::resolveFunction(library, c.getCopyData, "PQgetCopyData", &c.error);
        core::resolveFunction(library, c.getResult, "PQgetResult", &c.error);
        core::resolveFunction(library, c.socket, "PQsocket", &c.error);
        core::resolveFunction(library, c.getCancel, "PQgetCancel", &c.error);
        core::resolveFunction(library, c.freeCancel, "PQfreeCancel", &c.error);
        core::resolveFunction(library, c.cancel, "PQcancel", &c.error);
        return c;
    }();
    return client;
}

} // namespace

bool isPostgres(const QSqlDatabase &db)
{
    return db.driverName() == postgresDriver();
}

PGconn *postgresHandle(const QSqlDatabase &db)
{
    // The driver names the type by its typedef or by its struct.
    return static_cast<PGconn *>(driverHandle(db, {"PGconn*", "pg_conn*"}));
}

bool connectionLost(const QSqlDatabase &db)
{
    if (!isPostgres(db))
        return false;
    PGconn *conn = postgresHandle(db);
    // Without the library no server connection can have been made.
    return !conn || !pq().error.isEmpty() || pq().status(conn) == CONNECTION_BAD;
}

void ServerInterrupt::attach(const QSqlDatabase &db)
{
    PGconn *conn = postgresHandle(db);
    const std::lock_guard hold(m_lock);
    m_socket = -1;
    m_cancel.reset();
    if (!conn || !pq().error.isEmpty())
        return;
    m_socket = pq().socket(conn);
    if (PGcancel *cancel = pq().getCancel(conn))
        m_cancel.reset(cancel, [](PGcancel *c) { pq().freeCancel(c); });
}

void ServerInterrupt::detach()
{
    // The owner closes the socket after this: a cut never reaches a socket
    // number the system may give to another file then.
    const std::lock_guard hold(m_lock);
    m_socket = -1;
    m_cancel.reset();
}

void ServerInterrupt::requestCancel()
{
    std::shared_ptr<PGcancel> cancel;
    {
        const std::lock_guard hold(m_lock);
        cancel = m_cancel;
    }
    if (!cancel)
        return;
    // Left to run out on its own: it ends when the server answers, goes
    // away or the program ends.
    std::thread([cancel] {
        char reason[256];
        pq().cancel(cancel.get(), reason, int(sizeof reason));
    }).detach();
}

void ServerInterrupt::cut()
{
    m_wasCut = true;
    const std::lock_guard hold(m_lock);
    if (m_socket < 0)
        return;
#ifdef Q_OS_WIN
    ::shutdown(SOCKET(m_socket), SD_BOTH);
#else
    ::shutdown(m_socket, SHUT_RDWR);
#endif
}

LayoutCheck checkServerLayout(const QSqlDatabase &db, const Layout &layout)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT column_name, data_type FROM information_schema.columns "
                                 "WHERE table_schema = current_schema() AND table_name = ? ORDER BY ordinal_position"));
    query.addBindValue(layout.tableName);
    const bool ran = query.exec();
    // Names on the server are matched exactly: a quoted name keeps its case.
    return checkFieldList(query, ran, layout, 0, [](const QSqlQuery &row) {
        const QString type = row.value(1).toString();
        return type == QLatin1String("bigint") || type == QLatin1String("integer");
    }, Qt::CaseSensitive);
}

QString saveIdTable()
{
    return QStringLiteral("KorvaneSaves");
}

QString createSaveIdTableStatement()
{
    return QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (\"SaveId\" TEXT PRIMARY KEY, \"TableName\" TEXT NOT NULL, "
                          "\"RecordKey\" BIGINT NOT NULL, \"Saved\" TIMESTAMPTZ NOT NULL DEFAULT now())")
        .arg(quoted(saveIdTable()));
}

namespace {

QString serverError(PGconn *conn)
{
    QString text = QString::fromUtf8(pq().errorMessage(conn)).trimmed();
    return text.isEmpty() ? QCoreApplication::translate("Store", "unknown error") : text;
}

// COPY's text format: a backslash starts an escape; \N alone is NULL.
char unescaped(char c)
{
    switch (c) {
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'v': return '\v';
    default: return c;
    }
}

} // namespace

CopyRows::CopyRows(const QSqlDatabase &db, const QString &select, const QList<QByteArray> &parameters)
    : m_conn(postgresHandle(db))
{
    if (!m_conn) {
        m_error = QCoreApplication::translate("Store", "the connection to the database server is not open");
        return;
    }
    if (!pq().error.isEmpty()) {
        m_conn = nullptr;
        m_error = QCoreApplication::translate("Store", "the PostgreSQL client library could not be used: %1").arg(pq().error);
        return;
    }
    // COPY takes no parameters: the values go in as literals escaped by
    // libpq for this connection.
    QByteArray sql = QByteArrayLiteral("COPY (") + select.toUtf8() + QByteArrayLiteral(") TO STDOUT");
    for (qsizetype i = parameters.size(); i > 0; --i) {
        char *literal = pq().escapeLiteral(m_conn, parameters.at(i - 1).constData(), size_t(parameters.at(i - 1).size()));
        if (!literal) {
            m_error = serverError(m_conn);
            return;
        }
        sql.replace(QByteArray("$") + QByteArray::number(i), QByteArray(literal));
        pq().freemem(literal);
    }
    PGresult *result = pq().exec(m_conn, sql.constData());
    const bool started = pq().resultStatus(result) == PGRES_COPY_OUT;
    if (!started)
        m_error = QString::fromUtf8(pq().resultErrorMessage(result)).trimmed();
    if (m_error.isEmpty() && !started)
        m_error = serverError(m_conn);
    pq().clear(result);
    m_done = !started;
}

CopyRows::~CopyRows()
{
    if (m_line)
        pq().freemem(m_line);
    if (!m_done) {
        // Ending early: the connection can take new statements only once
        // the copy has run out.
        char *line = nullptr;
        while (pq().getCopyData(m_conn, &line, 0) > 0)
            pq().freemem(line);
        finish();
    }
}

void CopyRows::finish()
{
    m_done = true;
    while (PGresult *result = pq().getResult(m_conn)) {
        if (pq().resultStatus(result) != PGRES_COMMAND_OK && m_error.isEmpty())
            m_error = QString::fromUtf8(pq().resultErrorMessage(result)).trimmed();
        pq().clear(result);
    }
}

bool CopyRows::next()
{
    if (m_line) {
        pq().freemem(m_line);
        m_line = nullptr;
    }
    if (m_done)
        return false;
    const int length = pq().getCopyData(m_conn, &m_line, 0);
    if (length < 0) {
        if (length == -2)
            m_error = serverError(m_conn);
        m_line = nullptr;
        finish();
        if (m_error.isEmpty() && pq().status(m_conn) == CONNECTION_BAD)
            m_error = serverError(m_conn);
        return false;
    }
    splitCopyLine(QByteArrayView(m_line, length), m_row, m_starts, m_ends);
    return true;
}

void splitCopyLine(QByteArrayView line, QByteArray &rowBytes, std::vector<qsizetype> &starts,
                   std::vector<qsizetype> &ends)
{
    const qsizetype length = line.size();
    // One line per row, fields split by tabs, ended by a line feed.  The
    // unescaped row is never longer than the line: it is written into room
    // of that size, runs of plain bytes copied whole.
    rowBytes.resize(length);
    char *const row = rowBytes.data();
    char *out = row;
    starts.clear();
    ends.clear();
    if (length == 0) {
        // An empty line is one empty field.
        rowBytes.clear();
        starts.assign(1, 0);
        ends.assign(1, 0);
        return;
    }
    const char *p = line.data();
    const char *end = line.data() + length;
    if (end[-1] == '\n')
        --end;
    if (!std::memchr(p, '\\', size_t(end - p))) {
        // Most rows hold no escape: the row is the line, split at its tabs.
        const qsizetype n = end - p;
        std::memcpy(row, p, size_t(n));
        qsizetype start = 0;
        for (qsizetype i = 0; i < n; ++i) {
            if (row[i] == '\t') {
                starts.push_back(start);
                ends.push_back(i);
                start = i + 1;
            }
        }
        starts.push_back(start);
        ends.push_back(n);
        rowBytes.truncate(n);
        return;
    }
    for (;;) {
        const qsizetype start = out - row;
        bool isNull = false;
        // A tab after a backslash belongs to the field: the end is looked
        // for anew after each escape.
        const char *tab = static_cast<const char *>(std::memchr(p, '\t', size_t(end - p)));
        if (!tab)
            tab = end;
        for (;;) {
            const char *slash = static_cast<const char *>(std::memchr(p, '\\', size_t(tab - p)));
            const char *plainEnd = slash ? slash : tab;
            std::memcpy(out, p, size_t(plainEnd - p));
            out += plainEnd - p;
            p = plainEnd;
            if (!slash || p + 1 >= end) {
                // A backslash that ends the line stays as it is.
                if (slash)
                    *out++ = *p++;
                break;
            }
            if (p[1] == 'N' && out - row == start && (p + 2 == end || p[2] == '\t')) {
                isNull = true;
                p += 2;
            } else {
                *out++ = unescaped(p[1]);
                p += 2;
            }
            if (p > tab) {
                tab = static_cast<const char *>(std::memchr(p, '\t', size_t(end - p)));
                if (!tab)
                    tab = end;
            }
        }
        starts.push_back(isNull ? -1 : start);
        ends.push_back(out - row);
        if (p >= end)
            break;
        ++p;   // the tab
    }
    rowBytes.truncate(out - row);
}

QByteArrayView CopyRows::field(int index) const
{
    if (index < 0 || size_t(index) >= m_starts.size() || m_starts[size_t(index)] < 0)
        return {};
    return QByteArrayView(m_row.constData() + m_starts[size_t(index)], m_ends[size_t(index)] - m_starts[size_t(index)]);
}

} // namespace store
