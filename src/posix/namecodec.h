// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <vector>

// File names are bytes; the rules and the screen work on text. The codec
// turns every byte that is not part of valid UTF-8 into one lone surrogate,
// U+DC80 + byte (the scheme Python calls surrogateescape), and maps such a
// surrogate back to its byte, so that encode(decode(bytes)) == bytes for
// every name. Valid UTF-8 costs one extra scan of the decoded text.
namespace NameCodec {

inline constexpr char16_t firstEscape = 0xDC80;
inline constexpr char16_t lastEscape = 0xDCFF;

inline bool isEscapedByte(char16_t unit)
{
    return unit >= firstEscape && unit <= lastEscape;
}

// Whether any unit of the text that is not part of a surrogate pair
// satisfies `test`: the one scan behind every "does this name hold ..." check.
template<typename Test> bool anyUnpairedUnit(QStringView text, Test test)
{
    const auto *units = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = units[i];
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(units[i + 1]))
            ++i;
        else if (test(u))
            return true;
    }
    return false;
}

QString decode(QByteArrayView bytes);
// Escaped bytes become their bytes again. A lone surrogate that stands for no
// byte has no encoding and becomes U+FFFD; callers refuse such text first
// (see hasForeignSurrogate).
QByteArray encode(QStringView text);
// The number of bytes encode(text) gives, without making them: what a check
// of a name's length needs of a million names.
qsizetype encodedSize(QStringView text);
// encode(text) put at the end of `out`; plain ASCII goes in unit for byte.
void appendEncoded(std::vector<char> &out, QStringView text);

// Whether the text holds half a surrogate pair that is not an escaped byte
// (U+D800-U+DBFF, U+DC00-U+DC7F alone): such text is no file name.
bool hasForeignSurrogate(QStringView text);
// The text that the bytes of `text` decode to: escaped bytes that come
// together in a valid UTF-8 sequence (the bytes of "é" escaped one by one and
// cut apart by a template, then joined again) are that character on disk, and
// so in the name. Text with a foreign surrogate is returned as it is, to be
// refused.
QString canonical(const QString &text);
// Whether the text holds any escaped byte.
bool hasEscapedBytes(QStringView text);
// Whether every byte is below 0x80: plain ASCII, which decodes to the same
// units and is its own key.
bool isAscii(QByteArrayView bytes);
// Whether the bytes are valid UTF-8, so that decode() needed no escape.
bool isValidUtf8(QByteArrayView bytes);

} // namespace NameCodec
