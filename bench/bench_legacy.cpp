// Converting a Paradox test table of 100,000 tests against the sqlite3
// command-line tool importing the same rows as CSV into a table of the same
// layout, both in the same run; the ratio is the figure that counts.

#include "benchsupport.h"
#include "legacy/conversion.h"
#include "legacy/paradoxtable.h"
#include "store/layout.h"
#include "support/paradoxtables.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

using bench::secondsOf;

const int testCount = 100000;

// The stored bytes of one field of test `r`, texts as the clock window
// writes them.
QByteArray testValue(int r, const QString &field)
{
    if (field == QLatin1String("Testnr"))
        return paradox::storedInt(r + 1, 4);
    if (field == QLatin1String("ProfilNr"))
        return paradox::storedInt(r % 40 + 1, 4);
    if (field == QLatin1String("Date"))
        return "07.12.2026";
    if (field == QLatin1String("Name"))
        return "Name" + QByteArray::number(r);
    if (field == QLatin1String("Surname"))
        return "Surname";
    if (field == QLatin1String("Bodyweight"))
        return "82,5";
    if (field == QLatin1String("Exercise"))
        return "Kniebeuge " + QByteArray::number(r % 7);
    if (field.startsWith(QLatin1String("RealTime")))
        return QByteArray::number(20 + field.mid(8).toInt()) + ",5";
    return QByteArray::number(r % 20 + 1);
}

struct Fixture {
    QTemporaryDir dir;
    QByteArray db;
    QString csv;
    Fixture()
    {
        paradox::Table table = paradox::trainingTable(store::testTableLayout(), testCount, 12, testValue);
        table.blockCode = 4;
        db = paradox::write(table).db;
        // The same rows as CSV, as the conversion turns them into text.
        csv = dir.filePath(QStringLiteral("tests.csv"));
        QFile out(csv);
        out.open(QIODevice::WriteOnly);
        const legacy::ParadoxTable reader(db);
        QByteArray line;
        for (const legacy::ParadoxField &field : reader.fields())
            line += field.name.toLatin1() + ',';
        line.chop(1);
        out.write(line + '\n');
        reader.forEachRecord([&](const uchar *record) {
            line.clear();
            for (int i = 0; i < reader.fields().size(); ++i)
                line += legacy::textForm(reader.value(record, i)).toUtf8().prepend('"').append('"') + ',';
            line.chop(1);
            out.write(line + '\n');
        });
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void BM_ConvertVsSqlite3Import(benchmark::State &state)
{
    Fixture &f = fixture();
    const QString sqlite = bench::sqlite3Tool(state);
    if (sqlite.isEmpty())
        return;
    const store::Layout &layout = store::testTableLayout();
    double convertSeconds = 0;
    double importSeconds = 0;
    qint64 converted = 0;
    int round = 0;
    for (auto _ : state) {
        ++round;
        const QString ours = f.dir.filePath(QStringLiteral("converted%1.db").arg(round));
        QElapsedTimer timer;
        timer.start();
        {
            const legacy::ParadoxTable table(f.db);
            converted = legacy::convertTable(table, layout, ours).converted;
        }
        const double c = secondsOf(timer);

        const QString theirs = f.dir.filePath(QStringLiteral("imported%1.db").arg(round));
        timer.restart();
        QProcess tool;
        tool.start(sqlite, {theirs});
        tool.write((store::createTableStatement(layout) + QStringLiteral(";\n.import --csv --skip 1 %1 TestTable\n")
                        .arg(f.csv))
                       .toUtf8());
        tool.closeWriteChannel();
        tool.waitForFinished(-1);
        const double t = secondsOf(timer);
        if (tool.exitCode() != 0 || !tool.readAllStandardError().isEmpty()) {
            state.SkipWithError("sqlite3 failed");
            return;
        }
        convertSeconds += c;
        importSeconds += t;
        state.SetIterationTime(c);
        QFile::remove(ours);
        QFile::remove(theirs);
    }
    bench::reportAgainstBaseline(state, "convert_s", convertSeconds, "sqlite3_import_s", importSeconds);
    state.counters["tests"] = double(converted);
    state.counters["paradox_MB"] = double(f.db.size()) / 1e6;
}
BENCHMARK(BM_ConvertVsSqlite3Import)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
