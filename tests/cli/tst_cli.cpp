// SPDX-License-Identifier: GPL-3.0-or-later
#include "asnobody.h"
#include "clirun.h"
#include "diskfiles.h"
#include "posix/nativepath.h"
#include "scratchdir.h"

#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// velnor-rename's own part: its options reach the rules, its messages and
// exit statuses, its output as a table and as JSON, its inputs (raw argument
// bytes, --files-from, presets), on small trees. The renaming itself is the
// core's, tested there.
class tst_Cli : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void badArguments_data();
    void badArguments();
    void previews_data();
    void previews();
    void previewMatchesApply_data();
    void previewMatchesApply();
    void failedMoveRenamesTheRest();
    void tablePinned();
    void pathsPinned_data();
    void pathsPinned();
    void unwritableOutputFails_data();
    void unwritableOutputFails();
    void unreadableFolderFails();
    void nameKeepsItsBytesBesideADecoy();
    void searchGivenAsBytes();
    void pathsAfterDoubleDash();
    void pathsListedOnceInGivenOrder();
    void filesFromKeepsBytesAndOrder();
    void filesFromStdinWithNul();
    void extensionFromContentOnDisk();
    void presets();
    void hostileTemplatesBounded();

private:
    QByteArray path(const QByteArray &relative) const { return m_dir->path(relative); }
    QByteArray root() const { return m_dir->path(); }
    // Options written as one line (no value holds a space); "@" is the folder.
    QStringList args(const QString &line) const
    {
        QStringList list = line.split(u' ', Qt::SkipEmptyParts);
        return list.replaceInStrings(u"@"_s, QFile::decodeName(root()));
    }

    std::unique_ptr<ScratchDir> m_dir;
    // The journals of the runs and the presets go here, never to the user's own.
    ScratchDir m_state;
};

void tst_Cli::init()
{
    QVERIFY(m_state.isValid());
    qputenv("XDG_STATE_HOME", m_state.path());
    qputenv("XDG_CONFIG_HOME", m_state.path());
    m_dir = std::make_unique<ScratchDir>();
    QVERIFY(m_dir->isValid());
}

void tst_Cli::badArguments_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("message");
    const QString range32 = u"is out of range (-2147483648 to 2147483647)"_s;
    QTest::newRow("unknown option, control character quoted")
        << u"--fro\nb @"_s << u"unknown option '--fro\\x0ab' (see --help)"_s;
    QTest::newRow("trailing junk")
        << u"--start 12x @"_s << u"--start: '12x' is not a whole number"_s;
    QTest::newRow("start above 32 bits")
        << u"--start 2147483648 @"_s << u"--start: '2147483648' "_s + range32;
    QTest::newRow("beyond 64 bits, negative") << u"--step -99999999999999999999999 @"_s
                                              << u"--step: '-99999999999999999999999' "_s + range32;
    QTest::newRow("digits 33") << u"--digits 33 @"_s
                               << u"--digits: '33' is out of range (0 to 32)"_s;
    QTest::newRow("case word")
        << u"--case Upper @"_s
        << u"--case: unknown case 'Upper' (keep, lower, upper, title or sentence)"_s;
    QTest::newRow("sort direction") << u"--sort size:asc @"_s
                                    << u"--sort: unknown sort 'size:asc' (old-name, size, date "
                                       "or location, optionally followed by :desc)"_s;
    QTest::newRow("value missing") << u"@ --name"_s << u"--name needs a value"_s;
    QTest::newRow("flag with value") << u"--apply=yes @"_s << u"--apply takes no value"_s;
    QTest::newRow("no path") << u"--name x"_s << u"no PATH given (see --help)"_s;
    QTest::newRow("folders made and renamed")
        << u"--make-folders --rename-folders @"_s
        << u"--make-folders cannot go with --rename-folders: folders are either made or renamed "
           u"in one run"_s;
    QTest::newRow("two folder choices") << u"--only-folders --rename-folders @"_s
                                        << u"give one of --rename-folders and --only-folders"_s;
    QTest::newRow("missing path after a good one")
        << u"@ @/nothere"_s << u"'@/nothere': No such file or directory"_s;
    QTest::newRow("invalid pattern")
        << u"--regex --search a(b @"_s
        << u"--search: invalid regular expression: missing closing parenthesis at offset 3"_s;
    QTest::newRow("missing group name")
        << u"--regex --search (a) --replace x${missing} @"_s
        << u"--replace: no group named \"missing\" in the pattern at offset 1"_s;
    QTest::newRow("unknown preset")
        << u"--preset nope/=\u00e4 @"_s << u"--preset: no preset named 'nope/=\u00e4'"_s;
    QTest::newRow("missing list")
        << u"--files-from /nonexistent/list @"_s
        << u"--files-from: '/nonexistent/list': No such file or directory"_s;
    // The program's own arguments, apart by NUL bytes.
    QTest::newRow("NUL in a list without --null")
        << u"--files-from /proc/self/cmdline @"_s
        << u"--files-from: '/proc/self/cmdline' holds a NUL byte; use --null for paths that end "
           u"with NUL bytes"_s;
    QTest::newRow("template too long") << u"--name "_s + QString(64 * 1024 + 1, u'x') + u" @"_s
                                       << u"--name is 65537 bytes long; at most 65536 are taken"_s;
}

