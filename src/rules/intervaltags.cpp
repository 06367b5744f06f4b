// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/intervaltags.h"

#include <QVarLengthArray>

#include <algorithm>
#include <climits>

namespace {

// Leading white space, an optional "+", then decimal digits; no digits read
// as 0, and a number past the 32-bit range as its largest value.
qint64 readNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    if (i < text.size() && text[i] == u'+')
        ++i;
    qint64 value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min<qint64>(value * 10 + (text[i].unicode() - u'0'), INT_MAX);
    return value;
}

QStringView upTo(QStringView text, QChar separator)
{
    const qsizetype at = text.indexOf(separator);
    return at < 0 ? text : text.left(at);
}

// The piece of the source that one tag body stands for.
QStringView piece(QStringView body, QStringView source)
{
    const qint64 length = source.size();
    const qsizetype dash = body.indexOf(u'-');
    const qint64 a = readNumber(dash < 0 ? body : body.left(dash));
    const qint64 first = std::min(a >= 1 ? a - 1 : 0, length);
    qint64 end = length;
    if (dash >= 0) {
        const qint64 b = readNumber(upTo(body.mid(dash + 1), u'-'));
        if (b > first && b <= length)
            end = b;
    } else {
        const qsizetype comma = body.indexOf(u',');
        const qint64 n = comma < 0 ? 1 : readNumber(upTo(body.mid(comma + 1), u','));
        if (n >= 1 && first + n <= length)
            end = first + n;
    }
    return source.mid(first, end - first);
}

void appendReversed(QString &stack, QStringView text)
{
    for (qsizetype i = text.size() - 1; i >= 0; --i)
        stack.append(text[i]);
}

QString reversed(QStringView text)
{
    QString result;
    appendReversed(result, text);
    return result;
}

bool startsWithTag(QStringView text, QStringView opening, QStringView body)
{
    const qsizetype tagSize = opening.size() + body.size() + 1;
    return text.size() >= tagSize && text.startsWith(opening) &&
           text.sliced(opening.size(), body.size()) == body && text[tagSize - 1] == u']';
}

// A piece that begins with the very tag it replaces puts that tag back at
// the first opening, so it expands again at once with the same piece, each
// time adding the rest of the piece after it ("[N1-]" over the base name
// "[N1-]x" grows by an x at every pass) until a cap stops the loop. The text
// at the cap is built at once instead of pass by pass. `rest` holds the text
// after the tag being expanded (reversed); `expansions` counts those before.
QString repeatedToCap(const QString &done, const QString &rest, QStringView opening,
                      QStringView body, QStringView piece, int expansions, qsizetype enough)
{
    const qsizetype tagSize = opening.size() + body.size() + 1;
    const QStringView added = piece.sliced(tagSize);
    qsizetype size = done.size() + rest.size() + tagSize;
    qsizetype copies = 0;
    do {
        ++expansions;
        ++copies;
        size += added.size();
    } while (expansions < IntervalTags::maxExpansions && size <= IntervalTags::maxTextLength);
    QString text;
    text.reserve(std::min(size, enough));
    text.append(done).append(piece.first(tagSize));
    for (qsizetype i = 0; i < copies && text.size() <= enough; ++i)
        text.append(added);
    if (text.size() <= enough)
        text.append(reversed(rest));
    return text;
}

// Every search for the next tag starts again at the beginning of the text.
// Since everything before the first tag is final except its last character
// (which may open a new tag together with an inserted piece), the text is
// kept as a final part plus the rest as a stack with its first character on
// top: each expansion then costs the length of the tag and of its piece, not
// of the whole text, and the cap stays cheap to reach.
QString expandFromStart(const QString &text, QStringView opening, QStringView originalName,
                        int expansions, qsizetype enough)
{
    QString done;
    done.reserve(text.size());
    QString rest = reversed(text);
    auto openingOnTop = [&] {
        if (rest.size() < opening.size())
            return false;
        for (qsizetype i = 0; i < opening.size(); ++i) {
            if (rest[rest.size() - 1 - i] != opening[i])
                return false;
        }
        return true;
    };
    auto asItStands = [&] { return done + reversed(rest); };

    for (;;) {
        while (!rest.isEmpty() && !openingOnTop()) {
            done.append(rest.back());
            rest.chop(1);
        }
        if (rest.isEmpty())
            return done;
        if (rest.size() == opening.size())
            return asItStands();
        qsizetype close = rest.size() - 1 - opening.size();
        while (close >= 0 && rest[close] != u']')
            --close;
        if (close < 0)
            return asItStands();
        const QString body =
            reversed(QStringView(rest).mid(close + 1, rest.size() - 1 - opening.size() - close));
        const QStringView replacement = piece(body, originalName);
        rest.truncate(close);
        if (startsWithTag(replacement, opening, body))
            return repeatedToCap(done, rest, opening, body, replacement, expansions, enough);
        appendReversed(rest, replacement);
        ++expansions;
        if (expansions >= IntervalTags::maxExpansions ||
            done.size() + rest.size() > IntervalTags::maxTextLength)
            return asItStands();
        if (!done.isEmpty()) {
            rest.append(done.back());
            done.chop(1);
        }
    }
}

} // namespace

// Most pieces hold no bracket: then each tag is replaced in one forward pass.
// Only a piece that may open another tag (it holds "[", or it follows a "["
// and could start the letter) hands the text to the full expansion.
QString handleIntervalTags(const QString &text, const QString &tag, const QString &originalName)
{
    return handleIntervalTags(text, tag, QStringView(originalName));
}

QString handleIntervalTags(const QString &text, const QString &tag, QStringView originalName,
                           qsizetype enough)
{
    // "[" and the letter, without building a string on every call.
    QVarLengthArray<char16_t, 8> openingText;
    openingText.append(u'[');
    openingText.append(reinterpret_cast<const char16_t *>(tag.utf16()), tag.size());
    const QStringView opening(openingText.constData(), openingText.size());
    qsizetype at = text.indexOf(opening);
    if (at < 0)
        return text;
    const bool sourceHasBracket = originalName.contains(u'[');
    QString result;
    result.reserve(text.size() + originalName.size());
    qsizetype copied = 0;
    int expansions = 0;
    while (at >= 0) {
        const qsizetype bodyStart = at + opening.size();
        const qsizetype close = text.indexOf(u']', bodyStart);
        if (close < 0)
            break;
        const QStringView replacement =
            piece(QStringView(text).mid(bodyStart, close - bodyStart), originalName);
        result.append(QStringView(text).mid(copied, at - copied));
        const bool mayOpen = sourceHasBracket || result.endsWith(u'[');
        ++expansions;
        if (mayOpen || expansions >= IntervalTags::maxExpansions) {
            QString whole = result;
            whole.append(replacement).append(QStringView(text).mid(close + 1));
            if (expansions >= IntervalTags::maxExpansions)
                return whole;
            return expandFromStart(whole, opening, originalName, expansions, enough);
        }
        result.append(replacement);
        copied = close + 1;
        at = text.indexOf(opening, copied);
    }
    result.append(QStringView(text).mid(copied));
    return result;
}
