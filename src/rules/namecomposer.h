// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/patternsearch.h"
#include "rules/renamesettings.h"
#include "rules/rulefile.h"
#include "rules/valuetokens.h"

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
    // The same of a file known by the bytes of its name, without decoding
    // them where they hold no bracket (as a listing of many files asks).
    bool readsFileTime(QByteArrayView nameBytes) const;

    // What must be read of the files beyond their names and times: the keys
    // of the value tokens, and whether the date comes from their facts.
    // A caller hands the facts in through RuleFile::facts; a name that needs
    // a value or a date its file lacks comes back as a ComposedName::refused.
    const QStringList &valueKeys() const { return m_valueKeys; }
    bool readsFacts() const
    {
        return m_valueTokens || m_contentType || m_settings.readsOtherDates();
    }
    // Whether "[X]" asks for the extension the content calls for
    // (FileFacts::contentSuffixes).
    bool readsContentType() const { return m_contentType; }
    // The date the tokens of this file use: the first of the settings' date
    // sources that has one.
    ValueTokens::Date dateOf(const RuleFile &file) const;
    // That date as the sort by date orders it: a wall-clock date by its
    // fields, an instant by its local fields, a file without one last.
    qint64 dateSortKey(const RuleFile &file) const;
    // The date column's text for that date ("yyyy/MM/dd HH:mm", local), or
    // nothing when the file has none.
    QString dateText(const RuleFile &file) const;
    // Why a file has no date, naming the sources asked ("no date taken").
    QString noDateReason() const;
    // Why a file whose tags could not be read (its reader crashed or hung)
    // has no name.
    static QString unreadableReason();
    // What "[X]" gives: the preferred extension of the type the content
    // shows, or the old extension where the content says nothing definite
    // or agrees with it.
    static QString contentExtension(const RuleFile &file, QStringView oldExtension);

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
    // The name template holds value tokens, expanded after the date and time.
    bool m_valueTokens = false;
    // The extension template holds "[X]".
    bool m_contentType = false;
    // The name template holds "[P]", "[P2]", ...: expanded with the values.
    bool m_parentTokens = false;
    QStringList m_valueKeys;
    PatternSearch m_pattern;
};
