// The reading of a row that the database server sends in COPY's text format
// must agree with a plain reading of the same rules, byte by byte: fields
// split at tabs, a backslash escaping the next byte, \N alone a NULL field,
// a backslash at the end kept as it is.

#include "store/postgres.h"

#include "fuzzcheck.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace {

std::vector<std::optional<QByteArray>> referenceFields(QByteArrayView line)
{
    if (line.endsWith('\n'))
        line.chop(1);
    std::vector<std::optional<QByteArray>> fields;
    QByteArray field;
    bool isNull = false;
    for (qsizetype i = 0;; ++i) {
        if (i == line.size() || line[i] == '\t') {
            fields.push_back(isNull ? std::nullopt : std::optional<QByteArray>(field));
            if (i == line.size())
                return fields;
            field.clear();
            isNull = false;
            continue;
        }
        if (line[i] == '\\' && i + 1 < line.size()) {
            const char next = line[i + 1];
            ++i;
            if (next == 'N' && field.isEmpty() && !isNull && (i + 1 == line.size() || line[i + 1] == '\t')) {
                isNull = true;
                continue;
            }
            const char *from = "bfnrtv";
            const char *to = "\b\f\n\r\t\v";
            const char *at = std::strchr(from, next);
            field.append(next != '\0' && at ? to[at - from] : next);
            continue;
        }
        field.append(line[i]);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView line(reinterpret_cast<const char *>(data), qsizetype(size));
    QByteArray row;
    std::vector<qsizetype> starts;
    std::vector<qsizetype> ends;
    store::splitCopyLine(line, row, starts, ends);
    const auto expected = referenceFields(line);
    FUZZ_CHECK(starts.size() == expected.size() && ends.size() == expected.size(),
               QStringLiteral("%1 fields instead of %2").arg(starts.size()).arg(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        FUZZ_CHECK(ends[i] <= row.size() && (starts[i] < 0 || starts[i] <= ends[i]),
                   QStringLiteral("field %1 lies outside the row").arg(i));
        FUZZ_CHECK((starts[i] < 0) == !expected[i].has_value(), QStringLiteral("field %1: NULL differs").arg(i));
        if (starts[i] >= 0) {
            const QByteArray got(row.constData() + starts[i], ends[i] - starts[i]);
            FUZZ_CHECK(got == *expected[i], QStringLiteral("field %1: %2 instead of %3")
                                                .arg(i)
                                                .arg(QString::fromLatin1(got.toHex()), QString::fromLatin1(expected[i]->toHex())));
        }
    }
    return 0;
}
