#include "asnobody.h"
#include "filelist.h"
#include "namecomposer.h"
#include "nativemove.h"
#include "renamelog.h"
#include "renamerun.h"
#include "scratchdir.h"
#include "scriptedprompt.h"
#include "userdefaults.h"

#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;
using RenameRun::Outcome;

namespace {

void writeFile(const QByteArray &path, const QByteArray &content)
{
    std::ofstream out(path.toStdString(), std::ios::binary);
    out.write(content.constData(), content.size());
}

QByteArray readFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return QByteArray::fromStdString(
        std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

void makeFolders(const QByteArray &filePath)
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(filePath.toStdString()).parent_path(),
                                        error);
}

// Every file below root as "relative path=content", names shown with their
// bad bytes escaped, sorted.
QStringList disk(const QByteArray &root)
{
    namespace fs = std::filesystem;
    QStringList files;
    const fs::path base(root.toStdString());
    for (const auto &entry : fs::recursive_directory_iterator(base)) {
        if (!entry.is_regular_file())
            continue;
        const QByteArray relative =
            QByteArray::fromStdString(fs::relative(entry.path(), base).native());
        files << RenameLog::displayPath(relative) + u'=' +
                     RenameLog::displayPath(readFile(entry.path()));
    }
    files.sort();
    return files;
}

// Lists each path below root as a record, with its relative path as the
// file's content, so that an overwrite or a lost file shows on disk.
ZQFile *listFile(FileList &list, const QByteArray &root, const QByteArray &relative)
{
    const QByteArray path = root + '/' + relative;
    makeFolders(path);
    writeFile(path, relative);
    auto file = std::make_unique<ZQFile>();
    file->setNativePath(path);
    file->setName(QString::fromUtf8(file->nativeName()));
    file->deriveDisplayExtension();
    file->setAttributes(quint64(relative.size()), 1700000000000);
    return list.append(std::move(file));
}

QStringList names(const FileList &list)
{
    QStringList result;
    for (const auto &file : list.contentsArray())
        result << file->name();
    return result;
}

RenameSettings settings(const QString &nameTemplate, const QString &extTemplate = u"[E]"_s,
                        qint32 start = 1)
{
    RenameSettings values;
    values.nameTemplate = nameTemplate;
    values.extTemplate = extTemplate;
    values.startCounter = start;
    return values;
}

// Captures the log lines of one test.
class LogCapture
{
public:
    LogCapture()
    {
        m_old = RenameLog::setSink([this](const QString &line) { lines << line; });
    }
    ~LogCapture() { RenameLog::setSink(m_old); }
    QStringList lines;

private:
    RenameLog::Sink m_old;
};

} // namespace

class tst_RenameRun : public QObject
{
    Q_OBJECT

private slots:
    void accessRoot_data();
    void accessRoot();
    void refusalReason_data();
    void refusalReason();
    void emptyListDoesNothing();
    void faults_data();
    void faults();
    void refusedNamesStayPut();
    void descendingAppliesThePreview();
    void handOverAtBatchEdges_data();
    void handOverAtBatchEdges();
    void exceptionFromANameStopsTheMoves();
    void exceptionFromProgressKeepsRecordsTrue();
    void folderWithoutWritePermission();
    void reportTexts();
    void renameFileNeverReplaces();
    void sameFileUnderTwoNames();
    void temporaryNameRoute();
    void linkFallback();
    void grantAskedOnceThenReused();
    void grantDeclinedMovesNothing();
    void grantForAnotherFolderAsksAgain();
    void grantOfAReplacedFolderAsksAgain();
};

void tst_RenameRun::accessRoot_data()
{
    QTest::addColumn<QByteArrayList>("paths");
    QTest::addColumn<QByteArray>("root");
    QTest::newRow("one file") << QByteArrayList{"/home/a/Docs/x.txt"} << QByteArray("/home/a/Docs");
    QTest::newRow("one file at the top") << QByteArrayList{"/x.txt"} << QByteArray("/");
    QTest::newRow("one folder") << QByteArrayList{"/home/a/Docs/x.txt", "/home/a/Docs/y.txt"}
                                << QByteArray("/home/a/Docs");
    QTest::newRow("two folders") << QByteArrayList{"/home/a/Docs/x.txt", "/home/a/Pics/y.jpg"}
                                 << QByteArray("/home/a");
    QTest::newRow("unrelated branches")
        << QByteArrayList{"/media/Disk/x", "/home/a/y"} << QByteArray("/");
    QTest::newRow("whole components only")
        << QByteArrayList{"/home/ab/x", "/home/a/y"} << QByteArray("/home");
    QTest::newRow("case counts") << QByteArrayList{"/home/A/x", "/home/a/y"} << QByteArray("/home");
    QTest::newRow("deeper file later")
        << QByteArrayList{"/d/x", "/d/e/f/y", "/d/e/z"} << QByteArray("/d");
    QTest::newRow("bytes not UTF-8")
        << QByteArrayList{"/d/caf\xe9/x", "/d/caf\xe9/y"} << QByteArray("/d/caf\xe9");
    QTest::newRow("bad bytes differ")
        << QByteArrayList{"/d/caf\xe9/x", "/d/caf\xe8/y"} << QByteArray("/d");
}

