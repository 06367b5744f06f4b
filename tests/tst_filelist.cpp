#include "filelist.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QTest>

#include <map>

using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<ZQFile> record(const QByteArray &path, quint64 size = 0)
{
    auto file = std::make_unique<ZQFile>();
    file->setNativePath(path);
    file->setName(QString::fromUtf8(file->nativeName()));
    file->setFullSize(size);
    return file;
}

// The names of the rows, top to bottom.
QStringList displayedNames(const FileList &list)
{
    QStringList names;
    for (qint64 row = 0; row < list.count(); ++row)
        names << list.fileAtIndex(row)->name();
    return names;
}

} // namespace

class tst_FileList : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void countText_data();
    void countText();
    void displayOrder();
    void duplicatePaths();
    void pathSharedAfterMove();
    void pathChangesInOneGo();
    void lookupDuringPathChanges();
    void headerClicks_data();
    void headerClicks();
    void comparisons_data();
    void comparisons();
    void sortAgreesWithComparison_data();
    void sortAgreesWithComparison();
    void selectionBySets();
    void removeByIdentity();
    void clearKeepsSortState();
};

void tst_FileList::initTestCase()
{
    // A grouping locale, so that a grouped count would show.
    QLocale::setDefault(QLocale(QLocale::English));
}

void tst_FileList::countText_data()
{
    QTest::addColumn<qsizetype>("count");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << qsizetype(0) << u"No files"_s;
    QTest::newRow("one") << qsizetype(1) << u"1 file"_s;
    QTest::newRow("two") << qsizetype(2) << u"2 files"_s;
    QTest::newRow("no grouping") << qsizetype(1500) << u"1500 files"_s;
    QTest::newRow("million") << qsizetype(1000000) << u"1000000 files"_s;
}

void tst_FileList::countText()
{
    QFETCH(qsizetype, count);
    QFETCH(QString, expected);
    QCOMPARE(FileList::countText(count), expected);
}

void tst_FileList::displayOrder()
{
    FileList list;
    ZQFile *first = list.append(record("/t/one"));
    ZQFile *second = list.append(record("/t/two"));
    ZQFile *third = list.append(record("/t/three"));
    QCOMPARE(displayedNames(list), QStringList({u"one"_s, u"two"_s, u"three"_s}));
    QCOMPARE(list.rowOfFile(third), 2);

    list.setSortDescending(true);
    QCOMPARE(displayedNames(list), QStringList({u"three"_s, u"two"_s, u"one"_s}));
    QCOMPARE(list.fileAtIndex(0), third);
    QCOMPARE(list.fileAtIndex(2), first);
    QCOMPARE(list.rowOfFile(first), 2);
    QCOMPARE(list.rowOfFile(second), 1);
    QCOMPARE(list.fileAtIndex(3), nullptr);
    QCOMPARE(list.fileAtIndex(-1), nullptr);

    // Descending: an addition shows in the top row; ascending, at the bottom
    // even right after a sort.
    ZQFile *fourth = list.append(record("/t/a-four"));
    QCOMPARE(list.fileAtIndex(0), fourth);
    QCOMPARE(list.rowOfFile(fourth), 0);
    list.setSortDescending(false);
    list.setLastColumn(FileList::OldName);
    list.performSort();
    ZQFile *fifth = list.append(record("/t/a-five"));
    QCOMPARE(displayedNames(list),
             QStringList({u"a-four"_s, u"one"_s, u"three"_s, u"two"_s, u"a-five"_s}));
    QCOMPARE(list.rowOfFile(fifth), 4);

    ZQFile stranger;
    QCOMPARE(list.rowOfFile(&stranger), -1);
}

void tst_FileList::duplicatePaths()
{
    FileList list;
    QVERIFY(list.append(record("/t/a.txt")));
    QCOMPARE(list.append(record("/t/a.txt")), nullptr);
    // Exact bytes: no case folding, no normalisation.
    QVERIFY(list.append(record("/t/A.txt")));
    QVERIFY(list.append(record("/t//a.txt")));
    QVERIFY(list.append(record("/t/caf\xC3\xA9")));
    QVERIFY(list.append(record("/t/cafe\xCC\x81")));
    QVERIFY(list.append(record("/t/caf\xE9")));
    QCOMPARE(list.append(record("/t/caf\xE9")), nullptr);
    QCOMPARE(list.count(), 6);

    // A rename moves the record's entry in the index.
    ZQFile *file = list.fileAtIndex(0);
    list.setNativePath(file, "/t/b.txt");
    QCOMPARE(file->nativePath(), QByteArray("/t/b.txt"));
    QVERIFY(!list.containsPath("/t/a.txt"));
    QVERIFY(list.containsPath("/t/b.txt"));
    QVERIFY(list.append(record("/t/a.txt")));
    QCOMPARE(list.append(record("/t/b.txt")), nullptr);
}

