#include "legacy/paradoxtable.h"

#include <QCoreApplication>
#include <QSet>

#include <cstring>

namespace legacy {
namespace {

// Header fields are little-endian; values in records are big-endian.
quint32 le16(QByteArrayView bytes, qsizetype at)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data()) + at;
    return quint32(p[0]) | quint32(p[1]) << 8;
}

quint32 le32(const uchar *p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint32 le32(QByteArrayView bytes, qsizetype at)
{
    return le32(reinterpret_cast<const uchar *>(bytes.data()) + at);
}

bool allZero(const uchar *p, int size)
{
    for (int i = 0; i < size; ++i) {
        if (p[i] != 0)
            return false;
    }
    return true;
}

// Whole numbers are stored big-endian with the sign bit flipped, so that
// all-zero bytes mean a blank value.
qint64 storedInteger(const uchar *p, int size)
{
    quint64 raw = 0;
    for (int i = 0; i < size; ++i)
        raw = raw << 8 | p[i];
    const quint64 sign = quint64(1) << (size * 8 - 1);
    raw ^= sign;
    // Sign-extend from size*8 bits.
    if (raw & sign)
        return qint64(raw | ~((sign << 1) - 1));
    return qint64(raw);
}

// Doubles: big-endian; a positive number has its sign bit set, a negative
// one has all bits inverted.
double storedDouble(const uchar *p)
{
    quint64 raw = 0;
    for (int i = 0; i < 8; ++i)
        raw = raw << 8 | p[i];
    if (raw & (quint64(1) << 63))
        raw &= ~(quint64(1) << 63);
    else
        raw = ~raw;
    double value;
    std::memcpy(&value, &raw, sizeof value);
    return value;
}

int fixedSize(FieldType type)
{
    switch (type) {
    case FieldType::Date:
    case FieldType::Long:
    case FieldType::Time:
    case FieldType::AutoIncrement:
        return 4;
    case FieldType::Short:
        return 2;
    case FieldType::Currency:
    case FieldType::Number:
    case FieldType::Timestamp:
        return 8;
    case FieldType::Logical:
        return 1;
    case FieldType::Bcd:
        return 17;
    default:
        return 0;
    }
}

bool knownType(quint8 code)
{
    switch (FieldType(code)) {
    case FieldType::Alpha:
    case FieldType::Date:
    case FieldType::Short:
    case FieldType::Long:
    case FieldType::Currency:
    case FieldType::Number:
    case FieldType::Logical:
    case FieldType::Memo:
    case FieldType::Blob:
    case FieldType::FormattedMemo:
    case FieldType::Ole:
    case FieldType::Graphic:
    case FieldType::Time:
    case FieldType::Timestamp:
    case FieldType::AutoIncrement:
    case FieldType::Bcd:
    case FieldType::Bytes:
        return true;
    }
    return false;
}

bool isBlobType(FieldType type)
{
    return type == FieldType::Memo || type == FieldType::Blob || type == FieldType::FormattedMemo
        || type == FieldType::Ole || type == FieldType::Graphic;
}

constexpr qsizetype memoBlockSize = 4096;

} // namespace

QString encodingForCodePage(int codePage)
{
    return core::CodePage(codePage).name();
}

QString ParadoxTable::typeName(FieldType type)
{
    switch (type) {
    case FieldType::Alpha: return QStringLiteral("alpha");
    case FieldType::Date: return QStringLiteral("date");
    case FieldType::Short: return QStringLiteral("short");
    case FieldType::Long: return QStringLiteral("long integer");
    case FieldType::Currency: return QStringLiteral("currency");
    case FieldType::Number: return QStringLiteral("number");
    case FieldType::Logical: return QStringLiteral("logical");
    case FieldType::Memo: return QStringLiteral("memo");
    case FieldType::Blob: return QStringLiteral("binary");
    case FieldType::FormattedMemo: return QStringLiteral("formatted memo");
    case FieldType::Ole: return QStringLiteral("OLE");
    case FieldType::Graphic: return QStringLiteral("graphic");
    case FieldType::Time: return QStringLiteral("time");
    case FieldType::Timestamp: return QStringLiteral("timestamp");
    case FieldType::AutoIncrement: return QStringLiteral("autoincrement");
    case FieldType::Bcd: return QStringLiteral("BCD");
    case FieldType::Bytes: return QStringLiteral("bytes");
    }
    return QStringLiteral("unknown");
}

bool ParadoxTable::looksLikeTable(QByteArrayView head)
{
    if (head.size() < 6)
        return false;
    const quint32 recordSize = le16(head, 0);
    const quint32 headerSize = le16(head, 2);
    const quint8 fileType = quint8(head[4]);
    const quint8 blockCode = quint8(head[5]);
    return recordSize > 0 && headerSize > 0 && headerSize % 0x400 == 0 && (fileType == 0 || fileType == 2)
        && blockCode >= 1 && blockCode <= 32;
}

