// SPDX-License-Identifier: GPL-3.0-or-later
#include "disktree.h"
#include "files/filelist.h"
#include "files/pathindex.h"
#include "files/zqfile.h"
#include "model/filetablemodel.h"
#include "records.h"
#include "rulesettings.h"

#include <QAbstractItemModelTester>
#include <QDateTime>
#include <QItemSelectionModel>
#include <QLocale>
#include <QRandomGenerator>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <memory>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<ZQFile> record(const QByteArray &path, quint64 size = 0)
{
    auto file = recordOf(path);
    file->setFullSize(size);
    return file;
}

// A record whose key for the column is `key`; texts may be set afterwards.
std::unique_ptr<ZQFile> keyed(const QString &column, const QByteArray &key, int serial)
{
    auto file = record(column == FileList::Location ? key : "/f/" + QByteArray::number(serial),
                       column == FileList::Size ? key.toULongLong() : 0);
    if (column == FileList::Date)
        file->setDate(QString::fromUtf8(key));
    else if (column == FileList::OldName)
        file->setName(QString::fromUtf8(key));
    return file;
}

// Sorts by the column; gives the places in `place` of the records, top down.
QList<int> sortedPlaces(FileList &list, const QString &column, std::map<const ZQFile *, int> &place)
{
    list.setLastColumn(column);
    list.performSort();
    QList<int> order;
    for (const auto &file : list.contentsArray())
        order << place[file.get()];
    return order;
}

QString displayedNames(const FileList &list)
{
    QStringList names;
    for (qint64 row = 0; row < list.count(); ++row)
        names << list.fileAtIndex(row)->name();
    return names.join(u' ');
}

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

} // namespace

class tst_FileList : public QObject
{
    Q_OBJECT
private slots:
    void displayOrder();
    void pathChanges();
    void pathIndexAgreesWithReference();
    void laterAppendsRefuseListed_data();
    void laterAppendsRefuseListed();
    void headerClicks_data();
    void headerClicks();
    void comparisons_data();
    void comparisons();
    void sortAgreesWithComparison_data();
    void sortAgreesWithComparison();
    void counterPerFolder_data();
    void counterPerFolder();
    void counterPerFolderFollowsTheList();
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cells();
    void removeAndClear();
    void renamesKeepTheListedExtension_data();
    void renamesKeepTheListedExtension();
    void fileSize_data();
    void fileSize();
    void folderTotal();
    void recordAndItsPath_data();
    void recordAndItsPath();

private:
    QTemporaryDir m_dir;
};

void tst_FileList::displayOrder()
{
    FileList list;
    ZQFile *first = list.append(record("/t/one"));
    list.append(record("/t/two"));
    ZQFile *third = list.append(record("/t/three"));
    list.setSortDescending(true);
    QCOMPARE(displayedNames(list), u"three two one"_s);
    QCOMPARE(list.rowOfFile(first), 2);
    QCOMPARE(list.fileAtIndex(3), nullptr);
    QCOMPARE(list.fileAtIndex(-1), nullptr);
    // Selected rows count once each, from the top; rows outside the list not.
    QCOMPARE(list.getSelectedFilesBySets({2, 0, 2, 5, -1}), QList<ZQFile *>({third, first}));

    // Descending: an addition shows in the top row; ascending, at the bottom
    // even right after a sort.
    QCOMPARE(list.rowOfFile(list.append(record("/t/a-four"))), 0);
    list.setSortDescending(false);
    list.setLastColumn(FileList::OldName);
    list.performSort();
    QCOMPARE(list.rowOfFile(list.append(record("/t/a-five"))), 4);
    QCOMPARE(displayedNames(list), u"a-four one three two a-five"_s);
    ZQFile stranger;
    QCOMPARE(list.rowOfFile(&stranger), -1);
}