void tst_RenameRun::accessRoot()
{
    QFETCH(QByteArrayList, paths);
    QFETCH(QByteArray, root);
    QCOMPARE(RenameRun::accessRoot(paths), root);
}

void tst_RenameRun::refusalReason_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty") << QString() << u"The new name is empty."_s;
    QTest::newRow("dot") << u"."_s << u"The new name “.” is not allowed."_s;
    QTest::newRow("dot dot") << u".."_s << u"The new name “..” is not allowed."_s;
    QTest::newRow("slash") << u"../x.txt"_s << u"The new name contains “/”."_s;
    QTest::newRow("NUL") << u"a\0b"_s << u"The new name contains a NUL character."_s;
    QTest::newRow("lone surrogate")
        << u"a"_s + QChar(0xd83d)
        << u"The new name holds half of a character (a lone surrogate)."_s;
    QTest::newRow("256 bytes") << QString(256, u'a') << u"The new name is longer than 255 bytes."_s;
    QTest::newRow("128 two-byte letters")
        << QString(128, u'é') << u"The new name is longer than 255 bytes."_s;
    QTest::newRow("255 bytes") << QString(255, u'a') << QString();
    QTest::newRow("three dots") << u"..."_s << QString();
    QTest::newRow("leading dot") << u".hidden"_s << QString();
    QTest::newRow("emoji pair") << u"😀.txt"_s << QString();
}

void tst_RenameRun::refusalReason()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QCOMPARE(RenameRun::refusalReason(name), reason);
}

void tst_RenameRun::emptyListDoesNothing()
{
    FileList list;
    ScriptedPrompt prompt;
    ScratchDir dir;
    UserDefaults defaults(dir.filePath(u"defaults.conf"_s));
    const RenameRun::Report report =
        RenameRun::clickStart(list, NameComposer(settings(u"x"_s)), &prompt, &defaults);
    QVERIFY(!report.ran);
    QVERIFY(prompt.proposed.isEmpty());
    QVERIFY(prompt.alerts.isEmpty());
}

