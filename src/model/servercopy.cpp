#include "model/servercopy.h"

#include "core/errors.h"
#include "model/fullexport.h"
#include "store/postgres.h"
#include "store/analysisviews.h"
#include "store/sqlitefile.h"
#include "store/testnotes.h"
#include "store/trainingtables.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>

namespace data {
namespace {

// A read-only connection to one table file of the folder, checked to hold
// the program's layout; closed and removed at the end of the copy.
class SourceFile {
public:
    SourceFile(const QString &folder, const store::Layout &layout)
        : m_path(QDir(folder).filePath(layout.fileName))
    {
        static std::atomic<int> counter{0};
        m_connection = QStringLiteral("korvane-copy-source-%1").arg(++counter);
        if (QFileInfo(m_path).isFile())
            m_db = store::openTableFileReadOnly(m_path, layout, m_connection,
                                                QCoreApplication::translate("ServerCopy", "it holds no table of this program"));
    }
    ~SourceFile()
    {
        if (!m_db.isValid())
            return;
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connection);
    }
    bool exists() const { return m_db.isValid(); }
    const QSqlDatabase &database() const { return m_db; }
    [[noreturn]] void fail(const QString &reason) const
    {
        throw core::Failure(core::Failure::Kind::TableFile, m_path, reason);
    }

private:
    QString m_path;
    QString m_connection;
    QSqlDatabase m_db;
};

class ServerCopy {
public:
    ServerCopy(QSqlDatabase db, const store::ServerAddress &server)
        : m_db(std::move(db))
        , m_server(server)
    {
    }

    [[noreturn]] void fail(const QString &reason) const
    {
        throw core::Failure(core::Failure::Kind::ServerTable, m_server.display(), reason);
    }

    qint64 count(const QSqlDatabase &db, const store::Layout &layout) const
    {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(store::quoted(layout.tableName))) || !query.next())
            fail(store::errorText(query.lastError()));
        return query.value(0).toLongLong();
    }

    // Every record of the file, keys included, in statements of many rows.
    qint64 copy(const SourceFile &source, const store::Layout &layout)
    {
        if (!source.exists())
            return 0;
        QStringList columns;
        for (const store::FieldDef &field : layout.fields)
            columns << store::quoted(field.name);
        QSqlQuery read(source.database());
        read.setForwardOnly(true);
        if (!read.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY 1").arg(columns.join(QLatin1Char(',')),
                                                                          store::quoted(layout.tableName))))
            source.fail(store::errorText(read.lastError()));
        const int fields = int(layout.fields.size());
        const int rowsPerStatement = 60000 / fields;
        qint64 copied = 0;
        QVariantList values;
        const auto flush = [&] {
            if (values.isEmpty())
                return;
            const int rows = int(values.size()) / fields;
            const QString row = QLatin1Char('(') + QStringList(fields, QStringLiteral("?")).join(QLatin1Char(','))
                + QLatin1Char(')');
            QSqlQuery insert(m_db);
            insert.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                               .arg(store::quoted(layout.tableName), columns.join(QLatin1Char(',')),
                                    QStringList(rows, row).join(QLatin1Char(','))));
            for (const QVariant &value : std::as_const(values))
                insert.addBindValue(value);
            if (!insert.exec())
                fail(store::errorText(insert.lastError()));
            copied += rows;
            values.clear();
        };
        while (read.next()) {
            for (int i = 0; i < fields; ++i) {
                QVariant value = read.value(i);
                // Text stays text and a whole number a whole number; the
                // server's columns take them as the file holds them.
                if (value.isNull())
                    value = QVariant(layout.fields.at(i).kind == store::FieldKind::Text ? QMetaType(QMetaType::QString)
                                                                                        : QMetaType(QMetaType::LongLong));
                else if (layout.fields.at(i).kind == store::FieldKind::Text)
                    value = value.toString();
                values << value;
            }
            if (values.size() >= qsizetype(rowsPerStatement) * fields)
                flush();
        }
        if (read.lastError().isValid())
            source.fail(store::errorText(read.lastError()));
        flush();
        return copied;
    }

    // The notes of the tests, when the folder has any.  The server's test
    // table is empty, so a note it holds belongs to no test (its test was
    // deleted by an older program): it goes, or the test copied under its
    // number would take it.
    void copyNotes(const SourceFile &tests)
    {
        const QSqlError removed = store::removeTestNotes(m_db, std::nullopt);
        if (removed.isValid())
            fail(store::errorText(removed));
        if (!tests.exists())
            return;
        const QHash<qint64, store::TestNote> notes = store::readTestNotes(tests.database());
        if (notes.isEmpty())
            return;
        QSqlQuery query(m_db);
        if (!query.exec(store::createTestNotesStatement(store::SqlDialect::Postgres)))
            fail(store::errorText(query.lastError()));
        query.prepare(QStringLiteral("INSERT INTO \"TestNotes\" (\"Testnr\", \"Note\", \"Valid\", \"Tester\") VALUES (?, ?, ?, ?)"));
        for (auto note = notes.cbegin(); note != notes.cend(); ++note) {
            query.addBindValue(note.key());
            query.addBindValue(note->text.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(note->text));
            query.addBindValue(note->valid);
            query.addBindValue(note->tester.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(note->tester));
            if (!query.exec())
                fail(store::errorText(query.lastError()));
        }
    }

    // The server gives keys after every key stored now and every key the
    // folder ever gave, also those of records deleted there.  Set once the
    // copy is committed: a sequence keeps its value through a rollback.
    void continueKeysAfter(const SourceFile &source, const store::Layout &layout)
    {
        qint64 highest = 0;
        if (source.exists()) {
            QSqlQuery sequence(source.database());
            sequence.prepare(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?"));
            sequence.addBindValue(layout.tableName);
            if (sequence.exec() && sequence.next())
                highest = sequence.value(0).toLongLong();
        }
        QSqlQuery set(m_db);
        // Never lower than a key the sequence gave already.
        set.prepare(QStringLiteral("SELECT setval(s::regclass, GREATEST((SELECT MAX(%1) FROM %2), ?, pg_sequence_last_value(s::regclass), 1), "
                                   "(SELECT MAX(%1) FROM %2) IS NOT NULL OR ? > 0 OR pg_sequence_last_value(s::regclass) IS NOT NULL) "
                                   "FROM pg_get_serial_sequence(?, ?) AS s")
                        .arg(store::quoted(layout.key().name), store::quoted(layout.tableName)));
        set.addBindValue(highest);
        set.addBindValue(highest);
        set.addBindValue(store::quoted(layout.tableName));
        set.addBindValue(layout.key().name);
        if (!set.exec())
            fail(store::errorText(set.lastError()));
    }

private:
    QSqlDatabase m_db;
    const store::ServerAddress &m_server;
};

