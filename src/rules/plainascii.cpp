// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/plainascii.h"

#include "posix/namecodec.h"

#include <QHash>

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>

namespace {

// ICU's transform takes tens of microseconds a word (a hundred for Chinese,
// whose words it looks up), far too slow for a preview of a million names.
// Names repeat their words, so each thread keeps what every word gave. A
// transliterator may not be used by two threads at once; one each, made on
// first use, costs no lock.
struct ThreadTransform
{
    std::unique_ptr<icu::Transliterator> transform;
    bool failed = false;
    QHash<QString, QString> words;

    // Bounded, so that a walk over endless distinct words cannot grow it
    // without end.
    static constexpr qsizetype maxWords = 1 << 16;

    QString wordInAscii(QStringView word)
    {
        const QString key = word.toString();
        if (const auto found = words.constFind(key); found != words.cend())
            return *found;
        if (!transform && !failed) {
            UErrorCode error = U_ZERO_ERROR;
            transform.reset(icu::Transliterator::createInstance(
                icu::UnicodeString(u"Any-Latin; Latin-ASCII"), UTRANS_FORWARD, error));
            failed = U_FAILURE(error) || !transform;
        }
        QString result;
        if (transform) {
            icu::UnicodeString text(reinterpret_cast<const UChar *>(word.utf16()),
                                    int32_t(word.size()));
            transform->transliterate(text);
            result = QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
        } else {
            result = key;
        }
        if (words.size() >= maxWords)
            words.clear();
        words.insert(key, result);
        return result;
    }
};

thread_local ThreadTransform threadTransform;

bool isAscii(char16_t unit)
{
    return unit < 0x80;
}

// Words are cut at ASCII characters that are not letters: the transform's
// rules look at the letters around a letter (Greek's final sigma, a Chinese
// word of several characters), never past a space, digit or punctuation.
bool cutsWords(char16_t unit)
{
    return isAscii(unit) && !((unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z'));
}

// What the transform gave, with what it left outside ASCII as "_", one for
// each character, and a slash it made as "_".
void appendAsciiOnly(QString &out, QStringView text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate())
            ++i;
        out.append(isAscii(c.unicode()) && c != u'/' ? c : QLatin1Char('_'));
    }
}

} // namespace

QString TextRules::plainAscii(const QString &name)
{
    const auto *units = reinterpret_cast<const char16_t *>(name.utf16());
    const qsizetype n = name.size();
    qsizetype firstOther = 0;
    while (firstOther < n && isAscii(units[firstOther]))
        ++firstOther;
    if (firstOther == n)
        return name;

    QString out;
    out.reserve(n + n / 2);
    qsizetype at = 0;
    while (at < n) {
        const char16_t unit = units[at];
        if (cutsWords(unit)) {
            out.append(QChar(unit));
            ++at;
            continue;
        }
        if (NameCodec::isEscapedByte(unit)) {
            // A byte that is no UTF-8 has no letter to transliterate; it
            // goes deliberately, like any other character outside ASCII.
            out.append(QLatin1Char('_'));
            ++at;
            continue;
        }
        qsizetype end = at;
        bool other = false;
        while (end < n && !cutsWords(units[end]) && !NameCodec::isEscapedByte(units[end])) {
            other = other || !isAscii(units[end]);
            ++end;
        }
        const QStringView word(units + at, end - at);
        if (other)
            appendAsciiOnly(out, threadTransform.wordInAscii(word));
        else
            out.append(word);
        at = end;
    }
    return out;
}
