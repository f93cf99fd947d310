// The tables on a database server that several stations share, measured in
// one run against a server of the benchmark's own:
//
//   saves   8 stations, each its own process with its own tables, save 1,000
//           tests each with store::appendTest, all starting together.  The
//           stored rows are counted afterwards (lost and duplicated must be
//           0), with the time of every save (p50, p99; target p99 < 50 ms)
//           and the saves per second, against the same 8,000 rows written
//           by psql's \copy from a CSV file.
//   export  data::writeFullExportFile of 100,000 stored tests against
//           psql's \copy of the same 59 fields in key order into a CSV file
//           (target: at most 1.5 times the time of \copy).
//
// A station is this program started again: bench_shared --station N URL.
// It opens its tables, says "ready", waits for "go" on its input, saves, and
// prints the time of every save.
// Options: --rounds=N export rounds (default 3; the medians count).  With
// KORVANE_BENCH_KEEP_EXPORT=<file> the export is kept there, to compare the
// bytes of two builds.
// Exits non-zero when a test was lost or stored twice or a step failed.

#include "core/errors.h"
#include "model/fullexport.h"
#include "store/layout.h"
#include "store/records.h"
#include "store/serveraddress.h"
#include "store/trainingtables.h"

#include "support/pgserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUuid>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kStations = 8;
constexpr int kSavesPerStation = 1000;
constexpr int kExportTests = 100000;

