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
        const bool grow = indexed.empty() || random.bounded(100) < 55;
        if (grow) {
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
            const size_t victim = size_t(random.bounded(qsizetype(indexed.size())));
            const QByteArray path = indexed[victim]->nativePath();
            index.remove(indexed[victim].get(), path);
            --holders[path];
            indexed.erase(indexed.begin() + qsizetype(victim));
        }
        QCOMPARE(index.size(), qsizetype(indexed.size()));
        if (step % 97 == 0) {
            for (const QByteArray &path : std::as_const(pool))
                QCOMPARE(index.contains(path), holders[path] > 0);
        }
    }
    for (const auto &file : indexed)
        index.remove(file.get(), file->nativePath());
    QCOMPARE(index.size(), 0);
    QVERIFY(!index.contains(pool[0]));
}

void tst_PathIndex::pathChangedBehindTheIndex()
{
    PathIndex index;
    ZQFile file;
    file.setNativePath("/a");
    QVERIFY(index.insertUnique(&file));
    file.setNativePath("/b");
    // Removed under a wrong path: still found, never left dangling.
    index.remove(&file, file.nativePath());
    QCOMPARE(index.size(), 0);
    QVERIFY(!index.contains("/a"));
}

QTEST_GUILESS_MAIN(tst_PathIndex)
#include "tst_pathindex.moc"
