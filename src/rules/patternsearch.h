// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRegularExpression>
#include <QString>

#include <vector>

// The search and replace of the rename settings when the search text is a
// Perl-compatible pattern. Every match is replaced, left to right; a pattern
// that matches the empty string follows QRegularExpression's global match,
// which steps past an empty match, so it never loops.
//
// The replacement is literal text except for "$0" (the whole match), "$1" to
// "$99" (up to two digits: "$100" is group 10, then "0"), "${name}" and
// "${12}" for a group by name or number, and "$$" for a dollar sign. A "$"
// before anything else, a lone "$" at the end and an unclosed "${" stay as
// typed. A group that the pattern does not have is an error of the
// replacement, like an invalid pattern; a group that took no part in a match
// gives empty text.
//
// A lone surrogate in a name (an undecodable byte) matches as U+FFFD would
// and keeps its own value in the result.
//
// The work of one match is bounded: a pattern that backtracks without end
// ("(a+)+$" against a long name) gives up after MatchLimit steps instead of
// freezing the window for seconds a name, and the name it gave up on is
// left without any replacement.
class PatternSearch
{
public:
    // Steps of the matcher for one attempt; a name of 255 characters that
    // hits it costs below a millisecond.
    static constexpr int MatchLimit = 100000;

    enum class Fault
    {
        None,
        Pattern,     // the search text does not compile
        Replacement, // the replacement names a group the pattern lacks
    };

    PatternSearch() = default;
    PatternSearch(const QString &pattern, const QString &replacement, bool ignoreCase);

    bool isValid() const { return m_fault == Fault::None; }
    Fault fault() const { return m_fault; }
    // Why it is not valid, and where: a UTF-16 position in the search text
    // (Pattern) or in the replacement (Replacement).
    QString errorString() const { return m_error; }
    qsizetype errorOffset() const { return m_errorOffset; }

    // The text with every match replaced; the text unchanged when nothing
    // matches, when the pattern is not valid or when the bound was hit.
    QString replaceAll(const QString &text) const;

private:
    struct Piece
    {
        QString literal;
        int group = -1; // after the literal, or none
    };
    bool parseReplacement(const QString &replacement);

    QRegularExpression m_expression;
    std::vector<Piece> m_pieces;
    Fault m_fault = Fault::Pattern;
    QString m_error;
    qsizetype m_errorOffset = -1;
};