// The index follows every path change: one at a time, in a batch (as after a
// rename run) with lookups in between (a progress callback may make them),
// and onto the path of a record whose file has vanished.
void tst_FileList::pathChanges()
{
    FileList list;
    // Exact bytes: no case folding, no normalisation, no cleaning of slashes.
    for (const char *path :
         {"/t/a", "/t/A", "/t//a", "/t/caf\xC3\xA9", "/t/cafe\xCC\x81", "/t/caf\xE9"})
        QVERIFY(list.append(record(path)));
    QCOMPARE(list.append(record("/t/a")), nullptr);
    QCOMPARE(list.append(record("/t/caf\xE9")), nullptr);
    list.clear();
    QVERIFY(!list.containsPath("/t/a"));

    ZQFile *a = list.append(record("/t/a"));
    ZQFile *b = list.append(record("/t/b"));
    list.setNativePath(a, "/t/a1");
    QCOMPARE(a->nativePath(), QByteArray("/t/a1"));
    QVERIFY(!list.containsPath("/t/a"));
    ZQFile *c = list.append(record("/t/a"));

    list.beginPathChanges();
    list.setNativePath(a, "/t/b2");
    QVERIFY(list.containsPath("/t/b2"));
    QVERIFY(!list.containsPath("/t/a1"));
    // A lookup must not freeze the index for the changes after it.
    list.setNativePath(b, "/t/a1");
    QVERIFY(list.containsPath("/t/a1"));
    list.endPathChanges();
    QVERIFY(list.containsPath("/t/a1"));
    QVERIFY(!list.containsPath("/t/b"));
    QCOMPARE(list.append(record("/t/b2")), nullptr);
    list.removeFiles({a});
    QVERIFY(!list.containsPath("/t/b2"));

    // b moves onto c's path: it stays indexed until neither names it.
    list.setNativePath(b, "/t/a");
    QVERIFY(!list.containsPath("/t/a1"));
    list.removeFiles({c});
    QVERIFY(list.containsPath("/t/a"));
    QCOMPARE(list.append(record("/t/a")), nullptr);
    list.removeFiles({b});
    QVERIFY(!list.containsPath("/t/a"));
    QVERIFY(list.isEmpty());
}

// The index alone: random insertions and removals over a small set of
// paths, so that the table grows, probe runs wrap and removals pull slots
// back, checked against a plain count of the records holding each path. Some
// removals name a wrong path: the record must still go, never left dangling.
void tst_FileList::pathIndexAgreesWithReference()
{
    QRandomGenerator random(7);
    PathIndex index;
    std::vector<std::unique_ptr<ZQFile>> indexed;
    std::map<QByteArray, int> holders;
    QByteArrayList pool;
    for (int i = 0; i < 300; ++i)
        pool << "/folder/with/a/long/common/prefix/" + QByteArray::number(i);

    for (int step = 0; step < 20000; ++step) {
        if (indexed.empty() || random.bounded(100) < 55) {
            auto file = std::make_unique<ZQFile>();
            const QByteArray &path = pool[random.bounded(pool.size())];
            file->setNativePath(path);
            if (random.bounded(2) == 0) {
                const bool added = index.insertUnique(file.get());
                QCOMPARE(added, holders[path] == 0);
                if (!added)
                    continue;
            } else {
                index.insert(file.get());
            }
            ++holders[path];
            indexed.push_back(std::move(file));
        } else {
            const auto victim = indexed.begin() + random.bounded(qsizetype(indexed.size()));
            --holders[(*victim)->nativePath()];
            index.remove(victim->get(), random.bounded(10) == 0 ? pool[random.bounded(pool.size())]
                                                                : (*victim)->nativePath());
            indexed.erase(victim);
        }
        QCOMPARE(index.size(), qsizetype(indexed.size()));
        for (int i = 0; step % 97 == 0 && i < pool.size(); ++i)
            QCOMPARE(index.contains(pool[i]), holders[pool[i]] > 0);
    }
}

// A first listing taken in without the duplicate test, in batches: later
// appends still refuse every path it holds, and take a removed one back.
void tst_FileList::laterAppendsRefuseListed_data()
{
    QTest::addColumn<QByteArrayList>("later");
    QTest::addColumn<bool>("removeFirst");
    QTest::addColumn<qsizetype>("added");
    QTest::newRow("all again") << QByteArrayList{"/t/a", "/t/b", "/t/c"} << false << qsizetype(0);
    QTest::newRow("one of the second batch") << QByteArrayList{"/t/c"} << false << qsizetype(0);
    QTest::newRow("a removed one comes back")
        << QByteArrayList{"/t/a", "/t/c"} << true << qsizetype(1);
    QTest::newRow("a new one, twice")
        << QByteArrayList{"/t/new", "/t/b", "/t/new"} << false << qsizetype(1);
}

