// SPDX-License-Identifier: GPL-3.0-or-later
#include "asnobody.h"
#include "clirun.h"
#include "disktree.h"
#include "posix/nativepath.h"

#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// velnor-rename's own part: its options reach the rules, its messages and
// exit statuses, its output as a table and as JSON, its inputs (raw argument
// bytes, --files-from, presets), on small trees. The renaming itself is the
// core's, tested there.
class tst_Cli : public CliTest
{
    Q_OBJECT

private slots:
    void refusals_data();
    void refusals();
    void previews_data();
    void previews();
    void failedMoveRenamesTheRest();
    void previewSeesUnlistedNames();
    void tablePinned();
    void pathsPinned_data();
    void pathsPinned();
    void unwritableOutputFails();
    void unreadableFolderFails();
    void nameKeepsItsBytesBesideADecoy();
    void inputsApplied_data();
    void inputsApplied();
    void previewIsTheRun_data();
    void previewIsTheRun();
    void presets();
    void helpFitsATerminal();
    void hostileTemplatesBounded();
};

// Every refusal of the arguments: exit status 2 and one line, before
// anything is read or moved. "@" is the folder.
void tst_Cli::refusals_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("message");
    // --apply and a name template first, so that any rename would show; the
    // history's actions stand alone, without them.
    const auto row = [](const char *tag, const QString &arguments, const QString &message,
                        bool lead = true) {
        QTest::newRow(tag) << (lead ? u"--apply --name=[N]_x "_s : QString()) + arguments
                           << message;
    };
    const QString range32 = u"is out of range (-2147483648 to 2147483647)"_s;
    row("unknown option, control character quoted", u"--fro\nb @"_s,
        u"unknown option '--fro\\x0ab' (see --help)"_s);
    row("trailing junk", u"--start 12x @"_s, u"--start: '12x' is not a whole number"_s);
    row("start above 32 bits", u"--start 2147483648 @"_s, u"--start: '2147483648' "_s + range32);
    row("beyond 64 bits, negative", u"--step -99999999999999999999999 @"_s,
        u"--step: '-99999999999999999999999' "_s + range32);
    row("digits 33", u"--digits 33 @"_s, u"--digits: '33' is out of range (0 to 32)"_s);
    row("case word", u"--case Upper @"_s,
        u"--case: unknown case 'Upper' (keep, lower, upper, title or sentence)"_s);
    row("sort direction", u"--sort size:asc @"_s,
        u"--sort: unknown sort 'size:asc' (old-name, size, date or location, optionally "
        u"followed by :desc)"_s);
    row("value missing", u"@ --name"_s, u"--name needs a value"_s);
    row("flag with value", u"--apply=yes @"_s, u"--apply takes no value"_s);
    row("no path", u"--name x"_s, u"no PATH given (see --help)"_s);
    row("folders made and renamed", u"--make-folders --rename-folders @"_s,
        u"--make-folders cannot go with --rename-folders: folders are either made or renamed "
        u"in one run"_s);
    row("two folder choices", u"--only-folders --rename-folders @"_s,
        u"give one of --rename-folders and --only-folders"_s);
    row("missing path after a good one", u"@ @/nothere"_s,
        u"'@/nothere': No such file or directory"_s);
    row("an option after -- is a path", u"@ -- --apply"_s,
        u"'--apply': No such file or directory"_s);
    row("invalid pattern", u"--regex --search a(b @"_s,
        u"--search: invalid regular expression: missing closing parenthesis at offset 3"_s);
    row("unknown preset", u"--preset nope/=\u00e4 @"_s,
        u"--preset: no preset named 'nope/=\u00e4'"_s);
    row("missing list", u"--files-from /nonexistent/list @"_s,
        u"--files-from: '/nonexistent/list': No such file or directory"_s);
    // The program's own arguments, apart by NUL bytes.
    row("NUL in a list without --null", u"--files-from /proc/self/cmdline @"_s,
        u"--files-from: '/proc/self/cmdline' holds a NUL byte; use --null for paths that end "
        u"with NUL bytes"_s);
    row("template too long", u"--name "_s + QString(64 * 1024 + 1, u'x') + u" @"_s,
        u"--name is 65537 bytes long; at most 65536 are taken"_s);
    row("undo with a name template", u"--undo --name x"_s,
        u"--undo and --name cannot be combined"_s, false);
    row("history with a path", u"--history @"_s,
        u"--history takes no PATH: a run is named by its ID (see --history)"_s, false);
    row("undo with a path after the ID", u"--undo 20260102-030405 @"_s,
        u"--undo takes no PATH: a run is named by its ID (see --history)"_s, false);
    row("a path is no ID", u"--undo @"_s, u"--undo: '@' is no run ID (see --history)"_s, false);
    row("an ID cannot climb out of the history", u"--redo=../../etc"_s,
        u"--redo: '../../etc' is no run ID (see --history)"_s, false);
    row("empty ID", u"--undo="_s, u"--undo: '' is no run ID (see --history)"_s, false);
    row("undo and redo", u"--undo --redo"_s, u"give one of --undo and --redo"_s, false);
    row("history and undo", u"--history --undo"_s, u"--history and --undo cannot be combined"_s,
        false);
}