void tst_RenameRun::faults_data()
{
    QTest::addColumn<QByteArrayList>("listed");
    QTest::addColumn<QByteArrayList>("unlisted");
    QTest::addColumn<QByteArrayList>("removed");
    QTest::addColumn<RenameSettings>("values");
    QTest::addColumn<QStringList>("expectedDisk");
    QTest::addColumn<QStringList>("expectedNames");
    QTest::addColumn<QStringList>("errors");
    QTest::addColumn<int>("renamed");

    const QByteArrayList none;
    QTest::newRow("listed file deleted")
        << QByteArrayList{"a.txt", "b.txt"} << none << QByteArrayList{"a.txt"}
        << settings(u"[N]_x"_s) << QStringList{u"b_x.txt=b.txt"_s}
        << QStringList{u"a.txt"_s, u"b_x.txt"_s} << QStringList{u"No such file or directory"_s}
        << 1;
    QTest::newRow("folder deleted")
        << QByteArrayList{"d1/a.txt", "d1/b.txt", "d2/c.txt"} << none << QByteArrayList{"d1"}
        << settings(u"[N]_x"_s) << QStringList{u"d2/c_x.txt=d2/c.txt"_s}
        << QStringList{u"a.txt"_s, u"b.txt"_s, u"c_x.txt"_s}
        << QStringList{u"No such file or directory"_s, u"No such file or directory"_s} << 1;
    QTest::newRow("target exists, not listed")
        << QByteArrayList{"a.txt", "b.txt"} << QByteArrayList{"a_x.txt"} << none
        << settings(u"[N]_x"_s)
        << QStringList{u"a.txt=a.txt"_s, u"a_x.txt=unlisted"_s, u"b_x.txt=b.txt"_s}
        << QStringList{u"a.txt"_s, u"b_x.txt"_s} << QStringList{u"File exists"_s} << 1;
    QTest::newRow("target exists, listed")
        << QByteArrayList{"a.txt", "a_x.txt"} << none << none << settings(u"[N]_x"_s)
        << QStringList{u"a.txt=a.txt"_s, u"a_x_x.txt=a_x.txt"_s}
        << QStringList{u"a.txt"_s, u"a_x_x.txt"_s} << QStringList{u"File exists"_s} << 1;
    QTest::newRow("counter chain")
        << QByteArrayList{"1.txt", "2.txt"} << none << none << settings(u"[C]"_s, u"[E]"_s, 2)
        << QStringList{u"1.txt=1.txt"_s, u"3.txt=2.txt"_s} << QStringList{u"1.txt"_s, u"3.txt"_s}
        << QStringList{u"File exists"_s} << 1;
    QTest::newRow("same new name")
        << QByteArrayList{"a.txt", "b.txt", "c.txt"} << none << none << settings(u"same"_s)
        << QStringList{u"b.txt=b.txt"_s, u"c.txt=c.txt"_s, u"same.txt=a.txt"_s}
        << QStringList{u"same.txt"_s, u"b.txt"_s, u"c.txt"_s}
        << QStringList{u"File exists"_s, u"File exists"_s} << 1;
    QTest::newRow("name kept") << QByteArrayList{"a.txt", "b.txt"} << none << none
                               << settings(u"[N]"_s)
                               << QStringList{u"a.txt=a.txt"_s, u"b.txt=b.txt"_s}
                               << QStringList{u"a.txt"_s, u"b.txt"_s} << QStringList() << 0;
    QTest::newRow("not UTF-8, default templates")
        << QByteArrayList{"caf\xe9.txt"} << none << none << settings(u"[N]"_s)
        << QStringList{u"caf\\xe9.txt=caf\\xe9.txt"_s} << QStringList{u"caf\uFFFD.txt"_s}
        << QStringList() << 0;
    QTest::newRow("not UTF-8, new template")
        << QByteArrayList{"caf\xe9.txt", "caf\xef\xbf\xbd.txt"} << none << none
        << settings(u"[N]_x"_s)
        << QStringList{u"caf\uFFFD.txt=caf\uFFFD.txt"_s, u"caf\uFFFD_x.txt=caf\\xe9.txt"_s}
        << QStringList{u"caf\uFFFD_x.txt"_s, u"caf\uFFFD.txt"_s} << QStringList{u"File exists"_s}
        << 1;
    QTest::newRow("case only") << QByteArrayList{"Photo.JPG"} << none << none
                               << settings(u"[N]"_s, u"jpg"_s)
                               << QStringList{u"Photo.jpg=Photo.JPG"_s}
                               << QStringList{u"Photo.jpg"_s} << QStringList() << 1;
}

void tst_RenameRun::faults()
{
    QFETCH(QByteArrayList, listed);
    QFETCH(QByteArrayList, unlisted);
    QFETCH(QByteArrayList, removed);
    QFETCH(RenameSettings, values);
    QFETCH(QStringList, expectedDisk);
    QFETCH(QStringList, expectedNames);
    QFETCH(QStringList, errors);
    QFETCH(int, renamed);

    ScratchDir dir;
    FileList list;
    for (const QByteArray &relative : listed)
        QVERIFY(listFile(list, dir.path(), relative));
    for (const QByteArray &relative : unlisted)
        writeFile(dir.path(relative), "unlisted");
    for (const QByteArray &relative : removed)
        std::filesystem::remove_all(dir.path(relative).toStdString());
    QList<QByteArray> oldPaths;
    for (const auto &file : list.contentsArray())
        oldPaths << file->nativePath();

    LogCapture log;
    const RenameRun::Report report =
        RenameRun::clickStart(list, NameComposer(values), nullptr, nullptr);

    QVERIFY(report.ran);
    QCOMPARE(disk(dir.path()), expectedDisk);
    QCOMPARE(names(list), expectedNames);
    QCOMPARE(report.renamed, renamed);
    QCOMPARE(report.failed, errors.size());
    QCOMPARE(log.lines.size(), errors.size());
    QStringList reportedErrors;
    for (qsizetype i = 0; i < report.entries.size(); ++i) {
        const RenameRun::Entry &entry = report.entries[i];
        const ZQFile &file = *list.contentsArray()[size_t(i)];
        QCOMPARE(entry.oldPath, oldPaths[i]);
        if (entry.outcome == Outcome::Renamed) {
            QCOMPARE(file.nativePath(), entry.newPath);
            QVERIFY(list.containsPath(entry.newPath));
        } else {
            QCOMPARE(file.nativePath(), oldPaths[i]);
        }
        if (entry.outcome == Outcome::Failed) {
            reportedErrors << entry.error;
            QCOMPARE(file.name(), entry.oldName);
            QVERIFY(log.lines[reportedErrors.size() - 1].startsWith(
                u"Cannot rename “%1” to “%2”: "_s.arg(RenameLog::displayPath(entry.oldPath),
                                                      entry.newName)));
        }
    }
    QCOMPARE(reportedErrors, errors);
}