// Refused before anything is read or moved.
void tst_Cli::badArguments()
{
    QFETCH(QString, arguments);
    QFETCH(QString, message);
    writeFile(path("a.txt"), "a");
    // --apply comes first, so any rename would show.
    const CliResult result = runCli(args(u"--apply --name=[N]_x "_s + arguments));
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(QString::fromUtf8(result.err),
             u"velnor-rename: "_s + message.replace(u"@"_s, QFile::decodeName(root())) + u'\n');
    QCOMPARE(result.out, QByteArray());
    QCOMPARE(namesIn(root()), QByteArrayList{"a.txt"});
}

// Each option reaches the rule it names: "name -> new name" of each row of
// the JSON preview, in the order shown. The files are made in the order
// given, each holding as many bytes as its place (1, 2, ...) and each a day
// older than the one before.
void tst_Cli::previews_data()
{
    QTest::addColumn<QByteArrayList>("files");
    QTest::addColumn<QString>("options");
    QTest::addColumn<QStringList>("expected");
    const QByteArrayList four{"Alpha.JPG", "beta.tar.gz", "Sub/.profile", "Sub/gamma"};
    QTest::newRow("templates and counter, by name")
        << four
        << u"--name [N2-3]-[C] --ext [E]x[C] --start -3 --step 7 --digits 4 --sort old-name"_s
        << QStringList{u".profile -> pr--003.x-003"_s, u"Alpha.JPG -> lp-0004.JPGx0004"_s,
                       u"beta.tar.gz -> et-0011.gzx0011"_s, u"gamma -> am-0018.x0018"_s};
    QTest::newRow("search, replace, upper, by size descending")
        << four << u"--search a --replace ß --case upper --sort size:desc"_s
        << QStringList{u"gamma -> GSSMMSS"_s, u".profile -> .PROFILE"_s,
                       u"beta.tar.gz -> BETSS.TSSR.GZ"_s, u"Alpha.JPG -> ALPHSS.JPG"_s};
    QTest::newRow("lower, counter in equals form, by date descending")
        << four
        << u"--case lower --name [C]_[N] --start=+007 --step=0 --digits=0 --sort date:desc"_s
        << QStringList{u"Alpha.JPG -> 7_alpha.jpg"_s, u"beta.tar.gz -> 7_beta.tar.gz"_s,
                       u".profile -> 7_.profile"_s, u"gamma -> 7_gamma"_s};
    QTest::newRow("keep case, largest start, by location")
        << QByteArrayList{"Sub/gamma", "Alpha.JPG"}
        << u"--case keep --search . --replace _ --name [C] --start 2147483647 --sort location"_s
        << QStringList{u"Alpha.JPG -> 2147483647_JPG"_s, u"gamma -> -2147483648"_s};
    QTest::newRow("regex with a group")
        << QByteArrayList{"IMG_0042.jpg"} << u"--search (\\d+) --regex --replace n$1"_s
        << QStringList{u"IMG_0042.jpg -> IMG_n0042.jpg"_s};
    QTest::newRow("ignore case, literal")
        << QByteArrayList{"Img_1.JPG"} << u"--search img --ignore-case --replace p"_s
        << QStringList{u"Img_1.JPG -> p_1.JPG"_s};
    QTest::newRow("title case") << QByteArrayList{"won't stop.MP3"} << u"--case title"_s
                                << QStringList{u"won't stop.MP3 -> Won't Stop.MP3"_s};
    QTest::newRow("sentence case") << QByteArrayList{"HELLO world.TXT"} << u"--case=sentence"_s
                                   << QStringList{u"HELLO world.TXT -> Hello world.TXT"_s};
    QTest::newRow("natural order")
        << QByteArrayList{"a10", "a2", "a1"} << u"--sort old-name --natural"_s
        << QStringList{u"a1 -> a1"_s, u"a2 -> a2"_s, u"a10 -> a10"_s};
    QTest::newRow("counter per folder, descending")
        << QByteArrayList{"a/x", "a/y", "b/z"}
        << u"--name [N][C] --counter-per-folder --sort old-name:desc"_s
        << QStringList{u"z -> z1"_s, u"y -> y1"_s, u"x -> x2"_s};
    // What stays foreign or collides is the plan's to refuse.
    QTest::newRow("plain ASCII") << QByteArrayList{"Caf\xc3\xa9.txt", "\xd0\x9c\xd0\xb8\xd1\x80"}
                                 << u"--ascii --sort old-name"_s
                                 << QStringList{u"Café.txt -> Cafe.txt"_s, u"Мир -> Mir"_s};
    QTest::newRow("quote and backslash")
        << QByteArrayList{"say \"hi\".txt", "back\\slash"} << u"--name [N]_x --sort old-name"_s
        << QStringList{u"back\\slash -> back\\slash_x"_s, u"say \"hi\".txt -> say \"hi\"_x.txt"_s};
    QTest::newRow("folder names made unique")
        << QByteArrayList{"Trip/a.pdf", "Trip/b.pdf", "Trip/Trip (2).pdf"}
        << u"--name [P] --unique --sort old-name"_s
        << QStringList{u"a.pdf -> Trip.pdf"_s, u"b.pdf -> Trip (3).pdf"_s,
                       u"Trip (2).pdf -> Trip (2).pdf"_s};
}

