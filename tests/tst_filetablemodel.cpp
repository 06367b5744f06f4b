#include "filelist.h"
#include "filetablemodel.h"

#include <QAbstractItemModelTester>
#include <QDateTime>
#include <QItemSelectionModel>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

ZQFile *add(FileList &list, const QByteArray &path, quint64 size = 0, qint64 time = 0)
{
    auto file = std::make_unique<ZQFile>();
    file->setNativePath(path);
    file->setName(QString::fromUtf8(file->nativeName()));
    file->deriveDisplayExtension();
    file->setAttributes(size, time);
    return list.append(std::move(file));
}

QStringList column(const QAbstractItemModel &model, int column)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, column).data().toString();
    return texts;
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
    void initTestCase();
    void cells();
    void headers_data();
    void headers();
    void counterFollowsDisplayOrder();
    void updateResults();
    void settingsChangeOnlyNewNames();
    void selectedFiles();
    void headerClicks();
    void removeAndClear();
};

void tst_FileTableModel::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English));
}

void tst_FileTableModel::cells()
{
    FileList list;
    FileTableModel model(&list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const qint64 time =
        QDateTime(QDate(2024, 3, 5), QTime(14, 7, 59), Qt::LocalTime).toMSecsSinceEpoch();
    ZQFile *photo = add(list, "/p/photo.JPG", 1234, time);
    add(list, "/p/caf\xE9", 1500000, time);
    model.setSettings(settingsWith(u"[N]-[C]"_s));
    model.updateResults();

    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.columnCount(), 5);
    QCOMPARE(model.rowCount(model.index(0, 0)), 0);
    QCOMPARE(column(model, FileTableModel::OldNameColumn),
             QStringList({u"photo.JPG"_s, u"caf\uFFFD"_s}));
    QCOMPARE(column(model, FileTableModel::NewNameColumn),
             QStringList({u"photo-1.JPG"_s, u"caf\uFFFD-2"_s}));
    QCOMPARE(column(model, FileTableModel::SizeColumn), QStringList({u"1,234"_s, u"1,500,000"_s}));
    QCOMPARE(column(model, FileTableModel::DateColumn),
             QStringList({u"2024/03/05 14:07"_s, u"2024/03/05 14:07"_s}));
    QCOMPARE(column(model, FileTableModel::LocationColumn),
             QStringList({u"/p/photo.JPG"_s, u"/p/caf\uFFFD"_s}));
    QCOMPARE(model.index(0, 3).data(FileTableModel::FileRole).value<ZQFile *>(), photo);
    QVERIFY(!model.index(0, 0).data(Qt::DecorationRole).isValid());
    QVERIFY(!model.index(2, 0).data().isValid());
}

void tst_FileTableModel::headers_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("identifier");
    QTest::newRow("old name") << 0 << u"Old Name"_s << u"OldName"_s;
    QTest::newRow("new name") << 1 << u"New Name"_s << u"NewName"_s;
    QTest::newRow("size") << 2 << u"Size"_s << u"Size"_s;
    QTest::newRow("date") << 3 << u"Date"_s << u"Date"_s;
    QTest::newRow("location") << 4 << u"Location"_s << u"Location"_s;
}

void tst_FileTableModel::headers()
{
    QFETCH(int, section);
    QFETCH(QString, title);
    QFETCH(QString, identifier);
    FileList list;
    FileTableModel model(&list);
    QCOMPARE(model.headerData(section, Qt::Horizontal).toString(), title);
    QCOMPARE(model.headerData(section, Qt::Horizontal, FileTableModel::IdentifierRole).toString(),
             identifier);
    QCOMPARE(model.columnOfIdentifier(identifier), section);
    QCOMPARE(model.columnOfIdentifier(u"Kind"_s), -1);
}

void tst_FileTableModel::counterFollowsDisplayOrder()
{
    FileList list;
    FileTableModel model(&list);
    add(list, "/c/a");
    add(list, "/c/b");
    add(list, "/c/c");
    model.setSettings(settingsWith(u"[N][C]"_s));
    model.updateResults();
    QCOMPARE(column(model, FileTableModel::NewNameColumn),
             QStringList({u"a1"_s, u"b2"_s, u"c3"_s}));
    list.setSortDescending(true);
    model.reloadData();
    QCOMPARE(column(model, FileTableModel::NewNameColumn),
             QStringList({u"c1"_s, u"b2"_s, u"a3"_s}));
}

