// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/filelist.h"
#include "files/zqfile.h"

#include <QTest>

// Natural order of the Old Name and Location sorts, and the counter index of
// each row when the counter restarts in every folder.
class tst_FileListOrder : public QObject
{
    Q_OBJECT
private slots:
    void naturalOrder_data();
    void naturalOrder();
    void counterPerFolder_data();
    void counterPerFolder();
    void counterPerFolderFollowsTheList();
};

namespace {

void fill(FileList &list, const QList<QByteArray> &paths)
{
    for (const QByteArray &path : paths) {
        auto file = std::make_unique<ZQFile>();
        file->setNativePath(path);
        file->setName(QString::fromUtf8(path.mid(path.lastIndexOf('/') + 1)));
        list.appendUnchecked(std::move(file));
    }
}

QList<QByteArray> shown(const FileList &list)
{
    QList<QByteArray> paths;
    for (qint64 row = 0; row < list.count(); ++row)
        paths << list.fileAtIndex(row)->nativePath();
    return paths;
}

} // namespace

void tst_FileListOrder::naturalOrder_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QList<QByteArray>>("paths");
    QTest::addColumn<QList<QByteArray>>("expected");
    QTest::newRow("values, not characters")
        << FileList::OldName << QList<QByteArray>{"/d/a10", "/d/a2", "/d/a1"}
        << QList<QByteArray>{"/d/a1", "/d/a2", "/d/a10"};
    QTest::newRow("equal values by length")
        << FileList::OldName << QList<QByteArray>{"/d/a002", "/d/a02", "/d/a2"}
        << QList<QByteArray>{"/d/a2", "/d/a02", "/d/a002"};
    QTest::newRow("zero and no digits")
        << FileList::OldName << QList<QByteArray>{"/d/a0", "/d/a", "/d/a00", "/d/ab"}
        << QList<QByteArray>{"/d/a", "/d/a0", "/d/a00", "/d/ab"};
    QTest::newRow("digits sort where they always did")
        << FileList::OldName << QList<QByteArray>{"/d/a:", "/d/a9", "/d/a-"}
        << QList<QByteArray>{"/d/a-", "/d/a9", "/d/a:"};
    QTest::newRow("several runs") << FileList::OldName
                                  << QList<QByteArray>{"/d/v1.10", "/d/v1.9", "/d/v1.2.3"}
                                  << QList<QByteArray>{"/d/v1.2.3", "/d/v1.9", "/d/v1.10"};
    QTest::newRow("longer than 64 bits")
        << FileList::OldName
        << QList<QByteArray>{"/d/x123456789012345678901", "/d/x99999999999999999999"}
        << QList<QByteArray>{"/d/x99999999999999999999", "/d/x123456789012345678901"};
    QTest::newRow("case is still ignored")
        << FileList::OldName << QList<QByteArray>{"/d/B10", "/d/b9", "/d/A10"}
        << QList<QByteArray>{"/d/A10", "/d/b9", "/d/B10"};
    QTest::newRow("non-ASCII name") << FileList::OldName
                                    << QList<QByteArray>{"/d/\xc3\xa9"
                                                         "10",
                                                         "/d/\xc3\xa9"
                                                         "9"}
                                    << QList<QByteArray>{"/d/\xc3\xa9"
                                                         "9",
                                                         "/d/\xc3\xa9"
                                                         "10"};
    QTest::newRow("location: folders by value")
        << FileList::Location << QList<QByteArray>{"/d10/a", "/d9/b", "/d9/a"}
        << QList<QByteArray>{"/d9/a", "/d9/b", "/d10/a"};
}

void tst_FileListOrder::naturalOrder()
{
    QFETCH(QString, column);
    QFETCH(QList<QByteArray>, paths);
    QFETCH(QList<QByteArray>, expected);
    FileList list;
    fill(list, paths);
    list.setNaturalOrder(true);
    list.setLastColumn(column);
    list.performSort();
    QCOMPARE(shown(list), expected);
}

void tst_FileListOrder::counterPerFolder_data()
{
    QTest::addColumn<bool>("descending");
    QTest::addColumn<bool>("perFolder");
    QTest::addColumn<QList<qint64>>("expected");
    // Stored: /a/1 /b/1 /a/2 /a/3 /b/2
    QTest::newRow("ascending, per folder") << false << true << QList<qint64>{0, 0, 1, 2, 1};
    QTest::newRow("descending, per folder") << true << true << QList<qint64>{0, 0, 1, 1, 2};
    QTest::newRow("ascending, whole list") << false << false << QList<qint64>{0, 1, 2, 3, 4};
    QTest::newRow("descending, whole list") << true << false << QList<qint64>{0, 1, 2, 3, 4};
}

void tst_FileListOrder::counterPerFolder()
{
    QFETCH(bool, descending);
    QFETCH(bool, perFolder);
    QFETCH(QList<qint64>, expected);
    FileList list;
    fill(list, {"/a/1", "/b/1", "/a/2", "/a/3", "/b/2"});
    list.setSortDescending(descending);
    QList<qint64> indexes;
    for (qint64 row = 0; row < list.count(); ++row)
        indexes << list.counterIndex(row, perFolder);
    QCOMPARE(indexes, expected);
}

void tst_FileListOrder::counterPerFolderFollowsTheList()
{
    FileList list;
    fill(list, {"/a/x", "/b/x"});
    QCOMPARE(list.counterIndex(1, true), 0);
    fill(list, {"/b/y"});
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

QTEST_GUILESS_MAIN(tst_FileListOrder)
#include "tst_filelistorder.moc"