void tst_Cli::previews()
{
    QFETCH(QByteArrayList, files);
    QFETCH(QString, options);
    QFETCH(QStringList, expected);
    const qint64 base = 1709647620; // 2024-03-05 14:07 UTC
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QByteArray file = path(files[i]);
        ::mkdir(NativePath::folder(file).constData(), 0755);
        writeFile(file, QByteArray(i + 1, 'x'));
        const timespec times[2] = {{0, UTIME_OMIT}, {base - 86400 * i, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, file.constData(), times, 0), 0);
    }
    const CliResult result = runCli(args(u"--json @ "_s + options));
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QStringList renames;
    for (const QJsonValue &file : jsonFiles(result.out))
        renames << file[u"name"].toString() + u" -> "_s + file[u"newName"].toString();
    QCOMPARE(renames, expected);
}

// What the preview promises, the run does, with the statuses and counts
// renamed for the run. The files are given one by one, in this order; each
// holds its own name.
void tst_Cli::previewMatchesApply_data()
{
    QTest::addColumn<QByteArray>("files");
    QTest::addColumn<QString>("options");
    QTest::addColumn<QStringList>("statuses");
    QTest::addColumn<QByteArray>("after");
    const QString rename = u"rename"_s;
    QTest::newRow("counter descending applies what it shows")
        << QByteArray("a.txt b.txt c 4.md") << u"--name [C] --sort old-name:desc"_s
        << QStringList{rename, rename, rename, u"unchanged"_s} << QByteArray("1 2.txt 3.txt 4.md");
    QTest::newRow("refused name") << QByteArray("a.b c") << u"--search . --replace / --name [N]x"_s
                                  << QStringList{u"invalid: The new name contains “/”."_s, rename}
                                  << QByteArray("a.b cx");
}

