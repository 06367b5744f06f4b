#include "../scratchdir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

using namespace Qt::StringLiterals;

// velnor-rename with the pattern search, the case modes, the per-folder
// counter, natural order, --files-from and the presets, on real files.
class tst_CliRules : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void previews_data();
    void previews();
    void refusedPatternNames_data();
    void refusedPatternNames();
    void filesFromKeepsBytesAndOrder();
    void filesFromStdinWithNul();
    void counterPerFolderOnDisk();
    void asciiCollisionsStayPut();
    void extensionFromContentOnDisk();
    void presets();

private:
    QTemporaryDir m_config;
    // The journals of the runs go here, never to the user's own history.
    QTemporaryDir m_state;
};

namespace {

struct Result
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Result runCli(const QStringList &arguments, const QString &configHome, const QByteArray &input = {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s, configHome);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VELNOR_RENAME_BIN), arguments);
    process.write(input);
    process.closeWriteChannel();
    const bool ended =
        process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    return {ended ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

void touch(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    QVERIFY2(fd >= 0, path.constData());
    ::close(fd);
}

QList<QByteArray> namesIn(const QByteArray &folder)
{
    QList<QByteArray> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder.toStdString()))
        names << QByteArray::fromStdString(entry.path().filename().native());
    std::sort(names.begin(), names.end());
    return names;
}

// "name -> newName" of each row of the JSON preview, in order.
QStringList renames(const QByteArray &json)
{
    QStringList lines;
    const QJsonArray files = QJsonDocument::fromJson(json).object()[u"files"].toArray();
    for (const QJsonValue &file : files)
        lines << file[u"name"].toString() + u" -> "_s + file[u"newName"].toString();
    return lines;
}

} // namespace

void tst_CliRules::init()
{
    QVERIFY(m_state.isValid());
    qputenv("XDG_STATE_HOME", QFile::encodeName(m_state.path()));
    QVERIFY(m_config.isValid());
}

void tst_CliRules::previews_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("regex with a group")
        << QStringList{"IMG_0042.jpg"}
        << QStringList{"--search", "(\\d+)", "--regex", "--replace", "n$1"}
        << QStringList{"IMG_0042.jpg -> IMG_n0042.jpg"};
    QTest::newRow("ignore case, literal")
        << QStringList{"Img_1.JPG"}
        << QStringList{"--search", "img", "--ignore-case", "--replace", "p"}
        << QStringList{"Img_1.JPG -> p_1.JPG"};
    QTest::newRow("literal stays case-sensitive")
        << QStringList{"Img_1.JPG"} << QStringList{"--search", "img", "--replace", "p"}
        << QStringList{"Img_1.JPG -> Img_1.JPG"};
    QTest::newRow("title case") << QStringList{"won't stop.MP3"} << QStringList{"--case", "title"}
                                << QStringList{"won't stop.MP3 -> Won't Stop.MP3"};
    QTest::newRow("sentence case")
        << QStringList{"HELLO world.TXT"} << QStringList{"--case=sentence"}
        << QStringList{"HELLO world.TXT -> Hello world.TXT"};
    QTest::newRow("natural order")
        << QStringList{"a10", "a2", "a1"} << QStringList{"--sort", "old-name", "--natural"}
        << QStringList{"a1 -> a1", "a2 -> a2", "a10 -> a10"};
    QTest::newRow("plain order without --natural")
        << QStringList{"a10", "a2", "a1"} << QStringList{"--sort", "old-name"}
        << QStringList{"a1 -> a1", "a10 -> a10", "a2 -> a2"};
}

void tst_CliRules::previews()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, options);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    QStringList arguments = options;
    arguments << u"--json"_s;
    for (const QString &name : files) {
        touch(QFile::encodeName(dir.filePath(name)));
        arguments << dir.filePath(name);
    }
    const Result result = runCli(arguments, m_config.path());
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(renames(result.out), expected);
}