void tst_FileList::laterAppendsRefuseListed()
{
    QFETCH(QByteArrayList, later);
    QFETCH(bool, removeFirst);
    QFETCH(qsizetype, added);
    const auto records = [](const QByteArrayList &paths) {
        std::vector<std::unique_ptr<ZQFile>> made;
        for (const QByteArray &path : paths)
            made.push_back(record(path));
        return made;
    };
    FileList list;
    QCOMPARE(list.appendAllUnlisted(records({"/t/a", "/t/b"})), 2);
    QCOMPARE(list.appendAllUnlisted(records({"/t/c"})), 1);
    if (removeFirst)
        list.removeFiles({list.contentsArray().front().get()});
    const qsizetype before = list.count();
    QCOMPARE(list.appendAll(records(later)), added);
    QCOMPARE(list.count(), before + added);
    QSet<QByteArray> listed;
    for (const auto &file : list.contentsArray())
        listed.insert(file->nativePath());
    QCOMPARE(listed.size(), list.count());
}

// Each row: the clicks, then the rows and the sort state with what the last
// click did. Added in this order: b.txt (300 bytes), C.txt (100), a.txt (200).
// The window starts with Old Name as the last column; "fresh" starts with none.
void tst_FileList::headerClicks_data()
{
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QString>("expected");
    QTest::newRow("window start: Old Name flips, no sort")
        << u"OldName"_s << u"a.txt C.txt b.txt: OldName desc, changed"_s;
    QTest::newRow("Old Name twice: order of addition again")
        << u"OldName OldName"_s << u"b.txt C.txt a.txt: OldName asc, changed"_s;
    QTest::newRow("fresh list: Old Name sorts")
        << u"fresh OldName"_s << u"a.txt b.txt C.txt: OldName asc, changed, sorted"_s;
    QTest::newRow("another column sorts ascending")
        << u"Size"_s << u"C.txt a.txt b.txt: Size asc, changed, sorted, cleared OldName"_s;
    QTest::newRow("Size twice: largest on top")
        << u"Size Size"_s << u"b.txt a.txt C.txt: Size desc, changed"_s;
    QTest::newRow("descending, then another column: ascending")
        << u"OldName Location"_s
        << u"C.txt a.txt b.txt: Location asc, changed, sorted, cleared OldName"_s;
    QTest::newRow("sort by name: another column, then Old Name")
        << u"Size OldName"_s << u"a.txt b.txt C.txt: OldName asc, changed, sorted, cleared Size"_s;
    QTest::newRow("New Name changes nothing")
        << u"OldName NewName"_s << u"a.txt C.txt b.txt: OldName desc"_s;
}

void tst_FileList::headerClicks()
{
    QFETCH(QString, clicks);
    FileList list;
    list.append(record("/z/b.txt", 300));
    list.append(record("/x/C.txt", 100));
    list.append(record("/y/a.txt", 200));
    list.setLastColumn(FileList::OldName);
    FileList::HeaderClick click;
    for (const QString &column : clicks.split(u' ')) {
        if (column == u"fresh")
            list.setLastColumn(QString());
        else
            click = list.tableView(column);
    }
    QString seen = displayedNames(list) + u": "_s + list.lastColumn() +
                   (list.sortDescending() ? u" desc"_s : u" asc"_s);
    seen += QString(click.changed ? u", changed"_s : QString()) +
            (click.sorted ? u", sorted"_s : QString());
    if (!click.clearedColumn.isEmpty())
        seen += u", cleared "_s + click.clearedColumn;
    QTEST(seen, "expected");
    // The indicator stays on lastColumn, by the current direction.
    QCOMPARE(click.indicatorColumn, list.lastColumn());
    QCOMPARE(click.descending, list.sortDescending());
}