void tst_Cli::previewMatchesApply()
{
    QFETCH(QByteArray, files);
    QFETCH(QString, options);
    QFETCH(QStringList, statuses);
    QFETCH(QByteArray, after);
    QStringList arguments = args(u"--json "_s + options);
    for (const QByteArray &name : files.split(' ')) {
        writeFile(path(name), name);
        arguments << QFile::decodeName(path(name));
    }
    const QByteArrayList before = namesIn(root());

    const CliResult preview = runCli(arguments);
    QCOMPARE(preview.exitCode, 0);
    QCOMPARE(jsonField(preview.out, "status"), statuses);
    QCOMPARE(namesIn(root()), before);

    const CliResult run = runCli(QStringList{u"--apply"_s} + arguments);
    QStringList expected = statuses;
    expected.replaceInStrings(u"rename"_s, u"renamed"_s)
        .replaceInStrings(u"invalid:"_s, u"failed:"_s);
    QCOMPARE(jsonField(run.out, "status"), expected);
    const int failed = int(expected.filter(u"failed:"_s).size());
    QCOMPARE(run.exitCode, failed ? 1 : 0);
    QCOMPARE(run.err.count('\n'), failed);
    QCOMPARE(namesIn(root()), after.split(' '));
}

void tst_Cli::failedMoveRenamesTheRest()
{
    for (const char *name : {"a.txt", "b.txt", "c.txt"})
        writeFile(path(name), name);
    writeFile(path("b_x.txt"), "keep me");
    // The files one by one, so that the occupied name is not itself listed.
    const QStringList arguments = args(u"--name [N]_x @/a.txt @/b.txt @/c.txt"_s);

    const CliResult table = runCli(arguments);
    QCOMPARE(table.exitCode, 0);
    QVERIFY2(table.out.contains("\n!  b.txt "), table.out.constData());
    QVERIFY(table.out.endsWith("\n3 files: 2 to rename, 0 unchanged, 1 would fail.\n"));

    const CliResult result = runCli(QStringList{u"--apply"_s} + arguments);
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.out, QByteArray("2 files renamed successfully. 1 failed, 0 unchanged.\n"));
    QCOMPARE(result.err.count('\n'), 1);
    QCOMPARE(namesIn(root()), (QByteArrayList{"a_x.txt", "b.txt", "b_x.txt", "c_x.txt"}));
    QCOMPARE(readFile(path("b_x.txt")), QByteArray("keep me"));
}

// Marks, columns, escapes and reasons as a whole.
void tst_Cli::tablePinned()
{
    for (const char *name : {"a.txt", "ab.txt", "b\xe9.txt", "new\nline"})
        writeFile(path(name), name);
    const CliResult preview =
        runCli(QByteArrayList{"--name", "[N1]", "--sort", "old-name", root()});
    QCOMPARE(preview.exitCode, 0);
    const QByteArray expected = "   Old Name     New Name  Location\n"
                                "=  a.txt        a.txt     " +
                                path("a.txt") +
                                "\n"
                                "!  ab.txt       a.txt     " +
                                path("ab.txt") +
                                "  (The new name is taken by row 1 (\xE2\x80\x9C"
                                "a.txt\xE2\x80\x9D), which is not renamed.)\n"
                                "   b\\xe9.txt    b.txt     " +
                                root() +
                                "/b\\xe9.txt\n"
                                "   new\\x0aline  n         " +
                                root() +
                                "/new\\x0aline\n"
                                "4 files: 2 to rename, 1 unchanged, 1 would fail.\n";
    QCOMPARE(preview.out, expected);
}

// A folder's bytes in the table's Location and in the JSON path.
void tst_Cli::pathsPinned_data()
{
    QTest::addColumn<QByteArray>("folder");
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("plain") << QByteArray("plain") << QByteArray("plain") << QByteArray("plain");
    QTest::newRow("quote") << QByteArray("say \"hi\"") << QByteArray("say \"hi\"")
                           << QByteArray("say \\\"hi\\\"");
    QTest::newRow("backslash") << QByteArray("a\\b") << QByteArray("a\\b") << QByteArray("a\\\\b");
    QTest::newRow("tab") << QByteArray("a\tb") << QByteArray("a\\x09b") << QByteArray("a\\tb");
    QTest::newRow("delete") << QByteArray("a\x7f") << QByteArray("a\\x7f") << QByteArray("a\x7f");
    QTest::newRow("accent") << QByteArray("caf\xc3\xa9") << QByteArray("caf\xc3\xa9")
                            << QByteArray("caf\xc3\xa9");
    QTest::newRow("not UTF-8") << QByteArray("a\xff") << QByteArray("a\\xff")
                               << QByteArray("a\xef\xbf\xbd");
}

