// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/textrules.h"

#include <QLocale>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace TextRules {

namespace {

// The dot that starts the extension, or -1 when the name is its own base name.
qsizetype extensionDot(QStringView name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0 || dot == name.size() - 1)
        return -1;
    return dot;
}

bool isAscii(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

char32_t codePointAt(QStringView text, qsizetype position, qsizetype *length)
{
    const QChar c = text[position];
    if (c.isHighSurrogate() && position + 1 < text.size() && text[position + 1].isLowSurrogate()) {
        *length = 2;
        return QChar::surrogateToUcs4(c, text[position + 1]);
    }
    *length = 1;
    return c.unicode();
}

// Whether a character begins a new unit of canonical equivalence: its full
// canonical decomposition starts with a character of combining class 0.
bool startsSegment(char32_t c)
{
    if (c < 0x300)
        return true;
    while (QChar::decompositionTag(c) == QChar::Canonical) {
        const QString decomposition = QChar::decomposition(c);
        if (decomposition.isEmpty())
            break;
        qsizetype length = 0;
        const char32_t first = codePointAt(decomposition, 0, &length);
        if (first == c)
            break;
        c = first;
    }
    return QChar::combiningClass(c) == 0;
}

bool startsTitleWord(QChar c)
{
    switch (c.unicode()) {
    case u' ':
    case u'-':
    case u'_':
    case u'.':
    case u'(':
    case u'[':
        return true;
    default:
        return false;
    }
}

QString lowerText(QStringView text)
{
    static const QLocale c = QLocale::c();
    return isAscii(text) ? text.toString().toLower() : c.toLower(text.toString());
}

// The title case of one character. Qt maps only one character to one (ǆ to
// ǅ); a character whose upper case is longer (ß to SS, the ligature ﬁ to FI)
// takes the first of those and the rest in lower case (Ss, Fi), as Unicode's
// full title-case mapping gives.
QString titleOfCharacter(char32_t c)
{
    const char32_t title = QChar::toTitleCase(c);
    if (title != c)
        return QString::fromUcs4(&title, 1);
    static const QLocale locale = QLocale::c();
    const QString upper = locale.toUpper(QString::fromUcs4(&c, 1));
    qsizetype length = 0;
    codePointAt(upper, 0, &length);
    if (length >= upper.size())
        return upper;
    return upper.left(length) + lowerText(QStringView(upper).mid(length));
}

// Appends `text` lower-cased, but with the character at `at` in title case.
// The lower case of the character and all after it is made in one piece, so
// that a final sigma after it still sees the letters before it.
void appendWithTitleAt(QString &out, QStringView text, qsizetype at)
{
    out += lowerText(text.left(at));
    qsizetype length = 0;
    const char32_t c = codePointAt(text, at, &length);
    const QString lowered = lowerText(text.mid(at));
    const QString loweredFirst = lowerText(text.mid(at, length));
    out += titleOfCharacter(c);
    out += QStringView(lowered).mid(loweredFirst.size());
}

} // namespace

QString baseName(const QString &name)
{
    const qsizetype dot = extensionDot(name);
    return dot < 0 ? name : name.left(dot);
}

QString pathExtension(const QString &name)
{
    const qsizetype dot = extensionDot(name);
    return dot < 0 ? QString() : name.mid(dot + 1);
}

QString displayExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

void splitName(QStringView name, QStringView *base, QStringView *extension)
{
    const qsizetype dot = extensionDot(name);
    *base = dot < 0 ? name : name.left(dot);
    *extension = dot < 0 ? QStringView() : name.mid(dot + 1);
}

QString counterText(qint32 start, qint32 step, qint32 digits, qint64 index)
{
    // Only the low 32 bits of the 64-bit value count, so wrapping unsigned
    // arithmetic gives exactly those bits without overflow.
    const quint64 value = quint64(qint64(start)) + quint64(qint64(step)) * quint64(index);
    const auto low = static_cast<qint32>(static_cast<quint32>(value));
    const int width = std::clamp(digits, 0, 255);
    char text[300];
    const int length = std::snprintf(text, sizeof text, "%0*d", width, low);
    return QString::fromLatin1(text, length);
}

bool endsOnCharacterBoundary(QStringView text, qsizetype position)
{
    if (position >= text.size())
        return true;
    qsizetype length = 0;
    return startsSegment(codePointAt(text, position, &length));
}