ParadoxTable::ParadoxTable(QByteArrayView db, QByteArrayView memo, bool hasMemoFile)
    : m_db(db)
    , m_memo(memo)
    , m_hasMemoFile(hasMemoFile)
{
    if (db.size() < 0x58)
        throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is cut off: it ends within its header"));
    m_recordSize = int(le16(db, 0));
    m_headerSize = int(le16(db, 2));
    const int fileType = quint8(db[4]);
    const int blockCode = quint8(db[5]);
    m_headerRecords = le32(db, 6);
    m_fileBlocks = int(le16(db, 0x0C));
    m_firstBlock = int(le16(db, 0x0E));
    const int fieldCount = int(le16(db, 0x21));
    m_keyFields = int(le16(db, 0x23));
    const quint8 versionCode = quint8(db[0x39]);

    if (fileType == 1 || (fileType >= 3 && fileType <= 8))
        throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is an index file, not a table"));
    if (fileType != 0 && fileType != 2)
        throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is damaged: its file type %1 is unknown").arg(fileType));
    m_keyed = fileType == 0;
    if (versionCode == 3)
        m_version = 30;
    else if (versionCode == 4)
        m_version = 35;
    else if (versionCode >= 5 && versionCode <= 9)
        m_version = 40;
    else if (versionCode == 10 || versionCode == 11)
        m_version = 50;
    else if (versionCode == 12)
        m_version = 70;
    else
        throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is of a version this program does not read (version code %1)").arg(versionCode));
    if (blockCode < 1 || blockCode > 32)
        throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is damaged: its block size code %1 is unknown").arg(blockCode));
    m_blockSize = blockCode * 0x400;

    const qsizetype fieldInfoAt = m_version >= 40 ? 0x78 : 0x58;
    if (m_headerSize < fieldInfoAt)
        throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is damaged: its header is too small (%1 bytes)").arg(m_headerSize));
    if (m_headerSize > db.size())
        throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is cut off: it ends within its header"));

    const bool encrypted = m_version >= 40 ? le32(db, 0x5C) != 0 : le32(db, 0x25) != 0;
    if (encrypted)
        throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is encrypted (protected by a password)"));

    m_codePage = m_version >= 40 ? int(le16(db, 0x6A)) : 0;
    m_converter = core::CodePage(m_codePage == 0 ? 1252 : m_codePage);
    m_encodingName = m_converter.name();
    if (!m_converter.isValid())
        throw ParadoxError(QCoreApplication::translate("ParadoxTable", "its code page %1 cannot be decoded on this system").arg(m_codePage));

    if (fieldCount < 1 || fieldCount > 255)
        throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is damaged: it names %1 fields").arg(fieldCount));
    if (fieldInfoAt + 2 * fieldCount > m_headerSize)
        throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is damaged: its field list does not fit its header"));
    int offset = 0;
    for (int i = 0; i < fieldCount; ++i) {
        const quint8 code = quint8(db[fieldInfoAt + 2 * i]);
        const int size = quint8(db[fieldInfoAt + 2 * i + 1]);
        if (!knownType(code))
            throw ParadoxError(QCoreApplication::translate("ParadoxTable", "its field %1 is of a kind this program does not read (type code %2)")
                                   .arg(i + 1).arg(code));
        ParadoxField field;
        field.type = FieldType(code);
        field.size = size;
        if (field.type == FieldType::Bcd) {
            field.decimals = size;
            field.size = 17;
            if (size > 32)
                throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is damaged: field %1 has %2 decimal places").arg(i + 1).arg(size));
        } else if (const int expected = fixedSize(field.type); expected != 0 && size != expected) {
            throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is damaged: field %1 is %2 bytes wide instead of %3")
                                   .arg(i + 1).arg(size).arg(expected));
        } else if (isBlobType(field.type) && size < 10) {
            throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is damaged: the memo field %1 is only %2 bytes wide").arg(i + 1).arg(size));
        } else if (size == 0) {
            throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is damaged: field %1 has no width").arg(i + 1));
        }
        field.offset = offset;
        offset += field.size;
        m_fields.append(field);
    }
    if (offset != m_recordSize || m_recordSize == 0)
        throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is damaged: its records are %1 bytes long but its fields take %2")
                               .arg(m_recordSize).arg(offset));
    if (m_recordSize + 6 > m_blockSize)
        throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is damaged: its records do not fit its blocks"));

    // The field names follow the table name, whose length grew in version 7;
    // take the reading whose names are all plain, complete names.
    const qsizetype afterPointers = fieldInfoAt + 2 * fieldCount + 4 + 4 * fieldCount;
    const int lengths[2] = {m_version >= 70 ? 261 : 79, m_version >= 70 ? 79 : 261};
    bool named = false;
    for (int tableNameLength : lengths) {
        qsizetype at = afterPointers + tableNameLength;
        QStringList names;
        bool ok = true;
        for (int i = 0; ok && i < fieldCount; ++i) {
            qsizetype end = at;
            while (end < m_headerSize && db[end] != '\0')
                ++end;
            if (end >= m_headerSize || end == at || end - at > 128) {
                ok = false;
                break;
            }
            for (qsizetype k = at; k < end; ++k) {
                if (quint8(db[k]) < 0x20)
                    ok = false;
            }
            bool replaced = false;
            names << decode(db.sliced(at, end - at), &replaced);
            at = end + 1;
        }
        if (ok) {
            for (int i = 0; i < fieldCount; ++i)
                m_fields[i].name = names.at(i);
            named = true;
            break;
        }
    }
    if (!named)
        throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is damaged: its field names cannot be read"));

    const qint64 available = (db.size() - m_headerSize) / m_blockSize;
    if (m_fileBlocks > available) {
        throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is cut off: its header counts %1 blocks, the file holds %2")
                               .arg(m_fileBlocks).arg(available));
    }
}