void tst_RenameRun::refusedNamesStayPut()
{
    ScratchDir dir;
    FileList list;
    const QByteArrayList files{"a.txt", "b.txt", "c.txt", "d.txt", "e.txt", "f.txt", "g.txt"};
    for (const QByteArray &relative : files)
        listFile(list, dir.path(), relative);
    const QStringList newNames{QString(),          u"."_s,         u".."_s,
                               u"../escape.txt"_s, u"n\0ul.txt"_s, QString(256, u'x'),
                               u"fine.txt"_s};
    LogCapture log;
    const RenameRun::Report report = RenameRun::clickStart(
        list, [&](const ZQFile &, qint64 index) { return newNames[index]; }, nullptr, nullptr);

    QCOMPARE(disk(dir.path()),
             QStringList({u"a.txt=a.txt"_s, u"b.txt=b.txt"_s, u"c.txt=c.txt"_s, u"d.txt=d.txt"_s,
                          u"e.txt=e.txt"_s, u"f.txt=f.txt"_s, u"fine.txt=g.txt"_s}));
    QCOMPARE(names(list), QStringList({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s, u"d.txt"_s, u"e.txt"_s,
                                       u"f.txt"_s, u"fine.txt"_s}));
    QCOMPARE(report.failed, 6);
    QCOMPARE(report.renamed, 1);
    QCOMPARE(log.lines.size(), 6);
    QCOMPARE(log.lines[0], u"Cannot rename “%1” to “”: The new name is empty."_s.arg(
                               QString::fromUtf8(dir.path("a.txt"))));
    QCOMPARE(log.lines[4], u"Cannot rename “%1” to “n\\x00ul.txt”: The new name contains a NUL "
                           u"character."_s.arg(QString::fromUtf8(dir.path("e.txt"))));
}

void tst_RenameRun::descendingAppliesThePreview()
{
    ScratchDir dir;
    FileList list;
    for (const char *relative : {"a.txt", "b.txt", "c.txt"})
        listFile(list, dir.path(), relative);
    list.setSortDescending(true);
    const NameComposer composer(settings(u"[C]-[N]"_s));
    QStringList preview;
    for (qint64 row = 0; row < list.count(); ++row)
        preview << composer.newNameForFile(*list.fileAtIndex(row), row);
    QCOMPARE(preview, QStringList({u"1-c.txt"_s, u"2-b.txt"_s, u"3-a.txt"_s}));

    QList<std::pair<qsizetype, qsizetype>> steps;
    RenameRun::clickStart(list, composer, nullptr, nullptr, [&](qsizetype done, qsizetype total) {
        steps.append({done, total});
    });
    QCOMPARE(steps.last().first, 3);
    QCOMPARE(steps.last().second, 3);
    QStringList shown;
    for (qint64 row = 0; row < list.count(); ++row)
        shown << list.fileAtIndex(row)->name();
    QCOMPARE(shown, preview);
    QCOMPARE(disk(dir.path()),
             QStringList({u"1-c.txt=c.txt"_s, u"2-b.txt=b.txt"_s, u"3-a.txt=a.txt"_s}));
}

namespace {

// Lists `total` files named f0000.txt... in dir.
void listNumbered(FileList &list, const ScratchDir &dir, int total)
{
    for (int i = 0; i < total; ++i)
        listFile(list, dir.path(),
                 QByteArray::number(i).rightJustified(4, '0').prepend('f') + ".txt");
}

int filesOnDisk(const QByteArray &folder)
{
    int count = 0;
    for ([[maybe_unused]] const auto &entry :
         std::filesystem::directory_iterator(folder.toStdString()))
        ++count;
    return count;
}

} // namespace

