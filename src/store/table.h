#pragma once

#include "core/errors.h"
#include "store/layout.h"
#include "store/serveraddress.h"

#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

namespace store {

class ServerInterrupt;

// A failure of the table store: the table file and what is wrong with it.
class StoreError : public core::Failure {
public:
    using Failure::Failure;
};

// One table in its own SQLite file, or on a database server shared by
// several stations, with a current record and at most one record being
// inserted.  Every call comes from the user-interface thread.
//
// The table is reached through a connection of its own that stays up from the
// first open() to the end of the object; close() and open() only end and
// begin the use of the table, as the windows expect.  A server connection
// that was lost (the server restarted while the program stood idle) is
// opened again by the next action.
class Table {
public:
    Table(const Layout &layout, const QString &folder);
    Table(const Layout &layout, const ServerAddress &server);
    ~Table();
    Table(const Table &) = delete;
    Table &operator=(const Table &) = delete;

    // Opens the table: the first time this checks the file (or creates it
    // with its layout when missing).  No-op when open; the current record is
    // kept.  A table opened anew stands on its first record.
    //
    // The check reads the file's header, its schema and the first and last
    // record, not every page, so it takes the same time for any number of
    // records: a foreign, cut-off or damaged file is refused here, damage
    // deeper inside is reported as a StoreError when it is read.
    void open();
    // Ends the use of the table; a begun, unposted record is dropped.
    void close();
    // Ends the connection to a file that open() created and removes the
    // file again (for a start that was refused after it); does nothing for
    // a file that existed before.
    void discardCreatedFile();
    bool isOpen() const { return m_open; }

    // Ascending key order.  A move first posts a pending record with changes
    // and drops one without.  eof() is true once next() ran past the last
    // record, or at once on an empty table; the current record stays the last.
    void first();
    void next();
    bool eof() const { return m_eof; }

    // Begins a new, empty record (posting a pending one with changes first,
    // dropping one without).
    void append();
    // Drops the begun record at once; the record current before it is again.
    void cancel();
    // Stores the begun record in one atomic, durable transaction; the new
    // record gets its key now and becomes current.  Without a begun record
    // this does nothing.  A refused post keeps the record pending.
    void post();
    // Marks the begun record with an identity of its own: a post on a server
    // that is repeated because its answer was lost (the connection broke
    // while it was stored) finds the record stored the first time instead
    // of storing it twice.  Empty: no such mark.
    void setSaveId(const QString &saveId) { m_saveId = saveId; }
    const QString &saveId() const { return m_saveId; }
    // Searches the key; a pending record is settled first.  On a miss the
    // current record stays current.
    bool findKey(qint64 key);

    // Runs before anything is written to the file, by post() and by the
    // grids before they store their changes: the daily backup hooks in here.
    void setBeforeWrite(std::function<void()> hook) { m_beforeWrite = std::move(hook); }
    void aboutToWrite() const
    {
        if (m_beforeWrite)
            m_beforeWrite();
    }

    // Field access by name without regard to case; an unknown name is a
    // StoreError.  Reads give the written text back unchanged.
    QString fieldText(const QString &name) const;
    void setFieldText(const QString &name, const QString &value);
    void setFieldInteger(const QString &name, qint32 value);

    bool isInserting() const { return m_inserting; }
    bool isModified() const { return m_modified; }

    QString fileName() const { return m_layout.fileName; }
    // The file's path; on a server, the table's name there.
    QString filePath() const;
    // Where the table lies, for messages: its file, or the table on a server.
    QString place() const;
    bool onServer() const { return m_server.has_value(); }
    const std::optional<ServerAddress> &server() const { return m_server; }
    // Whether the file is in the folder now.
    bool fileExists() const;
    // Whether the file this table works on was removed from the folder or
    // replaced by another one since it was opened; nothing can be stored
    // then.  False before the first open().
    bool fileWasRemovedOrReplaced() const;
    // Throws the StoreError that explains a removed or replaced file, when
    // it was; the windows call it when the store refused a change.
    void failIfRemovedOrReplaced() const;
    QString tableName() const { return m_layout.tableName; }
    const Layout &layout() const { return m_layout; }
    // The connection of this table (valid after the first open()); the data
    // window's grids and the export work on it.
    QSqlDatabase database() const;
    QString connectionName() const { return m_connectionName; }
    // After a failed statement: when the server connection was lost, opens
    // it again and returns true (the statement may be tried once more).
    // When opening it again fails, `failure` gets why.
    bool reconnectIfLost(QString *failure = nullptr);
    // On a server: makes sure the connection answers before a write, and
    // opens it anew when it was lost; a server that cannot be reached is a
    // StoreError.  Nothing for a file.
    void ensureConnection();
    // Ends a wait of this table's server connection from another thread
    // (see ServerInterrupt); does nothing for a file.
    ServerInterrupt &serverInterrupt() const { return *m_interrupt; }

    // The reason of a failed call on this table's connection, as a message
    // says it (a damaged file is called damaged).
    QString reasonOf(const QSqlError &error) const;
    // Throws a StoreError naming this table's file and the reason.
    [[noreturn]] void fail(const QString &reason) const;

private:
    [[noreturn]] void failToStore(const QString &reason) const;
    void connectFile();
    void connectServer();
    void openServerConnection(QSqlDatabase &db);
    void closeServerConnection(QSqlDatabase &db);
    void postToServer();
    // Prepares the insertion of the begun record with its values bound;
    // `tail` ends the statement.
    bool prepareInsert(QSqlQuery &query, const QString &tail) const;
    void disconnectFile();
    void checkLayout(QSqlDatabase &db);
    void checkEdges(QSqlDatabase &db);
    void createLayout(QSqlDatabase &db);
    void requireOpen() const;
    int fieldIndex(const QString &name) const;
    void settlePending();
    bool loadRecord(const QString &condition, const QVariantList &bindings);
    bool readRecord(const QString &condition, const QVariantList &bindings);
    void becomeStored(qint64 key);

    const Layout &m_layout;
    QString m_folder;
    QString m_connectionName;
    QString m_columns;          // the quoted field list in layout order
    bool m_connected = false;
    bool m_created = false;     // open() made the file
    bool m_open = false;
    bool m_eof = true;
    bool m_hasRecord = false;
    QList<QVariant> m_values;   // the current (stored) record
    bool m_inserting = false;
    bool m_modified = false;
    QList<QVariant> m_newValues; // the record being inserted
    std::function<void()> m_beforeWrite;
    std::optional<ServerAddress> m_server;
    QString m_saveId;
    std::unique_ptr<ServerInterrupt> m_interrupt;
};

// The reason of a failed SQLite call for a StoreError: SQLite's own text,
// introduced as damage when the file is damaged (extended codes allowed).
QString sqliteReason(int code, const QString &text);

// The text form of a stored value: the text itself, an integer in plain
// decimal, nothing for an empty field.
QString textForm(const QVariant &value);

} // namespace store