void tst_Cli::refusals()
{
    QFETCH(QString, arguments);
    QFETCH(QString, message);
    writeFile(path("a.txt"), "a");
    const CliResult result = runCli(args(arguments));
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
    const auto row = [](const char *tag, const QByteArrayList &files, const QString &options,
                        const QStringList &expected) {
        QTest::newRow(tag) << files << options << expected;
    };
    const QByteArrayList four{"Alpha.JPG", "beta.tar.gz", "Sub/.profile", "Sub/gamma"};
    row("templates and counter, by name", four,
        u"--name [N2-3]-[C] --ext [E]x[C] --start -3 --step 7 --digits 4 --sort old-name"_s,
        {u".profile -> pr--003.x-003"_s, u"Alpha.JPG -> lp-0004.JPGx0004"_s,
         u"beta.tar.gz -> et-0011.gzx0011"_s, u"gamma -> am-0018.x0018"_s});
    row("search, replace, upper, by size descending", four,
        u"--search a --replace ß --case upper --sort size:desc"_s,
        {u"gamma -> GSSMMSS"_s, u".profile -> .PROFILE"_s, u"beta.tar.gz -> BETSS.TSSR.GZ"_s,
         u"Alpha.JPG -> ALPHSS.JPG"_s});
    row("lower, counter in equals form, by date descending", four,
        u"--case lower --name [C]_[N] --start=+007 --step=0 --digits=0 --sort date:desc"_s,
        {u"Alpha.JPG -> 7_alpha.jpg"_s, u"beta.tar.gz -> 7_beta.tar.gz"_s,
         u".profile -> 7_.profile"_s, u"gamma -> 7_gamma"_s});
    row("keep case, largest start, by location", {"Sub/gamma", "Alpha.JPG"},
        u"--case keep --search . --replace _ --name [C] --start 2147483647 --sort location"_s,
        {u"Alpha.JPG -> 2147483647_JPG"_s, u"gamma -> -2147483648"_s});
    row("regex with a group, ignoring case", {"Img_1.JPG"},
        u"--search img_(\\d) --regex --ignore-case --replace p$1"_s, {u"Img_1.JPG -> p1.JPG"_s});
    row("title case", {"won't stop.MP3"}, u"--case title"_s,
        {u"won't stop.MP3 -> Won't Stop.MP3"_s});
    row("sentence case", {"HELLO world.TXT"}, u"--case=sentence"_s,
        {u"HELLO world.TXT -> Hello world.TXT"_s});
    row("counter per folder, natural order, descending", {"a/x10", "a/x9", "b/z"},
        u"--name [N][C] --counter-per-folder --natural --sort old-name:desc"_s,
        {u"z -> z1"_s, u"x10 -> x101"_s, u"x9 -> x92"_s});
    // What stays foreign or collides is the plan's to refuse.
    row("plain ASCII", {"Caf\xc3\xa9.txt", "\xd0\x9c\xd0\xb8\xd1\x80"},
        u"--ascii --sort old-name"_s, {u"Café.txt -> Cafe.txt"_s, u"Мир -> Mir"_s});
    row("folder names made unique", {"Trip/a.pdf", "Trip/b.pdf", "Trip/Trip (2).pdf"},
        u"--name [P] --unique --sort old-name"_s,
        {u"a.pdf -> Trip.pdf"_s, u"b.pdf -> Trip (3).pdf"_s, u"Trip (2).pdf -> Trip (2).pdf"_s});
}