// The names are worked out ahead of the moves and the records written behind
// them, in batches: every total, whatever mix of outcomes, must finish with
// each record, count and log line right, and the progress on this thread.
void tst_RenameRun::handOverAtBatchEdges_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<QString>("mix");
    QTest::addColumn<int>("renamed");
    QTest::addColumn<int>("failed");
    QTest::addColumn<int>("unchanged");
    QTest::addColumn<QList<qsizetype>>("progressSteps");

    using Steps = QList<qsizetype>;
    QTest::newRow("one, renamed") << 1 << u"rename"_s << 1 << 0 << 0 << Steps{1};
    QTest::newRow("one, unchanged") << 1 << u"unchanged"_s << 0 << 0 << 1 << Steps{1};
    QTest::newRow("one, refused") << 1 << u"refused"_s << 0 << 1 << 0 << Steps{1};
    QTest::newRow("63, mixed") << 63 << u"mixed"_s << 21 << 21 << 21 << Steps{63};
    QTest::newRow("64, renamed") << 64 << u"rename"_s << 64 << 0 << 0 << Steps{64};
    QTest::newRow("65, mixed") << 65 << u"mixed"_s << 21 << 22 << 22 << Steps{65};
    QTest::newRow("130, unchanged") << 130 << u"unchanged"_s << 0 << 0 << 130 << Steps{130};
    QTest::newRow("130, refused") << 130 << u"refused"_s << 0 << 130 << 0 << Steps{130};
    QTest::newRow("1025, mixed") << 1025 << u"mixed"_s << 341 << 342 << 342 << Steps{1024, 1025};
}

void tst_RenameRun::handOverAtBatchEdges()
{
    QFETCH(int, total);
    QFETCH(QString, mix);
    QFETCH(int, renamed);
    QFETCH(int, failed);
    QFETCH(int, unchanged);
    QFETCH(QList<qsizetype>, progressSteps);

    ScratchDir dir;
    FileList list;
    listNumbered(list, dir, total);
    writeFile(dir.path("taken.txt"), "unlisted");
    // mixed: every third name taken on disk, every third kept, the rest moved.
    const auto kind = [&mix](qint64 index) {
        if (mix != u"mixed")
            return mix;
        return QStringList{u"taken"_s, u"unchanged"_s, u"rename"_s}[index % 3];
    };
    const RenameRun::NameSource source = [&](const ZQFile &file, qint64 index) {
        const QString what = kind(index);
        if (what == u"unchanged")
            return file.name();
        if (what == u"refused")
            return QString();
        if (what == u"taken")
            return u"taken.txt"_s;
        return u"r"_s + file.name();
    };

    LogCapture log;
    QList<qsizetype> steps;
    const auto caller = std::this_thread::get_id();
    bool onOtherThread = false;
    const RenameRun::Report report =
        RenameRun::clickStart(list, source, nullptr, nullptr, [&](qsizetype done, qsizetype all) {
            onOtherThread |= std::this_thread::get_id() != caller;
            QCOMPARE(all, qsizetype(total));
            steps << done;
        });

    QVERIFY(!onOtherThread);
    QCOMPARE(steps, progressSteps);
    QCOMPARE(report.renamed, renamed);
    QCOMPARE(report.failed, failed);
    QCOMPARE(report.unchanged, unchanged);
    QCOMPARE(log.lines.size(), failed);
    QCOMPARE(filesOnDisk(dir.path()), total + 1);
    QCOMPARE(readFile(dir.path("taken.txt").toStdString()), QByteArray("unlisted"));
    qsizetype logged = 0;
    for (int i = 0; i < total; ++i) {
        const ZQFile &file = *list.contentsArray()[size_t(i)];
        const QByteArray original = "f" + QByteArray::number(i).rightJustified(4, '0') + ".txt";
        const QString what = kind(i);
        const QByteArray expected = what == u"rename" ? "r" + original : original;
        QCOMPARE(file.nativeName(), expected);
        QCOMPARE(file.name(), QString::fromUtf8(expected));
        QCOMPARE(readFile(file.nativePath().toStdString()), original);
        QVERIFY(list.containsPath(file.nativePath()));
        if (what == u"taken" || what == u"refused") {
            QVERIFY(log.lines[logged++].startsWith(
                u"Cannot rename “%1”"_s.arg(QString::fromUtf8(dir.path(original)))));
        }
    }
}

