// SPDX-License-Identifier: GPL-3.0-or-later
// What the table's cells show and take: the text, tooltip and roles of each
// cell, and the names typed by hand in the New Name column.
#include "model/filetablemodel.h"

#include "files/filelist.h"
#include "files/zqfile.h"
#include "posix/namecodec.h"
#include "posix/textescape.h"

#include <QStringList>
#include <QVariant>

namespace {

// What the escapes of a shown name stand for, one a line, or nothing when
// the name is shown as it is.
QVariant escapesTip(const QString &text)
{
    if (!TextEscape::needsEscape(text))
        return {};
    QStringList lines;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        const QString shown = TextEscape::line(QStringView(text).sliced(i, 1));
        if (shown.size() == 1)
            continue;
        const auto hex = [](uint value, int digits) {
            return QString::number(value, 16).toUpper().rightJustified(digits, u'0');
        };
        QString what;
        if (NameCodec::isEscapedByte(u))
            what = QStringLiteral("the byte %1, not UTF-8, kept as it is").arg(hex(u - 0xdc00u, 2));
        else if (TextEscape::isBidiControl(u))
            what = QStringLiteral("U+%1, a bidirectional control").arg(hex(u, 4));
        else if (QChar::isSurrogate(u))
            what = QStringLiteral("U+%1, half of a character").arg(hex(u, 4));
        else
            what = QStringLiteral("U+%1, a control character").arg(hex(u, 4));
        const QString line = shown + QStringLiteral(": ") + what;
        if (!lines.contains(line))
            lines << line;
    }
    return lines.join(u'\n');
}

} // namespace

QVariant FileTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    ZQFile *file = m_list->fileAtIndex(index.row());
    if (!file)
        return {};
    if (role == FileRole)
        return QVariant::fromValue(file);
    if (role == ProblemRole && index.column() == NewNameColumn) {
        if (!m_plan || index.row() >= m_plan->count())
            return {};
        const RenamePlan::Row &row = m_plan->row(index.row());
        if (row.status != RenamePlan::Status::Refused && row.status != RenamePlan::Status::Conflict)
            return {};
        return row.reason;
    }
    if (role == Qt::ToolTipRole) {
        // Every escape the cell shows, named; in the New Name column after
        // why the plan cannot rename the file, if it cannot.
        switch (index.column()) {
        case OldNameColumn:
            return escapesTip(file->name());
        case NewNameColumn: {
            const QString problem = data(index, ProblemRole).toString();
            QStringList lines;
            if (!problem.isEmpty())
                lines << problem;
            if (m_typed.find(file->nativePath()))
                lines << tr("Typed by hand");
            const QVariant lead = data(index, CompanionRole);
            if (!lead.isNull())
                lines << tr("Moves with %1").arg(lead.toString());
            const QVariant escapes = escapesTip(shownNewName(*file, index.row()));
            if (!escapes.isNull())
                lines << escapes.toString();
            if (lines.isEmpty())
                return {};
            return lines.join(u'\n');
        }
        case LocationColumn:
            return escapesTip(file->fullPath());
        default:
            return {};
        }
    }
    if (index.column() == NewNameColumn) {
        if (role == TypedRole)
            return m_typed.find(file->nativePath()) != nullptr;
        if (role == CompanionRole) {
            const ZQFile *lead = m_list->fileAtIndex(m_list->companionLead(index.row()));
            return lead ? QVariant(TextEscape::line(lead->name())) : QVariant();
        }
        if (role == PendingRole)
            return !m_typed.find(file->nativePath()) && isPending(*file);
        // The editor starts from the name itself, not its escaped display.
        if (role == Qt::EditRole)
            return shownNewName(*file, index.row());
    }
    if (role != Qt::DisplayRole)
        return {};
    // Names are shown as the command line writes them: a byte that is not
    // UTF-8, a control or a bidirectional control as a visible escape, so
    // that no name can pass for another.
    switch (index.column()) {
    case OldNameColumn:
        return TextEscape::line(file->name());
    case NewNameColumn:
        return TextEscape::line(shownNewName(*file, index.row()));
    case SizeColumn:
        return file->size();
    case DateColumn:
        if (!m_composer.settings().readsOtherDates())
            return file->date();
        return isPending(*file) ? QString() : m_composer.dateText(*file);
    case LocationColumn:
        return TextEscape::line(file->fullPath());
    default:
        return {};
    }
}

QString FileTableModel::newNameOf(const ZQFile &file, int row) const
{
    // The row is the counter index, so [C] follows the display order.
    return m_typed.newNameOf(*m_list, m_composer, file, row);
}

QString FileTableModel::shownNewName(const ZQFile &file, int row) const
{
    // Only the plan knows which names are taken and what they are numbered;
    // until it comes, the name the rules give.
    // A file that keeps its number stays unchanged: its name, not the
    // rules'.
    if (m_composer.settings().uniqueNames && m_plan && row < m_plan->count()) {
        const RenamePlan::Row &planned = m_plan->row(row);
        if (!ComposedName::isRefused(planned.newName))
            return planned.newName;
    }
    if (const QString *typed = m_typed.find(file.nativePath()))
        return *typed;
    if (isPending(file))
        return tr("Reading metadata…");
    QString name = newNameOf(file, row);
    return ComposedName::isRefused(name) ? file.name() : name;
}

Qt::ItemFlags FileTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == NewNameColumn)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool FileTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || index.column() != NewNameColumn ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    ZQFile *file = m_list->fileAtIndex(index.row());
    if (!file)
        return false;
    const QString name = value.toString();
    if (name.isEmpty()) {
        emit nameRefused();
        return false;
    }
    // An edit closed without a change leaves the rules' name to the rules.
    if (name == shownNewName(*file, index.row()))
        return true;
    m_typed.set(file->nativePath(), name);
    // A lead's companions follow its new name.
    if (m_list->groupsCompanions())
        newNamesChanged();
    else
        emit dataChanged(index, index);
    return true;
}

void FileTableModel::setTypedNames(const QList<ZQFile *> &files, const QStringList &names)
{
    if (files.isEmpty() || files.size() != names.size())
        return;
    for (qsizetype i = 0; i < files.size(); ++i)
        m_typed.set(files[i]->nativePath(), names[i]);
    newNamesChanged();
}

void FileTableModel::resetTypedNames(const QList<ZQFile *> &files)
{
    bool removed = false;
    for (const ZQFile *file : files)
        removed |= m_typed.remove(file->nativePath());
    if (removed)
        newNamesChanged();
}

void FileTableModel::dropTypedNames(const QList<QByteArray> &oldPaths)
{
    for (const QByteArray &path : oldPaths)
        m_typed.remove(path);
}

void FileTableModel::newNamesChanged()
{
    if (rowCount() > 0)
        emit dataChanged(index(0, NewNameColumn), index(rowCount() - 1, NewNameColumn));
}
