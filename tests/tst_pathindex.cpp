#include "pathindex.h"
#include "zqfile.h"

#include <QRandomGenerator>
#include <QTest>

#include <map>
#include <memory>
#include <vector>

class tst_PathIndex : public QObject
{
    Q_OBJECT
private slots:
    void agreesWithReference();
    void pathChangedBehindTheIndex();
};

// Random insertions and removals over a small set of paths, so that the
// table grows, probe runs wrap and removals pull slots back, checked against
// a plain count of the records holding each path.
void tst_PathIndex::agreesWithReference()
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
            index.remove(victim->get(), (*victim)->nativePath());
            indexed.erase(victim);
        }
        QCOMPARE(index.size(), qsizetype(indexed.size()));
        for (int i = 0; step % 97 == 0 && i < pool.size(); ++i)
            QCOMPARE(index.contains(pool[i]), holders[pool[i]] > 0);
    }
}

// Removed under a wrong path: still found, never left dangling.
void tst_PathIndex::pathChangedBehindTheIndex()
{
    PathIndex index;
    ZQFile file;
    file.setNativePath("/a");
    QVERIFY(index.insertUnique(&file));
    file.setNativePath("/b");
    index.remove(&file, file.nativePath());
    QCOMPARE(index.size(), 0);
    QVERIFY(!index.contains("/a"));
}

QTEST_GUILESS_MAIN(tst_PathIndex)
#include "tst_pathindex.moc"
