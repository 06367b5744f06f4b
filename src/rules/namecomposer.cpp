// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/namecomposer.h"

#include "rules/datetimetags.h"
#include "rules/intervaltags.h"
#include "rules/plainascii.h"
#include "rules/textrules.h"

#include "posix/namecodec.h"

#include <algorithm>
#include <limits>
#include <optional>

#include <time.h>

namespace {
const QString nameTag = QStringLiteral("N");
const QString extTag = QStringLiteral("E");

// A name longer than 255 bytes is refused, and composing it further only
// costs time and memory (a template of [C] ten thousand times makes names of
// a third of a million characters). Without a search text no later step
// shrinks a part below a third of its length: "[C]" gives at least one
// character, a date or time token at least two of its three or more, the
// case mapping never shortens UTF-16 text, and every unit is at least one
// byte. Bytes that meet in a valid UTF-8 sequence become one character of up
// to three units less, and so the final name keeps more than a third of the
// units of such a part. A part longer than this is certain to be refused.
constexpr qsizetype certainlyTooLong = 3 * 255;
constexpr qsizetype maxLength = std::numeric_limits<qsizetype>::max();
// What is kept of such a part for the rest of the steps, so that the refused
// name still reads as composed: more than 256 units whatever the tokens in
// it become. Its escaped bytes stay apart, each one byte.
constexpr qsizetype tooLongPrefix = 3 * 257;

// A name certain to be refused as too long, cut to what still says so: more
// than 255 units, and so more than 255 bytes. A surrogate pair is not split.
void cutTooLong(QString &name)
{
    qsizetype keep = 256;
    if (name.size() <= keep)
        return;
    if (name[keep - 1].isHighSurrogate() && name[keep].isLowSurrogate())
        ++keep;
    name.truncate(keep);
    name.squeeze();
}
} // namespace

void NameComposer::Pieces::cut(const QString &text, QLatin1StringView token)
{
    literals.clear();
    qsizetype copied = 0;
    for (qsizetype at = text.indexOf(token); at >= 0; at = text.indexOf(token, at + 1)) {
        const qsizetype end = at + token.size();
        if (!TextRules::endsOnCharacterBoundary(text, end))
            continue;
        literals << text.mid(copied, at - copied);
        copied = end;
        at = end - 1;
    }
    literals << text.mid(copied);
    haveBracket = std::any_of(literals.cbegin(), literals.cend(),
                              [](const QString &literal) { return literal.contains(u'['); });
}

qsizetype NameComposer::Pieces::filledSize(QStringView value) const
{
    qsizetype size = value.size() * (literals.size() - 1);
    for (const QString &literal : literals)
        size += literal.size();
    return size;
}

void NameComposer::Pieces::appendFilled(QString &out, QStringView value) const
{
    for (qsizetype i = 0; i < literals.size(); ++i) {
        if (i > 0)
            out.append(value);
        out.append(literals[i]);
    }
}

NameComposer::NameComposer(const RenameSettings &settings)
    : m_settings(settings), m_hasSearch(!settings.searchText.isEmpty())
{
    m_namePieces.cut(settings.nameTemplate, QLatin1StringView("[N]"));
    m_extPieces.cut(settings.extTemplate, QLatin1StringView("[E]"));
    m_extIsPlainTag = settings.extTemplate == QLatin1String("[E]");
    m_identityTemplates = settings.nameTemplate == QLatin1String("[N]") && m_extIsPlainTag;
    m_valueTokens = ValueTokens::anyIn(settings.nameTemplate);
    m_parentTokens = ValueTokens::anyParentIn(settings.nameTemplate);
    m_contentType = settings.extTemplate.contains(QLatin1StringView("[X]"));
    if (m_valueTokens)
        m_valueKeys = ValueTokens::keysIn(settings.nameTemplate);
    if (settings.regex && m_hasSearch)
        m_pattern = PatternSearch(settings.searchText, settings.replaceText, settings.ignoreCase);
}

bool NameComposer::readsFileTime(const RuleFile &file) const
{
    const QString &name = file.name;
    if (m_identityTemplates && !name.contains(u'['))
        return false;
    QStringView base;
    QStringView extension;
    TextRules::splitName(name, &base, &extension);
    // Date and time tokens are expanded in the name part only, and only
    // when it may hold a bracket after the cut templates are filled.
    return m_namePieces.mayHoldTokens(base);
}

bool NameComposer::readsFileTime(QByteArrayView nameBytes) const
{
    // A bracket of the decoded name is a bracket byte: the codec turns only
    // bytes of no character into units of their own, none of them "[".
    if (!nameBytes.contains('['))
        return !m_identityTemplates && m_namePieces.haveBracket;
    RuleFile file;
    file.name = NameCodec::decode(nameBytes);
    return readsFileTime(file);
}

