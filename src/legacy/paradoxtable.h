#pragma once

// A reader for Paradox table files (versions 3.0 to 7.x, keyed or not): a
// fixed-size header, then fixed-size blocks of fixed-width records, with memo
// texts in a companion ".MB" file.  Nothing here writes; every offset taken
// from the files is checked against their sizes, so a damaged or cut-off
// file ends in a ParadoxError naming the reason, never in a bad read.

#include "core/codepage.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>
#include <stdexcept>

namespace legacy {

// A file that cannot be read as a Paradox table; the reason reads as the end
// of a sentence ("it is cut off: ...").
class ParadoxError : public std::runtime_error {
public:
    explicit ParadoxError(const QString &reason)
        : std::runtime_error(reason.toStdString()), m_reason(reason) {}
    const QString &reason() const { return m_reason; }

private:
    QString m_reason;
};

enum class FieldType : quint8 {
    Alpha = 0x01,
    Date = 0x02,
    Short = 0x03,
    Long = 0x04,
    Currency = 0x05,
    Number = 0x06,
    Logical = 0x09,
    Memo = 0x0C,
    Blob = 0x0D,
    FormattedMemo = 0x0E,
    Ole = 0x0F,
    Graphic = 0x10,
    Time = 0x14,
    Timestamp = 0x15,
    AutoIncrement = 0x16,
    Bcd = 0x17,
    Bytes = 0x18,
};

struct ParadoxField {
    QString name;
    FieldType type;
    int size = 0;      // bytes in the record
    int offset = 0;    // from the start of the record
    int decimals = 0;  // BCD: digits after the decimal point
};

// One value as stored.  Text that is plain ASCII is handed out as a view of
// the file's bytes (`ascii`), anything else decoded into `text`.
struct FieldValue {
    enum class Kind { Blank, Text, Integer, Float, Decimal, Date, Time, Timestamp, Logical, Binary };
    Kind kind = Kind::Blank;
    QByteArrayView ascii;     // Text, when every byte is ASCII
    QString text;             // Text otherwise; Decimal as digits with '.' and an optional '-'
    qint64 integer = 0;       // Integer; Date as day number (1 = 1 Jan 0001); Time in ms; Logical 0/1
    double number = 0;        // Float; Timestamp in ms since the start of day 0
    bool replaced = false;    // Text: bytes the code page could not decode were replaced
};

class ParadoxTable {
public:
    // Reads the header of `db`; `memo` is the ".MB" file's content (empty
    // when there is none).  The bytes must outlive the object.  Throws
    // ParadoxError when the file is no table this reader handles.
    ParadoxTable(QByteArrayView db, QByteArrayView memo = {}, bool hasMemoFile = false);

    // True when the first bytes look like a Paradox table header, whatever
    // else in the file may be damaged.
    static bool looksLikeTable(QByteArrayView head);

    int version() const { return m_version; }          // 30, 35, 40, 50 or 70
    bool isKeyed() const { return m_keyed; }
    int keyFieldCount() const { return m_keyFields; }
    int codePage() const { return m_codePage; }         // 0 when the header names none
    QString encodingName() const { return m_encodingName; }
    int recordSize() const { return m_recordSize; }
    int blockSize() const { return m_blockSize; }
    qint64 headerRecordCount() const { return m_headerRecords; }
    const QList<ParadoxField> &fields() const { return m_fields; }
    int fieldIndex(const QString &name) const;          // without regard to case; -1 when absent
    bool needsMemoFile() const;

    // Walks the block chain and checks every block; returns the number of
    // records.  Throws ParadoxError on a damaged chain.
    qint64 countRecords() const;
    // Calls `visit` with each record's bytes in the order of the block chain
    // (key order for a keyed table).  Checks as countRecords() does.
    void forEachRecord(const std::function<void(const uchar *record)> &visit) const;

    // The value of field `index` of a record handed out by forEachRecord().
    // Throws ParadoxError when a memo cannot be found in the memo file.
    FieldValue value(const uchar *record, int index) const;

    static QString typeName(FieldType type);

private:
    struct Block { int number; int records; };
    QList<Block> chain() const;
    QString decode(QByteArrayView bytes, bool *replaced) const;
    QByteArrayView memoBytes(const uchar *field, int size) const;

    QByteArrayView m_db;
    QByteArrayView m_memo;
    bool m_hasMemoFile = false;
    int m_version = 0;
    bool m_keyed = false;
    int m_keyFields = 0;
    int m_codePage = 0;
    QString m_encodingName;
    core::CodePage m_converter{0};
    int m_recordSize = 0;
    int m_headerSize = 0;
    int m_blockSize = 0;
    int m_fileBlocks = 0;
    int m_firstBlock = 0;
    qint64 m_headerRecords = 0;
    QList<ParadoxField> m_fields;
};

// The name under which the platform decodes a DOS or Windows code page
// ("IBM850", "windows-1252"); empty when it cannot.
QString encodingForCodePage(int codePage);

} // namespace legacy