void tst_FileList::pathSharedAfterMove()
{
    // A record renamed onto the path of a listed file that had vanished: the
    // path stays indexed until neither record names it.
    FileList list;
    ZQFile *vanished = list.append(record("/t/x"));
    ZQFile *moved = list.append(record("/t/y"));
    list.setNativePath(moved, "/t/x");
    QVERIFY(!list.containsPath("/t/y"));
    list.removeFiles({vanished});
    QVERIFY(list.containsPath("/t/x"));
    QCOMPARE(list.append(record("/t/x")), nullptr);
    list.removeFiles({moved});
    QVERIFY(!list.containsPath("/t/x"));
    QVERIFY(list.isEmpty());
}

// A rename run changes many paths at once; the index must follow them all.
void tst_FileList::pathChangesInOneGo()
{
    FileList list;
    ZQFile *a = list.append(record("/t/a"));
    ZQFile *b = list.append(record("/t/b"));
    list.beginPathChanges();
    list.setNativePath(a, "/t/b2");
    list.setNativePath(b, "/t/a");
    list.endPathChanges();
    QVERIFY(list.containsPath("/t/a"));
    QVERIFY(list.containsPath("/t/b2"));
    QVERIFY(!list.containsPath("/t/b"));
    QCOMPARE(list.append(record("/t/b2")), nullptr);
    QVERIFY(list.append(record("/t/b")) != nullptr);
    list.removeFiles({a});
    QVERIFY(!list.containsPath("/t/b2"));
    QCOMPARE(list.count(), 2);
}

// A lookup between the changes (a progress callback may make one) must not
// freeze the index in its old state for the rest of them.
void tst_FileList::lookupDuringPathChanges()
{
    FileList list;
    ZQFile *a = list.append(record("/t/a"));
    ZQFile *b = list.append(record("/t/b"));
    list.beginPathChanges();
    list.setNativePath(a, "/t/a2");
    QVERIFY(list.containsPath("/t/a2"));
    QVERIFY(!list.containsPath("/t/a"));
    list.setNativePath(b, "/t/b2");
    QVERIFY(list.containsPath("/t/b2"));
    list.endPathChanges();
    QVERIFY(list.containsPath("/t/a2"));
    QVERIFY(list.containsPath("/t/b2"));
    QVERIFY(!list.containsPath("/t/b"));
    QVERIFY(list.append(record("/t/b")) != nullptr);
    QCOMPARE(list.append(record("/t/b2")), nullptr);
    QCOMPARE(list.count(), 3);
}

void tst_FileList::headerClicks_data()
{
    QTest::addColumn<QString>("startColumn");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QStringList>("expectedRows");
    QTest::addColumn<QString>("expectedLastColumn");
    QTest::addColumn<bool>("expectedDescending");
    QTest::addColumn<bool>("lastChanged");
    QTest::addColumn<bool>("lastSorted");
    QTest::addColumn<QString>("lastCleared");

    // Added in this order: b.txt (300 bytes), C.txt (100), a.txt (200).
    const QString old = FileList::OldName;
    QTest::newRow("window start: Old Name flips, no sort")
        << old << QStringList{old} << QStringList{u"a.txt"_s, u"C.txt"_s, u"b.txt"_s} << old << true
        << true << false << QString();
    QTest::newRow("Old Name twice: order of addition again")
        << old << QStringList{old, old} << QStringList{u"b.txt"_s, u"C.txt"_s, u"a.txt"_s} << old
        << false << true << false << QString();
    QTest::newRow("fresh list: Old Name sorts")
        << QString() << QStringList{old} << QStringList{u"a.txt"_s, u"b.txt"_s, u"C.txt"_s} << old
        << false << true << true << QString();
    QTest::newRow("another column sorts ascending")
        << old << QStringList{u"Size"_s} << QStringList{u"C.txt"_s, u"a.txt"_s, u"b.txt"_s}
        << u"Size"_s << false << true << true << old;
    QTest::newRow("Size twice: largest on top") << old << QStringList{u"Size"_s, u"Size"_s}
                                                << QStringList{u"b.txt"_s, u"a.txt"_s, u"C.txt"_s}
                                                << u"Size"_s << true << true << false << QString();
    QTest::newRow("descending, then another column: ascending")
        << old << QStringList{old, u"Size"_s} << QStringList{u"C.txt"_s, u"a.txt"_s, u"b.txt"_s}
        << u"Size"_s << false << true << true << old;
    QTest::newRow("sort by name: another column, then Old Name")
        << old << QStringList{u"Size"_s, old} << QStringList{u"a.txt"_s, u"b.txt"_s, u"C.txt"_s}
        << old << false << true << true << u"Size"_s;
    QTest::newRow("New Name changes nothing")
        << old << QStringList{old, u"NewName"_s} << QStringList{u"a.txt"_s, u"C.txt"_s, u"b.txt"_s}
        << old << true << false << false << QString();
    QTest::newRow("Location") << old << QStringList{u"Location"_s}
                              << QStringList{u"C.txt"_s, u"a.txt"_s, u"b.txt"_s} << u"Location"_s
                              << false << true << true << old;
}