void tst_Cli::pathsPinned()
{
    QFETCH(QByteArray, folder);
    QFETCH(QByteArray, table);
    QFETCH(QByteArray, json);
    QCOMPARE(::mkdir(path(folder).constData(), 0755), 0);
    writeFile(path(folder + "/f"), "f");
    const CliResult shown = runCli(QByteArrayList{"--name", "g", path(folder + "/f")});
    QCOMPARE(shown.out, "   Old Name  New Name  Location\n   f         g         " + root() + '/' +
                            table + "/f\n1 file: 1 to rename, 0 unchanged, 0 would fail.\n");
    const CliResult listed = runCli(QByteArrayList{"--json", path(folder + "/f")});
    QVERIFY2(
        listed.out.startsWith("{\"files\":[\n{\"path\":\"" + root() + '/' + json +
                              "/f\",\"name\":\"f\",\"newName\":\"f\",\"status\":\"unchanged\""),
        listed.out.constData());
}

void tst_Cli::unwritableOutputFails_data()
{
    QTest::addColumn<int>("files");
    QTest::newRow("short") << 1;
    // Longer than the stream's buffer: it fails at a flush long before the
    // last, and the reason is still the one that write gave.
    QTest::newRow("longer than the buffer") << 400;
}

void tst_Cli::unwritableOutputFails()
{
    QFETCH(int, files);
    for (int i = 0; i < files; ++i)
        writeFile(path(QByteArray::number(i) + QByteArray(200, 'x')), {});
    CliOptions options;
    options.outFile = "/dev/full";
    const CliResult result = runCli(QByteArrayList{"--json", root()}, options);
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.err,
             QByteArray("velnor-rename: cannot write the output: No space left on device\n"));
}

// A folder that cannot be read leaves the list incomplete: said on standard
// error, one line for each, and no success, while the rest is still renamed.
void tst_Cli::unreadableFolderFails()
{
    ScratchDir dir;
    for (const char *folder : {"locked", "open", "locked2"})
        QVERIFY(::mkdir(dir.path(folder).constData(), 0777) == 0);
    for (const char *file : {"locked/a.txt", "open/b.txt", "locked2/c.txt"})
        writeFile(dir.path(file), {});
    QVERIFY(::chmod(dir.path("open").constData(), 0777) == 0);
    QVERIFY(::chmod(dir.path("open/b.txt").constData(), 0666) == 0);
    QVERIFY(::chmod(dir.path("locked").constData(), 0) == 0);
    QVERIFY(::chmod(dir.path("locked2").constData(), 0) == 0);
    // The child keeps the journal where it may write.
    ScratchDir state;
    QVERIFY(::mkdir(state.path("home").constData(), 0777) == 0);
    QVERIFY(::chmod(state.path("home").constData(), 0777) == 0);
    const ChildResult child = runWithoutPrivileges([&] {
        CliOptions options;
        options.env = {"XDG_STATE_HOME=" + state.path("home")};
        const CliResult result =
            runCli(QByteArrayList{"--apply", "--name", "[N]_x", dir.path()}, options);
        return result.err + result.out + "exit " + QByteArray::number(result.exitCode) + '\n';
    });
    QVERIFY(child.ok);
    QCOMPARE(child.output, "velnor-rename: '" + dir.path("locked") +
                               "': cannot read the folder; its files are not listed\n"
                               "velnor-rename: '" +
                               dir.path("locked2") +
                               "': cannot read the folder; its files are not listed\n"
                               "1 file renamed successfully. 0 failed, 0 unchanged.\n"
                               "exit 1\n");
    QCOMPARE(namesIn(dir.path("open")), QByteArrayList{"b_x.txt"});
}

