// Feeds arbitrary bytes to the Paradox reader as a table file and its memo
// file, and reads every value the way the conversion does.  The input is
// the table file's length (4 bytes, little-endian), the table file, then the
// memo file; an input too short for that is a table file alone.

#include "legacy/conversion.h"
#include "legacy/paradoxtable.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArrayView db(reinterpret_cast<const char *>(data), qsizetype(size));
    QByteArrayView memo;
    bool hasMemo = false;
    if (size >= 4) {
        const size_t dbSize = size_t(data[0]) | size_t(data[1]) << 8 | size_t(data[2]) << 16 | size_t(data[3]) << 24;
        if (dbSize <= size - 4) {
            db = QByteArrayView(reinterpret_cast<const char *>(data + 4), qsizetype(dbSize));
            memo = QByteArrayView(reinterpret_cast<const char *>(data + 4 + dbSize), qsizetype(size - 4 - dbSize));
            hasMemo = !memo.isEmpty();
        }
    }
    try {
        const legacy::ParadoxTable table(db, memo, hasMemo);
        if (table.countRecords() > 100000)
            return 0;
        const int fields = int(table.fields().size());
        table.forEachRecord([&](const uchar *record) {
            for (int i = 0; i < fields; ++i) {
                const legacy::FieldValue value = table.value(record, i);
                bool replaced = false;
                legacy::textForm(value, &replaced);
                legacy::wholeNumber(value);
            }
        });
    } catch (const legacy::ParadoxError &) {
    }
    return 0;
}