qint64 nowNs()
{
    // steady_clock is CLOCK_MONOTONIC: one clock for all the processes.
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The test a station saves as its `index`th: texts as the clock window
// writes them, the name telling station and index apart.
store::TestRecord stationTest(int station, int index)
{
    store::TestRecord record;
    record.date = QStringLiteral("07.12.2026");
    record.profileNumber = index % 40 + 1;
    record.name = QStringLiteral("Station%1-%2").arg(station).arg(index);
    record.surname = QStringLiteral("Berger");
    record.bodyweight = QStringLiteral("82,5");
    record.height = QStringLiteral("181");
    record.exercise = QStringLiteral("Kniebeuge %1").arg(index % 7);
    record.load = QStringLiteral("100");
    for (int set = 0; set < 20; ++set) {
        record.realTimes[size_t(set)] = QStringLiteral("%1,%2").arg(6 + set % 3).arg(603 + set);
        record.repetitions[size_t(set)] = QStringLiteral("2");
    }
    record.settings = {QStringLiteral("3"), QStringLiteral("2"), QStringLiteral("1,5"), QStringLiteral("0,5"),
                       QStringLiteral("0,5"), QStringLiteral("6"), QStringLiteral("20"), QStringLiteral("120")};
    record.tutTotal = QStringLiteral("540");
    record.tutReal = QStringLiteral("420");
    record.saveId = QStringLiteral("station%1-save%2-").arg(station).arg(index)
                    + QUuid::createUuid().toString(QUuid::WithoutBraces);
    return record;
}

// One station: opens its tables, waits for "go", saves and prints
// "save <ns>" per save and "span <first start ns> <last end ns>" at the end.
int runStation(int station, const QString &url)
{
    const auto address = store::ServerAddress::parse(url);
    if (!address) {
        std::fprintf(stderr, "station %d: no server address\n", station);
        return 2;
    }
    std::vector<store::TestRecord> records;
    records.reserve(kSavesPerStation);
    for (int i = 0; i < kSavesPerStation; ++i)
        records.push_back(stationTest(station, i));
    std::vector<qint64> times;
    times.reserve(kSavesPerStation);
    int failed = 0;
    qint64 first = 0;
    qint64 last = 0;
    try {
        store::TrainingTables tables(*address);
        tables.openAll();
        std::printf("ready\n");
        std::fflush(stdout);
        std::string line;
        if (!std::getline(std::cin, line) || line != "go")
            return 3;
        first = nowNs();
        for (const store::TestRecord &record : records) {
            const qint64 start = nowNs();
            try {
                store::appendTest(tables.TestTable, record);
            } catch (const core::Failure &failure) {
                if (++failed <= 3)
                    std::fprintf(stderr, "station %d: %s\n", station, qPrintable(failure.message()));
                continue;
            }
            last = nowNs();
            times.push_back(last - start);
        }
    } catch (const core::Failure &failure) {
        std::fprintf(stderr, "station %d: %s\n", station, qPrintable(failure.message()));
        return 2;
    }
    for (qint64 t : times)
        std::printf("save %lld\n", static_cast<long long>(t));
    std::printf("span %lld %lld\nfailed %d\n", static_cast<long long>(first), static_cast<long long>(last), failed);
    return 0;
}

double percentileMs(std::vector<qint64> sorted, double p)
{
    if (sorted.empty())
        return -1;
    std::sort(sorted.begin(), sorted.end());
    const size_t at = std::min(sorted.size() - 1, size_t(p * double(sorted.size() - 1) + 0.5));
    return double(sorted[at]) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

// psql with `arguments`; the seconds it took, negative when it failed.
double timedPsql(const QStringList &arguments)
{
    QProcess psql;
    psql.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer timer;
    timer.start();
    psql.start(QStringLiteral("psql"), QStringList{QStringLiteral("-X"), QStringLiteral("-q"),
                                                   QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1")}
                                           + arguments);
    const bool ran = psql.waitForFinished(600000);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (!ran || psql.exitStatus() != QProcess::NormalExit || psql.exitCode() != 0) {
        std::fprintf(stderr, "psql failed: %s\n", psql.readAll().constData());
        return -1;
    }
    return seconds;
}

QString quotedName(const QString &name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

// The test table's fields in layout order, quoted; with or without the key.
QString columnList(bool withKey)
{
    QStringList columns;
    const store::Layout &layout = store::testTableLayout();
    for (int i = withKey ? 0 : 1; i < layout.fields.size(); ++i)
        columns << quotedName(layout.fields.at(i).name);
    return columns.join(QLatin1Char(','));
}

// One query's single whole number, or -1.
qint64 scalar(const QSqlDatabase &db, const QString &statement)
{
    QSqlQuery query(db);
    if (!query.exec(statement) || !query.next())
        return -1;
    return query.value(0).toLongLong();
}

struct SaveFigures {
    qint64 stored = -1, distinct = -1, lost = -1, duplicated = -1, failed = 0;
    double p50 = -1, p99 = -1, perSecond = -1, copyPerSecond = -1;
};

SaveFigures measureSaves(testsupport::PostgresServer &server, const QString &program, const QTemporaryDir &work)
{
    SaveFigures figures;
    const QString database = server.newDatabase();
    {
        // The tables made once, so that the stations only open them.
        store::TrainingTables tables(server.address(database));
        tables.openAll();
    }
    std::vector<std::unique_ptr<QProcess>> stations;
    for (int s = 1; s <= kStations; ++s) {
        auto station = std::make_unique<QProcess>();
        station->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        station->start(program, {QStringLiteral("--station"), QString::number(s), server.url(database)});
        stations.push_back(std::move(station));
    }
    for (auto &station : stations) {
        while (!station->canReadLine() && station->waitForReadyRead(60000)) {
        }
        if (station->readLine().trimmed() != "ready") {
            std::fprintf(stderr, "a station did not start\n");
            return figures;
        }
    }
    // Written out to every station before waiting for any: a write waits
    // in QProcess's buffer until its process is waited for.
    for (auto &station : stations)
        station->write("go\n");
    for (auto &station : stations)
        station->waitForBytesWritten(10000);
    std::vector<qint64> times;
    qint64 first = std::numeric_limits<qint64>::max();
    qint64 last = 0;
    for (auto &station : stations) {
        station->closeWriteChannel();
        if (!station->waitForFinished(600000) || station->exitCode() != 0) {
            std::fprintf(stderr, "a station failed (exit %d)\n", station->exitCode());
            return figures;
        }
        for (const QByteArray &line : station->readAllStandardOutput().split('\n')) {
            const QList<QByteArray> words = line.split(' ');
            if (words.first() == "save" && words.size() == 2) {
                times.push_back(words.at(1).toLongLong());
            } else if (words.first() == "span" && words.size() == 3) {
                first = std::min(first, words.at(1).toLongLong());
                last = std::max(last, words.at(2).toLongLong());
            } else if (words.first() == "failed" && words.size() == 2) {
                figures.failed += words.at(1).toLongLong();
            }
        }
    }
    figures.p50 = percentileMs(times, 0.50);
    figures.p99 = percentileMs(times, 0.99);
    if (last > first)
        figures.perSecond = double(times.size()) / (double(last - first) / 1e9);

    {
        store::TrainingTables tables(server.address(database));
        tables.openAll();
        const QSqlDatabase db = tables.TestTable.database();
        const QString expected = QStringLiteral("\"Name\" ~ '^Station[1-%1]-[0-9]+$'").arg(kStations);
        figures.stored = scalar(db, QStringLiteral("SELECT count(*) FROM \"TestTable\""));
        figures.distinct = scalar(db, QStringLiteral("SELECT count(DISTINCT \"Name\") FROM \"TestTable\" WHERE ") + expected);
        figures.lost = qint64(kStations) * kSavesPerStation - figures.distinct;
        figures.duplicated = figures.stored - scalar(db, QStringLiteral("SELECT count(DISTINCT \"Name\") FROM \"TestTable\""));
    }

    // The baseline: the same rows from a CSV file through psql's \copy.
    const QString csv = work.filePath(QStringLiteral("saves.csv"));
    {
        QFile file(csv);
        if (!file.open(QIODevice::WriteOnly))
            return figures;
        QByteArray bytes;
        for (int s = 1; s <= kStations; ++s) {
            for (int i = 0; i < kSavesPerStation; ++i) {
                const QStringList fields = store::testFields(stationTest(s, i));
                for (int f = 1; f < fields.size(); ++f) {
                    if (f > 1)
                        bytes.append(',');
                    data::appendCsvField(bytes, fields.at(f).toUtf8());
                }
                bytes.append('\n');
            }
        }
        file.write(bytes);
    }
    const QString copyDatabase = server.newDatabase();
    {
        store::TrainingTables tables(server.address(copyDatabase));
        tables.openAll();
    }
    const double copySeconds = timedPsql(
        {server.url(copyDatabase), QStringLiteral("-c"),
         QStringLiteral("\\copy \"TestTable\" (%1) FROM '%2' WITH CSV").arg(columnList(false), csv)});
    if (copySeconds > 0)
        figures.copyPerSecond = double(kStations) * kSavesPerStation / copySeconds;
    return figures;
}

// A database with `count` stored tests of varied days, made on the server.
bool fillExportDatabase(testsupport::PostgresServer &server, const QString &database, int count)
{
    {
        store::TrainingTables tables(server.address(database));
        tables.openAll();
    }
    QStringList values{QStringLiteral("to_char(DATE '2020-01-01' + x % 2500, 'DD.MM.YYYY')"),
                       QStringLiteral("x % 40 + 1"), QStringLiteral("'Name' || x"), QStringLiteral("'Müller'"),
                       QStringLiteral("'82,5'"), QStringLiteral("'181'"), QStringLiteral("'Kniebeuge ' || (x % 7)"),
                       QStringLiteral("'100'")};
    for (int set = 1; set <= 20; ++set) {
        if (set <= 6)
            values << QStringLiteral("(6 + x % 3) || ',' || (600 + (x + %1) % 400)").arg(set) << QStringLiteral("'2'");
        else
            values << QStringLiteral("''") << QStringLiteral("''");
    }
    values << QStringLiteral("'3'") << QStringLiteral("'2'") << QStringLiteral("'1,5'") << QStringLiteral("'0,5'")
           << QStringLiteral("'0,5'") << QStringLiteral("'6'") << QStringLiteral("'20'") << QStringLiteral("'120'")
           << QStringLiteral("'540'") << QStringLiteral("'420'");
    QString why;
    if (!server.exec(QStringLiteral("INSERT INTO \"TestTable\" (%1) SELECT %2 FROM generate_series(1, %3) AS x")
                         .arg(columnList(false), values.join(QLatin1Char(',')))
                         .arg(count),
                     &why, database)) {
        std::fprintf(stderr, "filling the export database failed: %s\n", qPrintable(why));
        return false;
    }
    return server.exec(QStringLiteral("VACUUM ANALYZE \"TestTable\""), &why, database);
}

struct ExportFigures {
    qint64 written = -1;
    double seconds = -1, copySeconds = -1;
    qint64 bytes = -1, copyBytes = -1;
};

ExportFigures measureExport(testsupport::PostgresServer &server, const QTemporaryDir &work, int rounds)
{
    ExportFigures figures;
    const QString database = server.newDatabase();
    if (!fillExportDatabase(server, database, kExportTests))
        return figures;
    store::TrainingTables tables(server.address(database));
    tables.openAll();
    const QString ours = work.filePath(QStringLiteral("export.csv"));
    const QString theirs = work.filePath(QStringLiteral("copy.csv"));
    const QString copy = QStringLiteral("\\copy (SELECT %1 FROM \"TestTable\" ORDER BY \"Testnr\") TO '%2' WITH CSV")
                             .arg(columnList(true), theirs);
    std::vector<double> exportTimes, copyTimes;
    // The two alternate, so that both meet the same load of the machine.
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        try {
            figures.written = data::writeFullExportFile(ours, tables.TestTable.database());
        } catch (const core::Failure &failure) {
            std::fprintf(stderr, "the export failed: %s\n", qPrintable(failure.message()));
            return figures;
        }
        exportTimes.push_back(double(timer.nsecsElapsed()) / 1e9);
        const double c = timedPsql({server.url(database), QStringLiteral("-c"), copy});
        if (c < 0)
            return figures;
        copyTimes.push_back(c);
    }
    figures.seconds = median(exportTimes);
    figures.copySeconds = median(copyTimes);
    figures.bytes = QFile(ours).size();
    if (const QByteArray keep = qgetenv("KORVANE_BENCH_KEEP_EXPORT"); !keep.isEmpty()) {
        QFile::remove(QString::fromLocal8Bit(keep));
        QFile::copy(ours, QString::fromLocal8Bit(keep));
    }
    figures.copyBytes = QFile(theirs).size();
    return figures;
}

} // namespace

int main(int argc, char **argv)
{
    // The server's notices ("relation ... already exists, skipping") would
    // bury the figures; psql and the stations inherit this.
    qputenv("PGOPTIONS", "-c client_min_messages=warning");
    QCoreApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--station") == 0)
        return runStation(std::atoi(argv[2]), QString::fromLocal8Bit(argv[3]));

    int rounds = 3;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--rounds=", 9) == 0)
            rounds = std::max(1, std::atoi(argv[i] + 9));
    }
    if (QStandardPaths::findExecutable(QStringLiteral("psql")).isEmpty()) {
        std::fprintf(stderr, "psql is not installed (scripts/install-deps.sh installs it)\n");
        return 2;
    }
    testsupport::PostgresServer server;
    QString why;
    if (!server.start(&why)) {
        std::fprintf(stderr, "the database server did not start: %s\n", qPrintable(why));
        return 2;
    }
    QTemporaryDir work;
    const QString program = QCoreApplication::applicationFilePath();

    const SaveFigures saves = measureSaves(server, program, work);
    std::printf("shared tables on a PostgreSQL server (%d stations x %d saves at once)\n", kStations, kSavesPerStation);
    std::printf("  stored %lld  lost %lld  duplicated %lld  failed saves %lld\n", static_cast<long long>(saves.stored),
                static_cast<long long>(saves.lost), static_cast<long long>(saves.duplicated),
                static_cast<long long>(saves.failed));
    std::printf("  save time p50 %.2f ms  p99 %.2f ms  (target p99 < 50 ms)\n", saves.p50, saves.p99);
    std::printf("  throughput %.0f saves/s  \\copy %.0f rows/s  ratio Korvane / \\copy %.3f\n", saves.perSecond,
                saves.copyPerSecond, saves.perSecond / saves.copyPerSecond);

    const ExportFigures exported = measureExport(server, work, rounds);
    std::printf("complete export of %d stored tests (median of %d alternating rounds)\n", kExportTests, rounds);
    std::printf("  writeFullExportFile %.3f s (%lld tests, %.1f MB)  \\copy %.3f s (%.1f MB)\n", exported.seconds,
                static_cast<long long>(exported.written), double(exported.bytes) / 1e6, exported.copySeconds,
                double(exported.copyBytes) / 1e6);
    std::printf("  ratio export / \\copy %.2f  (target <= 1.5)\n", exported.seconds / exported.copySeconds);

    const bool countsRight = saves.stored == qint64(kStations) * kSavesPerStation && saves.lost == 0
                             && saves.duplicated == 0 && saves.failed == 0 && saves.copyPerSecond > 0;
    const bool exportRan = exported.written == kExportTests && exported.copySeconds > 0;
    if (!countsRight)
        std::fprintf(stderr, "the saves were not all stored exactly once\n");
    if (!exportRan)
        std::fprintf(stderr, "the export or its baseline failed\n");
    return countsRight && exportRan ? 0 : 1;
}
