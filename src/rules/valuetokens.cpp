// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/valuetokens.h"

#include "posix/namecodec.h"

#include <QDateTime>
#include <QLocale>

namespace {

// The named value tokens, each the key of its value in FileFacts::values.
constexpr QStringView namedTokens[] = {
    u"Make",  u"Model", u"Lens",  u"Width", u"Height", u"Artist", u"AlbumArtist",
    u"Album", u"Title", u"Track", u"Disc",  u"Year",   u"Genre",
};
constexpr QStringView metaPrefix = u"meta:";
constexpr QStringView datePrefix = u"date:";

struct Token
{
    qsizetype end = -1; // after its closing bracket; -1 when no token starts here
    QStringView key;    // the value's key; empty for a date pattern
    QStringView pattern;
    QStringView fallback;
    bool hasFallback = false;
    int parent = 0; // "[P]" 1, "[P2]" 2, ...; 0 for any other token
};

// "P", "P2", "P3", ...: how many folders up, or 0. "P1" is "P"; a number
// with a leading zero or more digits than any path has folders is no token.
int parentLevel(QStringView inner)
{
    if (!inner.startsWith(u'P'))
        return 0;
    const QStringView digits = inner.mid(1);
    if (digits.isEmpty())
        return 1;
    if (digits.size() > 4 || digits.front() == u'0')
        return 0;
    int level = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return 0;
        level = level * 10 + (c.unicode() - u'0');
    }
    return level;
}

// The token that starts at text[at] == '[', if any; the folder tokens only
// when `parents`.
Token tokenAt(QStringView text, qsizetype at, bool parents = false)
{
    Token token;
    const qsizetype close = text.indexOf(u']', at + 1);
    if (close < 0)
        return token;
    QStringView inner = text.mid(at + 1, close - at - 1);
    const qsizetype bar = inner.indexOf(u'|');
    if (bar >= 0) {
        token.fallback = inner.mid(bar + 1);
        token.hasFallback = true;
        inner = inner.left(bar);
    }
    if (inner.startsWith(metaPrefix) && inner.size() > metaPrefix.size()) {
        token.key = inner.mid(metaPrefix.size());
    } else if (inner.startsWith(datePrefix) && inner.size() > datePrefix.size()) {
        token.pattern = inner.mid(datePrefix.size());
    } else if (const int level = parents ? parentLevel(inner) : 0) {
        token.parent = level;
    } else {
        bool named = false;
        for (const QStringView name : namedTokens)
            named = named || inner == name;
        if (!named)
            return token;
        token.key = inner;
    }
    token.end = close + 1;
    return token;
}

QString dateText(const ValueTokens::Date &date, QStringView pattern)
{
    const QDateTime when = date.wallClock ? QDateTime::fromMSecsSinceEpoch(date.msecs, Qt::UTC)
                                          : QDateTime::fromMSecsSinceEpoch(date.msecs);
    // The C locale, so that a month's name does not change with the
    // language of whoever renames.
    return QLocale::c().toString(when, pattern);
}

} // namespace

namespace ValueTokens {

QStringList keysIn(const QString &text)
{
    QStringList keys;
    for (qsizetype at = text.indexOf(u'['); at >= 0; at = text.indexOf(u'[', at + 1)) {
        const Token token = tokenAt(text, at);
        if (token.end < 0)
            continue;
        if (!token.key.isEmpty() && !keys.contains(token.key))
            keys << token.key.toString();
        at = token.end - 1;
    }
    return keys;
}

bool isNamedKey(QStringView key)
{
    for (const QStringView name : namedTokens) {
        if (key == name)
            return true;
    }
    return false;
}

bool anyIn(const QString &text)
{
    for (qsizetype at = text.indexOf(u'['); at >= 0; at = text.indexOf(u'[', at + 1)) {
        if (tokenAt(text, at).end >= 0)
            return true;
    }
    return false;
}

QString cleanValue(const QString &key, const QString &value)
{
    if (key == u"Track" || key == u"Disc") {
        // "3/12": the number, without the count.
        const QStringView number = QStringView(value).left(value.indexOf(u'/')).trimmed();
        bool digits = !number.isEmpty();
        for (const QChar c : number)
            digits = digits && c >= u'0' && c <= u'9';
        if (digits) {
            QString text = number.toString();
            if (key == u"Track" && text.size() < 2)
                text.prepend(u'0');
            return text;
        }
    }
    QString clean;
    clean.reserve(value.size());
    for (const QChar c : value) {
        if (c == u'/')
            clean.append(u'_');
        else if (c.category() != QChar::Other_Control)
            clean.append(c);
    }
    return clean.trimmed();
}

bool anyParentIn(const QString &text)
{
    for (qsizetype at = text.indexOf(u'['); at >= 0; at = text.indexOf(u'[', at + 1)) {
        if (tokenAt(text, at, true).parent > 0)
            return true;
    }
    return false;
}

QByteArrayView parentName(QByteArrayView path, int level)
{
    // Each step drops the last component and the slashes before it.
    const auto dropLast = [](QByteArrayView &p) {
        while (!p.isEmpty() && p.back() != '/')
            p.chop(1);
        while (!p.isEmpty() && p.back() == '/')
            p.chop(1);
    };
    QByteArrayView folder = path;
    for (int i = 0; i < level && !folder.isEmpty(); ++i)
        dropLast(folder);
    const qsizetype slash = folder.lastIndexOf('/');
    // A path without any slash is no place: it names no folder.
    if (slash < 0)
        return {};
    return folder.sliced(slash + 1);
}

bool expand(QString &text, const FileFacts *facts, const Date &date, QString *missing, bool parents,
            QByteArrayView path)
{
    QString result;
    qsizetype copied = 0;
    for (qsizetype at = text.indexOf(u'['); at >= 0; at = text.indexOf(u'[', at + 1)) {
        const Token token = tokenAt(text, at, parents);
        if (token.end < 0)
            continue;
        QString value;
        if (token.parent > 0) {
            // A folder's name as it stands, bytes that are not UTF-8
            // escaped as in a file's own name; never "Unknown" for the root.
            value = NameCodec::decode(parentName(path, token.parent));
            if (value.isEmpty() && token.hasFallback)
                value = token.fallback.toString();
        } else if (token.key.isEmpty()) {
            if (date.have)
                value = dateText(date, token.pattern);
        } else if (facts) {
            const auto found = facts->values.constFind(token.key.toString());
            if (found != facts->values.constEnd())
                value = cleanValue(found.key(), *found);
        }
        if (value.isEmpty() && token.parent == 0 && !(token.key.isEmpty() && date.have)) {
            if (!token.hasFallback) {
                *missing = token.key.isEmpty() ? QStringLiteral("date") : token.key.toString();
                return false;
            }
            value = token.fallback.toString();
        }
        result.append(QStringView(text).mid(copied, at - copied)).append(value);
        copied = token.end;
        at = token.end - 1;
    }
    if (copied == 0)
        return true;
    result.append(QStringView(text).mid(copied));
    text = std::move(result);
    return true;
}

} // namespace ValueTokens

namespace ComposedName {

QString refused(const QString &why)
{
    return QChar(0) + why;
}

bool isRefused(QStringView name)
{
    return name.startsWith(QChar(0));
}

QString reason(QStringView name)
{
    return isRefused(name) ? name.mid(1).toString() : QString();
}

} // namespace ComposedName
