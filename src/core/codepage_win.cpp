#include "core/codepage.h"

#include <array>

#include <windows.h>

// Qt for Windows is built without ICU, and its converters know no 8-bit code
// page but Latin-1: the system's code page functions convert instead.
// Their tables are the ones Windows programs wrote these files with.

namespace core {

struct CodePage::Data {
    bool singleByte = false;
    // The character of every byte of a single-byte code page, U+FFFD for a
    // byte it leaves undefined.
    std::array<char16_t, 256> characters{};
};

CodePage::CodePage(int number)
    : m_number(number)
{
    CPINFO info{};
    if (number <= 0 || number > 0xFFFF || !IsValidCodePage(UINT(number)) || !GetCPInfo(UINT(number), &info))
        return;
    auto data = std::make_shared<Data>();
    data->singleByte = info.MaxCharSize == 1;
    if (data->singleByte) {
        for (int byte = 0; byte < 256; ++byte) {
            const char in = char(byte);
            wchar_t out[2] = {};
            const int n = MultiByteToWideChar(UINT(number), MB_ERR_INVALID_CHARS, &in, 1, out, 2);
            data->characters[size_t(byte)] = n == 1 ? char16_t(out[0]) : char16_t(0xFFFD);
        }
        // Qt on Linux reads the DOS code pages with IBM's arrangement of
        // three control characters (0x1A is U+001C, 0x1C is U+007F, 0x7F is
        // U+001A); Windows with the identity.  The same here, so that both
        // systems read a table alike.
        auto &c = data->characters;
        if ((number < 1250 || number > 1258) && c[0x1A] == 0x1A && c[0x1C] == 0x1C && c[0x7F] == 0x7F) {
            c[0x1A] = 0x1C;
            c[0x1C] = 0x7F;
            c[0x7F] = 0x1A;
        }
    }
    m_data = std::move(data);
}

QString CodePage::name() const
{
    if (!m_data)
        return QString();
    if (m_number >= 1250 && m_number <= 1258)
        return QStringLiteral("windows-%1").arg(m_number);
    return QStringLiteral("IBM%1").arg(m_number);
}

QString CodePage::decode(QByteArrayView bytes, bool *replaced) const
{
    if (replaced)
        *replaced = false;
    if (!m_data) {
        if (replaced)
            *replaced = !bytes.isEmpty();
        return QString(bytes.size(), QChar::ReplacementCharacter);
    }
    if (bytes.isEmpty())
        return QString();
    if (m_data->singleByte) {
        QString text(bytes.size(), Qt::Uninitialized);
        QChar *out = text.data();
        for (const char byte : bytes) {
            const char16_t c = m_data->characters[static_cast<unsigned char>(byte)];
            if (c == 0xFFFD && replaced)
                *replaced = true;
            *out++ = QChar(c);
        }
        return text;
    }
    // A code page of several bytes a character: converted whole, strictly
    // first, and leniently when a sequence is invalid.
    const int size = int(bytes.size());
    const auto *data = bytes.data();
    int length = MultiByteToWideChar(UINT(m_number), MB_ERR_INVALID_CHARS, data, size, nullptr, 0);
    DWORD flags = MB_ERR_INVALID_CHARS;
    if (length <= 0) {
        flags = 0;
        length = MultiByteToWideChar(UINT(m_number), 0, data, size, nullptr, 0);
        if (replaced)
            *replaced = true;
    }
    QString text(qsizetype(std::max(length, 0)), Qt::Uninitialized);
    if (length > 0)
        MultiByteToWideChar(UINT(m_number), flags, data, size, reinterpret_cast<wchar_t *>(text.data()), length);
    return text;
}

QList<qint16> CodePage::byteTable() const
{
    if (!m_data || !m_data->singleByte)
        return {};
    // The exact inverse of the decoding: a character gets the byte that
    // decodes to it, and no best-fit look-alike.
    QList<qint16> bytes(0x10000, qint16(-1));
    for (int byte = 255; byte >= 0; --byte) {
        const char16_t c = m_data->characters[size_t(byte)];
        if (c != 0xFFFD)
            bytes[c] = qint16(byte);
    }
    return bytes;
}

} // namespace core