// A path given as bytes that are not UTF-8 names that file, not the one its
// decoded text would name; JSON gives the bytes where the text cannot.
void tst_Cli::nameKeepsItsBytesBesideADecoy()
{
    writeFile(path("caf\xe9.txt"), "latin-1");
    writeFile(path("caf\xef\xbf\xbd.txt"), "decoy");

    const CliResult preview =
        runCli(QByteArrayList{"--json", "--name", "[N]-x", path("caf\xe9.txt")});
    QCOMPARE(preview.exitCode, 0);
    const QJsonObject row = jsonFiles(preview.out).at(0).toObject();
    QVERIFY(row.value(u"undecodable"_s).toBool());
    QCOMPARE(QByteArray::fromBase64(row.value(u"pathBytes"_s).toString().toLatin1()),
             path("caf\xe9.txt"));
    QCOMPARE(QByteArray::fromBase64(row.value(u"newNameBytes"_s).toString().toLatin1()),
             "caf\xe9-x.txt"_ba);
    QCOMPARE(row.value(u"status"_s).toString(), u"rename"_s);
    QCOMPARE(preview.out.count("\"undecodable\""), 1);

    const CliResult apply =
        runCli(QByteArrayList{"--apply", "--name", "[N]-x", path("caf\xe9.txt")});
    QCOMPARE(apply.err, QByteArray());
    QCOMPARE(apply.exitCode, 0);
    QCOMPARE(namesIn(root()), (QByteArrayList{"caf\xe9-x.txt", "caf\xef\xbf\xbd.txt"}));
    QCOMPARE(readFile(path("caf\xe9-x.txt")), "latin-1"_ba);
}

void tst_Cli::searchGivenAsBytes()
{
    writeFile(path("caf\xe9.txt"), "x");
    writeFile(path("caf\xe8.txt"), "y");
    const CliResult apply =
        runCli(QByteArrayList{"--apply", "--search", "\xe9", "--replace", "e", root()});
    QCOMPARE(apply.exitCode, 0);
    QCOMPARE(namesIn(root()), (QByteArrayList{"cafe.txt", "caf\xe8.txt"}));
    const CliResult back =
        runCli(QByteArrayList{"--apply", "--search", "e.", "--replace", "\xe9.", root()});
    QCOMPARE(back.exitCode, 0);
    QCOMPARE(namesIn(root()), (QByteArrayList{"caf\xe8.txt", "caf\xe9.txt"}));
}

void tst_Cli::pathsAfterDoubleDash()
{
    writeFile(path("-c.txt"), "dash");
    CliOptions here;
    here.cwd = root();
    const CliResult listed = runCli(QByteArrayList{"--json", "--", "-c.txt"}, here);
    QCOMPARE(listed.exitCode, 0);
    QCOMPARE(jsonField(listed.out, "path"), QStringList{QFile::decodeName(path("-c.txt"))});

    const CliResult notAnOption =
        runCli(QByteArrayList{"--name", "x", "--", "-c.txt", "--apply"}, here);
    QCOMPARE(notAnOption.exitCode, 2);
    QVERIFY2(notAnOption.err.startsWith("velnor-rename: '--apply': "), notAnOption.err);
    QCOMPARE(namesIn(root()), QByteArrayList{"-c.txt"});
}

// Relative paths, ".", repeated slashes and ".." all name the same files
// (NativePath::absolute): each is listed once, where first given. A link in
// the last component is listed as the link.
void tst_Cli::pathsListedOnceInGivenOrder()
{
    QVERIFY(::mkdir(path("d").constData(), 0755) == 0);
    QVERIFY(::mkdir(path("d/e").constData(), 0755) == 0);
    for (const char *name : {"z.txt", "a.txt", "d/x.txt", "d/e/y.txt"})
        writeFile(path(name), {});
    QVERIFY(::symlink("x.txt", path("d/link").constData()) == 0);
    const QStringList arguments =
        args(u"--name [N]_x z.txt ./d// a.txt @/z.txt d/x.txt d/../d d/e/../x.txt d/e/.. "
             "d/e/../link"_s);
    CliOptions here;
    here.cwd = root();

    const CliResult preview = runCli(QStringList{u"--json"_s} + arguments, here);
    QCOMPARE(preview.exitCode, 0);
    QCOMPARE(jsonField(preview.out, "path"),
             args(u"@/z.txt @/d/e/y.txt @/d/link @/d/x.txt @/a.txt"_s));
}