QByteArray exportOf(const QSqlDatabase &db)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    writeFullExport(buffer, db);
    return bytes;
}

} // namespace

CopiedRecords copyFolderToServer(const QString &folder, const store::ServerAddress &server)
{
    if (!QFileInfo(folder).isDir())
        throw core::Failure(core::Failure::Kind::ReadFailed, folder,
                            QCoreApplication::translate("ServerCopy", "The folder %1 does not exist.").arg(QDir::toNativeSeparators(folder)));
    const SourceFile athletes(folder, store::spTableLayout());
    const SourceFile tests(folder, store::testTableLayout());
    const SourceFile profiles(folder, store::profilLayout());

    store::TrainingTables target(server);
    target.openAll();
    // One connection does the whole copy, so that it is one transaction.
    QSqlDatabase db = target.TestTable.database();
    ServerCopy copy(db, server);
    if (!db.transaction())
        copy.fail(store::errorText(db.lastError()));
    try {
        // Held to the end of the copy: a second copy into the same tables
        // waits here, then finds them filled and is refused, having changed
        // nothing.
        QSqlQuery lock(db);
        if (!lock.exec(QStringLiteral("LOCK TABLE %1, %2, %3 IN EXCLUSIVE MODE")
                           .arg(store::quoted(target.SPTable.tableName()), store::quoted(target.TestTable.tableName()),
                                store::quoted(target.ProfilTable.tableName()))))
            copy.fail(store::errorText(lock.lastError()));
        for (const store::Table *table : {&target.SPTable, &target.TestTable, &target.ProfilTable}) {
            const qint64 held = copy.count(db, table->layout());
            if (held > 0)
                copy.fail(QCoreApplication::translate("ServerCopy", "its table \"%1\" holds %2 records already; the tables of a folder are copied only into "
                             "empty tables").arg(table->tableName()).arg(held));
        }
    } catch (...) {
        db.rollback();
        throw;
    }
    try {
        CopiedRecords copied;
        copied.athletes = copy.copy(athletes, store::spTableLayout());
        copied.tests = copy.copy(tests, store::testTableLayout());
        copied.profiles = copy.copy(profiles, store::profilLayout());
        copy.copyNotes(tests);
        // Checked inside the transaction: a copy that differs is never seen.
        const struct {
            const SourceFile &source;
            const store::Layout &layout;
            qint64 copied;
        } checks[] = {{athletes, store::spTableLayout(), copied.athletes},
                      {tests, store::testTableLayout(), copied.tests},
                      {profiles, store::profilLayout(), copied.profiles}};
        for (const auto &check : checks) {
            const qint64 there = copy.count(db, check.layout);
            const qint64 here = check.source.exists() ? copy.count(check.source.database(), check.layout) : 0;
            if (there != here || there != check.copied)
                copy.fail(QCoreApplication::translate("ServerCopy", "the copy of \"%1\" holds %2 records instead of %3; nothing was copied")
                              .arg(check.layout.tableName).arg(there).arg(here));
        }
        if (tests.exists() && exportOf(tests.database()) != exportOf(db))
            copy.fail(QCoreApplication::translate("ServerCopy", "the tests read back from the server differ from those in the folder; nothing was copied"));
        if (!db.commit())
            copy.fail(store::errorText(db.lastError()));
        copy.continueKeysAfter(athletes, store::spTableLayout());
        copy.continueKeysAfter(tests, store::testTableLayout());
        copy.continueKeysAfter(profiles, store::profilLayout());
        // The views gain the notes' columns when notes came along.
        store::keepAnalysisViews(db, store::SqlDialect::Postgres);
        return copied;
    } catch (...) {
        db.rollback();
        throw;
    }
}

} // namespace data