void tst_FileList::headerClicks()
{
    QFETCH(QString, startColumn);
    QFETCH(QStringList, clicks);
    QFETCH(QStringList, expectedRows);
    QFETCH(QString, expectedLastColumn);
    QFETCH(bool, expectedDescending);
    QFETCH(bool, lastChanged);
    QFETCH(bool, lastSorted);
    QFETCH(QString, lastCleared);

    FileList list;
    list.append(record("/z/b.txt", 300));
    list.append(record("/x/C.txt", 100));
    list.append(record("/y/a.txt", 200));
    list.setLastColumn(startColumn);
    FileList::HeaderClick click;
    for (const QString &column : clicks)
        click = list.tableView(column);

    QCOMPARE(displayedNames(list), expectedRows);
    QCOMPARE(list.lastColumn(), expectedLastColumn);
    QCOMPARE(list.sortDescending(), expectedDescending);
    QCOMPARE(click.changed, lastChanged);
    QCOMPARE(click.sorted, lastSorted);
    QCOMPARE(click.clearedColumn, lastCleared);
    // The indicator stays on lastColumn, by the current direction.
    QCOMPARE(click.indicatorColumn, expectedLastColumn);
    QCOMPARE(click.descending, expectedDescending);
}

void tst_FileList::comparisons_data()
{
    // Each row: the column, the keys in order of addition, the order after
    // the sort (indexes into the keys). Ties keep their order of addition.
    QTest::addColumn<QString>("column");
    QTest::addColumn<QByteArrayList>("keys");
    QTest::addColumn<QList<int>>("expected");

    QTest::newRow("digits are characters: a10 before a9")
        << u"OldName"_s << QByteArrayList{"a9", "a10"} << QList<int>{1, 0};
    QTest::newRow("case only: the same")
        << u"OldName"_s << QByteArrayList{"abc.txt", "ABC.txt"} << QList<int>{0, 1};
    QTest::newRow("case only, other way: the same")
        << u"OldName"_s << QByteArrayList{"ABC.txt", "abc.txt"} << QList<int>{0, 1};
    QTest::newRow("folded to lower case: _ before a before B")
        << u"OldName"_s << QByteArrayList{"B", "a", "_"} << QList<int>{2, 1, 0};
    QTest::newRow("prefix first") << u"OldName"_s << QByteArrayList{"ab", "a", "abc"}
                                  << QList<int>{1, 0, 2};
    QTest::newRow("accented letters after ASCII, case-insensitive")
        << u"OldName"_s << QByteArrayList{"\xC3\x89t\xC3\xA9", "z", "\xC3\xA9t\xC3\xA9"}
        << QList<int>{1, 0, 2};
    QTest::newRow("not locale-aware: o-umlaut after p")
        << u"OldName"_s << QByteArrayList{"\xC3\xB6", "p", "o"} << QList<int>{2, 1, 0};
    QTest::newRow("size unread sorts first")
        << u"Size"_s << QByteArrayList{"5", "0", "1234"} << QList<int>{1, 0, 2};
    QTest::newRow("size read as signed")
        << u"Size"_s << QByteArrayList{"1", "9223372036854775808", "0"} << QList<int>{1, 2, 0};
    QTest::newRow("empty date first, same minute the same")
        << u"Date"_s
        << QByteArrayList{"2024/03/05 14:07", "", "2023/12/31 23:59", "2024/03/05 14:07"}
        << QList<int>{1, 2, 0, 3};
    QTest::newRow("location case-insensitive over the whole path")
        << u"Location"_s << QByteArrayList{"/x/B/a", "/x/a/z", "/x/b/0"} << QList<int>{1, 2, 0};
    QTest::newRow("location: undecodable byte shows as U+FFFD, after ASCII")
        << u"Location"_s << QByteArrayList{"/t/caf\xE9", "/t/cafz", "/t/caf\xEF\xBF\xBD"}
        << QList<int>{1, 0, 2};
    QTest::newRow("a column without comparison leaves the order")
        << u"Colour"_s << QByteArrayList{"b", "a"} << QList<int>{0, 1};
    QTest::newRow("no column leaves the order")
        << QString() << QByteArrayList{"b", "a"} << QList<int>{0, 1};
}