// A name that cannot be worked out (here an exception from the name source)
// ends the run: what was moved stays moved with its record following it,
// nothing from that file on is moved, and the exception reaches the caller.
void tst_RenameRun::exceptionFromANameStopsTheMoves()
{
    ScratchDir dir;
    FileList list;
    listNumbered(list, dir, 200);
    const RenameRun::NameSource source = [](const ZQFile &file, qint64 index) {
        if (index == 100)
            throw std::runtime_error("no name");
        return u"r"_s + file.name();
    };
    bool thrown = false;
    try {
        RenameRun::clickStart(list, source, nullptr, nullptr);
    } catch (const std::runtime_error &) {
        thrown = true;
    }
    QVERIFY(thrown);
    QCOMPARE(filesOnDisk(dir.path()), 200);
    // The moves done form a run from the start, none at or after the file
    // whose name failed.
    int moved = 0;
    for (int i = 0; i < 200; ++i) {
        const ZQFile &file = *list.contentsArray()[size_t(i)];
        const QByteArray original = "f" + QByteArray::number(i).rightJustified(4, '0') + ".txt";
        QCOMPARE(readFile(file.nativePath().toStdString()), original);
        QVERIFY(list.containsPath(file.nativePath()));
        if (file.nativeName() == "r" + original)
            QCOMPARE(moved++, i);
        else
            QCOMPARE(file.nativeName(), original);
    }
    QVERIFY(moved <= 100);
}

// The moves run ahead of the records: when the caller's progress throws, the
// records of the files moved meanwhile must still follow them.
void tst_RenameRun::exceptionFromProgressKeepsRecordsTrue()
{
    ScratchDir dir;
    FileList list;
    listNumbered(list, dir, 3000);
    bool thrown = false;
    try {
        RenameRun::clickStart(list, NameComposer(settings(u"r[N]"_s)), nullptr, nullptr,
                              [](qsizetype, qsizetype) { throw std::runtime_error("stop"); });
    } catch (const std::runtime_error &) {
        thrown = true;
    }
    QVERIFY(thrown);
    QCOMPARE(filesOnDisk(dir.path()), 3000);
    int moved = 0;
    for (int i = 0; i < 3000; ++i) {
        const ZQFile &file = *list.contentsArray()[size_t(i)];
        const QByteArray original = "f" + QByteArray::number(i).rightJustified(4, '0') + ".txt";
        QCOMPARE(readFile(file.nativePath().toStdString()), original);
        QCOMPARE(file.name(), QString::fromUtf8(file.nativeName()));
        QVERIFY(list.containsPath(file.nativePath()));
        moved += file.nativeName().startsWith('r');
    }
    // The first progress call comes after 1024 records.
    QVERIFY(moved >= 1024);
}

void tst_RenameRun::folderWithoutWritePermission()
{
    ScratchDir dir;
    FileList list;
    listFile(list, dir.path(), "locked/a.txt");
    listFile(list, dir.path(), "open/b.txt");
    listFile(list, dir.path(), "locked/c.txt");
    QVERIFY(chmod(dir.path("locked").constData(), 0555) == 0);
    QVERIFY(chmod(dir.path("open").constData(), 0777) == 0);

    // The run happens in a child without privileges; it hands back the
    // outcome of each entry and the number of log lines.
    const ChildResult child = runWithoutPrivileges([&] {
        LogCapture log;
        const RenameRun::Report report =
            RenameRun::clickStart(list, NameComposer(settings(u"[N]_x"_s)), nullptr, nullptr);
        QByteArray result;
        for (const RenameRun::Entry &entry : report.entries)
            result += (entry.outcome == Outcome::Failed ? entry.error : u"moved"_s).toUtf8() + ';';
        for (const auto &file : list.contentsArray())
            result += file->nativeName() + ';';
        return result + QByteArray::number(log.lines.size());
    });
    QVERIFY(child.ok);
    QCOMPARE(child.output, QByteArray("Permission denied;moved;Permission denied;"
                                      "a.txt;b_x.txt;c.txt;2"));
    QCOMPARE(disk(dir.path()),
             QStringList({u"locked/a.txt=locked/a.txt"_s, u"locked/c.txt=locked/c.txt"_s,
                          u"open/b_x.txt=open/b.txt"_s}));
}