void tst_FileList::comparisons_data()
{
    // Each row: the column, the keys in order of addition, the order after
    // the sort (indexes into the keys). Ties keep their order of addition.
    QTest::addColumn<QString>("column");
    QTest::addColumn<QByteArrayList>("keys");
    QTest::addColumn<QList<int>>("expected");

    // Keys joined by "|".
    const auto row = [](const char *tag, const QString &column, const QByteArray &keys,
                        const QList<int> &expected) {
        QTest::newRow(tag) << column << keys.split('|') << expected;
    };
    const QString name = FileList::OldName;
    row("digits are characters: a10 before a9", name, "a9|a10", {1, 0});
    row("case only: the same", name, "abc.txt|ABC.txt", {0, 1});
    row("folded to lower case: _ before a before B", name, "B|a|_", {2, 1, 0});
    row("accented letters after ASCII, case-insensitive", name,
        "\xC3\x89t\xC3\xA9|z|\xC3\xA9t\xC3\xA9", {1, 0, 2});
    row("not locale-aware: o-umlaut after p", name, "\xC3\xB6|p|o", {2, 1, 0});
    row("size read as signed: 2^63 first, then unread (0)", FileList::Size,
        "5|0|9223372036854775808|1234", {2, 1, 0, 3});
    row("empty date first, same minute the same", FileList::Date,
        "2024/03/05 14:07||2023/12/31 23:59|2024/03/05 14:07", {1, 2, 0, 3});
    row("location case-insensitive over the whole path", FileList::Location, "/x/B/a|/x/a/z|/x/b/0",
        {1, 2, 0});
    row("location: undecodable byte shows as U+FFFD, after ASCII", FileList::Location,
        "/t/caf\xE9|/t/cafz|/t/caf\xEF\xBF\xBD", {1, 0, 2});
    // Natural order, of the Old Name and Location sorts.
    row("natural: values", name, "a10|a2|a1", {2, 1, 0});
    row("natural: equal values by length", name, "a002|a02|a2", {2, 1, 0});
    row("natural: zero and no digits", name, "a0|a|a00|ab", {1, 0, 2, 3});
    row("natural: digits sort where they always did", name, "a:|a9|a-", {2, 1, 0});
    row("natural: several runs", name, "v1.10|v1.9|v1.2.3", {2, 1, 0});
    row("natural: longer than 64 bits", name, "x123456789012345678901|x99999999999999999999",
        {1, 0});
    row("natural: case is still ignored", name, "B10|b9|A10", {2, 1, 0});
    row("natural: non-ASCII name", name, "\u00e910|\u00e99", {1, 0});
    row("natural: folders by value", FileList::Location, "/d10/a|/d9/b|/d9/a", {2, 1, 0});
}

void tst_FileList::comparisons()
{
    QFETCH(QString, column);
    QFETCH(QByteArrayList, keys);
    FileList list;
    list.setNaturalOrder(QByteArray(QTest::currentDataTag()).startsWith("natural"));
    std::map<const ZQFile *, int> place;
    for (int i = 0; i < keys.size(); ++i)
        place[list.append(keyed(column, keys[i], i))] = i;
    QTEST(sortedPlaces(list, column, place), "expected");
}

void tst_FileList::sortAgreesWithComparison_data()
{
    QTest::addColumn<QString>("column");
    for (const QString &column : {u"OldName"_s, u"Location"_s, u"Date"_s, u"Size"_s})
        QTest::newRow(qPrintable(column)) << column;
}