void tst_FileList::comparisons()
{
    QFETCH(QString, column);
    QFETCH(QByteArrayList, keys);
    QFETCH(QList<int>, expected);

    FileList list;
    std::map<const ZQFile *, int> place;
    for (int i = 0; i < keys.size(); ++i) {
        auto file = std::make_unique<ZQFile>();
        const QByteArray &key = keys[i];
        file->setNativePath("/f/" + QByteArray::number(i));
        if (column == FileList::Size)
            file->setFullSize(key.toULongLong());
        else if (column == FileList::Date)
            file->setDate(QString::fromUtf8(key));
        else if (column == FileList::Location)
            file->setNativePath(key);
        else
            file->setName(QString::fromUtf8(key));
        place[file.get()] = i;
        list.append(std::move(file));
    }
    list.setLastColumn(column);
    list.performSort();
    QList<int> order;
    for (const auto &file : list.contentsArray())
        order << place[file.get()];
    QCOMPARE(order, expected);
}

void tst_FileList::sortAgreesWithComparison_data()
{
    QTest::addColumn<QString>("column");
    QTest::newRow("OldName") << u"OldName"_s;
    QTest::newRow("Location") << u"Location"_s;
    QTest::newRow("Date") << u"Date"_s;
    QTest::newRow("Size") << u"Size"_s;
}

// The sort works on keys made once per record; they must give exactly the
// order of the comparisons, also for letters whose case folding is special,
// surrogate pairs, lone surrogates and bytes that are not UTF-8.
void tst_FileList::sortAgreesWithComparison()
{
    QFETCH(QString, column);
    const QStringList pool = {u"a"_s,
                              u"A"_s,
                              u"b"_s,
                              u"Z"_s,
                              u"_"_s,
                              u"0"_s,
                              u"."_s,
                              u" "_s,
                              u"~"_s,
                              u"\u00DF"_s,
                              u"\u1E9E"_s,
                              u"\u017F"_s,
                              u"s"_s,
                              u"S"_s,
                              u"\u212A"_s,
                              u"k"_s,
                              u"\u0130"_s,
                              u"i"_s,
                              u"\u0131"_s,
                              u"I"_s,
                              u"\u03A3"_s,
                              u"\u03C3"_s,
                              u"\u03C2"_s,
                              u"\u01C4"_s,
                              u"\u01C5"_s,
                              u"\u01C6"_s,
                              u"\u00B5"_s,
                              u"\u03BC"_s,
                              u"\u212B"_s,
                              u"\u00E5"_s,
                              u"\u00FF"_s,
                              u"\u0178"_s,
                              u"\uFB00"_s,
                              u"\u0301"_s,
                              u"\u00E9"_s,
                              u"\uFFFF"_s,
                              u"\uFFFD"_s,
                              QString(QChar(0xD801)),
                              QString(QChar(0xDC00)),
                              QString::fromUcs4(U"\U00010400"),
                              QString::fromUcs4(U"\U00010428"),
                              QString::fromUcs4(U"\U0001E900"),
                              QString::fromUcs4(U"\U0001E922"),
                              QString::fromUcs4(U"\U0001F600"),
                              u"\u0100"_s,
                              u"\u07FF"_s,
                              u"\u0800"_s};
    const QByteArrayList bytePool = {"a",
                                     "B",
                                     "/",
                                     "\xE9",
                                     "\xC3\xA9",
                                     "\xC3\x89",
                                     "\xFF",
                                     "\xED\xA0\x80",
                                     "\xF0\x90\x90\x80",
                                     "\xF0\x90\x90\xA8",
                                     "\xE2\x84\xAA",
                                     "k"};
    QRandomGenerator random(20240305);
    FileList list;
    std::map<const ZQFile *, int> place;
    for (int i = 0; i < 3000; ++i) {
        auto file = std::make_unique<ZQFile>();
        const int length = random.bounded(5);
        if (column == FileList::Location) {
            QByteArray path = "/";
            for (int c = 0; c < length; ++c)
                path += bytePool[random.bounded(bytePool.size())];
            path += "/" + QByteArray::number(i); // unique paths, shared prefixes
            file->setNativePath(path);
        } else if (column == FileList::Size) {
            const quint64 sizes[] = {0, 1, 2, 1234, quint64(1) << 63, ~quint64(0), 1000000};
            file->setNativePath("/s/" + QByteArray::number(i));
            file->setFullSize(sizes[random.bounded(7)]);
        } else {
            QString text;
            for (int c = 0; c < length; ++c)
                text += pool[random.bounded(pool.size())];
            file->setNativePath("/n/" + QByteArray::number(i));
            if (column == FileList::Date)
                file->setDate(text);
            else
                file->setName(text);
        }
        place[file.get()] = i;
        QVERIFY(list.append(std::move(file)));
    }
    list.setLastColumn(column);
    list.performSort();

    const auto compare = [&](const ZQFile &a, const ZQFile &b) {
        if (column == FileList::Location)
            return a.LocationComparison(b);
        if (column == FileList::Date)
            return a.DateComparison(b);
        if (column == FileList::Size)
            return a.SizeComparison(b);
        return a.OldNameComparison(b);
    };
    const auto &files = list.contentsArray();
    int ties = 0;
    for (size_t i = 1; i < files.size(); ++i) {
        const int order = compare(*files[i - 1], *files[i]);
        if (order > 0)
            QFAIL(qPrintable(QStringLiteral("out of order at %1").arg(i)));
        if (order == 0) {
            ++ties;
            QVERIFY(place[files[i - 1].get()] < place[files[i].get()]);
        }
    }
    if (column != FileList::Location)
        QVERIFY(ties > 0);
}