void tst_FileTableModel::updateResults()
{
    FileList list;
    FileTableModel model(&list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.totalText(), u"No files"_s);
    QSignalSpy totals(&model, &FileTableModel::totalTextChanged);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    add(list, "/u/1");
    model.updateResults();
    for (int i = 2; i <= 1500; ++i)
        add(list, "/u/" + QByteArray::number(i));
    model.updateResults();
    QCOMPARE(resets.count(), 2);
    QCOMPARE(totals.count(), 2);
    QCOMPARE(totals.at(0).at(0).toString(), u"1 file"_s);
    QCOMPARE(totals.at(1).at(0).toString(), u"1500 files"_s);
    QCOMPARE(model.totalText(), u"1500 files"_s);
    QCOMPARE(model.rowCount(), 1500);
}

void tst_FileTableModel::settingsChangeOnlyNewNames()
{
    FileList list;
    FileTableModel model(&list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    add(list, "/s/x.txt");
    add(list, "/s/y.txt");
    model.updateResults();
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    model.setSettings(settingsWith(u"new"_s));
    QCOMPARE(changes.count(), 1);
    const auto topLeft = changes.at(0).at(0).value<QModelIndex>();
    const auto bottomRight = changes.at(0).at(1).value<QModelIndex>();
    QCOMPARE(topLeft, model.index(0, FileTableModel::NewNameColumn));
    QCOMPARE(bottomRight, model.index(1, FileTableModel::NewNameColumn));
    QCOMPARE(column(model, FileTableModel::NewNameColumn),
             QStringList({u"new.txt"_s, u"new.txt"_s}));
}

void tst_FileTableModel::selectedFiles()
{
    FileList list;
    FileTableModel model(&list);
    QList<ZQFile *> stored;
    for (int i = 0; i < 5; ++i)
        stored << add(list, "/g/" + QByteArray::number(i));
    model.updateResults();
    QItemSelectionModel selection(&model);
    QCOMPARE(model.getSelectedFiles(&selection), QList<ZQFile *>());

    // Selected from the bottom up, and a row twice: top to bottom, once.
    list.setSortDescending(true);
    model.reloadData();
    selection.select(model.index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection.select(model.index(0, 3), QItemSelectionModel::Select);
    selection.select(model.index(0, 1), QItemSelectionModel::Select);
    QCOMPARE(model.getSelectedFiles(&selection), QList<ZQFile *>({stored[4], stored[2]}));
}

void tst_FileTableModel::headerClicks()
{
    FileList list;
    FileTableModel model(&list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    add(list, "/h/b", 2);
    add(list, "/h/a", 3);
    add(list, "/h/c", 1);
    list.setLastColumn(FileList::OldName);
    model.updateResults();

    QCOMPARE(model.tableView(FileTableModel::NewNameColumn).changed, false);
    QCOMPARE(column(model, 0), QStringList({u"b"_s, u"a"_s, u"c"_s}));
    const FileList::HeaderClick bySize = model.tableView(FileTableModel::SizeColumn);
    QVERIFY(bySize.sorted);
    QCOMPARE(bySize.clearedColumn, FileList::OldName);
    QCOMPARE(column(model, 0), QStringList({u"c"_s, u"b"_s, u"a"_s}));
    const FileList::HeaderClick flipped = model.tableView(FileTableModel::SizeColumn);
    QVERIFY(flipped.descending);
    QCOMPARE(column(model, 0), QStringList({u"a"_s, u"b"_s, u"c"_s}));
    QCOMPARE(column(model, FileTableModel::SizeColumn), QStringList({u"3"_s, u"2"_s, u"1"_s}));
}

void tst_FileTableModel::removeAndClear()
{
    FileList list;
    FileTableModel model(&list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QItemSelectionModel selection(&model);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

    // An empty list: no refresh.
    model.clickRemove(&selection);
    QCOMPARE(resets.count(), 0);

    for (const char *name : {"/r/a", "/r/b", "/r/c", "/r/d"})
        add(list, name);
    model.updateResults();
    // Nothing selected: nothing removed, still refreshed.
    model.clickRemove(&selection);
    QCOMPARE(resets.count(), 2);
    QCOMPARE(model.rowCount(), 4);

    list.setSortDescending(true);
    model.reloadData();
    selection.select(model.index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection.select(model.index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    model.clickRemove(&selection);
    QCOMPARE(column(model, 0), QStringList({u"c"_s, u"a"_s}));
    QCOMPARE(model.totalText(), u"2 files"_s);
    QVERIFY(!list.containsPath("/r/d"));

    // Clear All refreshes even an empty list and keeps the direction.
    model.clickClearAll();
    model.clickClearAll();
    QCOMPARE(resets.count(), 5);
    QCOMPARE(model.totalText(), u"No files"_s);
    QVERIFY(list.sortDescending());
}

QTEST_GUILESS_MAIN(tst_FileTableModel)
#include "tst_filetablemodel.moc"
