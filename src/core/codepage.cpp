#include "core/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

namespace core {

struct CodePage::Data {
    QByteArray name;
    // Kept: opening a converter costs more than most fields take to decode.
    QStringDecoder decoder;
};

CodePage::CodePage(int number)
    : m_number(number)
{
    if (number <= 0)
        return;
    QStringList candidates;
    if (number >= 1250 && number <= 1258)
        candidates << QStringLiteral("windows-%1").arg(number);
    candidates << QStringLiteral("IBM%1").arg(number) << QStringLiteral("cp%1").arg(number)
               << QStringLiteral("windows-%1").arg(number);
    for (const QString &name : candidates) {
        if (QStringDecoder(name.toLatin1().constData()).isValid()) {
            const QByteArray latin1 = name.toLatin1();
            m_data = std::make_shared<Data>(
                Data{latin1, QStringDecoder(latin1.constData(), QStringConverter::Flag::Stateless)});
            return;
        }
    }
}

QString CodePage::name() const
{
    return m_data ? QString::fromLatin1(m_data->name) : QString();
}

QString CodePage::decode(QByteArrayView bytes, bool *replaced) const
{
    if (!m_data) {
        if (replaced)
            *replaced = !bytes.isEmpty();
        return QString(bytes.size(), QChar::ReplacementCharacter);
    }
    QStringDecoder &decoder = m_data->decoder;
    decoder.resetState();
    QString text = decoder.decode(bytes);
    if (replaced)
        *replaced = decoder.hasError();
    return text;
}

QList<qint16> CodePage::byteTable() const
{
    if (!m_data)
        return {};
    // One character at a time (a few milliseconds): a character the
    // converter cannot map comes out as its substitute byte (0x1A, or 0x7F
    // for the DOS code pages) or as nothing at all; only a byte that decodes
    // back to the character counts.
    QStringEncoder encoder(m_data->name.constData(), QStringConverter::Flag::Stateless);
    char16_t decoded[256];
    for (int byte = 0; byte < 256; ++byte) {
        const char in = char(byte);
        const QString text = decode(QByteArrayView(&in, 1));
        decoded[byte] = text.size() == 1 ? text.at(0).unicode() : char16_t(0xFFFD);
    }
    QList<qint16> bytes(0x10000, qint16(-1));
    for (char32_t c = 0; c < 0x10000; ++c) {
        if (QChar::isSurrogate(c))
            continue;
        const char16_t u = char16_t(c);
        const QByteArray encoded = encoder.encode(QStringView(&u, 1));
        if (encoded.size() > 1)
            return {};
        if (encoded.size() != 1)
            continue;
        const auto byte = static_cast<unsigned char>(encoded.at(0));
        if (decoded[byte] == c)
            bytes[c] = byte;
    }
    return bytes;
}

} // namespace core