int ParadoxTable::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool ParadoxTable::needsMemoFile() const
{
    for (const ParadoxField &field : m_fields) {
        if (field.type == FieldType::Memo)
            return true;
    }
    return false;
}

QList<ParadoxTable::Block> ParadoxTable::chain() const
{
    QList<Block> blocks;
    const qint64 available = (m_db.size() - m_headerSize) / m_blockSize;
    if (m_firstBlock == 0) {
        if (m_headerRecords != 0)
            throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is damaged: it counts %1 records but has no data block").arg(m_headerRecords));
        return blocks;
    }
    QSet<int> seen;
    int number = m_firstBlock;
    while (number != 0) {
        if (number > available) {
            if (number <= m_fileBlocks || qint64(m_headerSize) + qint64(number) * m_blockSize > m_db.size())
                throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is cut off: its block %1 is missing").arg(number));
        }
        if (seen.contains(number))
            throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is damaged: its blocks are linked in a circle"));
        seen.insert(number);
        const qsizetype at = m_headerSize + qsizetype(number - 1) * m_blockSize;
        const int next = int(le16(m_db, at));
        const auto addDataSize = qint16(le16(m_db, at + 4));
        int records = 0;
        if (addDataSize >= 0) {
            if (addDataSize % m_recordSize != 0)
                throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is damaged: block %1 holds a broken record").arg(number));
            records = addDataSize / m_recordSize + 1;
            if (6 + qint64(records) * m_recordSize > m_blockSize)
                throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is damaged: block %1 claims more records than it can hold").arg(number));
        }
        blocks.append({number, records});
        number = next;
    }
    return blocks;
}

qint64 ParadoxTable::countRecords() const
{
    qint64 count = 0;
    for (const Block &block : chain())
        count += block.records;
    return count;
}

void ParadoxTable::forEachRecord(const std::function<void(const uchar *record)> &visit) const
{
    const auto *base = reinterpret_cast<const uchar *>(m_db.data());
    for (const Block &block : chain()) {
        const uchar *first = base + m_headerSize + qsizetype(block.number - 1) * m_blockSize + 6;
        for (int i = 0; i < block.records; ++i)
            visit(first + qsizetype(i) * m_recordSize);
    }
}

QString ParadoxTable::decode(QByteArrayView bytes, bool *replaced) const
{
    QString text = m_converter.decode(bytes, replaced);
    // Bytes the code page leaves undefined come out as control characters
    // (or as the replacement character); none of them belongs in a field.
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        if (u == 0xFFFD || ((u < 0x20 || (u >= 0x7F && u < 0xA0)) && u != u'\t' && u != u'\r' && u != u'\n')) {
            c = QChar::ReplacementCharacter;
            *replaced = true;
        }
    }
    return text;
}

