#pragma once

// A small writer of Paradox table files for the tests: every version from
// 3.0 to 7.x, keyed or not, with a memo file.  It writes only what a reader
// needs (header, field list, names, chained blocks, memo blocks) and can
// leave stale bytes of a deleted record behind the live ones.

#include "core/codepage.h"

#include <QByteArray>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QList>
#include <QString>

#include <cstring>

namespace paradox {

enum Type : quint8 {
    Alpha = 0x01, Date = 0x02, Short = 0x03, Long = 0x04, Currency = 0x05, Number = 0x06, Logical = 0x09,
    Memo = 0x0C, Blob = 0x0D, FmtMemo = 0x0E, Ole = 0x0F, Graphic = 0x10, Time = 0x14, Timestamp = 0x15,
    AutoInc = 0x16, Bcd = 0x17, Bytes = 0x18,
};

struct Field {
    QString name;
    Type type;
    int size;      // bytes in the record; BCD: decimal places (17 bytes are taken)
};

inline int recordBytes(const Field &field) { return field.type == Bcd ? 17 : field.size; }

// Stored forms of values (big-endian, sign bit flipped; all zeros is blank).
inline QByteArray storedInt(qint64 value, int size)
{
    QByteArray bytes(size, '\0');
    quint64 raw = quint64(value) ^ (quint64(1) << (size * 8 - 1));
    for (int i = size - 1; i >= 0; --i, raw >>= 8)
        bytes[i] = char(raw & 0xFF);
    return bytes;
}

inline QByteArray storedDouble(double value)
{
    quint64 raw;
    std::memcpy(&raw, &value, 8);
    raw = (raw & (quint64(1) << 63)) ? ~raw : raw | (quint64(1) << 63);
    QByteArray bytes(8, '\0');
    for (int i = 7; i >= 0; --i, raw >>= 8)
        bytes[i] = char(raw & 0xFF);
    return bytes;
}

inline QByteArray storedLogical(bool value) { return QByteArray(1, char(value ? 0x81 : 0x80)); }

// Days since 31 Dec 0000 (1 = 1 Jan 0001).
inline qint64 dayNumber(int year, int month, int day)
{
    return QDate(year, month, day).toJulianDay() - 1721425;
}

// `digits` like "-12.34"; `decimals` places after the point.
inline QByteArray storedBcd(const QString &digits, int decimals)
{
    const bool negative = digits.startsWith(u'-');
    QString plain = digits;
    plain.remove(u'-');
    QString whole = plain.section(u'.', 0, 0);
    QString fraction = plain.section(u'.', 1, 1);
    fraction = fraction.leftJustified(decimals, u'0', true);
    const QString all = (whole + fraction).rightJustified(32, u'0');
    QByteArray bytes(17, '\0');
    bytes[0] = char((negative ? 0x40 : 0xC0) | decimals);
    for (int i = 0; i < 32; ++i) {
        int nibble = all.at(i).unicode() - u'0';
        if (negative)
            nibble = 0x0F - nibble;
        bytes[1 + i / 2] = char(quint8(bytes[1 + i / 2]) | (i % 2 ? nibble : nibble << 4));
    }
    return bytes;
}

struct Table {
    int versionCode = 12;        // 3 (3.0), 4 (3.5), 9 (4.x), 11 (5.x), 12 (7.x)
    bool keyed = true;
    int codePage = 1252;         // written from 4.x on
    int blockCode = 2;           // block size in KiB
    bool encrypted = false;
    QList<Field> fields;
    // One entry per record and field: the stored bytes, or for a memo field
    // the memo's text bytes.  An empty entry is a blank value.
    QList<QList<QByteArray>> records;
    // Records written after the last live record of the last block without
    // being counted: what a deletion leaves behind.
    QList<QList<QByteArray>> deletedTail;
};

struct Files {
    QByteArray db;
    QByteArray mb;   // empty when the table has no memo that needs it
    QByteArray px;   // for keyed tables: a primary index header
};

// Alpha bytes in a code page ("windows-1252", "IBM850", ...), converted
// as the program converts them on this system.
inline QByteArray text(const QString &value, const char *encoding = "windows-1252")
{
    static QHash<int, QList<qint16>> tables;
    const QByteArray name(encoding);
    const int number = name.mid(name.startsWith("IBM") ? 3 : 8).toInt();
    auto found = tables.find(number);
    if (found == tables.end())
        found = tables.insert(number, core::CodePage(number).byteTable());
    QByteArray bytes;
    for (const QChar c : value) {
        const qint16 byte = found->size() > c.unicode() ? found->at(c.unicode()) : qint16(-1);
        bytes.append(byte < 0 ? '?' : char(byte));
    }
    return bytes;
}

namespace detail {

inline void put16(QByteArray &b, int at, quint32 v) { b[at] = char(v & 0xFF); b[at + 1] = char(v >> 8 & 0xFF); }
inline void put32(QByteArray &b, int at, quint32 v)
{
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

struct MemoFile {
    QByteArray bytes = [] {
        QByteArray header(4096, '\0');
        header[0] = 0;
        put16(header, 1, 1);
        return header;
    }();
    int sharedAt = -1;     // the type 3 block being filled
    int sharedNext = 0x150; // next free data offset in it
    int sharedIndex = 63;

    // Returns the pointer to store in the record.
    quint32 add(const QByteArray &data)
    {
        if (data.size() > 2048) {
            const int at = int(bytes.size());
            const int chunks = int((9 + data.size() + 4095) / 4096);
            QByteArray block(chunks * 4096, '\0');
            block[0] = 2;
            put16(block, 1, quint32(chunks));
            put32(block, 3, quint32(data.size()));
            put16(block, 7, 1);
            block.replace(9, data.size(), data);
            bytes += block;
            return quint32(at) | 0xFF;
        }
        const int chunks = int((data.size() + 15) / 16);
        if (sharedAt < 0 || sharedIndex < 0 || sharedNext + chunks * 16 > 4096) {
            sharedAt = int(bytes.size());
            QByteArray block(4096, '\0');
            block[0] = 3;
            put16(block, 1, 1);
            bytes += block;
            sharedNext = 0x150;
            sharedIndex = 63;
        }
        const int index = sharedIndex--;
        const int entry = sharedAt + 12 + 5 * index;
        bytes[entry] = char(sharedNext / 16);
        bytes[entry + 1] = char(chunks);
        put16(bytes, entry + 2, 1);
        bytes[entry + 4] = char(data.size() - (chunks - 1) * 16);
        bytes.replace(sharedAt + sharedNext, data.size(), data);
        sharedNext += chunks * 16;
        return quint32(sharedAt) | quint32(index);
    }
};

inline QByteArray encodeRecord(const Table &table, const QList<QByteArray> &values, MemoFile &memo, bool &memoUsed)
{
    QByteArray record;
    for (int i = 0; i < table.fields.size(); ++i) {
        const Field &field = table.fields.at(i);
        const QByteArray value = i < values.size() ? values.at(i) : QByteArray();
        const int size = recordBytes(field);
        QByteArray bytes(size, '\0');
        if (field.type == Memo || field.type == FmtMemo || field.type == Blob) {
            const int leader = size - 10;
            if (!value.isEmpty()) {
                bytes.replace(0, qMin<qsizetype>(leader, value.size()), value.left(leader));
                quint32 pointer = 0;
                if (value.size() > leader) {
                    pointer = memo.add(value);
                    memoUsed = true;
                }
                put32(bytes, leader, pointer);
                put32(bytes, leader + 4, quint32(value.size()));
                put16(bytes, leader + 8, 1);
            }
        } else {
            bytes.replace(0, qMin<qsizetype>(size, value.size()), value.left(size));
        }
        record += bytes;
    }
    return record;
}

} // namespace detail

inline Files write(const Table &table)
{
    using namespace detail;
    const bool v4 = table.versionCode >= 5;
    const int headerSize = table.versionCode >= 12 ? 0x1000 : 0x800;
    const int blockSize = table.blockCode * 0x400;
    int recordSize = 0;
    for (const Field &field : table.fields)
        recordSize += recordBytes(field);
    const int perBlock = (blockSize - 6) / recordSize;

    MemoFile memo;
    bool memoUsed = false;
    QList<QByteArray> encoded;
    for (const auto &record : table.records)
        encoded << encodeRecord(table, record, memo, memoUsed);
    QList<QByteArray> stale;
    for (const auto &record : table.deletedTail)
        stale << encodeRecord(table, record, memo, memoUsed);

    const int blocks = encoded.isEmpty() ? 0 : int((encoded.size() + perBlock - 1) / perBlock);
    QByteArray header(headerSize, '\0');
    put16(header, 0x00, quint32(recordSize));
    put16(header, 0x02, quint32(headerSize));
    header[0x04] = char(table.keyed ? 0 : 2);
    header[0x05] = char(table.blockCode);
    put32(header, 0x06, quint32(encoded.size()));
    put16(header, 0x0A, quint32(blocks));
    put16(header, 0x0C, quint32(blocks));
    put16(header, 0x0E, blocks ? 1 : 0);
    put16(header, 0x10, quint32(blocks));
    put16(header, 0x21, quint32(table.fields.size()));
    put16(header, 0x23, table.keyed ? 1 : 0);
    put32(header, 0x25, v4 ? 0xFF00FF00u : (table.encrypted ? 0x1234u : 0u));
    header[0x39] = char(table.versionCode);
    put16(header, 0x3E, 0x0F1F);
    int at = 0x58;
    if (v4) {
        put16(header, 0x58, 0x0100u | quint32(table.versionCode));
        put16(header, 0x5A, 0x0100u | quint32(table.versionCode));
        put32(header, 0x5C, table.encrypted ? 0x1234u : 0u);
        put16(header, 0x64, quint32(table.fields.size() + 1));
        put16(header, 0x6A, quint32(table.codePage));
        at = 0x78;
    }
    for (const Field &field : table.fields) {
        header[at++] = char(field.type);
        header[at++] = char(field.size);
    }
    at += 4 + 4 * int(table.fields.size());
    at += table.versionCode >= 12 ? 261 : 79;
    const QByteArray encoding = table.codePage == 1252 || !v4 ? QByteArray("windows-1252")
                                                             : QByteArray("IBM") + QByteArray::number(table.codePage);
    for (const Field &field : table.fields) {
        const QByteArray name = text(field.name, encoding.constData());
        header.replace(at, name.size(), name);
        at += int(name.size()) + 1;
    }
    for (int i = 0; i < table.fields.size(); ++i) {
        put16(header, at, quint32(i + 1));
        at += 2;
    }
    header.replace(at, 5, "ascii");

    QByteArray db = header;
    for (int b = 0; b < blocks; ++b) {
        QByteArray block(blockSize, '\0');
        const int first = b * perBlock;
        const int count = int(qMin<qsizetype>(perBlock, encoded.size() - first));
        put16(block, 0, b + 1 < blocks ? quint32(b + 2) : 0);
        put16(block, 2, quint32(b));
        put16(block, 4, quint32((count - 1) * recordSize));
        int pos = 6;
        for (int r = 0; r < count; ++r, pos += recordSize)
            block.replace(pos, recordSize, encoded.at(first + r));
        if (b + 1 == blocks) {
            for (const QByteArray &record : stale) {
                if (pos + recordSize > blockSize)
                    break;
                block.replace(pos, recordSize, record);
                pos += recordSize;
            }
        }
        db += block;
    }

    Files files;
    files.db = db;
    if (memoUsed)
        files.mb = memo.bytes;
    if (table.keyed) {
        files.px = QByteArray(0x800, '\0');
        put16(files.px, 0, quint32(recordBytes(table.fields.first()) + 6));
        put16(files.px, 2, 0x800);
        files.px[4] = 1;
        files.px[5] = char(table.blockCode);
    }
    return files;
}


// Writes the table as `fileName` into `folder`, with its memo and index
// files named like it ("PROFIL.DB" gets "PROFIL.MB" and "PROFIL.PX").
inline Files writeToFolder(const QString &folder, const QString &fileName, const Table &table)
{
    const Files files = write(table);
    const QString base = fileName.left(fileName.lastIndexOf(u'.'));
    const bool upper = fileName.endsWith(QLatin1String(".DB"));
    auto put = [&](const QString &name, const QByteArray &bytes) {
        QFile file(QDir(folder).filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(name));
    };
    put(fileName, files.db);
    if (!files.mb.isEmpty())
        put(base + (upper ? QStringLiteral(".MB") : QStringLiteral(".mb")), files.mb);
    if (!files.px.isEmpty())
        put(base + (upper ? QStringLiteral(".PX") : QStringLiteral(".px")), files.px);
    return files;
}

} // namespace paradox
