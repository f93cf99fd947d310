// Values bound into a statement stay values: read again token by token, the
// bound statement is the original one with each parameter turned into a
// string holding exactly its value, and nothing else changed.  The input is
// the statement, then the values, split at bytes 0x01.

#include "store/postgres.h"

#include "fuzzcheck.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace {

struct Token {
    enum Kind { Text, String, Parameter } kind;
    QByteArray bytes;   // a string's value, a parameter's number, else the text
    bool bound = false; // a string made of a value
};

// A text token, empty maybe, between any two others and at both ends, so
// that two readings line up token by token.
std::vector<Token> withTextBetween(const std::vector<Token> &in)
{
    std::vector<Token> out;
    for (const Token &token : in) {
        if (token.kind != Token::Text && (out.empty() || out.back().kind != Token::Text))
            out.push_back({Token::Text, {}});
        out.push_back(token);
    }
    if (out.empty() || out.back().kind != Token::Text)
        out.push_back({Token::Text, {}});
    return out;
}

bool wordByte(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || c == '_' || c == '$' || (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
}

// The statement as the server reads it: strings with their values decoded,
// parameters, and all other text (quoted names and comments included) byte
// by byte.  Nothing when a quote or comment is not closed or a parameter
// runs into a word.
std::optional<std::vector<Token>> tokens(const QByteArray &sql)
{
    std::vector<Token> out;
    const auto text = [&](char c) {
        if (out.empty() || out.back().kind != Token::Text)
            out.push_back({Token::Text, {}});
        out.back().bytes.append(c);
    };
    qsizetype i = 0;
    const qsizetype n = sql.size();
    while (i < n) {
        const char c = sql[i];
        const bool afterWord = i > 0 && wordByte(sql[i - 1]);
        if (c == '\'') {
            const bool escapes = !out.empty() && out.back().kind == Token::Text && (out.back().bytes.endsWith('E') || out.back().bytes.endsWith('e'))
                                 && !(i > 1 && wordByte(sql[i - 2]));
            QByteArray value;
            qsizetype j = i + 1;
            for (;; ++j) {
                if (j >= n)
                    return std::nullopt;
                if (escapes && sql[j] == '\\') {
                    if (++j >= n)
                        return std::nullopt;
                    value.append(sql[j]);
                } else if (sql[j] == '\'') {
                    if (j + 1 < n && sql[j + 1] == '\'') {
                        value.append('\'');
                        ++j;
                    } else {
                        break;
                    }
                } else {
                    value.append(sql[j]);
                }
            }
            if (escapes)
                out.back().bytes.chop(1);   // the E belongs to the string
            out.push_back({Token::String, value});
            i = j + 1;
        } else if (c == '"') {
            qsizetype j = i + 1;
            while (j < n && !(sql[j] == '"' && !(j + 1 < n && sql[j + 1] == '"')))
                j += sql[j] == '"' ? 2 : 1;
            if (j >= n)
                return std::nullopt;
            for (qsizetype k = i; k <= j; ++k)
                text(sql[k]);
            i = j + 1;
        } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            while (i < n && sql[i] != '\n')
                text(sql[i++]);
        } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            int depth = 0;
            qsizetype j = i;
            for (; j + 1 < n; ++j) {
                if (sql[j] == '/' && sql[j + 1] == '*') {
                    ++depth;
                    ++j;
                } else if (sql[j] == '*' && sql[j + 1] == '/') {
                    ++j;
                    if (--depth == 0)
                        break;
                }
            }
            if (depth != 0)
                return std::nullopt;
            for (qsizetype k = i; k <= j; ++k)
                text(sql[k]);
            i = j + 1;
        } else if (c == '$' && !afterWord && i + 1 < n && sql[i + 1] >= '0' && sql[i + 1] <= '9') {
            qsizetype j = i + 1;
            while (j < n && sql[j] >= '0' && sql[j] <= '9')
                ++j;
            if (j < n && wordByte(sql[j]))
                return std::nullopt;   // junk after a parameter: no statement
            out.push_back({Token::Parameter, sql.mid(i + 1, j - i - 1)});
            i = j;
        } else if (c == '$' && !afterWord) {
            qsizetype j = i + 1;
            while (j < n && sql[j] != '$' && wordByte(sql[j]))
                ++j;
            if (j < n && sql[j] == '$') {
                const QByteArray tag = sql.mid(i, j + 1 - i);
                const qsizetype close = sql.indexOf(tag, j + 1);
                if (close < 0)
                    return std::nullopt;
                out.push_back({Token::String, sql.mid(j + 1, close - j - 1)});
                i = close + tag.size();
            } else {
                text(c);
                ++i;
            }
        } else {
            text(c);
            ++i;
        }
    }
    return out;
}

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QList<QByteArray> parts = QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)).split('\x01');
    const QByteArray &sql = parts.first();
    const QList<QByteArray> values = parts.mid(1);

    // What the statement should become: its parameters replaced by strings.
    std::optional<std::vector<Token>> expected = tokens(sql);
    bool bindable = expected.has_value();
    for (const QByteArray &value : values)
        bindable = bindable && !value.contains('\0');
    if (expected) {
        for (Token &token : *expected) {
            if (token.kind != Token::Parameter)
                continue;
            bool ok = false;
            const int index = token.bytes.size() <= 6 ? token.bytes.toInt(&ok) : 0;
            if (!ok || index < 1 || index > values.size()) {
                bindable = false;
                break;
            }
            token = {Token::String, values.at(index - 1), true};
        }
    }

    QString why;
    const std::optional<QByteArray> bound = store::boundStatement(sql, values, &why);
    FUZZ_CHECK(bound.has_value() == bindable,
               QStringLiteral("bound: %1, expected: %2, reason: %3, statement %4")
                   .arg(bound.has_value())
                   .arg(bindable)
                   .arg(why, hex(sql)));
    if (!bound)
        return 0;
    std::optional<std::vector<Token>> got = tokens(*bound);
    FUZZ_CHECK(got.has_value(), QStringLiteral("the bound statement does not end its quotes: %1").arg(hex(*bound)));
    std::vector<Token> wanted = withTextBetween(*expected);
    *got = withTextBetween(*got);
    FUZZ_CHECK(got->size() == wanted.size(),
               QStringLiteral("%1 tokens instead of %2 in %3").arg(got->size()).arg(wanted.size()).arg(hex(*bound)));
    for (size_t i = 0; i < wanted.size(); ++i) {
        const Token &g = (*got)[i];
        const Token &w = wanted[i];
        FUZZ_CHECK(g.kind == w.kind, QStringLiteral("token %1 is of another kind in %2").arg(i).arg(hex(*bound)));
        if (g.kind != Token::Text) {
            FUZZ_CHECK(g.bytes == w.bytes,
                       QStringLiteral("string %1 holds %2 instead of %3").arg(i).arg(hex(g.bytes), hex(w.bytes)));
            continue;
        }
        // A bound value may be set off by one blank on either side.
        QByteArray text = g.bytes;
        if (i > 0 && wanted[i - 1].bound && text.startsWith(' '))
            text.remove(0, 1);
        if (i + 1 < wanted.size() && wanted[i + 1].bound && text.endsWith(' '))
            text.chop(1);
        FUZZ_CHECK(text == w.bytes,
                   QStringLiteral("text %1 changed: %2 instead of %3").arg(i).arg(hex(g.bytes), hex(w.bytes)));
    }
    return 0;
}