void tst_Cli::previews()
{
    QFETCH(QByteArrayList, files);
    QFETCH(QString, options);
    const qint64 base = 1709647620; // 2024-03-05 14:07 UTC
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QByteArray file = path(files[i]);
        ::mkdir(NativePath::folder(file).constData(), 0755);
        writeFile(file, QByteArray(i + 1, 'x'));
        QVERIFY(setTime(file, base - 86400 * i));
    }
    const CliResult result = runCli(args(u"--json @ "_s + options));
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QStringList renames;
    for (const QJsonValue &file : jsonFiles(result.out))
        renames << file[u"name"].toString() + u" -> "_s + file[u"newName"].toString();
    QTEST(renames, "expected");
}

// A file that cannot move fails alone: the others are renamed, the run ends
// with status 1 and a line on standard error for each failure, and the
// summary or the JSON says which. (Which names fail is the plan's to test.)
void tst_Cli::failedMoveRenamesTheRest()
{
    makeTree(root(), {"a.txt=a.txt", "b.txt=b.txt", "c.txt=c.txt", "b_x.txt=keep me"});
    // The files one by one, so that the occupied name is not itself listed.
    const CliResult result = runCli(args(u"--apply --name [N]_x @/a.txt @/b.txt @/c.txt"_s));
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.out, QByteArray("2 files renamed successfully. 1 failed, 0 unchanged.\n"));
    QCOMPARE(result.err, atRoot("Cannot rename “@/b.txt” to “b_x.txt”: “b_x.txt” is taken by a "
                                "file that is not listed.\n"));
    QCOMPARE(namesIn(root()), (QByteArrayList{"a_x.txt", "b.txt", "b_x.txt", "c_x.txt"}));
    QCOMPARE(readFile(path("b_x.txt")), QByteArray("keep me"));

    writeFile(path("c_y.txt"), "keep me too");
    const CliResult json =
        runCli(args(u"--apply --json --search _x --replace _y @/a_x.txt @/b.txt @/c_x.txt"_s));
    QCOMPARE(json.exitCode, 1);
    QCOMPARE(json.err.count('\n'), 1);
    QCOMPARE(json.out,
             atRoot("{\"files\":[\n"
                    "{\"path\":\"@/a_x.txt\",\"name\":\"a_x.txt\",\"newName\":\"a_y.txt\","
                    "\"status\":\"renamed\"},\n"
                    "{\"path\":\"@/b.txt\",\"name\":\"b.txt\",\"newName\":\"b.txt\","
                    "\"status\":\"unchanged\"},\n"
                    "{\"path\":\"@/c_x.txt\",\"name\":\"c_x.txt\",\"newName\":\"c_y.txt\","
                    "\"status\":\"failed: “c_y.txt” is taken by a file that is not listed.\"}],\n"
                    "\"renamed\":1,\"failed\":1,\"unchanged\":1}\n"));
}

