// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/patternsearch.h"

#include <QStringList>

#include <algorithm>

namespace {

// PCRE2 reads limits from the start of the pattern; one that the user's own
// pattern sets as well can only lower it.
const QString limitPrefix = QStringLiteral("(*LIMIT_MATCH=%1)").arg(PatternSearch::MatchLimit);

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// PCRE2 refuses a subject that is not valid UTF-16, so a name that holds a
// lone surrogate (an undecodable byte of its native name) is matched as if
// each stood for U+FFFD. The replacement is one unit for one, so every
// position is the same in both texts, and the result takes its text from the
// original: the surrogates keep their values.
QString matchableText(const QString &text)
{
    const qsizetype n = text.size();
    const QChar *units = text.constData();
    qsizetype i = 0;
    for (; i < n; ++i) {
        if (!units[i].isSurrogate())
            continue;
        if (units[i].isHighSurrogate() && i + 1 < n && units[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        break;
    }
    if (i == n)
        return text;
    QString subject = text;
    for (; i < n; ++i) {
        if (subject[i].isHighSurrogate() && i + 1 < n && subject[i + 1].isLowSurrogate())
            ++i;
        else if (subject[i].isSurrogate())
            subject[i] = QChar::ReplacementCharacter;
    }
    return subject;
}

} // namespace

PatternSearch::PatternSearch(const QString &pattern, const QString &replacement, bool ignoreCase)
{
    QRegularExpression::PatternOptions options = QRegularExpression::NoPatternOption;
    if (ignoreCase)
        options |= QRegularExpression::CaseInsensitiveOption;
    m_expression = QRegularExpression(limitPrefix + pattern, options);
    if (!m_expression.isValid()) {
        m_fault = Fault::Pattern;
        m_error = m_expression.errorString();
        m_errorOffset = qMax<qsizetype>(0, m_expression.patternErrorOffset() - limitPrefix.size());
        return;
    }
    // Compiled now rather than at the first name, which may be on another thread.
    m_expression.optimize();
    m_fault = parseReplacement(replacement) ? Fault::None : Fault::Replacement;
}

bool PatternSearch::parseReplacement(const QString &replacement)
{
    const int groups = m_expression.captureCount();
    const QStringList names = m_expression.namedCaptureGroups();
    m_pieces.clear();
    Piece piece;
    const qsizetype n = replacement.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = replacement[i];
        if (c != u'$' || i + 1 == n) {
            piece.literal += c;
            continue;
        }
        const QChar next = replacement[i + 1];
        int group = -1;
        qsizetype end = i + 1; // the last character of the reference
        if (next == u'$') {
            piece.literal += u'$';
            ++i;
            continue;
        }
        if (isAsciiDigit(next)) {
            group = next.digitValue();
            if (i + 2 < n && isAsciiDigit(replacement[i + 2])) {
                group = group * 10 + replacement[i + 2].digitValue();
                end = i + 2;
            }
            if (group > groups) {
                m_error = QStringLiteral("no group %1 in the pattern").arg(group);
                m_errorOffset = i;
                return false;
            }
        } else if (next == u'{') {
            const qsizetype close = replacement.indexOf(u'}', i + 2);
            if (close < 0) {
                piece.literal += c;
                continue;
            }
            const QString name = replacement.mid(i + 2, close - i - 2);
            bool isNumber = !name.isEmpty() && name.size() <= 9 &&
                            std::all_of(name.cbegin(), name.cend(), isAsciiDigit);
            group = isNumber ? name.toInt() : int(names.indexOf(name));
            if (name.isEmpty() || group < 0 || group > groups) {
                m_error = isNumber
                              ? QStringLiteral("no group %1 in the pattern").arg(name)
                              : QStringLiteral("no group named \"%1\" in the pattern").arg(name);
                m_errorOffset = i;
                return false;
            }
            end = close;
        } else {
            piece.literal += c;
            continue;
        }
        piece.group = group;
        m_pieces.push_back(std::move(piece));
        piece = Piece();
        i = end;
    }
    m_pieces.push_back(std::move(piece));
    return true;
}

QString PatternSearch::replaceAll(const QString &text) const
{
    if (m_fault != Fault::None)
        return text;
    const QString subject = matchableText(text);
    QRegularExpressionMatchIterator matches = m_expression.globalMatch(subject);
    if (!matches.hasNext())
        return text;
    QString out;
    out.reserve(text.size() + 16);
    qsizetype copied = 0;
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        out.append(QStringView(text).mid(copied, match.capturedStart() - copied));
        for (const Piece &piece : m_pieces) {
            out.append(piece.literal);
            if (piece.group >= 0 && match.capturedStart(piece.group) >= 0)
                out.append(QStringView(text).mid(match.capturedStart(piece.group),
                                                 match.capturedLength(piece.group)));
        }
        copied = match.capturedEnd();
    }
    // The matches also end where an attempt hit the bound: the attempt after
    // the last match tells, and such a name keeps no replacement at all.
    if (!m_expression.match(subject, copied).isValid())
        return text;
    out.append(QStringView(text).mid(copied));
    return out;
}
