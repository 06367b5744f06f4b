// SPDX-License-Identifier: GPL-3.0-or-later
#include "posix/namecodec.h"

#include <algorithm>
#include <cstring>

namespace {

// The length of the well-formed UTF-8 sequence at p[0..n) and its code
// point, or 0 when the lead byte starts none (overlong forms, encoded
// surrogates and values past U+10FFFF are not well-formed).
int sequenceAt(const uchar *p, qsizetype n, char32_t *point)
{
    const uchar lead = p[0];
    int length = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        c = lead & 0x1f;
        minimum = 0x80;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        c = lead & 0x0f;
        minimum = 0x800;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        c = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (length > n)
        return 0;
    for (int k = 1; k < length; ++k) {
        if ((p[k] & 0xc0) != 0x80)
            return 0;
        c = (c << 6) | (p[k] & 0x3f);
    }
    if (c < minimum || c > 0x10ffff || (c >= 0xd800 && c <= 0xdfff))
        return 0;
    *point = c;
    return length;
}

QString decodeEscaping(QByteArrayView bytes)
{
    QString out;
    out.reserve(bytes.size());
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        if (p[i] < 0x80) {
            out += QChar(char16_t(p[i]));
            ++i;
            continue;
        }
        char32_t c = 0;
        const int length = sequenceAt(p + i, n - i, &c);
        if (length == 0) {
            out += QChar(char16_t(0xdc00 + p[i]));
            ++i;
        } else {
            if (QChar::requiresSurrogates(c)) {
                out += QChar(QChar::highSurrogate(c));
                out += QChar(QChar::lowSurrogate(c));
            } else {
                out += QChar(char16_t(c));
            }
            i += length;
        }
    }
    return out;
}

} // namespace

namespace NameCodec {

// Read eight bytes at a time: most names on disk are plain ASCII, and for
// those no byte can need an escape.
bool isAscii(QByteArrayView bytes)
{
    const char *p = bytes.data();
    qsizetype n = bytes.size();
    quint64 high = 0;
    for (; n >= 8; p += 8, n -= 8) {
        quint64 word;
        std::memcpy(&word, p, sizeof word);
        high |= word;
    }
    for (; n > 0; ++p, --n)
        high |= uchar(*p);
    return (high & 0x8080808080808080ull) == 0;
}

QString decode(QByteArrayView bytes)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    // Valid UTF-8 decodes without U+FFFD unless the name itself holds one;
    // only then is the name read again byte by byte. QString::fromUtf8 drops
    // a leading byte order mark, which is three bytes of the name here.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return decodeEscaping(bytes);
    QString text = QString::fromUtf8(bytes);
    if (!text.contains(QChar::ReplacementCharacter))
        return text;
    return decodeEscaping(bytes);
}

QByteArray encode(QStringView text)
{
    const auto *units = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype n = text.size();
    qsizetype first = 0;
    while (first < n && !QChar::isSurrogate(units[first]))
        ++first;
    if (first == n)
        return text.toUtf8();
    QByteArray out = text.first(first).toUtf8();
    out.reserve(n * 3);
    for (qsizetype i = first; i < n; ++i) {
        const char16_t u = units[i];
        if (isEscapedByte(u)) {
            out += char(u - 0xdc00);
        } else if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(units[i + 1])) {
            out += text.sliced(i, 2).toUtf8();
            ++i;
        } else if (QChar::isSurrogate(u)) {
            out += "\xEF\xBF\xBD";
        } else {
            // Runs of ordinary text between escapes.
            qsizetype end = i + 1;
            while (end < n && !QChar::isSurrogate(units[end]))
                ++end;
            out += text.sliced(i, end - i).toUtf8();
            i = end - 1;
        }
    }
    return out;
}

qsizetype encodedSize(QStringView text)
{
    const auto *units = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype n = text.size();
    qsizetype size = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = units[i];
        if (u < 0x80 || isEscapedByte(u)) {
            size += 1;
        } else if (u < 0x800) {
            size += 2;
        } else if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(units[i + 1])) {
            size += 4;
            ++i;
        } else {
            // The rest of the plane, and a surrogate that stands for no byte
            // (U+FFFD), take three.
            size += 3;
        }
    }
    return size;
}

void appendEncoded(std::vector<char> &out, QStringView text)
{
    const auto *units = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype n = text.size();
    if (std::all_of(units, units + n, [](char16_t u) { return u < 0x80; })) {
        out.insert(out.end(), units, units + n);
        return;
    }
    const QByteArray bytes = encode(text);
    out.insert(out.end(), bytes.begin(), bytes.end());
}

bool hasForeignSurrogate(QStringView text)
{
    const auto *units = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = units[i];
        if (!QChar::isSurrogate(u) || isEscapedByte(u))
            continue;
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(units[i + 1]))
            ++i;
        else
            return true;
    }
    return false;
}

QString canonical(const QString &text)
{
    // Two escaped bytes in a row are needed to make a character.
    const auto *units = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype n = text.size();
    qsizetype i = 1;
    while (i < n && !(isEscapedByte(units[i]) && isEscapedByte(units[i - 1])))
        ++i;
    if (i >= n || hasForeignSurrogate(text))
        return text;
    return decode(encode(text));
}

bool hasEscapedBytes(QStringView text)
{
    return anyUnpairedUnit(text, isEscapedByte);
}

bool isValidUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        char32_t c = 0;
        const int length = sequenceAt(p + i, n - i, &c);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

} // namespace NameCodec
