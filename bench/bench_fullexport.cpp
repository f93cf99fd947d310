// The complete export of 100,000 stored tests against the sqlite3 command-line
// tool writing the same table as CSV, both in the same run; the ratio is the
// figure that counts.

#include "benchsupport.h"
#include "model/fullexport.h"
#include "model/xlsxexport.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>

#include <zlib.h>

#include <cstring>

namespace {

bench::Store &exportStore()
{
    static bench::Store store(100000, QStringLiteral("'Athlete ' || (x % 50)"),
                              QStringLiteral("'Kniebeuge, tief ' || (x % 7)"));
    return store;
}

// The export as the button and the command line run it (through a
// temporary file, then put in place), next to sqlite3 -csv.
void BM_FullExportVsSqlite3(benchmark::State &state)
{
    bench::Store &s = exportStore();
    const QString ours = s.dir.filePath(QStringLiteral("Korvane-all.csv"));
    const QString theirs = s.dir.filePath(QStringLiteral("sqlite3.csv"));
    qint64 tests = 0;
    if (!bench::exportAgainstSqlite3(
            state, ours, theirs,
            {QStringLiteral("-csv"), QStringLiteral("-header"), s.tables->TestTable.filePath(),
             QStringLiteral("SELECT * FROM TestTable ORDER BY Testnr;")},
            [&](const QString &path) { tests = data::writeFullExportFile(path, s.tables->TestTable.database()); }))
        return;
    state.counters["tests"] = double(tests);
}
BENCHMARK(BM_FullExportVsSqlite3)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// The three tables of the store, whole.
data::WorkbookSources workbookSources(const bench::Store &s)
{
    data::WorkbookSources sources;
    sources.tests = s.tables->TestTable.database();
    sources.athletes = s.tables->SPTable.database();
    sources.profiles = s.tables->ProfilTable.database();
    return sources;
}

// The workbook of the same tests against the complete export, both written
// to files in each iteration; the ratio is the workbook's time over the
// export's.
void BM_WorkbookVsFullExport(benchmark::State &state)
{
    bench::Store &s = exportStore();
    const QString csv = s.dir.filePath(QStringLiteral("Korvane-all.csv"));
    const QString workbook = s.dir.filePath(QStringLiteral("Korvane.xlsx"));
    const data::WorkbookSources sources = workbookSources(s);
    double workbookSeconds = 0;
    double csvSeconds = 0;
    data::WorkbookSummary summary;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        summary = data::writeWorkbookFile(workbook, sources);
        const double w = bench::secondsOf(timer);
        timer.restart();
        data::writeFullExportFile(csv, s.tables->TestTable.database());
        csvSeconds += bench::secondsOf(timer);
        workbookSeconds += w;
        state.SetIterationTime(w);
    }
    bench::reportAgainstBaseline(state, "workbook_s", workbookSeconds, "csv_s", csvSeconds);
    state.counters["tests"] = double(summary.tests);
    state.counters["sets"] = double(summary.sets);
    state.counters["workbook_MB"] = double(QFile(workbook).size()) / 1e6;
}
BENCHMARK(BM_WorkbookVsFullExport)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// The sheets of a workbook, as the XML the writer packed: each deflated
// member of the file, inflated again.  Empty when the file is not a zip of
// the writer's kind (sizes in the local headers, no data descriptors).
QList<QByteArray> workbookMembers(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray zip = file.readAll();
    const auto u16 = [&](qsizetype at) { return quint32(uchar(zip[at])) | quint32(uchar(zip[at + 1])) << 8; };
    const auto u32 = [&](qsizetype at) { return u16(at) | u16(at + 2) << 16; };
    QList<QByteArray> members;
    qsizetype at = 0;
    while (at + 30 <= zip.size() && u32(at) == 0x04034b50) {
        const quint32 method = u16(at + 8);
        const quint32 packed = u32(at + 18);
        const quint32 size = u32(at + 22);
        const qsizetype data = at + 30 + u16(at + 26) + u16(at + 28);
        if (method != Z_DEFLATED || data + packed > zip.size())
            return {};
        QByteArray xml(qsizetype(size), Qt::Uninitialized);
        z_stream stream{};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
            return {};
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zip.constData() + data));
        stream.avail_in = packed;
        stream.next_out = reinterpret_cast<Bytef *>(xml.data());
        stream.avail_out = size;
        const int result = inflate(&stream, Z_FINISH);
        inflateEnd(&stream);
        if (result != Z_STREAM_END)
            return {};
        members << xml;
        at = data + packed;
    }
    return members;
}

// What the writer's packing alone costs: deflating the workbook's XML at
// zlib's default level, which is the level the writer uses and offers no
// option for, against the complete export of the same tests.  A ratio above
// the workbook's target here means no faster filling of the cells can reach it.
void BM_WorkbookDeflateAgainstFullExport(benchmark::State &state)
{
    bench::Store &s = exportStore();
    const QString csv = s.dir.filePath(QStringLiteral("Korvane-all.csv"));
    const QString workbook = s.dir.filePath(QStringLiteral("Korvane.xlsx"));
    const data::WorkbookSources sources = workbookSources(s);
    data::writeWorkbookFile(workbook, sources);
    const QList<QByteArray> members = workbookMembers(workbook);
    if (members.isEmpty()) {
        state.SkipWithError("the workbook is not a zip of the expected kind");
        return;
    }
    qint64 xmlBytes = 0;
    for (const QByteArray &member : members)
        xmlBytes += member.size();
    QByteArray packed;
    double deflateSeconds = 0;
    double csvSeconds = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        for (const QByteArray &member : members) {
            z_stream stream{};
            deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
            packed.resize(qsizetype(deflateBound(&stream, uLong(member.size()))));
            stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(member.constData()));
            stream.avail_in = uInt(member.size());
            stream.next_out = reinterpret_cast<Bytef *>(packed.data());
            stream.avail_out = uInt(packed.size());
            if (deflate(&stream, Z_FINISH) != Z_STREAM_END)
                state.SkipWithError("deflate failed");
            deflateEnd(&stream);
        }
        const double d = bench::secondsOf(timer);
        timer.restart();
        data::writeFullExportFile(csv, s.tables->TestTable.database());
        csvSeconds += bench::secondsOf(timer);
        deflateSeconds += d;
        state.SetIterationTime(d);
    }
    bench::reportAgainstBaseline(state, "deflate_s", deflateSeconds, "csv_s", csvSeconds);
    state.counters["xml_MB"] = double(xmlBytes) / 1e6;
    state.counters["csv_MB"] = double(QFile(csv).size()) / 1e6;
}
BENCHMARK(BM_WorkbookDeflateAgainstFullExport)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// Only the making of the lines, into memory.
void BM_FullExportToMemory(benchmark::State &state)
{
    bench::Store &s = exportStore();
    qint64 bytes = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        data::writeFullExport(buffer, s.tables->TestTable.database());
        bytes = buffer.size();
    }
    state.SetBytesProcessed(bytes * state.iterations());
}
BENCHMARK(BM_FullExportToMemory)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
