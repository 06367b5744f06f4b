// SPDX-License-Identifier: GPL-3.0-or-later
#include "posix/textescape.h"

#include "posix/namecodec.h"

namespace {

// Beyond this a name is cut by shortened(); a little more than the head, so
// that a name is never replaced by a longer text.
constexpr qsizetype shortenFrom = TextEscape::shortenedHead + 20;

bool isEscaped(char16_t u)
{
    return u < 0x20 || (u >= 0x7f && u < 0xa0) || u == 0x2028 || u == 0x2029 ||
           TextEscape::isBidiControl(u) || QChar::isSurrogate(u);
}

void appendHex(QString &out, uint value, int digits, char16_t prefix)
{
    out += u'\\';
    out += prefix;
    out += QString::number(value, 16).rightJustified(digits, u'0');
}

} // namespace

namespace TextEscape {

bool isBidiControl(char32_t c)
{
    return (c >= 0x202a && c <= 0x202e) || (c >= 0x2066 && c <= 0x2069) || c == 0x200e ||
           c == 0x200f;
}

bool needsEscape(QStringView text)
{
    // Printable ASCII is never escaped, and most names are nothing else: a
    // plain pass over it, and the careful look only from the first other
    // unit on (a pair of surrogates cannot start within ASCII).
    const auto *units = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype n = text.size();
    qsizetype plain = 0;
    while (plain < n && units[plain] >= 0x20 && units[plain] < 0x7f)
        ++plain;
    return plain < n && NameCodec::anyUnpairedUnit(text.sliced(plain), isEscaped);
}

QString line(QStringView text)
{
    if (!needsEscape(text))
        return text.toString();
    QString out;
    out.reserve(text.size() + 16);
    const auto *units = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = units[i];
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(units[i + 1])) {
            out += QChar(u);
            out += QChar(units[++i]);
        } else if (NameCodec::isEscapedByte(u)) {
            appendHex(out, u - 0xdc00u, 2, u'x');
        } else if (u < 0x20 || u == 0x7f) {
            appendHex(out, u, 2, u'x');
        } else if (isEscaped(u)) {
            appendHex(out, u, 4, u'u');
        } else {
            out += QChar(u);
        }
    }
    return out;
}

QString path(QByteArrayView bytes)
{
    return line(NameCodec::decode(bytes));
}

QString shortened(QStringView text)
{
    if (text.size() <= shortenFrom)
        return text.toString();
    qsizetype head = shortenedHead;
    if (QChar::isHighSurrogate(text[head - 1].unicode()))
        --head;
    return text.first(head).toString() + QStringLiteral("… (%1 characters)").arg(text.size());
}

} // namespace TextEscape