void tst_CliRules::refusedPatternNames_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<QString>("reason");
    QTest::newRow("slash") << u"_"_s << u"/"_s << u"The new name contains \u201C/\u201D."_s;
    QTest::newRow("empty") << u".*"_s << u""_s << u"The new name is empty."_s;
    QTest::newRow("over 255 bytes")
        << u"^"_s << QString(250, u'x') << u"The new name is longer than 255 bytes."_s;
    QTest::newRow("dot dot") << u".+"_s << u".."_s
                             << u"The new name \u201C..\u201D is not allowed."_s;
}

void tst_CliRules::refusedPatternNames()
{
    QFETCH(QString, search);
    QFETCH(QString, replace);
    QFETCH(QString, reason);
    ScratchDir dir;
    QVERIFY(dir.isValid());
    touch(dir.path("a_b.txt"));
    const Result result = runCli({u"--regex"_s, u"--search"_s, search, u"--replace"_s, replace,
                                  u"--apply"_s, u"--json"_s, QFile::decodeName(dir.path())},
                                 m_config.path());
    QCOMPARE(result.exitCode, 1);
    const QJsonObject json = QJsonDocument::fromJson(result.out).object();
    QCOMPARE(json[u"failed"].toInt(), 1);
    QCOMPARE(json[u"files"].toArray()[0][u"status"].toString(), u"failed: "_qs + reason);
    QCOMPARE(namesIn(dir.path()), QList<QByteArray>{"a_b.txt"});
}

void tst_CliRules::filesFromKeepsBytesAndOrder()
{
    ScratchDir dir;
    QVERIFY(dir.isValid());
    // A carriage return, a backslash, a trailing space: each kept exactly.
    const QByteArray odd = dir.path("b\r\\ \xc3\xa9 ");
    touch(odd);
    touch(dir.path("a"));
    touch(dir.path("c"));
    QFile list(QFile::decodeName(dir.path("list")));
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write(odd + '\n' + dir.path("a") + "\n\n");
    list.close();
    // PATH, list, PATH: one list, one counter, in the order given.
    const Result result =
        runCli({u"--name"_s, u"[C]-[N]"_s, u"--apply"_s, QFile::decodeName(dir.path("c")),
                u"--files-from"_s, QFile::decodeName(dir.path("list"))},
               m_config.path());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(namesIn(dir.path()), (QList<QByteArray>{"1-c", "2-b\r\\ \xc3\xa9 ", "3-a", "list"}));
}

void tst_CliRules::filesFromStdinWithNul()
{
    ScratchDir dir;
    QVERIFY(dir.isValid());
    const QByteArray withNewline = dir.path("x\ny");
    touch(withNewline);
    touch(dir.path("z"));
    const Result result =
        runCli({u"--files-from"_s, u"-"_s, u"--null"_s, u"--ext"_s, u"[C]"_s, u"--apply"_s},
               m_config.path(), dir.path("z") + '\0' + withNewline + '\0');
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(namesIn(dir.path()), (QList<QByteArray>{"x\ny.2", "z.1"}));
}

void tst_CliRules::counterPerFolderOnDisk()
{
    ScratchDir dir;
    QVERIFY(dir.isValid());
    for (const char *folder : {"a", "b"}) {
        QVERIFY(::mkdir(dir.path(folder).constData(), 0755) == 0);
        for (const char *name : {"x", "y"})
            touch(dir.path(folder) + '/' + name);
    }
    // Descending by name: each folder counts from its last name down.
    const Result result = runCli({u"--name"_s, u"[N][C]"_s, u"--counter-per-folder"_s, u"--sort"_s,
                                  u"old-name:desc"_s, u"--apply"_s, QFile::decodeName(dir.path())},
                                 m_config.path());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(namesIn(dir.path("a")), (QList<QByteArray>{"x2", "y1"}));
    QCOMPARE(namesIn(dir.path("b")), (QList<QByteArray>{"x2", "y1"}));
}

