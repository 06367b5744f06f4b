// SPDX-License-Identifier: GPL-3.0-or-later
#include "intake/listingfilter.h"

#include <QRegularExpression>

#include <fnmatch.h>

namespace {

bool matchesAny(const QByteArrayList &patterns, const QByteArray &name, int flags)
{
    for (const QByteArray &pattern : patterns) {
        if (::fnmatch(pattern.constData(), name.constData(), flags) == 0)
            return true;
    }
    return false;
}

bool isHidden(QByteArrayView name)
{
    return name.startsWith('.');
}

} // namespace

bool ListingFilter::listsFile(QByteArrayView name) const
{
    if (noHidden && isHidden(name))
        return false;
    if (include.isEmpty() && exclude.isEmpty())
        return true;
    // fnmatch reads a NUL-terminated name.
    const QByteArray terminated = name.toByteArray();
    const int flags = ignoreCase ? FNM_CASEFOLD : 0;
    if (!include.isEmpty() && !matchesAny(include, terminated, flags))
        return false;
    return !matchesAny(exclude, terminated, flags);
}

bool ListingFilter::entersFolder(QByteArrayView name) const
{
    return !(noHidden && isHidden(name));
}

QByteArrayList ListingFilter::patternsOfText(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,;]+"));
    QByteArrayList patterns;
    for (const QString &pattern : text.split(separators, Qt::SkipEmptyParts))
        patterns << pattern.toUtf8();
    return patterns;
}