QByteArrayView ParadoxTable::memoBytes(const uchar *field, int size) const
{
    const int leader = size - 10;
    const quint32 pointer = le32(field + leader);
    const quint32 length = le32(field + leader + 4);
    if (pointer == 0) {
        if (length > quint32(leader))
            throw ParadoxError(QCoreApplication::translate("ParadoxTable", "it is damaged: a memo is longer than its field"));
        return QByteArrayView(reinterpret_cast<const char *>(field), qsizetype(length));
    }
    if (!m_hasMemoFile)
        throw ParadoxError(QCoreApplication::translate("ParadoxTable", "its memo file (\".MB\") is missing"));
    const qsizetype blockAt = qsizetype(pointer & 0xFFFFFF00u);
    const int index = int(pointer & 0xFF);
    const qsizetype memoSize = m_memo.size();
    auto broken = [] { return ParadoxError(QCoreApplication::translate("ParadoxTable", "its memo file (\".MB\") is damaged or does not belong to it")); };
    if (blockAt + 12 > memoSize)
        throw broken();
    const auto *memo = reinterpret_cast<const uchar *>(m_memo.data());
    if (index == 0xFF) {
        // A block of its own: type 2, length, modification number, data.
        if (memo[blockAt] != 2 || le32(memo + blockAt + 3) != length || qint64(length) > memoSize - blockAt - 9)
            throw broken();
        return QByteArrayView(reinterpret_cast<const char *>(memo + blockAt + 9), qsizetype(length));
    }
    // A shared block of type 3 with 64 five-byte pointers after 12 bytes.
    if (index >= 64 || memo[blockAt] != 3 || blockAt + memoBlockSize > memoSize)
        throw broken();
    const uchar *entry = memo + blockAt + 12 + 5 * index;
    const qsizetype dataAt = qsizetype(entry[0]) * 16;
    const int chunks = entry[1];
    const int lastChunk = entry[4];
    if (dataAt == 0 || chunks == 0 || lastChunk == 0 || lastChunk > 16)
        throw broken();
    const qsizetype dataLength = qsizetype(chunks - 1) * 16 + lastChunk;
    if (dataLength != qsizetype(length) || dataAt + dataLength > memoBlockSize)
        throw broken();
    return QByteArrayView(reinterpret_cast<const char *>(memo + blockAt + dataAt), dataLength);
}

FieldValue ParadoxTable::value(const uchar *record, int index) const
{
    const ParadoxField &field = m_fields.at(index);
    const uchar *p = record + field.offset;
    FieldValue value;
    switch (field.type) {
    case FieldType::Alpha:
    case FieldType::Memo: {
        QByteArrayView bytes;
        if (field.type == FieldType::Alpha) {
            qsizetype length = 0;
            while (length < field.size && p[length] != 0)
                ++length;
            bytes = QByteArrayView(reinterpret_cast<const char *>(p), length);
        } else {
            bytes = memoBytes(p, field.size);
            while (!bytes.isEmpty() && bytes.back() == '\0')
                bytes.chop(1);
        }
        if (bytes.isEmpty())
            return value;
        value.kind = FieldValue::Kind::Text;
        bool ascii = true;
        for (char c : bytes) {
            if (quint8(c) >= 0x7F || (quint8(c) < 0x20 && c != '\t' && c != '\r' && c != '\n')) {
                ascii = false;
                break;
            }
        }
        if (ascii)
            value.ascii = bytes;
        else
            value.text = decode(bytes, &value.replaced);
        return value;
    }
    case FieldType::Short:
    case FieldType::Long:
    case FieldType::AutoIncrement:
    case FieldType::Date:
    case FieldType::Time:
        if (allZero(p, field.size))
            return value;
        value.integer = storedInteger(p, field.size);
        value.kind = field.type == FieldType::Date ? FieldValue::Kind::Date
            : field.type == FieldType::Time        ? FieldValue::Kind::Time
                                                   : FieldValue::Kind::Integer;
        return value;
    case FieldType::Number:
    case FieldType::Currency:
    case FieldType::Timestamp:
        if (allZero(p, 8))
            return value;
        value.number = storedDouble(p);
        value.kind = field.type == FieldType::Timestamp ? FieldValue::Kind::Timestamp : FieldValue::Kind::Float;
        return value;
    case FieldType::Logical:
        if (p[0] == 0)
            return value;
        value.kind = FieldValue::Kind::Logical;
        value.integer = (p[0] & 0x7F) != 0 ? 1 : 0;
        return value;
    case FieldType::Bcd: {
        if (allZero(p, 17))
            return value;
        // First byte: sign bit (set for positive) and the decimal places;
        // then 32 digits, one per nibble, complemented for a negative value.
        const bool negative = (p[0] & 0x80) == 0;
        const int decimals = qMin(field.decimals, 32);
        QString digits;
        digits.reserve(34);
        for (int i = 0; i < 32; ++i) {
            int nibble = (i % 2 == 0 ? p[1 + i / 2] >> 4 : p[1 + i / 2]) & 0x0F;
            if (negative)
                nibble = 0x0F - nibble;
            if (nibble > 9) {
                value.kind = FieldValue::Kind::Blank;
                value.replaced = true;
                return value;
            }
            if (i == 32 - decimals)
                digits += u'.';
            digits += QChar(u'0' + nibble);
        }
        value.kind = FieldValue::Kind::Decimal;
        value.text = negative ? u'-' + digits : digits;
        return value;
    }
    case FieldType::Blob:
    case FieldType::FormattedMemo:
    case FieldType::Ole:
    case FieldType::Graphic:
    case FieldType::Bytes:
        if (!allZero(p, field.size))
            value.kind = FieldValue::Kind::Binary;
        return value;
    }
    return value;
}

} // namespace legacy
