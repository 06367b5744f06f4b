// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/filelist.h"
#include "plan/renameplan.h"
#include "plan/typednames.h"
#include "rules/namecomposer.h"

#include <QAbstractTableModel>
#include <QItemSelectionModel>

#include <memory>

class ZQFile;

// The table over a FileList: five columns "OldName", "NewName", "Size",
// "Date", "Location" in display order. New names are composed for the rows
// the view asks for, with the row as the counter index, and never stored.
// The model owns no file I/O.
class FileTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column
    {
        OldNameColumn,
        NewNameColumn,
        SizeColumn,
        DateColumn,
        LocationColumn,
        ColumnCount
    };
    // headerData(section, Horizontal, IdentifierRole) gives the identifier.
    static constexpr int IdentifierRole = Qt::UserRole + 1;
    // data(index, FileRole) gives the ZQFile* of the row.
    static constexpr int FileRole = Qt::UserRole + 2;
    // data(index, ProblemRole) of the New Name column: why the plan cannot
    // rename the row's file, or nothing.
    static constexpr int ProblemRole = Qt::UserRole + 3;
    // data(index, TypedRole) of the New Name column: whether the new name was
    // typed by hand (the window shows it apart from the rules' names).
    static constexpr int TypedRole = Qt::UserRole + 4;
    // data(index, CompanionRole) of the New Name column: for a companion file
    // that moves with its group's lead, the lead's name; else nothing.
    static constexpr int CompanionRole = Qt::UserRole + 5;
    // data(index, PendingRole) of the New Name column: whether the name waits
    // for facts of the file not read yet (its date taken, its tags).
    static constexpr int PendingRole = Qt::UserRole + 6;

    explicit FileTableModel(FileList *list, QObject *parent = nullptr);

    FileList *list() const { return m_list; }

    const NameComposer &composer() const { return m_composer; }
    // New settings: only the New Name column changes, and the Date column
    // when the date comes from elsewhere. The sort by date follows the date
    // the tokens use.
    void setSettings(const RenameSettings &settings);
    // The composer needs facts of the file that it does not have yet.
    bool isPending(const ZQFile &file) const;

    // The list was filled or emptied behind the model (a test or a benchmark
    // that lists on its own): the model is reset and the count text rewritten.
    void updateResults();
    // Appends records that are not listed yet as new rows (at the top while
    // the list shows in descending direction), so that the selection and the
    // scroll position stay; then the count text follows. `unlisted`: the
    // caller knows that no record names a listed path or the path of
    // another (FileList::appendAllUnlisted).
    void appendRecords(std::vector<std::unique_ptr<ZQFile>> records, bool unlisted = false);
    // Appends records that name no file, such as the tutorial's examples,
    // which may share the label they show as their path.
    void appendExamples(std::vector<std::unique_ptr<ZQFile>> records);
    // Removes these records, wherever they are shown: each run of adjacent
    // rows goes as one removal, so that the view keeps the rows around them
    // selected and its scroll position.
    void removeFiles(const QList<ZQFile *> &files);
    // Every cell asked for afresh, the rows unchanged.
    void reloadData();
    QString totalText() const { return m_totalText; }

    // The records of the selected rows, top to bottom.
    QList<ZQFile *> getSelectedFiles(const QItemSelectionModel *selection) const;

    // The header click on a column: the list's sort state moves and the rows
    // are shown afresh. The window clears the selection and sets the
    // indicator from the result.
    FileList::HeaderClick tableView(int section);
    // Sorts the list again by its last column, as after a change of the order.
    void performSort();
    // Remove: the records of the selected rows go, then the count and the
    // table are shown afresh (even with nothing selected); nothing happens
    // on an empty list.
    void clickRemove(const QItemSelectionModel *selection);
    // Clear All: every record goes; the sort state stays.
    void clickClearAll();

    // The list and its typed names, kept aside while something else (the
    // tutorial) borrows the table.
    struct SetAside
    {
        std::vector<std::unique_ptr<ZQFile>> records;
        TypedNames typed;
        bool sorted = false;
    };
    // Empties the table into what it hands back; the sort state stays.
    SetAside setAside();
    // Takes `borrowed` out and puts the records set aside back, as they
    // were, ahead of any listed meanwhile; their typed names with them.
    void giveBack(SetAside kept, const QList<ZQFile *> &borrowed);

    // The count label's text for the list as it is.
    QString countText() const;

    // The rename plan of the rows as they are shown: its refused and
    // conflicting rows carry their reason (ProblemRole, and the New Name
    // cell's tooltip). Null drops it, as any change of the settings or the
    // list should, until the next plan is made.
    void setPlan(std::shared_ptr<const RenamePlan> plan);
    const RenamePlan *plan() const { return m_plan.get(); }
    std::shared_ptr<const RenamePlan> sharedPlan() const { return m_plan; }

    // The new names typed by hand (edited in the New Name column or pasted),
    // by the files' paths. A file that leaves the list takes its name along.
    const TypedNames &typedNames() const { return m_typed; }
    // The typed names of these files, in this order; the counts must match.
    void setTypedNames(const QList<ZQFile *> &files, const QStringList &names);
    // Reset New Name: these files take the rules' names again.
    void resetTypedNames(const QList<ZQFile *> &files);
    // After a run: the files it moved away from these paths had typed names
    // that are used up (another file may hold such a path now).
    void dropTypedNames(const QList<QByteArray> &oldPaths);

    // The column showing this identifier, or -1.
    int columnOfIdentifier(const QString &identifier) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // The New Name column takes a name typed by hand; an empty one is
    // refused (nameRefused).
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    void totalTextChanged(const QString &text);
    // An edit left the New Name empty; the old name stays.
    void nameRefused();

private:
    void removeRows(QList<qint64> rows);
    void countChanged();
    // The typed name, else the rules' name, of the file shown in `row`.
    QString newNameOf(const ZQFile &file, int row) const;
    // What the New Name cell shows: that name, the file's own name where the
    // rules cannot make one (the plan's mark says why), or that it waits.
    QString shownNewName(const ZQFile &file, int row) const;
    void newNamesChanged();

    FileList *m_list;
    NameComposer m_composer;
    QString m_totalText;
    std::shared_ptr<const RenamePlan> m_plan;
    TypedNames m_typed;
};