ValueTokens::Date NameComposer::dateOf(const RuleFile &file) const
{
    if (m_settings.dateSources.isEmpty())
        return {true, file.fileTime, false};
    const FileFacts *facts = file.facts.get();
    for (const RenameSettings::DateSource source : m_settings.dateSources) {
        switch (source) {
        case RenameSettings::DateSource::Modified:
            return {true, file.fileTime, false};
        case RenameSettings::DateSource::Created:
            if (facts && facts->created)
                return {true, *facts->created, false};
            break;
        case RenameSettings::DateSource::Taken:
            if (facts && facts->taken)
                return {true, *facts->taken, facts->takenIsWallClock};
            break;
        }
    }
    return {};
}

qint64 NameComposer::dateSortKey(const RuleFile &file) const
{
    const ValueTokens::Date date = dateOf(file);
    if (!date.have)
        return std::numeric_limits<qint64>::max();
    if (date.wallClock)
        return date.msecs;
    time_t seconds = time_t(date.msecs / 1000);
    struct tm local = {};
    if (!localtime_r(&seconds, &local))
        return date.msecs;
    return date.msecs + qint64(local.tm_gmtoff) * 1000;
}

QString NameComposer::dateText(const RuleFile &file) const
{
    const ValueTokens::Date date = dateOf(file);
    if (!date.have)
        return {};
    const DateTimeParts parts = date.wallClock ? DateTimeParts::fromWallClock(date.msecs, true)
                                               : DateTimeParts::fromFileTime(date.msecs, true);
    return QStringLiteral("%1/%2/%3 %4:%5")
        .arg(QLatin1StringView(parts.year), QLatin1StringView(parts.month),
             QLatin1StringView(parts.day), QLatin1StringView(parts.hour),
             QLatin1StringView(parts.minute));
}

QString NameComposer::contentExtension(const RuleFile &file, QStringView oldExtension)
{
    // Where the content says nothing definite, or agrees with the old
    // extension in any spelling (photo.JPEG holding a JPEG), the old one
    // stays as it is.
    const QStringList none;
    const QStringList &suffixes = file.facts ? file.facts->contentSuffixes : none;
    if (suffixes.isEmpty())
        return oldExtension.toString();
    for (const QString &suffix : suffixes) {
        if (oldExtension.compare(suffix, Qt::CaseInsensitive) == 0)
            return oldExtension.toString();
    }
    return suffixes.first();
}

QString NameComposer::unreadableReason()
{
    return QStringLiteral("metadata could not be read");
}

QString NameComposer::noDateReason() const
{
    QStringList names;
    for (const RenameSettings::DateSource source : m_settings.dateSources)
        names << (source == RenameSettings::DateSource::Taken ? QStringLiteral("taken")
                                                              : QStringLiteral("created"));
    return QStringLiteral("no date ") + names.join(QStringLiteral(" or "));
}

