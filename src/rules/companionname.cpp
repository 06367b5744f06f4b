// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/companionname.h"

#include "rules/plainascii.h"
#include "rules/textrules.h"
#include "rules/valuetokens.h"

namespace TextRules {

QString companionName(const RenameSettings &settings, QStringView leadOldName,
                      const QString &leadNewName, QStringView companionOldName, qsizetype stem)
{
    if (ComposedName::isRefused(leadNewName) || stem <= 0 || stem >= companionOldName.size())
        return companionOldName.toString();
    QString head = leadNewName;
    QString own;
    if (companionOldName.size() > leadOldName.size() + 1 &&
        companionOldName.startsWith(leadOldName) && companionOldName[leadOldName.size()] == u'.') {
        own = companionOldName.mid(leadOldName.size()).toString();
    } else {
        own = companionOldName.mid(stem).toString();
        // A dot at the start is part of the name, not an extension's.
        const qsizetype extensions = leadOldName.mid(stem).count(u'.');
        for (qsizetype i = 0; i < extensions; ++i) {
            const qsizetype dot = head.lastIndexOf(u'.');
            if (dot <= 0)
                break;
            head.truncate(dot);
        }
    }
    if (settings.caseTag == RenameSettings::LowerCase)
        own = lowercase(own);
    else if (settings.caseTag == RenameSettings::UpperCase)
        own = uppercase(own);
    if (settings.plainAscii)
        own = plainAscii(own);
    return head + own;
}

} // namespace TextRules