// The sort works on keys made once per record; they must give exactly the
// order of the comparisons, also for letters whose case folding is special,
// surrogate pairs, lone surrogates and bytes that are not UTF-8.
void tst_FileList::sortAgreesWithComparison()
{
    QFETCH(QString, column);
    const char32_t pool[] = {'a',     'A',     'b',     'Z',     '_',    '0',    '.',    ' ',
                             '~',     0xDF,    0x1E9E,  0x17F,   's',    'S',    0x212A, 'k',
                             0x130,   'i',     0x131,   'I',     0x3A3,  0x3C3,  0x3C2,  0x1C4,
                             0x1C5,   0x1C6,   0xB5,    0x3BC,   0x212B, 0xE5,   0xFF,   0x178,
                             0xFB00,  0x301,   0xE9,    0xFFFF,  0xFFFD, 0xD801, 0xDC00, 0x10400,
                             0x10428, 0x1E900, 0x1E922, 0x1F600, 0x100,  0x7FF,  0x800};
    const QByteArrayList bytePool = QByteArray("a|B|/|\xE9|\xC3\xA9|\xC3\x89|\xFF|\xED\xA0\x80|"
                                               "\xF0\x90\x90\x80|\xF0\x90\x90\xA8|\xE2\x84\xAA|k")
                                        .split('|');
    const quint64 sizes[] = {0, 1, 2, 1234, quint64(1) << 63, ~quint64(0), 1000000};
    QRandomGenerator random(20240305);
    FileList list;
    std::map<const ZQFile *, int> place;
    for (int i = 0; i < 3000; ++i) {
        QByteArray bytes = "/";
        QString text;
        for (int c = random.bounded(5); c > 0; --c) {
            bytes += bytePool[random.bounded(bytePool.size())];
            const char32_t code = pool[random.bounded(int(std::size(pool)))];
            text += code > 0xFFFF ? QString::fromUcs4(&code, 1) : QString(QChar(char16_t(code)));
        }
        // Unique paths with shared prefixes.
        auto file = keyed(column,
                          column == FileList::Size ? QByteArray::number(sizes[random.bounded(7)])
                                                   : bytes + '/' + QByteArray::number(i),
                          i);
        if (column == FileList::Date) {
            file->setDate(text);
        } else if (column == FileList::OldName && i % 2) {
            // Every other name is the path's, decoded from its bytes.
            file->setNativePath("/n/" + QByteArray::number(i) + '/' + bytes);
            file->deriveName();
        } else if (column == FileList::OldName) {
            file->setName(text);
        }
        place[list.append(std::move(file))] = i;
    }
    QCOMPARE(list.count(), 3000);
    const QList<int> order = sortedPlaces(list, column, place);

    const auto compare = column == FileList::Location ? &ZQFile::LocationComparison
                         : column == FileList::Date   ? &ZQFile::DateComparison
                         : column == FileList::Size   ? &ZQFile::SizeComparison
                                                      : &ZQFile::OldNameComparison;
    const auto &files = list.contentsArray();
    int ties = 0;
    for (size_t i = 1; i < files.size(); ++i) {
        const int result = (*files[i - 1].*compare)(*files[i]);
        QVERIFY2(result <= 0, qPrintable(QStringLiteral("out of order at %1").arg(i)));
        if (result == 0) {
            ++ties;
            QVERIFY(order[qsizetype(i) - 1] < order[qsizetype(i)]);
        }
    }
    if (column != FileList::Location)
        QVERIFY(ties > 0);
}

// The counter index of each row when the counter restarts in every folder.
void tst_FileList::counterPerFolder_data()
{
    QTest::addColumn<bool>("descending");
    QTest::addColumn<bool>("perFolder");
    QTest::addColumn<QList<qint64>>("expected");
    // Stored: /a/1 /b/1 /a/2 /a/3 /b/2
    QTest::newRow("ascending, per folder") << false << true << QList<qint64>{0, 0, 1, 2, 1};
    QTest::newRow("descending, per folder") << true << true << QList<qint64>{0, 0, 1, 1, 2};
    QTest::newRow("descending, whole list") << true << false << QList<qint64>{0, 1, 2, 3, 4};
}

void tst_FileList::counterPerFolder()
{
    QFETCH(bool, descending);
    QFETCH(bool, perFolder);
    FileList list;
    listPaths(list, {"/a/1", "/b/1", "/a/2", "/a/3", "/b/2"});
    list.setSortDescending(descending);
    QList<qint64> indexes;
    for (qint64 row = 0; row < list.count(); ++row)
        indexes << list.counterIndex(row, perFolder);
    QTEST(indexes, "expected");
}