// The folder a preview or a run lists is read for its names while it is
// listed: a new name taken by a file the filter leaves out is still seen,
// however the folder is spelt; also in a folder of many names, which the
// listing hands to the plan (here hidden ones, also left out of the list).
void tst_Cli::previewSeesUnlistedNames()
{
    makeTree(root(), {"a.txt=a", "b.txt=b", "a_x.txt=keep me"});
    QByteArrayList hidden;
    for (const bool many : {false, true}) {
        for (int i = 0; many && i < 1100; ++i) {
            hidden << ".h" + QByteArray::number(i) + '=';
            writeFile(path(".h" + QByteArray::number(i)), "");
        }
        for (const QString &paths : {u"@"_s, u"@/"_s, u"@ @/."_s}) {
            const CliResult result =
                runCli(args(u"--json --name [N]_x --no-hidden --exclude *_x.txt "_s + paths));
            QCOMPARE(result.exitCode, 0);
            QStringList statuses;
            for (const QJsonValue &file : jsonFiles(result.out))
                statuses << file[u"name"].toString() + u": "_s + file[u"status"].toString();
            QCOMPARE(statuses, (QStringList{u"a.txt: invalid: “a_x.txt” is taken by a file that "
                                            "is not listed."_s,
                                            u"b.txt: rename"_s}));
        }
        const CliResult run =
            runCli(args(u"--apply --name [N]_x --no-hidden --exclude *_x.txt @"_s));
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, atRoot("Cannot rename “@/a.txt” to “a_x.txt”: “a_x.txt” is taken by "
                                 "a file that is not listed.\n"));
        QByteArrayList after = QByteArrayList{"a.txt=a", "a_x.txt=keep me", "b_x.txt=b"} + hidden;
        std::sort(after.begin(), after.end());
        QCOMPARE(tree(root()), after);
        QVERIFY(::rename(path("b_x.txt").constData(), path("b.txt").constData()) == 0);
    }
}

// Marks, columns, escapes and reasons as a whole.
void tst_Cli::tablePinned()
{
    makeTree(root(),
             {"a.txt=a.txt", "ab.txt=ab.txt", "b\xe9.txt=b\xe9.txt", "new\nline=new\nline"});
    const CliResult preview =
        runCli(QByteArrayList{"--name", "[N1]", "--sort", "old-name", root()});
    QCOMPARE(preview.exitCode, 0);
    QCOMPARE(
        preview.out,
        atRoot("   Old Name     New Name  Location\n"
               "=  a.txt        a.txt     @/a.txt\n"
               "!  ab.txt       a.txt     @/ab.txt  (The new name is taken by row 1 (“a.txt”), "
               "which is not renamed.)\n"
               "   b\\xe9.txt    b.txt     @/b\\xe9.txt\n"
               "   new\\x0aline  n         @/new\\x0aline\n"
               "4 files: 2 to rename, 1 unchanged, 1 would fail.\n"));
}

// A folder's bytes in the table's Location and in the JSON path (bytes that are
// not UTF-8: tablePinned, nameKeepsItsBytesBesideADecoy).
void tst_Cli::pathsPinned_data()
{
    QTest::addColumn<QByteArray>("folder");
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("quote") << QByteArray("say \"hi\"") << QByteArray("say \"hi\"")
                           << QByteArray("say \\\"hi\\\"");
    QTest::newRow("backslash") << QByteArray("a\\b") << QByteArray("a\\b") << QByteArray("a\\\\b");
    QTest::newRow("tab") << QByteArray("a\tb") << QByteArray("a\\x09b") << QByteArray("a\\tb");
    QTest::newRow("delete") << QByteArray("a\x7f") << QByteArray("a\\x7f") << QByteArray("a\x7f");
    QTest::newRow("accent") << QByteArray("caf\xc3\xa9") << QByteArray("caf\xc3\xa9")
                            << QByteArray("caf\xc3\xa9");
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

// Short, and longer than the stream's buffer: then it fails at a flush long
// before the last, and the reason is still the one that write gave.
void tst_Cli::unwritableOutputFails()
{
    CliOptions options;
    options.outFile = "/dev/full";
    for (const int files : {1, 400}) {
        for (int i = 0; i < files; ++i)
            writeFile(path(QByteArray::number(i) + QByteArray(200, 'x')), {});
        const CliResult result = runCli(QByteArrayList{"--json", root()}, options);
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err,
                 "velnor-rename: cannot write the output: No space left on device\n"_ba);
    }
}