void tst_CliRules::asciiCollisionsStayPut()
{
    ScratchDir dir;
    QVERIFY(dir.isValid());
    for (const char *name : {"Cafe.txt", "Caf\xc3\xa9.txt", "M\xc3\xb9ller.txt",
                             "M\xc3\xbcller.txt", "\xd0\x9c\xd0\xb8\xd1\x80.txt"})
        touch(dir.path(name));
    const Result result = runCli({u"--ascii"_s, u"--sort"_s, u"old-name"_s, u"--apply"_s,
                                  u"--json"_s, QFile::decodeName(dir.path())},
                                 m_config.path());
    QCOMPARE(result.exitCode, 1);
    QStringList statuses;
    const QJsonArray files = QJsonDocument::fromJson(result.out).object()[u"files"].toArray();
    for (const QJsonValue &file : files)
        statuses << file[u"newName"].toString() + u' ' + file[u"status"].toString();
    QCOMPARE(statuses,
             (QStringList{
                 u"Cafe.txt unchanged"_s,
                 u"Cafe.txt failed: The new name is taken by row 1 (\u201CCafe.txt\u201D), "
                 u"which is not renamed."_s,
                 u"Muller.txt renamed"_s,
                 u"Muller.txt failed: The same new name as row 3 (\u201CM\u00F9ller.txt\u201D)."_s,
                 u"Mir.txt renamed"_s}));
    QCOMPARE(namesIn(dir.path()), (QList<QByteArray>{"Cafe.txt", "Caf\xc3\xa9.txt", "Mir.txt",
                                                     "Muller.txt", "M\xc3\xbcller.txt"}));
}

void tst_CliRules::extensionFromContentOnDisk()
{
    ScratchDir dir;
    QVERIFY(dir.isValid());
    const std::pair<const char *, QByteArray> files[] = {
        {"photo.jpg", "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\1\0\0\0\1\x08\0\0\0\0"_ba},
        {"report", "%PDF-1.4\n%%EOF\n"_ba},
        {"notes.md", "plain\n"_ba}};
    for (const auto &[name, content] : files) {
        QFile file(QFile::decodeName(dir.path(name)));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }
    const Result result = runCli({u"--ext"_s, u"[X]"_s, u"--sort"_s, u"old-name"_s, u"--apply"_s,
                                  QFile::decodeName(dir.path())},
                                 m_config.path());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(namesIn(dir.path()), (QList<QByteArray>{"notes.md", "photo.png", "report.pdf"}));
    QFile moved(QFile::decodeName(dir.path("report.pdf")));
    QVERIFY(moved.open(QIODevice::ReadOnly));
    QCOMPARE(moved.readAll(), "%PDF-1.4\n%%EOF\n"_ba);
}

void tst_CliRules::presets()
{
    QTemporaryDir dir;
    const QString name = u"Fotos/M\u00E4rz=1"_qs;
    touch(QFile::encodeName(dir.filePath(u"img_7.JPG"_s)));
    Result saved = runCli({u"--name"_s, u"[N]_[C]"_s, u"--digits"_s, u"3"_s, u"--case"_s,
                           u"title"_s, u"--save-preset"_s, name},
                          m_config.path());
    QCOMPARE(saved.exitCode, 0);
    QCOMPARE(saved.out, QByteArray());
    const Result listed = runCli({u"--list-presets"_s}, m_config.path());
    QCOMPARE(listed.out, name.toUtf8() + '\n');
    // Later options override the preset, earlier ones do not.
    const Result used = runCli({u"--start"_s, u"5"_s, u"--preset"_s, name, u"--digits"_s, u"2"_s,
                                u"--json"_s, dir.filePath(u"img_7.JPG"_s)},
                               m_config.path());
    QCOMPARE(used.exitCode, 0);
    QCOMPARE(renames(used.out), QStringList{"img_7.JPG -> Img_7_01.JPG"});
}

QTEST_GUILESS_MAIN(tst_CliRules)
#include "tst_clirules.moc"