void tst_FileList::selectionBySets()
{
    FileList list;
    QList<ZQFile *> stored;
    for (int i = 0; i < 5; ++i)
        stored << list.append(record("/s/" + QByteArray::number(i)));
    QCOMPARE(list.getSelectedFilesBySets({}), QList<ZQFile *>());
    QCOMPARE(list.getSelectedFilesBySets({3, 1}), QList<ZQFile *>({stored[1], stored[3]}));

    // Rows 0 and 2 in descending direction: stored places n - 1 and n - 3.
    // A set holds a row once; rows outside the list are not rows.
    list.setSortDescending(true);
    QCOMPARE(list.getSelectedFilesBySets({2, 0, 2, 5, -1}),
             QList<ZQFile *>({stored[4], stored[2]}));
}

void tst_FileList::removeByIdentity()
{
    FileList list;
    QList<ZQFile *> stored;
    for (const char *name : {"a", "b", "c", "d", "e"})
        stored << list.append(record(QByteArray("/r/") + name));
    list.setSortDescending(true);

    list.removeFiles(list.getSelectedFilesBySets({0, 2}));
    QCOMPARE(displayedNames(list), QStringList({u"d"_s, u"b"_s, u"a"_s}));
    QVERIFY(!list.containsPath("/r/e"));
    QVERIFY(!list.containsPath("/r/c"));
    QVERIFY(list.containsPath("/r/d"));
    QCOMPARE(list.rowOfFile(stored[0]), 2);

    // Nothing selected: nothing removed.
    list.removeFiles({});
    QCOMPARE(list.count(), 3);
    // A removed path can be listed again.
    QVERIFY(list.append(record("/r/e")));
    QCOMPARE(displayedNames(list), QStringList({u"e"_s, u"d"_s, u"b"_s, u"a"_s}));
}

void tst_FileList::clearKeepsSortState()
{
    FileList list;
    list.append(record("/c/1", 1));
    list.append(record("/c/2", 2));
    list.setLastColumn(FileList::OldName);
    list.tableView(FileList::Size);
    list.tableView(FileList::Size);
    list.clear();
    QVERIFY(list.isEmpty());
    QVERIFY(!list.containsPath("/c/1"));
    QCOMPARE(list.lastColumn(), FileList::Size);
    QVERIFY(list.sortDescending());
    QVERIFY(list.append(record("/c/1")));
}

QTEST_GUILESS_MAIN(tst_FileList)
#include "tst_filelist.moc"