void tst_Cli::filesFromKeepsBytesAndOrder()
{
    // A carriage return, a backslash, a trailing space: each kept exactly.
    const QByteArray odd = path("b\r\\ \xc3\xa9 ");
    for (const QByteArray &file : {odd, path("a"), path("c")})
        writeFile(file, {});
    writeFile(path("list"), odd + '\n' + path("a") + "\n\n");
    // PATH, list, PATH: one list, one counter, in the order given.
    const CliResult result = runCli(
        QByteArrayList{"--name", "[C]-[N]", "--apply", path("c"), "--files-from", path("list")});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(namesIn(root()), (QByteArrayList{"1-c", "2-b\r\\ \xc3\xa9 ", "3-a", "list"}));
}

void tst_Cli::filesFromStdinWithNul()
{
    const QByteArray withNewline = path("x\ny");
    writeFile(withNewline, {});
    writeFile(path("z"), {});
    CliOptions options;
    options.input = path("z") + '\0' + withNewline + '\0';
    const CliResult result =
        runCli(QByteArrayList{"--files-from", "-", "--null", "--ext", "[C]", "--apply"}, options);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(namesIn(root()), (QByteArrayList{"x\ny.2", "z.1"}));
}

// Which content makes which extension is the content sniffer's to test.
void tst_Cli::extensionFromContentOnDisk()
{
    writeFile(path("report"), "%PDF-1.4\n%%EOF\n"_ba);
    const CliResult result = runCli(QByteArrayList{"--ext", "[X]", "--apply", root()});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(namesIn(root()), QByteArrayList{"report.pdf"});
    QCOMPARE(readFile(path("report.pdf")), "%PDF-1.4\n%%EOF\n"_ba);
}

void tst_Cli::presets()
{
    const QByteArray name = "Fotos/M\xc3\xa4rz=1";
    writeFile(path("img_7.JPG"), {});
    const CliResult saved = runCli(QByteArrayList{"--name", "[N]_[C]", "--digits", "3", "--case",
                                                  "title", "--save-preset", name});
    QCOMPARE(saved.exitCode, 0);
    QCOMPARE(saved.out, QByteArray());
    QCOMPARE(runCli(QByteArrayList{"--list-presets"}).out, name + '\n');
    // Later options override the preset, earlier ones do not.
    const CliResult used = runCli(QByteArrayList{"--start", "5", "--preset", name, "--digits", "2",
                                                 "--json", path("img_7.JPG")});
    QCOMPARE(used.exitCode, 0);
    QCOMPARE(jsonField(used.out, "newName"), QStringList{u"Img_7_01.JPG"_s});
}

// A hostile template: the name the core cuts short is shown short, and its
// run writes one short line per refused name.
void tst_Cli::hostileTemplatesBounded()
{
    for (const char *name : {"f0.txt", "f1.txt", "f2.txt"})
        writeFile(path(name), {});
    const QByteArrayList options{"--name", QByteArray("[C]").repeated(10000), "--digits", "32",
                                 root()};
    const CliResult hostile = runCli(QByteArrayList{"--json"} + options);
    QCOMPARE(hostile.exitCode, 0);
    const QJsonObject first = jsonFiles(hostile.out).at(0).toObject();
    QCOMPARE(first.value(u"status"_s).toString(),
             u"invalid: The new name is longer than 255 bytes."_s);
    QVERIFY2(first.value(u"newName"_s).toString().endsWith(u"… (256 characters)"_s),
             qPrintable(first.value(u"newName"_s).toString()));
    QVERIFY2(hostile.out.size() < 3 * 400, QByteArray::number(hostile.out.size()));

    const CliResult apply = runCli(QByteArrayList{"--apply"} + options);
    QCOMPARE(apply.exitCode, 1);
    QCOMPARE(apply.err.count('\n'), 3);
    QVERIFY2(apply.err.size() < 3 * 400, QByteArray::number(apply.err.size()));
    QCOMPARE(namesIn(root()), (QByteArrayList{"f0.txt", "f1.txt", "f2.txt"}));
}

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"