// A folder that cannot be read leaves the list incomplete: said on standard
// error, one line for each, and no success, while the rest is still renamed.
void tst_Cli::unreadableFolderFails()
{
    makeTree(root(),
             {"locked/", "open/", "locked2/", "locked/a.txt=", "open/b.txt=", "locked2/c.txt="});
    for (const auto &[entry, mode] :
         {std::pair{"open", 0777}, {"open/b.txt", 0666}, {"locked", 0}, {"locked2", 0}})
        QVERIFY(::chmod(path(entry).constData(), mode_t(mode)) == 0);
    // The child keeps the journal where it may write.
    const QByteArray home = m_state->path("home");
    QVERIFY(::mkdir(home.constData(), 0777) == 0 && ::chmod(home.constData(), 0777) == 0);
    const ChildResult child = runWithoutPrivileges([&] {
        CliOptions options;
        options.env = {"XDG_STATE_HOME=" + home};
        const CliResult result =
            runCli(QByteArrayList{"--apply", "--name", "[N]_x", root()}, options);
        return result.err + result.out + "exit " + QByteArray::number(result.exitCode) + '\n';
    });
    QVERIFY(child.ok);
    QCOMPARE(child.output,
             atRoot("velnor-rename: '@/locked': cannot read the folder; its files are not listed\n"
                    "velnor-rename: '@/locked2': cannot read the folder; its files are not listed\n"
                    "1 file renamed successfully. 0 failed, 0 unchanged.\nexit 1\n"));
    QCOMPARE(namesIn(path("open")), QByteArrayList{"b_x.txt"});
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
    QCOMPARE(preview.out,
             "{\"files\":[\n{\"path\":\"" + path("caf\xef\xbf\xbd.txt") +
                 "\",\"name\":\"caf\xef\xbf\xbd.txt\",\"newName\":\"caf\xef\xbf\xbd-x.txt\","
                 "\"status\":\"rename\",\"undecodable\":true,\"pathBytes\":\"" +
                 path("caf\xe9.txt").toBase64() +
                 "\",\"newNameBytes\":\"Y2Fm6S14LnR4dA==\"}],\n"
                 "\"renamed\":1,\"failed\":0,\"unchanged\":0}\n");
}