void tst_RenameRun::reportTexts()
{
    RenameRun::Report report;
    report.ran = true;
    QCOMPARE(report.message(), u"No files renamed successfully."_s);
    QCOMPARE(report.informativeText(), QString());

    RenameRun::Entry moved;
    moved.outcome = Outcome::Renamed;
    report.entries << moved;
    report.renamed = 1;
    QCOMPARE(report.message(), u"1 file renamed successfully."_s);
    for (int i = 1; i <= 7; ++i) {
        RenameRun::Entry failed;
        failed.oldPath = "/d/" + QByteArray::number(i) + ".txt";
        failed.oldName = QString::number(i) + u".txt"_s;
        failed.newName = QString::number(i + 1) + u".txt"_s;
        failed.outcome = Outcome::Failed;
        failed.error = u"File exists"_s;
        report.entries << failed;
    }
    report.failed = 7;
    QCOMPARE(report.message(), u"1 file renamed successfully."_s);
    QCOMPARE(report.informativeText(), u"7 files could not be renamed:\n"
                                       u"“1.txt” to “2.txt”: File exists\n"
                                       u"“2.txt” to “3.txt”: File exists\n"
                                       u"“3.txt” to “4.txt”: File exists\n"
                                       u"“4.txt” to “5.txt”: File exists\n"
                                       u"“5.txt” to “6.txt”: File exists\n"
                                       u"and 2 more (see the details)."_s);
    const QStringList details = report.detailedText().split(u'\n');
    QCOMPARE(details.size(), 7);
    QCOMPARE(details.last(), u"Cannot rename “/d/7.txt” to “8.txt”: File exists"_s);
}

void tst_RenameRun::renameFileNeverReplaces()
{
    ScratchDir dir;
    writeFile(dir.path("a.txt"), "a");
    writeFile(dir.path("b.txt"), "b");
    LogCapture log;
    QString error;
    QVERIFY(!RenameRun::renameFile(dir.path("a.txt"), dir.path("b.txt"), &error));
    QCOMPARE(error, u"File exists"_s);
    QCOMPARE(log.lines, QStringList{u"Cannot rename “%1” to “b.txt”: File exists"_s.arg(
                            QString::fromUtf8(dir.path("a.txt")))});
    QVERIFY(RenameRun::renameFile(dir.path("a.txt"), dir.path("c.txt"), &error));
    QCOMPARE(disk(dir.path()), QStringList({u"b.txt=b"_s, u"c.txt=a"_s}));
}

