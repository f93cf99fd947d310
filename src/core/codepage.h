#pragma once

// The 8-bit code pages of older files and of the fixed export (Windows-1252,
// IBM 850, ...), converted alike on every system: through Qt's converters
// where they know the code page, through the system's own code page
// functions where Qt was built without them.

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <memory>

namespace core {

class CodePage {
public:
    // The code page of this number, as Windows numbers them.
    explicit CodePage(int number);

    // Whether this system can convert it.
    bool isValid() const { return m_data != nullptr; }
    int number() const { return m_number; }
    // "windows-1252", "IBM850", ...; empty when not valid.
    QString name() const;

    // The text of `bytes`; `replaced` tells whether a byte had no character
    // (it comes out as U+FFFD).
    QString decode(QByteArrayView bytes, bool *replaced = nullptr) const;

    // The byte of every character of the Basic Multilingual Plane, or -1
    // where the code page has none (best-fit look-alikes do not count).
    // Empty when the code page takes more than one byte a character.
    QList<qint16> byteTable() const;

    struct Data;

private:
    int m_number = 0;
    std::shared_ptr<Data> m_data;
};

} // namespace core
