#pragma once

#include "rules/patternsearch.h"
#include "rules/renamesettings.h"
#include "rules/rulefile.h"

#include <QStringList>

// Turns a file (its name and time) and its counter index into the file's new name under
// one set of rename settings. Pure: the same settings, name, date and index
// always give the same name.
class NameComposer
{
public:
    explicit NameComposer(const RenameSettings &settings = {});

    const RenameSettings &settings() const { return m_settings; }

    // A name that is certain to be longer than 255 bytes, and so refused,
    // comes back cut to its first 256 units: composing it in full would only
    // cost time and memory.
    QString newNameForFile(const RuleFile &file, qint64 index) const;

    // Whether the new name of this file may depend on its date and time, so
    // that a caller that has not read them yet knows it must. False only when
    // newNameForFile cannot reach them.
    bool readsFileTime(const RuleFile &file) const;

    // The pattern of a regular-expression search; while it is not valid,
    // names get no search and replace at all.
    const PatternSearch &pattern() const { return m_pattern; }
    // False when the settings ask for a pattern that is not valid.
    bool searchIsValid() const { return !m_settings.regex || !m_hasSearch || m_pattern.isValid(); }

private:
    // The case mode applied to a composed name, in place: the name is left
    // alone, without a copy, when the case is kept.
    void mapCase(QString &name) const;

    RenameSettings m_settings;
    // A template cut at its "[N]" (or "[E]") tokens, once per settings: the
    // part is the pieces joined with the old base name (or extension).
    struct Pieces
    {
        QStringList literals;
        bool haveBracket = false;
        void cut(const QString &text, QLatin1StringView token);
        qsizetype filledSize(QStringView value) const;
        void appendFilled(QString &out, QStringView value) const;
        // Whether the filled part may hold another token to expand.
        bool mayHoldTokens(QStringView value) const
        {
            return haveBracket || (literals.size() > 1 && value.contains(u'['));
        }
    };
    Pieces m_namePieces;
    Pieces m_extPieces;
    // The default templates give a name without brackets back unchanged.
    bool m_identityTemplates = false;
    // "[E]" alone gives the old extension, unless that holds a bracket.
    bool m_extIsPlainTag = false;
    bool m_hasSearch = false;
    PatternSearch m_pattern;
};