void tst_FileList::counterPerFolderFollowsTheList()
{
    FileList list;
    listPaths(list, {"/a/x", "/b/x"});
    QCOMPARE(list.counterIndex(1, true), 0);
    listPaths(list, {"/b/y"});
    QCOMPARE(list.counterIndex(2, true), 1);
    list.removeFiles({list.fileAtIndex(1)});
    QCOMPARE(list.counterIndex(1, true), 0);
    // A record moved into another folder counts there.
    list.setNativePath(list.fileAtIndex(1), "/a/y");
    QCOMPARE(list.counterIndex(1, true), 1);
    // Renamed in its folder: the places stay.
    list.setNativePath(list.fileAtIndex(1), "/a/z");
    QCOMPARE(list.counterIndex(1, true), 1);
    QCOMPARE(list.counterIndex(5, true), 5);
}

// A row's texts come from the intake's values; the counter of a new name is
// its display row; a settings change refreshes the New Name column alone.
void tst_FileList::cells()
{
    Fixture f;
    ZQFile *photo = add(f.list, "/p/a.JPG", 1234567, localMsecs(2024, 3, 5, 14, 7, 59));
    add(f.list, "/c/b");
    add(f.list, "/c/c");
    f.model.setSettings(settings(u"[N]-[C]"_s));
    f.model.updateResults();
    const QString first = u"a.JPG | a-1.JPG | 1,234,567 | 2024/03/05 14:07 | /p/a.JPG"_s;
    QCOMPARE(f.row(0), first);
    QCOMPARE(f.model.index(0, 3).data(FileTableModel::FileRole).value<ZQFile *>(), photo);
    // A raw value set later (a size counted, a date read) does not rewrite them.
    photo->setFullSize(99);
    photo->setFileDate(QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::LocalTime));
    QCOMPARE(f.row(0), first);
    QCOMPARE(f.column(FileTableModel::NewNameColumn),
             QStringList({u"a-1.JPG"_s, u"b-2"_s, u"c-3"_s}));
    f.list.setSortDescending(true);
    f.model.reloadData();
    QCOMPARE(f.column(FileTableModel::NewNameColumn),
             QStringList({u"c-1"_s, u"b-2"_s, u"a-3.JPG"_s}));

    QSignalSpy changes(&f.model, &QAbstractItemModel::dataChanged);
    f.model.setSettings(settings(u"x[C]"_s));
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.at(0).at(0).value<QModelIndex>(),
             f.model.index(0, FileTableModel::NewNameColumn));
    QCOMPARE(changes.at(0).at(1).value<QModelIndex>(),
             f.model.index(2, FileTableModel::NewNameColumn));
    QCOMPARE(f.column(FileTableModel::NewNameColumn), QStringList({u"x1"_s, u"x2"_s, u"x3.JPG"_s}));
}

// Remove takes each run of adjacent rows out as one removal, from the
// bottom up, so that a view keeps the rows around them; no reset. The total
// follows: one file is "1 file", a larger count is grouped by thousands.
void tst_FileList::removeAndClear()
{
    Fixture f;
    QCOMPARE(f.model.totalText(), u"No files"_s);
    QSignalSpy totals(&f.model, &FileTableModel::totalTextChanged);
    QSignalSpy resets(&f.model, &QAbstractItemModel::modelReset);
    QSignalSpy removed(&f.model, &QAbstractItemModel::rowsRemoved);
    f.model.clickRemove(&f.selection); // an empty list
    QList<ZQFile *> stored{add(f.list, "/r/a")};
    f.model.updateResults();
    for (const char *path : {"/r/b", "/r/c", "/r/d", "/r/e", "/r/f"})
        stored << add(f.list, path);
    f.model.updateResults();
    QCOMPARE(totals.count(), 2);
    QCOMPARE(totals.at(0).at(0).toString(), u"1 file"_s);
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
    QList<int> ranges; // first and last row of each removal
    for (const QList<QVariant> &removal : removed)
        ranges << removal.at(1).toInt() << removal.at(2).toInt();
    QCOMPARE(ranges, QList<int>({3, 3, 0, 1}));
    QCOMPARE(resets.count(), 2); // the two updates'
    QCOMPARE(f.column(0), QStringList({u"d"_s, u"b"_s, u"a"_s}));
    QVERIFY(!f.list.containsPath("/r/e") && f.list.containsPath("/r/d"));
    QCOMPARE(f.model.totalText(), u"3 files"_s);

    // Clear All is a reset and keeps the sort state.
    f.list.setLastColumn(FileList::Size);
    f.model.clickClearAll();
    QCOMPARE(resets.count(), 3);
    QCOMPARE(f.model.totalText(), u"No files"_s);
    QVERIFY(!f.list.containsPath("/r/a"));
    QCOMPARE(f.list.lastColumn(), FileList::Size);
    QVERIFY(f.list.sortDescending());
    for (int i = 1; i <= 1500; ++i)
        add(f.list, "/u/" + QByteArray::number(i));
    f.model.updateResults();
    QCOMPARE(f.model.totalText(), u"1,500 files"_s);
}

