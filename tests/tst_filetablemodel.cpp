// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/filelist.h"
#include "model/filetablemodel.h"
#include "records.h"

#include <QAbstractItemModelTester>
#include <QDateTime>
#include <QItemSelectionModel>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Every test runs the model under QAbstractItemModelTester.
struct Fixture
{
    FileList list;
    FileTableModel model{&list};
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::QtTest};
    QItemSelectionModel selection{&model};

    QStringList column(int column) const
    {
        QStringList texts;
        for (int row = 0; row < model.rowCount(); ++row)
            texts << model.index(row, column).data().toString();
        return texts;
    }
    QString row(int row) const
    {
        QStringList texts;
        for (int column = 0; column < model.columnCount(); ++column)
            texts << model.index(row, column).data().toString();
        return texts.join(u" | "_s);
    }
};

ZQFile *add(FileList &list, const QByteArray &path, quint64 size = 0, qint64 time = 0)
{
    auto file = recordOf(path);
    file->setAttributes(size, time);
    return list.append(std::move(file));
}

RenameSettings settingsWith(const QString &nameTemplate)
{
    RenameSettings settings;
    settings.nameTemplate = nameTemplate;
    return settings;
}

} // namespace

class tst_FileTableModel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English)); }
    void cells();
    void newNames();
    void totals();
    void removeAndClear();
};

void tst_FileTableModel::cells()
{
    Fixture f;
    const qint64 time =
        QDateTime(QDate(2024, 3, 5), QTime(14, 7, 59), Qt::LocalTime).toMSecsSinceEpoch();
    ZQFile *photo = add(f.list, "/p/photo.JPG", 1234, time);
    add(f.list, "/p/caf\xE9", 1500000, time);
    f.model.setSettings(settingsWith(u"[N]-[C]"_s));
    f.model.updateResults();

    QCOMPARE(f.row(0), u"photo.JPG | photo-1.JPG | 1,234 | 2024/03/05 14:07 | /p/photo.JPG"_s);
    QCOMPARE(f.row(1), u"caf\\xe9 | caf\\xe9-2 | 1,500,000 | 2024/03/05 14:07 | /p/caf\\xe9"_s);
    QCOMPARE(f.model.index(0, 3).data(FileTableModel::FileRole).value<ZQFile *>(), photo);

    QStringList titles;
    for (int section = 0; section < f.model.columnCount(); ++section)
        titles << f.model.headerData(section, Qt::Horizontal).toString();
    QCOMPARE(titles,
             QStringList({u"Old Name"_s, u"New Name"_s, u"Size"_s, u"Date"_s, u"Location"_s}));
}

// The counter of a new name is its display row; a settings change refreshes
// the New Name column alone.
void tst_FileTableModel::newNames()
{
    Fixture f;
    for (const char *path : {"/c/a", "/c/b", "/c/c"})
        add(f.list, path);
    f.model.setSettings(settingsWith(u"[N][C]"_s));
    f.model.updateResults();
    QCOMPARE(f.column(FileTableModel::NewNameColumn), QStringList({u"a1"_s, u"b2"_s, u"c3"_s}));
    f.list.setSortDescending(true);
    f.model.reloadData();
    QCOMPARE(f.column(FileTableModel::NewNameColumn), QStringList({u"c1"_s, u"b2"_s, u"a3"_s}));

    QSignalSpy changes(&f.model, &QAbstractItemModel::dataChanged);
    f.model.setSettings(settingsWith(u"x[C]"_s));
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.at(0).at(0).value<QModelIndex>(),
             f.model.index(0, FileTableModel::NewNameColumn));
    QCOMPARE(changes.at(0).at(1).value<QModelIndex>(),
             f.model.index(2, FileTableModel::NewNameColumn));
    QCOMPARE(f.column(FileTableModel::NewNameColumn), QStringList({u"x1"_s, u"x2"_s, u"x3"_s}));
}

// One file is "1 file"; the count has no thousands separator.
void tst_FileTableModel::totals()
{
    Fixture f;
    QCOMPARE(f.model.totalText(), u"No files"_s);
    QSignalSpy totals(&f.model, &FileTableModel::totalTextChanged);
    add(f.list, "/u/1");
    f.model.updateResults();
    for (int i = 2; i <= 1500; ++i)
        add(f.list, "/u/" + QByteArray::number(i));
    f.model.updateResults();
    QCOMPARE(totals.count(), 2);
    QCOMPARE(totals.at(0).at(0).toString(), u"1 file"_s);
    QCOMPARE(f.model.totalText(), u"1,500 files"_s);
}

// Remove takes each run of adjacent rows out as one removal, from the
// bottom up, so that a view keeps the rows around them; no reset.
void tst_FileTableModel::removeAndClear()
{
    Fixture f;
    QSignalSpy resets(&f.model, &QAbstractItemModel::modelReset);
    QSignalSpy removed(&f.model, &QAbstractItemModel::rowsRemoved);
    f.model.clickRemove(&f.selection); // an empty list
    QList<ZQFile *> stored;
    for (const char *path : {"/r/a", "/r/b", "/r/c", "/r/d", "/r/e", "/r/f"})
        stored << add(f.list, path);
    f.model.updateResults();
    f.model.clickRemove(&f.selection); // nothing selected
    QCOMPARE(removed.count(), 0);

    // Shown f e d c b a; rows 3, 0 and 1 selected, a row twice, bottom up.
    f.list.setSortDescending(true);
    f.model.reloadData();
    const auto select = QItemSelectionModel::Select;
    f.selection.select(f.model.index(3, 0), select | QItemSelectionModel::Rows);
    f.selection.select(f.model.index(0, 3), select);
    f.selection.select(f.model.index(0, 1), select);
    f.selection.select(f.model.index(1, 0), select);
    QCOMPARE(f.model.getSelectedFiles(&f.selection),
             QList<ZQFile *>({stored[5], stored[4], stored[2]}));
    f.model.clickRemove(&f.selection);
    QCOMPARE(removed.count(), 2);
    QCOMPARE(removed.at(0).at(1).toInt(), 3);
    QCOMPARE(removed.at(0).at(2).toInt(), 3);
    QCOMPARE(removed.at(1).at(1).toInt(), 0);
    QCOMPARE(removed.at(1).at(2).toInt(), 1);
    QCOMPARE(resets.count(), 1);
    QCOMPARE(f.column(0), QStringList({u"d"_s, u"b"_s, u"a"_s}));
    QVERIFY(!f.list.containsPath("/r/e") && f.list.containsPath("/r/d"));
    QCOMPARE(f.model.totalText(), u"3 files"_s);

    // Clear All is a reset and keeps the sort state.
    f.list.setLastColumn(FileList::Size);
    f.model.clickClearAll();
    QCOMPARE(resets.count(), 2);
    QCOMPARE(f.model.totalText(), u"No files"_s);
    QVERIFY(!f.list.containsPath("/r/a"));
    QCOMPARE(f.list.lastColumn(), FileList::Size);
    QVERIFY(f.list.sortDescending());
}

QTEST_GUILESS_MAIN(tst_FileTableModel)
#include "tst_filetablemodel.moc"