QString replaceToken(const QString &text, QLatin1StringView token, QStringView replacement)
{
    qsizetype at = text.indexOf(token);
    if (at < 0)
        return text;
    QString result;
    result.reserve(text.size() + replacement.size());
    qsizetype copied = 0;
    while (at >= 0) {
        const qsizetype end = at + token.size();
        if (!endsOnCharacterBoundary(text, end)) {
            at = text.indexOf(token, at + 1);
            continue;
        }
        result.append(QStringView(text).mid(copied, at - copied));
        result.append(replacement);
        copied = end;
        at = text.indexOf(token, end);
    }
    result.append(QStringView(text).mid(copied));
    return result;
}

QString replaceAll(const QString &text, const QString &search, const QString &replacement,
                   Qt::CaseSensitivity sensitivity)
{
    if (search.isEmpty() || text.isEmpty())
        return text;
    const bool folds = sensitivity == Qt::CaseInsensitive;
    if (isAscii(text) && isAscii(search)) {
        if (!text.contains(search, sensitivity))
            return text;
        QString result = text;
        return result.replace(search, replacement, sensitivity);
    }

    // Cut the text into units that begin with a starter, compare in NFD and
    // match whole units only, copying unmatched units as they were.
    std::vector<qsizetype> bounds;
    bounds.reserve(size_t(text.size()) + 1);
    for (qsizetype i = 0; i < text.size();) {
        qsizetype length = 0;
        const char32_t c = codePointAt(text, i, &length);
        if (i == 0 || startsSegment(c))
            bounds.push_back(i);
        i += length;
    }
    bounds.push_back(text.size());
    const size_t segmentCount = bounds.size() - 1;

    std::vector<QString> decomposed(segmentCount);
    std::vector<bool> ready(segmentCount, false);
    auto segmentNfd = [&](size_t k) -> QStringView {
        const QStringView segment = QStringView(text).mid(bounds[k], bounds[k + 1] - bounds[k]);
        if (segment.size() == 1 && segment[0].unicode() < 0xC0 && !(folds && segment[0].isUpper()))
            return segment;
        if (!ready[k]) {
            decomposed[k] = segment.toString().normalized(QString::NormalizationForm_D);
            if (folds)
                decomposed[k] = decomposed[k].toCaseFolded();
            ready[k] = true;
        }
        return decomposed[k];
    };

    QString wanted = search.normalized(QString::NormalizationForm_D);
    if (folds)
        wanted = wanted.toCaseFolded();
    const QStringView wantedView(wanted);
    QString result;
    result.reserve(text.size());
    bool matched = false;
    size_t k = 0;
    while (k < segmentCount) {
        qsizetype position = 0;
        size_t j = k;
        while (position < wanted.size() && j < segmentCount) {
            const QStringView part = segmentNfd(j);
            if (part.size() > wanted.size() - position ||
                wantedView.mid(position, part.size()) != part)
                break;
            position += part.size();
            ++j;
        }
        if (position == wanted.size()) {
            result.append(replacement);
            matched = true;
            k = j;
        } else {
            result.append(QStringView(text).mid(bounds[k], bounds[k + 1] - bounds[k]));
            ++k;
        }
    }
    return matched ? result : text;
}

QString lowercase(const QString &text)
{
    if (isAscii(text))
        return text.toLower();
    static const QLocale c = QLocale::c();
    return c.toLower(text);
}

QString uppercase(const QString &text)
{
    if (isAscii(text))
        return text.toUpper();
    static const QLocale c = QLocale::c();
    return c.toUpper(text);
}

QString titleCase(QStringView text)
{
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        if (startsTitleWord(text[i])) {
            out += text[i++];
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && !startsTitleWord(text[end]))
            ++end;
        const QStringView word = text.mid(i, end - i);
        // An opening quote or mark before the word's first letter or digit
        // does not take its place ("'hello'" gives "'Hello'").
        qsizetype first = 0;
        while (first < word.size()) {
            qsizetype length = 0;
            const char32_t c = codePointAt(word, first, &length);
            if (QChar::isLetterOrNumber(c))
                break;
            first += length;
        }
        if (first < word.size())
            appendWithTitleAt(out, word, first);
        else
            out += lowerText(word);
        i = end;
    }
    return out;
}

QString sentenceCase(QStringView text)
{
    for (qsizetype i = 0; i < text.size();) {
        qsizetype length = 0;
        if (QChar::isLetter(codePointAt(text, i, &length))) {
            QString out;
            out.reserve(text.size());
            appendWithTitleAt(out, text, i);
            return out;
        }
        i += length;
    }
    return lowerText(text);
}

} // namespace TextRules