// A rename keeps the extension the file was listed with, also over a second
// rename after one that kept the same extension.
void tst_FileList::renamesKeepTheListedExtension_data()
{
    QTest::addColumn<QString>("listed");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("extension");
    QTest::newRow("same, then another") << u"a.tar.gz"_qs << u"b.gz"_qs << u"c.txt"_qs << u"gz"_qs;
    QTest::newRow("another, then the same") << u"a.gz"_qs << u"b.txt"_qs << u"c.gz"_qs << u"gz"_qs;
    QTest::newRow("case differs") << u"photo.JPG"_qs << u"photo_x.jpg"_qs << u"z.png"_qs
                                  << u"JPG"_qs;
    QTest::newRow("none, then one") << u"notes"_qs << u"other"_qs << u"x.txt"_qs << u""_qs;
    QTest::newRow("dot left bare") << u"a.b"_qs << u"a."_qs << u"c.d"_qs << u"b"_qs;
}

void tst_FileList::renamesKeepTheListedExtension()
{
    QFETCH(QString, listed);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, extension);
    ZQFile file;
    file.setName(listed);
    file.deriveDisplayExtension();
    file.setName(first);
    QCOMPARE(file.displayExtension(), extension);
    file.setName(second);
    QCOMPARE(file.displayExtension(), extension);
    QCOMPARE(file.name(), second);
}

void tst_FileList::fileSize_data()
{
    QTest::addColumn<quint64>("fullSize");
    QTest::addColumn<QString>("sizeText");
    QTest::addColumn<quint64>("expectedSize");
    QTest::addColumn<QString>("expectedText");
    QTest::newRow("known size stays") << quint64(5) << "777" << quint64(5) << "777";
    QTest::newRow("grouped text reads to the separator")
        << quint64(0) << "1,234" << quint64(1) << "1,234";
    QTest::newRow("from the file") << quint64(0) << "" << quint64(2048) << "2,048";
    QTest::newRow("zero text reads the file") << quint64(0) << "0" << quint64(2048) << "2,048";
}

void tst_FileList::fileSize()
{
    QFETCH(quint64, fullSize);
    QFETCH(QString, sizeText);
    ZQFile file;
    file.setNativePath(QFile::encodeName(m_dir.filePath(u"f2048"_qs)));
    writeFile(file.nativePath(), QByteArray(2048, 'x'));
    file.setSize(sizeText);
    file.setFullSize(fullSize);
    file.calculateFullSize();
    QTEST(file.fullSize(), "expectedSize");
    QTEST(file.size(), "expectedText");
}

// Links count their own size (the length of the path they hold), never what
// they point to, file or folder. A total of 1000 bytes or less is computed
// again on every call, a larger one never again.
void tst_FileList::folderTotal()
{
    const QByteArray root = QFile::encodeName(m_dir.filePath(u"total"_qs));
    makeTree(root, {"other/", "other/inside=inside", "large.bin=large", "folder/",
                    "folder/a=" + QByteArray(300, 'x')});
    QVERIFY(::symlink("../large.bin", (root + "/folder/big").constData()) == 0);
    QVERIFY(::symlink("../other", (root + "/folder/dir").constData()) == 0);
    ZQFile record;
    record.setIsDirectory(true);
    record.setNativePath(root + "/folder");
    record.calculateFullSize();
    QCOMPARE(record.fullSize(), quint64(300 + 12 + 8));
    QCOMPARE(record.size(), u"320"_qs);
    writeFile(root + "/folder/b", QByteArray(5000, 'x'));
    record.calculateFullSize();
    QCOMPARE(record.fullSize(), quint64(5320));
    writeFile(root + "/folder/c", "c");
    record.calculateFullSize();
    QCOMPARE(record.fullSize(), quint64(5320));

    ZQFile missing;
    missing.setIsDirectory(true);
    missing.setNativePath(root + "/nowhere");
    missing.calculateFullSize();
    QCOMPARE(missing.fullSize(), 0u);
    QCOMPARE(missing.size(), u"0"_qs);
}

