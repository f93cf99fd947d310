#pragma once

// What the store needs of a PostgreSQL server beyond Qt SQL: the table
// layouts there, whether a connection was lost, and a fast read of many rows.

#include "store/layout.h"
#include "store/sqlitefile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

typedef struct pg_conn PGconn;
typedef struct pg_cancel PGcancel;

namespace store {

// The driver name of Qt SQL's PostgreSQL connections.
inline QString postgresDriver() { return QStringLiteral("QPSQL"); }
bool isPostgres(const QSqlDatabase &db);

// The libpq connection behind a QPSQL connection; null for any other.
PGconn *postgresHandle(const QSqlDatabase &db);

// The connection was open and is no longer (the server went away or was
// restarted); reopening it may help.
bool connectionLost(const QSqlDatabase &db);

// Ends, from another thread, a wait for a server that does not answer.  The
// thread that owns the connection attaches it after opening it and detaches
// it before closing it; meanwhile any thread may interrupt the wait.
class ServerInterrupt {
public:
    ServerInterrupt() = default;
    ~ServerInterrupt() { detach(); }
    ServerInterrupt(const ServerInterrupt &) = delete;
    ServerInterrupt &operator=(const ServerInterrupt &) = delete;

    void attach(const QSqlDatabase &db);
    void detach();
    // Asks the server to cancel the running statement.  It returns at once:
    // the request goes out from a thread of its own, since a server that is
    // stopped never answers it.
    void requestCancel();
    // Cuts the connection's socket: the waiting thread gets its answer at
    // once, as from a server that went away (the connection is lost and is
    // opened anew by the next action).  Works when the server answers
    // nothing at all, which the cancel does not.
    void cut();
    // Whether cut() ran since the last clearCut(): the connection is not
    // opened anew then, which would wait for the same server again.
    bool wasCut() const { return m_wasCut; }
    void clearCut() { m_wasCut = false; }

private:
    std::atomic<bool> m_wasCut{false};
    std::mutex m_lock;
    int m_socket = -1;
    std::shared_ptr<PGcancel> m_cancel;
};

// How the table of `layout` stands on the server (the same results as for
// a file: no table, other fields, a key that is no integer).
LayoutCheck checkServerLayout(const QSqlDatabase &db, const Layout &layout);

// The table that remembers which saves arrived, so that a save repeated
// after its answer was lost is not stored twice.
QString saveIdTable();
QString createSaveIdTableStatement();

// One line of COPY's text format (a row, its fields split by tabs, ended by
// an optional line feed) as the row's bytes with the escapes undone and each
// field's bounds in them; a field that is NULL (\N alone) starts at -1.
void splitCopyLine(QByteArrayView line, QByteArray &row, std::vector<qsizetype> &starts,
                   std::vector<qsizetype> &ends);

// A string literal of the server's SQL holding `value` exactly, whatever
// the server's setting of standard_conforming_strings: E'...' with every
// backslash and quote doubled.  Empty when the value holds a NUL byte,
// which no text on the server can hold.
std::optional<QByteArray> sqlLiteral(QByteArrayView value);

// The statement `sql` with its parameters $1, $2, ... replaced by the
// literals of `parameters`, in one pass over the statement: a `$` inside a
// quoted string, a quoted name or a comment is no parameter, and no text of
// a value is ever read as a parameter or as SQL.  Empty, with the reason in
// `why`, for a parameter beyond the values given, a value that no literal
// can hold, or a statement whose quote or comment is not closed.
std::optional<QByteArray> boundStatement(QByteArrayView sql, const QList<QByteArray> &parameters,
                                         QString *why = nullptr);

// The rows of a SELECT read with COPY ... TO STDOUT: every field as the
// UTF-8 bytes the server sends, without a result object per row.  The
// statement takes its values as parameters, bound as text (COPY itself
// takes none: boundStatement() makes them literals).
class CopyRows {
public:
    CopyRows(const QSqlDatabase &db, const QString &select, const QList<QByteArray> &parameters);
    ~CopyRows();
    CopyRows(const CopyRows &) = delete;
    CopyRows &operator=(const CopyRows &) = delete;

    // Empty when the read started; else the server's reason.
    QString error() const { return m_error; }
    bool next();
    QByteArrayView field(int index) const;
    int fieldCount() const { return int(m_starts.size()); }

private:
    void finish();
    PGconn *m_conn = nullptr;
    char *m_line = nullptr;
    QByteArray m_row;            // the current row, unescaped
    std::vector<qsizetype> m_starts;   // -1: NULL
    std::vector<qsizetype> m_ends;
    QString m_error;
    bool m_done = true;
};

} // namespace store