// What the arguments and the list name is renamed, by the bytes given and in
// the order given; the whole tree after, contents and all. The files
// ("name=content") are made first; "@" stands for their folder in the
// arguments and the list on standard input.
void tst_Cli::inputsApplied_data()
{
    QTest::addColumn<QByteArrayList>("files");
    QTest::addColumn<QByteArrayList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArrayList>("after");
    const auto row = [](const char *tag, const QByteArrayList &files,
                        const QByteArrayList &arguments, const QByteArray &input,
                        const QByteArrayList &after) {
        QTest::newRow(tag) << files << arguments << input << after;
    };
    // A search or a replacement decoded to U+FFFD would rename both or neither.
    row("search and replacement as bytes", {"caf\xe9.txt=", "caf\xe8.txt="},
        {"--search", "\xe9", "--replace", "\xe7", "@"}, {}, {"caf\xe7.txt=", "caf\xe8.txt="});
    // A carriage return, a backslash, a trailing space: each kept exactly.
    // PATH, list, PATH: one list, one counter, in the order given.
    row("list keeps bytes and order", {"b\r\\ \xc3\xa9 =", "a=", "c="},
        {"--name", "[C]-[N]", "@/c", "--files-from", "-"}, "@/b\r\\ \xc3\xa9 \n@/a\n\n",
        {"1-c=", "2-b\r\\ \xc3\xa9 =", "3-a="});
    row("list with NUL bytes", {"x\ny=", "z="}, {"--files-from", "-", "--null", "--ext", "[C]"},
        QByteArray("@/z\0@/x\ny\0", 10), {"x\ny.2=", "z.1="});
    row("a name after -- that begins with a dash", {"-c.txt="}, {"--name", "[N]x", "--", "-c.txt"},
        {}, {"-cx.txt="});
    // Which content makes which extension is the content sniffer's to test.
    row("extension from the content on disk", {"report=%PDF-1.4\n%%EOF\n"}, {"--ext", "[X]", "@"},
        {}, {"report.pdf=%PDF-1.4\n%%EOF\n"});
    // Each file in the folder its new name leads to, made by the run.
    row("folders made", {"a.txt=A", "b.txt=B"}, {"--make-folders", "--name", "sub/[N]", "@"}, {},
        {"sub/", "sub/a.txt=A", "sub/b.txt=B"});
    // A number that makes a name unique goes in its last part, and the name
    // still makes its folder.
    row("folders made, names numbered", {"a.txt=A", "b.txt=B"},
        {"--make-folders", "--unique", "--name", "sub/scan", "@"}, {},
        {"sub/", "sub/scan (2).txt=B", "sub/scan.txt=A"});
}

void tst_Cli::inputsApplied()
{
    QFETCH(QByteArrayList, files);
    QFETCH(QByteArrayList, arguments);
    QFETCH(QByteArray, input);
    makeTree(root(), files);
    for (QByteArray &argument : arguments)
        argument.replace('@', root());
    CliOptions options;
    options.cwd = root(); // for the relative paths
    options.input = input.replace('@', root());
    const CliResult result = runCli(QByteArrayList{"--apply"} + arguments, options);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QTEST(tree(root()), "after");
}

// What the preview says of each file is what --apply does with it, where
// the plan must see past the file's own folder: row by row the same new name
// and status, the same counts and exit status, and each file on disk under
// the name the preview gave it. The files ("name=content") are made first;
// "@" stands for their folder; "names" holds the names by hand.
void tst_Cli::previewIsTheRun_data()
{
    QTest::addColumn<QByteArrayList>("files");
    QTest::addColumn<QByteArrayList>("arguments");
    const auto row = [](const char *tag, const QByteArrayList &files,
                        const QByteArrayList &arguments) {
        QTest::newRow(tag) << files << arguments;
    };
    row("numbered below, in the folder made", {"a.txt=A", "b.txt=B"},
        {"--make-folders", "--unique", "--name", "sub/scan", "@/a.txt", "@/b.txt"});
    // The name below is taken, so a.t stays, and b.t cannot have its name.
    row("a move behind one that is taken below",
        {"a.t=A", "b.t=B", "s/", "s/x.t=X", "names=s/x.t\na.t\n"},
        {"--make-folders", "--names-from", "@/names", "@/a.t", "@/b.t"});
    // Two moves into s/x.t: one from above, one from within; and b.t
    // waits for a.t's name.
    row("one name asked for from above and within",
        {"a.t=A", "b.t=B", "s/", "s/y.t=Y", "names=s/x.t\na.t\nx.t\n"},
        {"--make-folders", "--names-from", "@/names", "@/a.t", "@/b.t", "@/s/y.t"});
}

