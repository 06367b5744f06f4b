#include "namecomposer.h"

#include "datetimetags.h"
#include "intervaltags.h"
#include "textrules.h"
#include "zqfile.h"

#include <optional>

namespace {
const QString nameTag = QStringLiteral("N");
const QString extTag = QStringLiteral("E");
} // namespace

NameComposer::NameComposer(const RenameSettings &settings)
    : m_settings(settings), m_hasSearch(!settings.searchText.isEmpty())
{
    m_extIsPlainTag = settings.extTemplate == QLatin1String("[E]");
    m_identityTemplates = settings.nameTemplate == QLatin1String("[N]") && m_extIsPlainTag;
}

QString NameComposer::newNameForFile(const ZQFile &file, qint64 index) const
{
    const QString name = file.name();
    QString joined;
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

        QString namePart =
            TextRules::replaceToken(m_settings.nameTemplate, QLatin1StringView("[N]"), base);
        if (namePart.contains(u'[')) {
            namePart = handleIntervalTags(namePart, nameTag, base);
            if (namePart.contains(QLatin1StringView("[C]")))
                namePart =
                    TextRules::replaceToken(namePart, QLatin1StringView("[C]"), counterText());
            if (namePart.contains(u'[')) {
                const DateTimeParts parts = DateTimeParts::fromFileTime(file.fileTime());
                namePart = handleDateForString(namePart, parts);
                namePart = handleTimeForString(namePart, parts);
            }
        }

        QString extPart;
        QStringView extView = extension;
        if (!m_extIsPlainTag || extension.contains(u'[')) {
            extPart = TextRules::replaceToken(m_settings.extTemplate, QLatin1StringView("[E]"),
                                              extension);
            if (extPart.contains(u'[')) {
                extPart = handleIntervalTags(extPart, extTag, extension);
                if (extPart.contains(QLatin1StringView("[C]")))
                    extPart =
                        TextRules::replaceToken(extPart, QLatin1StringView("[C]"), counterText());
            }
            extView = extPart;
        }

        if (extView.isEmpty()) {
            joined = namePart;
        } else {
            joined.reserve(namePart.size() + 1 + extView.size());
            joined.append(namePart).append(QLatin1Char('.')).append(extView);
        }
    }

    if (m_hasSearch)
        joined = TextRules::replaceAll(joined, m_settings.searchText, m_settings.replaceText);
    if (m_settings.caseTag == RenameSettings::LowerCase)
        joined = TextRules::lowercase(joined);
    else if (m_settings.caseTag == RenameSettings::UpperCase)
        joined = TextRules::uppercase(joined);
    return joined;
}
