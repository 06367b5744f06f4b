// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/companiongroups.h"

#include "files/zqfile.h"
#include "posix/nativepath.h"
#include "rules/textrules.h"

#include <QHash>
#include <QSet>
#include <QString>

CompanionGroups::CompanionGroups(const std::vector<std::unique_ptr<ZQFile>> &files)
    : m_groupOf(files.size()), m_stem(files.size(), 0)
{
    QHash<QByteArray, std::vector<quint32>> folders;
    std::vector<QByteArray> folderOrder;
    for (size_t i = 0; i < files.size(); ++i) {
        const QByteArray &path = files[i]->nativePath();
        const QByteArray folder = path.left(NativePath::nameStart(path));
        auto found = folders.find(folder);
        if (found == folders.end()) {
            found = folders.insert(folder, {});
            folderOrder.push_back(folder);
        }
        found->push_back(quint32(i));
    }
    std::vector<quint32> folderOfGroup;
    for (size_t f = 0; f < folderOrder.size(); ++f) {
        const std::vector<quint32> &members = folders[folderOrder[f]];
        // The names are held here, so that the views below stay good.
        std::vector<QString> names;
        names.reserve(members.size());
        QSet<QStringView> bases;
        for (const quint32 member : members) {
            names.push_back(files[member]->name());
            QStringView base;
            QStringView extension;
            TextRules::splitName(names.back(), &base, &extension);
            // A folder is no photo with sidecars: it leads no group and
            // joins none.
            if (!extension.isEmpty() && !files[member]->isDirectory())
                bases.insert(base);
        }
        QHash<QStringView, quint32> groupOfStem;
        for (size_t k = 0; k < members.size(); ++k) {
            const QStringView name = names[k];
            qsizetype stem = 0;
            // A dot that starts the name belongs to it (".profile").
            for (qsizetype dot = files[members[k]]->isDirectory() ? -1 : name.indexOf(u'.', 1);
                 dot > 0; dot = name.indexOf(u'.', dot + 1)) {
                if (bases.contains(name.first(dot))) {
                    stem = dot;
                    break;
                }
            }
            quint32 group = quint32(folderOfGroup.size());
            if (stem > 0) {
                const auto found = groupOfStem.constFind(name.first(stem));
                if (found != groupOfStem.cend())
                    group = found.value();
                else
                    groupOfStem.insert(name.first(stem), group);
            }
            if (group == folderOfGroup.size())
                folderOfGroup.push_back(quint32(f));
            m_groupOf[members[k]] = group;
            m_stem[members[k]] = quint32(stem);
        }
    }

    m_groups.resize(folderOfGroup.size());
    std::vector<bool> seen(m_groups.size(), false);
    std::vector<quint32> inFolder(folderOrder.size(), 0);
    quint32 place = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        Group &group = m_groups[m_groupOf[i]];
        if (!seen[m_groupOf[i]]) {
            seen[m_groupOf[i]] = true;
            group.first = quint32(i);
            group.folder = folderOfGroup[m_groupOf[i]];
            group.up = place++;
            group.upInFolder = inFolder[group.folder]++;
        }
        group.last = quint32(i);
    }
    seen.assign(m_groups.size(), false);
    inFolder.assign(folderOrder.size(), 0);
    place = 0;
    for (size_t i = files.size(); i-- > 0;) {
        Group &group = m_groups[m_groupOf[i]];
        if (!seen[m_groupOf[i]]) {
            seen[m_groupOf[i]] = true;
            group.down = place++;
            group.downInFolder = inFolder[group.folder]++;
        }
    }
}

qsizetype CompanionGroups::leadOf(qsizetype position, bool descending) const
{
    const Group &group = m_groups[m_groupOf[size_t(position)]];
    return descending ? group.last : group.first;
}

qint64 CompanionGroups::counterIndex(qsizetype position, bool descending, bool perFolder) const
{
    const Group &group = m_groups[m_groupOf[size_t(position)]];
    if (perFolder)
        return descending ? group.downInFolder : group.upInFolder;
    return descending ? group.down : group.up;
}
