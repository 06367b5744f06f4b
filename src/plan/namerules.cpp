// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/namerules.h"

#include "posix/namecodec.h"
#include "rules/valuetokens.h"

#include <QCoreApplication>

#include <QStringList>
#include <QStringView>

namespace NameRules {

QString refusalReason(const QString &newName, const QByteArray &bytes)
{
    return refusalReason(newName, bytes.size());
}

QString refusalReason(const QString &newName, qsizetype byteCount)
{
    // The composer's own refusal says why itself ("no Artist").
    if (ComposedName::isRefused(newName))
        return ComposedName::reason(newName);
    if (newName.isEmpty())
        return QCoreApplication::translate("RenameRun", "The new name is empty.");
    if (newName == u"." || newName == u"..")
        return QCoreApplication::translate("RenameRun", "The new name “%1” is not allowed.")
            .arg(newName);
    if (byteCount > 255)
        return QCoreApplication::translate("RenameRun", "The new name is longer than 255 bytes.");
    if (newName.contains(u'/'))
        return QCoreApplication::translate("RenameRun", "The new name contains “/”.");
    if (newName.contains(QChar(0)))
        return QCoreApplication::translate("RenameRun", "The new name contains a NUL character.");
    // A lone surrogate is a byte of the old name that is not UTF-8 (it is
    // written back as that byte), or half a character that has no bytes at
    // all: the name on disk would not be the name shown.
    if (NameCodec::hasForeignSurrogate(newName))
        return QCoreApplication::translate(
            "RenameRun", "The new name holds half of a character (a lone surrogate).");
    return QString();
}

QString refusalReason(const QString &newName)
{
    return refusalReason(newName, NameCodec::encode(newName));
}

QString folderPathReason(const QString &newName)
{
    if (ComposedName::isRefused(newName) || !newName.contains(u'/'))
        return refusalReason(newName);
    if (newName.startsWith(u'/'))
        return QCoreApplication::translate("RenameRun", "The new name starts with “/”.");
    const QStringList parts = newName.split(u'/');
    for (const QString &part : parts) {
        if (part.isEmpty())
            return QCoreApplication::translate("RenameRun",
                                               "The new name has an empty folder name.");
        const QString reason = refusalReason(part);
        if (!reason.isEmpty())
            return reason;
    }
    return QString();
}

QString windowsReason(const QString &newName, const QString &fileSystem)
{
    for (const QChar c : newName) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7f) {
            return QCoreApplication::translate(
                       "RenamePlan", "The new name holds a control character, which a %1 folder "
                                     "cannot hold.")
                .arg(fileSystem);
        }
        if (QStringView(u"<>:\"\\|?*").contains(c)) {
            return QCoreApplication::translate(
                       "RenamePlan", "The new name holds “%1”, which a %2 folder cannot hold.")
                .arg(c)
                .arg(fileSystem);
        }
    }
    if (newName.endsWith(u'.') || newName.endsWith(u' ')) {
        return QCoreApplication::translate(
                   "RenamePlan", "The new name ends in a dot or a space, which a %1 folder cannot "
                                 "hold.")
            .arg(fileSystem);
    }
    const QStringView base = QStringView(newName).left(newName.indexOf(u'.'));
    const QStringView trimmed = base.trimmed();
    static const QStringView devices[] = {u"CON", u"PRN", u"AUX", u"NUL"};
    bool reserved = false;
    for (const QStringView device : devices)
        reserved = reserved || trimmed.compare(device, Qt::CaseInsensitive) == 0;
    if (trimmed.size() == 4 &&
        (trimmed.left(3).compare(u"COM", Qt::CaseInsensitive) == 0 ||
         trimmed.left(3).compare(u"LPT", Qt::CaseInsensitive) == 0) &&
        trimmed.at(3) >= u'1' && trimmed.at(3) <= u'9')
        reserved = true;
    if (reserved) {
        return QCoreApplication::translate("RenamePlan", "“%1” is a reserved name on a %2 folder.")
            .arg(trimmed.toString().toUpper(), fileSystem);
    }
    if (newName.size() > 255) {
        return QCoreApplication::translate(
                   "RenamePlan", "The new name is longer than 255 UTF-16 units, more than a %1 "
                                 "folder can hold.")
            .arg(fileSystem);
    }
    return QString();
}

} // namespace NameRules