void tst_RenameRun::sameFileUnderTwoNames()
{
    // Two hard links are the same file under two names, as a case-only change
    // looks on a case-insensitive volume; on this one the second name is a
    // real entry, so the move must fail and leave both names in place.
    ScratchDir dir;
    writeFile(dir.path("a"), "a");
    QVERIFY(link(dir.path("a").constData(), dir.path("b").constData()) == 0);
    const int fd = open(dir.path().constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    QByteArray stranded;
    QCOMPARE(NativeMove::moveAt(fd, "a", fd, "b", &stranded), EEXIST);
    close(fd);
    QVERIFY(stranded.isEmpty());
    QCOMPARE(disk(dir.path()), QStringList({u"a=a"_s, u"b=a"_s}));
}

void tst_RenameRun::temporaryNameRoute()
{
    ScratchDir dir;
    writeFile(dir.path("Photo.JPG"), "p");
    writeFile(dir.path("taken"), "t");
    const int fd = open(dir.path().constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    QCOMPARE(NativeMove::moveThroughTemporaryName(fd, "Photo.JPG", "Photo.jpg"), 0);
    QCOMPARE(disk(dir.path()), QStringList({u"Photo.jpg=p"_s, u"taken=t"_s}));
    // A target that is taken sends the file back to its own name.
    QByteArray stranded;
    QCOMPARE(NativeMove::moveThroughTemporaryName(fd, "Photo.jpg", "taken", &stranded), EEXIST);
    close(fd);
    QVERIFY(stranded.isEmpty());
    QCOMPARE(disk(dir.path()), QStringList({u"Photo.jpg=p"_s, u"taken=t"_s}));
}

void tst_RenameRun::linkFallback()
{
    ScratchDir dir;
    writeFile(dir.path("a"), "a");
    writeFile(dir.path("b"), "b");
    const int fd = open(dir.path().constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    QCOMPARE(NativeMove::linkMove(fd, "a", fd, "b"), EEXIST);
    QCOMPARE(NativeMove::linkMove(fd, "a", fd, "c"), 0);
    QCOMPARE(NativeMove::linkMove(fd, "gone", fd, "d"), ENOENT);
    close(fd);
    QCOMPARE(disk(dir.path()), QStringList({u"b=b"_s, u"c=a"_s}));
}

void tst_RenameRun::grantAskedOnceThenReused()
{
    ScratchDir dir;
    ScratchDir home;
    UserDefaults defaults(home.filePath(u"defaults.conf"_s));
    FileList list;
    listFile(list, dir.path(), "Docs/a.txt");
    listFile(list, dir.path(), "Docs/b.txt");
    ScriptedPrompt prompt;
    prompt.answers = {dir.path("Docs")};
    const NameComposer composer(settings(u"[N]_x"_s));

    QVERIFY(RenameRun::clickStart(list, composer, &prompt, &defaults).ran);
    QCOMPARE(prompt.proposed, QByteArrayList{dir.path("Docs")});
    QCOMPARE(names(list), QStringList({u"a_x.txt"_s, u"b_x.txt"_s}));

    // The next run over the same folder uses the stored grant; the script
    // would cancel a second panel.
    QVERIFY(RenameRun::clickStart(list, composer, &prompt, &defaults).ran);
    QCOMPARE(prompt.proposed.size(), 1);
    QCOMPARE(names(list), QStringList({u"a_x_x.txt"_s, u"b_x_x.txt"_s}));
}

void tst_RenameRun::grantDeclinedMovesNothing()
{
    ScratchDir dir;
    ScratchDir home;
    UserDefaults defaults(home.filePath(u"defaults.conf"_s));
    FileList list;
    listFile(list, dir.path(), "Docs/a.txt");
    ScriptedPrompt prompt;
    const RenameRun::Report report =
        RenameRun::clickStart(list, NameComposer(settings(u"[N]_x"_s)), &prompt, &defaults);
    QVERIFY(!report.ran);
    QVERIFY(report.entries.isEmpty());
    QCOMPARE(prompt.proposed, QByteArrayList{dir.path("Docs")});
    QCOMPARE(prompt.alerts,
             QStringList{u"You need to allow access for Velnor to work properly."_s});
    QCOMPARE(disk(dir.path()), QStringList{u"Docs/a.txt=Docs/a.txt"_s});
}

void tst_RenameRun::grantForAnotherFolderAsksAgain()
{
    ScratchDir dir;
    ScratchDir home;
    UserDefaults defaults(home.filePath(u"defaults.conf"_s));
    FileList docs;
    listFile(docs, dir.path(), "Docs/a.txt");
    FileList pics;
    listFile(pics, dir.path(), "Pics/b.jpg");
    FileList both;
    listFile(both, dir.path(), "Docs/c.txt");
    listFile(both, dir.path(), "Pics/d.jpg");
    ScriptedPrompt prompt;
    // The parent is granted for Docs, then each folder as proposed.
    prompt.answers = {dir.path(), dir.path("Docs"), dir.path("Pics"), dir.path("Docs")};
    const NameComposer composer(settings(u"[N]"_s));

    RenameRun::clickStart(docs, composer, &prompt, &defaults);
    RenameRun::clickStart(both, composer, &prompt, &defaults); // the parent's grant serves
    RenameRun::clickStart(docs, composer, &prompt, &defaults); // not reused for a subfolder
    RenameRun::clickStart(pics, composer, &prompt, &defaults);
    RenameRun::clickStart(docs, composer, &prompt, &defaults); // the Pics grant replaced it
    RenameRun::clickStart(docs, composer, &prompt, &defaults);
    QCOMPARE(prompt.proposed, QByteArrayList({dir.path("Docs"), dir.path("Docs"), dir.path("Pics"),
                                              dir.path("Docs")}));
    QCOMPARE(defaults.dataForKey(u"rootlimit"_s), dir.path("Docs"));
}

void tst_RenameRun::grantOfAReplacedFolderAsksAgain()
{
    ScratchDir dir;
    ScratchDir home;
    UserDefaults defaults(home.filePath(u"defaults.conf"_s));
    FileList list;
    listFile(list, dir.path(), "Docs/a.txt");
    ScriptedPrompt prompt;
    prompt.answers = {dir.path("Docs"), dir.path("Docs")};
    const NameComposer composer(settings(u"[N]_x"_s));
    QVERIFY(RenameRun::clickStart(list, composer, &prompt, &defaults).ran);

    // Another folder now stands under the granted path.
    QVERIFY(rename(dir.path("Docs").constData(), dir.path("Old").constData()) == 0);
    FileList again;
    listFile(again, dir.path(), "Docs/b.txt");
    QVERIFY(RenameRun::clickStart(again, composer, &prompt, &defaults).ran);
    QCOMPARE(prompt.proposed.size(), 2);
    QCOMPARE(names(again), QStringList{u"b_x.txt"_s});
}

QTEST_GUILESS_MAIN(tst_RenameRun)
#include "tst_renamerun.moc"
