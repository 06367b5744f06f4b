// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/typednames.h"

#include "files/filelist.h"
#include "files/zqfile.h"
#include "rules/companionname.h"
#include "rules/namecomposer.h"

#include <iterator>

const QString *TypedNames::find(const QByteArray &path) const
{
    const auto found = m_names.constFind(path);
    return found == m_names.cend() ? nullptr : &found.value();
}

void TypedNames::set(const QByteArray &path, const QString &name)
{
    m_names.insert(path, name);
}

bool TypedNames::remove(const QByteArray &path)
{
    return m_names.remove(path);
}

void TypedNames::keepListed(const FileList &list)
{
    for (auto it = m_names.begin(); it != m_names.end();)
        it = list.containsPath(it.key()) ? std::next(it) : m_names.erase(it);
}

void TypedNames::applyTo(const std::vector<RenamePlan::File> &files,
                         std::vector<QString> &names) const
{
    if (m_names.isEmpty())
        return;
    for (size_t i = 0; i < files.size() && i < names.size(); ++i) {
        if (const QString *typed = find(files[i].path))
            names[i] = *typed;
    }
}

std::function<QString(const ZQFile &file, qint64 row)>
TypedNames::source(const FileList &list, const NameComposer &composer) const
{
    return [this, &list, &composer](const ZQFile &file, qint64 row) {
        return newNameOf(list, composer, file, row);
    };
}

QString TypedNames::newNameOf(const FileList &list, const NameComposer &composer,
                              const ZQFile &file, qint64 row) const
{
    if (const QString *typed = find(file.nativePath()))
        return *typed;
    const qint64 leadRow = list.companionLead(row);
    if (const ZQFile *lead = leadRow >= 0 ? list.fileAtIndex(leadRow) : nullptr) {
        return TextRules::companionName(composer.settings(), lead->name(),
                                        newNameOf(list, composer, *lead, leadRow), file.name(),
                                        list.companionStem(row));
    }
    return composer.newNameForFile(file,
                                   list.counterIndex(row, composer.settings().counterPerFolder));
}
