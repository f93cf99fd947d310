// The export over stored tests built from the input: records are separated by
// the byte 0x1E, their field values (from Date on, in the order of the test
// table) by 0x1F.  The export's bytes must be exactly the header and, per
// test, the Windows-1252 form of each of the first 53 fields followed by "; "
// (the same code page conversion done from the UTF-16 text), whatever the
// values hold; a device that refuses a write part-way must end the export
// with an error after writing a prefix of those bytes.  On its own, the code
// page conversion of the raw input must never grow it and must agree with the
// conversion of the decoded text for valid UTF-8.

#include "model/csvexport.h"
#include "core/errors.h"
#include "store/query.h"
#include "store/table.h"

#include "fuzzcheck.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <memory>

namespace {

constexpr int maxRecords = 8;

// Accepts `limit` bytes in pieces of at most `piece` bytes, then refuses.
class LimitedDevice : public QIODevice {
public:
    LimitedDevice(qint64 limit, qint64 piece) : m_limit(limit), m_piece(piece) { open(QIODevice::WriteOnly); }
    QByteArray written;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        const qint64 room = m_limit - written.size();
        if (room <= 0) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        const qint64 n = std::min({size, room, m_piece});
        written.append(data, n);
        return n;
    }

private:
    qint64 m_limit;
    qint64 m_piece;
};

store::Table &testTable()
{
    // One table for the whole run, on a memory file system where there is one.
    // It lives to the end of the process: destroyed at exit, it would close
    // its connection after Qt's own registry of connections is gone.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/korvane-fuzz-XXXXXX")
                                                                       : QDir::tempPath() + QStringLiteral("/korvane-fuzz-XXXXXX"));
    static store::Table *const table = [] {
        auto *t = new store::Table(store::testTableLayout(), dir.path());
        t->open();
        // Durability is not what is tested here; speed is what finds faults.
        QSqlQuery(t->database()).exec(QStringLiteral("PRAGMA synchronous = OFF"));
        QSqlQuery(t->database()).exec(QStringLiteral("PRAGMA journal_mode = MEMORY"));
        return t;
    }();
    return *table;
}

QByteArray windows1252(QStringView text)
{
    QByteArray out;
    data::appendWindows1252(out, text);
    return out;
}

void checkCodePage(const QByteArray &raw)
{
    QByteArray out = "prefix";
    data::appendWindows1252(out, QByteArrayView(raw));
    FUZZ_CHECK(out.startsWith("prefix") && out.size() - 6 <= raw.size(), QString::fromLatin1(raw.toHex()));
    const QString decoded = QString::fromUtf8(raw);
    if (decoded.toUtf8() == raw) {
        FUZZ_CHECK(out.mid(6) == windows1252(decoded), QString::fromLatin1(raw.toHex()));
        FUZZ_CHECK(out.size() - 6 == decoded.toUcs4().size(), QString::fromLatin1(raw.toHex()));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    checkCodePage(input);

    // The first two bytes choose where a refusing device stops and the size
    // of its pieces; the rest are the records.
    FuzzBytes bytes(data, size);
    const auto stopAt = bytes.take<std::uint8_t>();
    const auto piece = bytes.take<std::uint8_t>();
    const QByteArray records(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));

    store::Table &table = testTable();
    const store::Layout &layout = table.layout();
    QSqlQuery(table.database()).exec(QStringLiteral("DELETE FROM TestTable"));

    QByteArray expected = data::exportHeader();
    const QList<QByteArray> parts = records.isEmpty() ? QList<QByteArray>() : records.split('\x1e');
    for (qsizetype r = 0; r < parts.size() && r < maxRecords; ++r) {
        const QList<QByteArray> values = parts.at(r).split('\x1f');
        QList<QString> stored(layout.fields.size());
        table.append();
        for (qsizetype f = 0; f < values.size() && f + 1 < layout.fields.size(); ++f) {
            const QString value = QString::fromUtf8(values.at(f));
            const store::FieldDef &field = layout.fields.at(f + 1);
            try {
                table.setFieldText(field.name, value);
            } catch (const store::StoreError &) {
                // The whole-number field refuses what is no number.
                FUZZ_CHECK(field.kind == store::FieldKind::Integer, field.name);
                continue;
            }
            stored[f + 1] = table.fieldText(field.name);
            if (field.kind == store::FieldKind::Text)
                FUZZ_CHECK(stored[f + 1] == value, field.name);
        }
        table.post();
        stored[0] = table.fieldText(layout.key().name);
        for (int position = 1; position <= data::exportedFieldCount; ++position) {
            expected += windows1252(stored.at(position - 1));
            expected += "; ";
        }
        expected += "\r\n";
    }
    const int recordCount = int(std::min<qsizetype>(parts.size(), maxRecords));

    store::Query query(table);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    int advanced = 0;
    data::writeTestExport(buffer, query, [&](int n) { advanced += n; });
    FUZZ_CHECK(buffer.data() == expected,
               QStringLiteral("export differs from position %1")
                   .arg(std::mismatch(expected.cbegin(), expected.cend(), buffer.data().cbegin(), buffer.data().cend()).first
                        - expected.cbegin()));
    FUZZ_CHECK(advanced == recordCount * data::exportedFieldCount, QString::number(advanced));

    // A device that refuses part-way: an error, and what it took is the
    // beginning of the export.
    const qint64 limit = expected.size() * stopAt / 256;
    LimitedDevice device(limit, 1 + piece * 64);
    bool failed = false;
    try {
        data::writeTestExport(device, query, {});
    } catch (const core::Failure &error) {
        failed = true;
        FUZZ_CHECK(error.message().contains(QStringLiteral("No space left on device")), error.message());
    }
    FUZZ_CHECK(failed, QStringLiteral("a refused write went unreported"));
    FUZZ_CHECK(device.written == expected.left(limit), QString::number(limit));
    return 0;
}