void tst_Cli::previewIsTheRun()
{
    QFETCH(QByteArrayList, files);
    QFETCH(QByteArrayList, arguments);
    makeTree(root(), files);
    for (QByteArray &argument : arguments)
        argument.replace('@', root());
    const CliResult preview = runCli(QByteArrayList{"--json"} + arguments);
    QCOMPARE(preview.exitCode, 0);
    const QJsonObject shown = QJsonDocument::fromJson(preview.out).object();
    const QJsonArray shownFiles = shown[u"files"].toArray();
    QByteArrayList contents;
    for (const QJsonValue &file : shownFiles)
        contents << readFile(QFile::encodeName(file[u"path"].toString()));
    const CliResult run = runCli(QByteArrayList{"--json", "--apply"} + arguments);
    const QJsonObject done = QJsonDocument::fromJson(run.out).object();
    const QJsonArray doneFiles = done[u"files"].toArray();
    QCOMPARE(doneFiles.size(), shownFiles.size());
    for (qsizetype i = 0; i < shownFiles.size(); ++i) {
        const QJsonValue said = shownFiles[i];
        const QJsonValue did = doneFiles[i];
        QString status = said[u"status"].toString();
        status = status == u"rename"_s ? u"renamed"_s : status.replace(u"invalid:"_s, u"failed:"_s);
        const QString path = said[u"path"].toString();
        QCOMPARE(did[u"path"].toString(), path);
        QCOMPARE(did[u"newName"].toString() + u" "_s + did[u"status"].toString(),
                 said[u"newName"].toString() + u" "_s + status);
        const QByteArray oldPath = QFile::encodeName(path);
        const QByteArray now =
            status == u"renamed"_s
                ? NativePath::folder(oldPath) + '/' + QFile::encodeName(said[u"newName"].toString())
                : oldPath;
        QCOMPARE(readFile(now), contents[i]);
    }
    for (const char *count : {"renamed", "failed", "unchanged"})
        QCOMPARE(done[QLatin1String(count)].toInt(), shown[QLatin1String(count)].toInt());
    QCOMPARE(run.exitCode, shown[u"failed"].toInt() > 0 ? 1 : 0);
    // Nothing lost, nothing under two names.
    const auto fileCount = [](const QByteArrayList &entries) {
        return std::count_if(entries.begin(), entries.end(),
                             [](const QByteArray &entry) { return !entry.endsWith('/'); });
    };
    QCOMPARE(fileCount(tree(root())), fileCount(files));
}

// The help is read in a terminal of 80 columns, and its manual page is made
// from it: a line rewrapped by hand and left long breaks both.
void tst_Cli::helpFitsATerminal()
{
    const CliResult result = runCli(QByteArrayList{"--help"});
    QCOMPARE(result.exitCode, 0);
    const QStringList lines = QString::fromUtf8(result.out).split(u'\n');
    QVERIFY(lines.size() > 100);
    for (const QString &line : lines)
        QVERIFY2(line.size() <= 80, qPrintable(line));
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
    QCOMPARE(jsonFiles(used.out).size(), 1);
    QCOMPARE(jsonFiles(used.out).first()[u"newName"].toString(), u"Img_7_01.JPG"_s);
}

// A hostile template: the name the core refuses and cuts short (tst_namebytes,
// tst_nativepath) is shown short, and its run writes one short line per
// refused name.
void tst_Cli::hostileTemplatesBounded()
{
    makeTree(root(), {"f0.txt=", "f1.txt=", "f2.txt="});
    const QByteArrayList options{"--name", QByteArray("[C]").repeated(10000), "--digits", "32",
                                 root()};
    const CliResult hostile = runCli(QByteArrayList{"--json"} + options);
    QCOMPARE(hostile.exitCode, 0);
    QCOMPARE(jsonFiles(hostile.out).size(), 3);
    QVERIFY2(hostile.out.size() < 3 * 400, QByteArray::number(hostile.out.size()));

    const CliResult apply = runCli(QByteArrayList{"--apply"} + options);
    QCOMPARE(apply.exitCode, 1);
    QCOMPARE(apply.err.count('\n'), 3);
    QVERIFY2(apply.err.size() < 3 * 400, QByteArray::number(apply.err.size()));
    QCOMPARE(namesIn(root()), (QByteArrayList{"f0.txt", "f1.txt", "f2.txt"}));
}

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"