// A listed record shares one block with its path's bytes and reads its name
// from them; a new path keeps the name unless a new one comes with it, and
// copies of the first path outlive the record.
void tst_FileList::recordAndItsPath_data()
{
    QTest::addColumn<QByteArray>("folder");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("newPath");
    QTest::addColumn<QString>("newName"); // null: the path alone changes
    QTest::addColumn<QString>("result");
    // The inode the listing read (0: none), kept beside the path in 32 bits.
    QTest::addColumn<quint64>("inode");
    QTest::addColumn<bool>("kept");
    const QString undecodable = u"x"_s + QChar(0xdcff);
    // Bytes escaped one by one that make "é" on disk: the name keeps them.
    const QString escaped = u"b"_s + QChar(0xdcc3) + QChar(0xdca9);
    const auto row = [](const char *tag, const QByteArray &folder, const QByteArray &name,
                        const QByteArray &path, const QByteArray &newPath, const QString &newName,
                        const QString &result, quint64 inode = 0, bool kept = false) {
        QTest::newRow(tag) << folder << name << path << newPath << newName << result << inode
                           << kept;
    };
    row("renamed in place", "/t", "a", "/t/a", "/t/b", QString(), u"a"_s, 0xffffffff, true);
    row("renamed with it", "/t", "a", "/t/a", "/t/b", u"b"_s, u"b"_s, 1, true);
    row("named apart", "/t", "a", "/t/a", "/t/b", u"c"_s, u"c"_s);
    row("not UTF-8, moved", "/t\xE9", "x\xFF", "/t\xE9/x\xFF", "/u/x\xFF", QString(), undecodable,
        quint64(1) << 32, false);
    row("not UTF-8, renamed", "/", "a", "/a", "/x\xFF", undecodable, undecodable);
    row("escaped UTF-8", "/t", "a", "/t/a", "/t/b\xC3\xA9", escaped, escaped);
    row("path alone", "/t/d/", "", "/t/d/", "/t/d", QString(), u"d"_s);
}

void tst_FileList::recordAndItsPath()
{
    QFETCH(QByteArray, folder);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, newPath);
    QFETCH(QString, newName);
    QFETCH(quint64, inode);
    QFETCH(bool, kept);
    const qint64 born = -1709644029000000001; // every byte of it counts
    auto made = inode == 0 ? ZQFile::atPath(folder, name, 7, 86400000)
                           : ZQFile::atPath(folder, name, 7, 86400000, {inode, born});
    QCOMPARE(made->nativePath(), path);
    QCOMPARE(made->fileTime(), 86400000);
    QByteArray keptPath = made->nativePath();
    QByteArray grown = made->nativePath();
    grown.append('~');
    FileList list;
    ZQFile *file = list.append(std::move(made));
    if (newName.isNull())
        list.setNativePath(file, newPath);
    else
        list.setNativePath(file, newPath, newName);
    QTEST(file->name(), "result");
    QVERIFY(list.containsPath(newPath) && !list.containsPath(path));
    // A move keeps the file it is.
    QCOMPARE(file->listedIdentity().has_value(), kept);
    if (kept) {
        QCOMPARE(file->listedIdentity()->inode, inode);
        QCOMPARE(file->listedIdentity()->bornNsecs, born);
    }
    list.removeFiles({file});
    // The last owner of the block changes it in place.
    QCOMPARE(keptPath, path);
    keptPath.append("/more");
    QCOMPARE(keptPath, path + "/more");
    QCOMPARE(grown, path + '~');
}

QTEST_GUILESS_MAIN(tst_FileList)
#include "tst_filelist.moc"
