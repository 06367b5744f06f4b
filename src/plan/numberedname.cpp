// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/renameplan.h"

#include "rules/textrules.h"

#include <QLatin1StringView>
#include <QStringView>

QString RenamePlan::numberedName(const QString &name, qint64 number)
{
    // A name that makes folders is numbered in its last part: a dot in a
    // folder's name is no extension.
    if (const qsizetype slash = name.lastIndexOf(u'/'); slash >= 0)
        return name.first(slash + 1) + numberedName(name.sliced(slash + 1), number);
    QStringView base;
    QStringView extension;
    TextRules::splitName(name, &base, &extension);
    QString numbered = base.toString();
    numbered.append(QLatin1StringView(" (")).append(QString::number(number)).append(u')');
    if (!extension.isEmpty())
        numbered.append(u'.').append(extension);
    return numbered;
}

qint64 RenamePlan::numberOf(const QString &name, const QString &wanted)
{
    if (const qsizetype slash = wanted.lastIndexOf(u'/'); slash >= 0)
        return name.startsWith(QStringView(wanted).first(slash + 1))
                   ? numberOf(name.sliced(slash + 1), wanted.sliced(slash + 1))
                   : 0;
    QStringView base;
    QStringView extension;
    TextRules::splitName(name, &base, &extension);
    const qsizetype open = base.lastIndexOf(QLatin1StringView(" ("));
    if (open < 0 || !base.endsWith(u')'))
        return 0;
    bool ok = false;
    const qint64 number = base.sliced(open + 2, base.size() - open - 3).toLongLong(&ok);
    return ok && number >= 2 && numberedName(wanted, number) == name ? number : 0;
}

QString RenamePlan::numberedLike(const QString &name, const QString &lead, qint64 number)
{
    const qsizetype start = lead.lastIndexOf(u'/') + 1;
    QStringView base;
    QStringView extension;
    TextRules::splitName(QStringView(lead).sliced(start), &base, &extension);
    const qsizetype at = start + base.size();
    if (name.size() < at || QStringView(name).first(at) != QStringView(lead).first(at) ||
        (name.size() > at && name[at] != u'.'))
        return numberedName(name, number);
    return name.first(at) + QStringLiteral(" (%1)").arg(number) + name.sliced(at);
}