QString NameComposer::newNameForFile(const RuleFile &file, qint64 index) const
{
    const QString &name = file.name;
    QString joined;
    // Certain to be refused as too long: only its beginning is composed.
    bool tooLong = false;
    // Values and folder names may be empty, so a part holding their tokens
    // may still shrink; so may one made plain ASCII, which drops combining
    // accents.
    const bool extMayShrink = m_hasSearch || m_settings.plainAscii;
    const bool mayShrink = extMayShrink || m_valueTokens || m_parentTokens;
    if (m_identityTemplates && !name.contains(u'[')) {
        // "[N]" "." "[E]" with nothing to expand gives the name back.
        joined = name;
    } else {
        std::optional<QString> counter;
        auto counterText = [&]() -> const QString & {
            if (!counter)
                counter = TextRules::counterText(m_settings.startCounter, m_settings.stepCounter,
                                                 m_settings.digitsCounter, index);
            return *counter;
        };
        QStringView base;
        QStringView extension;
        TextRules::splitName(name, &base, &extension);

        QString extPart;
        QStringView extView = extension;
        if (!m_extIsPlainTag || extension.contains(u'[')) {
            extPart.reserve(m_extPieces.filledSize(extension));
            m_extPieces.appendFilled(extPart, extension);
            if (m_extPieces.mayHoldTokens(extension)) {
                extPart = handleIntervalTags(extPart, extTag, extension,
                                             extMayShrink ? maxLength : certainlyTooLong);
                if (!extMayShrink && extPart.size() > certainlyTooLong) {
                    extPart.truncate(tooLongPrefix);
                    tooLong = true;
                }
                if (extPart.contains(QLatin1StringView("[C]")))
                    extPart =
                        TextRules::replaceToken(extPart, QLatin1StringView("[C]"), counterText());
                if (m_contentType && extPart.contains(QLatin1StringView("[X]")))
                    extPart = TextRules::replaceToken(extPart, QLatin1StringView("[X]"),
                                                      contentExtension(file, extension));
            }
            extView = extPart;
        }
        const qsizetype joinSize = extView.isEmpty() ? 0 : extView.size() + 1;

        if (!m_namePieces.mayHoldTokens(base)) {
            // Nothing left to expand: the name part goes straight into the result.
            joined.reserve(m_namePieces.filledSize(base) + joinSize);
            m_namePieces.appendFilled(joined, base);
        } else {
            QString namePart;
            namePart.reserve(m_namePieces.filledSize(base));
            m_namePieces.appendFilled(namePart, base);
            namePart = handleIntervalTags(namePart, nameTag, base,
                                          mayShrink ? maxLength : certainlyTooLong);
            if (!mayShrink && namePart.size() > certainlyTooLong) {
                namePart.truncate(tooLongPrefix);
                tooLong = true;
            }
            if (namePart.contains(QLatin1StringView("[C]")))
                namePart =
                    TextRules::replaceToken(namePart, QLatin1StringView("[C]"), counterText());
            if (namePart.contains(u'[')) {
                const ValueTokens::Date date = dateOf(file);
                if (date.have) {
                    const DateTimeParts parts =
                        date.wallClock ? DateTimeParts::fromWallClock(date.msecs, m_settings.hour24)
                                       : DateTimeParts::fromFileTime(date.msecs, m_settings.hour24);
                    namePart = handleDateForString(namePart, parts);
                    namePart = handleTimeForString(namePart, parts);
                } else {
                    // Only a name that uses the date needs one.
                    const DateTimeParts none = {};
                    const QString dated =
                        handleTimeForString(handleDateForString(namePart, none), none);
                    if (dated != namePart)
                        return ComposedName::refused(file.facts && file.facts->unreadable
                                                         ? unreadableReason()
                                                         : noDateReason());
                }
                QString missing;
                if ((m_valueTokens || m_parentTokens) &&
                    !ValueTokens::expand(namePart, file.facts.get(), date, &missing, m_parentTokens,
                                         file.path)) {
                    return ComposedName::refused(
                        file.facts && file.facts->unreadable ? unreadableReason()
                        : missing == u"date"                 ? noDateReason()
                                                             : QStringLiteral("no ") + missing);
                }
            }
            joined = std::move(namePart);
            if (joinSize > 0)
                joined.reserve(joined.size() + joinSize);
        }
        if (!extView.isEmpty())
            joined.append(QLatin1Char('.')).append(extView);
    }

    if (m_hasSearch) {
        if (m_settings.regex)
            joined = m_pattern.replaceAll(joined);
        else
            joined = TextRules::replaceAll(joined, m_settings.searchText, m_settings.replaceText,
                                           m_settings.ignoreCase ? Qt::CaseInsensitive
                                                                 : Qt::CaseSensitive);
    }
    // Only pieces put together can bring escaped bytes together; the name
    // given back whole is as its bytes decode already.
    if (!tooLong && (m_hasSearch || joined.constData() != name.constData()))
        joined = NameCodec::canonical(joined);
    mapCase(joined);
    // After every other rule, so that what they made is plain too; it takes
    // the escaped bytes out as well.
    if (m_settings.plainAscii)
        joined = TextRules::plainAscii(joined);
    // Last, since the steps before may shorten the text: three escaped
    // bytes may make one character, which the case mapping may make one byte.
    cutTooLong(joined);
    return joined;
}

void NameComposer::mapCase(QString &name) const
{
    switch (m_settings.caseTag) {
    case RenameSettings::LowerCase:
        name = TextRules::lowercase(name);
        break;
    case RenameSettings::UpperCase:
        name = TextRules::uppercase(name);
        break;
    case RenameSettings::TitleCase:
    case RenameSettings::SentenceCase: {
        // Only the part before the extension: the extension keeps what the
        // templates and the replace made.
        QStringView base;
        QStringView extension;
        TextRules::splitName(name, &base, &extension);
        QString cased = m_settings.caseTag == RenameSettings::TitleCase
                            ? TextRules::titleCase(base)
                            : TextRules::sentenceCase(base);
        cased.append(QStringView(name).mid(base.size()));
        name = std::move(cased);
        break;
    }
    default:
        break;
    }
}
