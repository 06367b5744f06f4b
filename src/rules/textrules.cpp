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

QString replaceAll(const QString &text, const QString &search, const QString &replacement)
{
    if (search.isEmpty() || text.isEmpty())
        return text;
    if (isAscii(text) && isAscii(search)) {
        if (!text.contains(search))
            return text;
        QString result = text;
        return result.replace(search, replacement);
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
        if (segment.size() == 1 && segment[0].unicode() < 0xC0)
            return segment;
        if (!ready[k]) {
            decomposed[k] = segment.toString().normalized(QString::NormalizationForm_D);
            ready[k] = true;
        }
        return decomposed[k];
    };

    const QString wanted = search.normalized(QString::NormalizationForm_D);
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

} // namespace TextRules
