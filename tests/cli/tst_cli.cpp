#include "asnobody.h"
#include "files/filelist.h"
#include "intake/fileintake.h"
#include "rules/namecomposer.h"
#include "scratchdir.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(RenameSettings)

namespace {

struct Result
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Result runCli(const QStringList &arguments, const QString &workDir = {},
              const QString &outFile = {})
{
    QProcess process;
    process.setWorkingDirectory(workDir);
    if (!outFile.isEmpty())
        process.setStandardOutputFile(outFile);
    process.start(QStringLiteral(VELNOR_RENAME_BIN), arguments);
    const bool ended =
        process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    return {ended ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

void writeFile(const QByteArray &path, const QByteArray &content = {})
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    QVERIFY2(fd >= 0, path.constData());
    QCOMPARE(::write(fd, content.constData(), size_t(content.size())), ssize_t(content.size()));
    ::close(fd);
}

QByteArray readFile(const QByteArray &path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    return in ? QByteArray::fromStdString({std::istreambuf_iterator<char>(in), {}})
              : QByteArray("(missing)");
}

// The raw names in a folder, sorted: QDir would skip the undecodable ones.
QList<QByteArray> namesIn(const QByteArray &folder)
{
    QList<QByteArray> names;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(folder.toStdString(), error))
        names << QByteArray::fromStdString(entry.path().filename().native());
    std::sort(names.begin(), names.end());
    return names;
}

QJsonObject parseJson(const QByteArray &text)
{
    return QJsonDocument::fromJson(text).object();
}

QStringList field(const QJsonObject &object, const QString &key)
{
    QStringList values;
    for (const QJsonValue &file : object.value(u"files"_s).toArray())
        values << file.toObject().value(key).toString();
    return values;
}

} // namespace

class tst_Cli : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void badArguments_data();
    void badArguments();
    void sameAsComposer_data();
    void sameAsComposer();
    void previewMatchesApply_data();
    void previewMatchesApply();
    void failedMoveRenamesTheRest();
    void unwritableOutputFails();
    void undecodableAndAwkwardNames();
    void pathsListedOnceInGivenOrder();
    void unreadableFolderFails();

private:
    QByteArray path(const char *relative) const { return m_root + '/' + relative; }
    QString folder() const { return QString::fromUtf8(m_root); }
    // Options written as one line (no value holds a space); "@" is the folder.
    QStringList args(const QString &line) const
    {
        QStringList list = line.split(u' ', Qt::SkipEmptyParts);
        return list.replaceInStrings(u"@"_s, folder());
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_root;
    // The journals of the runs and the settings go here, never to the user's own.
    QTemporaryDir m_state;
};

void tst_Cli::init()
{
    QVERIFY(m_state.isValid());
    qputenv("XDG_STATE_HOME", QFile::encodeName(m_state.path()));
    // No presets but those a test saves.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_state.path()));
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // Canonical, because a path with ".." is listed by its real folder.
    m_root = QFile::encodeName(QFileInfo(m_dir->path()).canonicalFilePath());
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
}

void tst_Cli::badArguments()
{
    QFETCH(QString, arguments);
    QFETCH(QString, message);
    writeFile(path("a.txt"), "a");
    // --apply comes first, so any rename would show.
    const Result result = runCli(args(u"--apply --name=[N]_x "_s + arguments));
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(QString::fromUtf8(result.err),
             u"velnor-rename: "_s + message.replace(u"@"_s, folder()) + u'\n');
    QCOMPARE(result.out, QByteArray());
    QCOMPARE(namesIn(m_root), QList<QByteArray>{"a.txt"});
}

void tst_Cli::sameAsComposer_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<RenameSettings>("settings");
    QTest::addColumn<QString>("sortColumn");
    QTest::addColumn<bool>("descending");
    // The settings are given in member order, next to the options that make them.
    // A file named "on [YMD]" takes its date under any templates that keep the name.
    QTest::newRow("defaults, order of addition")
        << QString() << RenameSettings{} << QString() << false;
    QTest::newRow("templates and counter, by name")
        << u"--name [N2-3]-[C]-[YMD] --ext [E]x[C] --start -3 --step 7 --digits 4 --sort old-name"_s
        << RenameSettings{u"[N2-3]-[C]-[YMD]"_s,    u"[E]x[C]"_s, {}, {},
                          RenameSettings::KeepCase, -3,           7,  4}
        << FileList::OldName << false;
    QTest::newRow("search, replace, upper, by size descending")
        << u"--search a --replace ß --case upper --sort size:desc"_s
        << RenameSettings{u"[N]"_s, u"[E]"_s, u"a"_s, u"ß"_s, RenameSettings::UpperCase}
        << FileList::Size << true;
    QTest::newRow("lower, counter in equals form, by date descending")
        << u"--case lower --name [C]_[N] --start=+007 --step=0 --digits=0 --sort date:desc"_s
        << RenameSettings{u"[C]_[N]"_s, u"[E]"_s, {}, {}, RenameSettings::LowerCase, 7, 0, 0}
        << FileList::Date << true;
    QTest::newRow("keep case, largest start, by location")
        << u"--case keep --search . --replace _ --name [C] --start 2147483647 --sort location"_s
        << RenameSettings{u"[C]"_s, u"[E]"_s, u"."_s, u"_"_s, RenameSettings::KeepCase, 2147483647}
        << FileList::Location << false;
}

void tst_Cli::sameAsComposer()
{
    QFETCH(QString, options);
    QFETCH(RenameSettings, settings);
    QFETCH(QString, sortColumn);
    QFETCH(bool, descending);
    QVERIFY(::mkdir(path("Sub").constData(), 0755) == 0);
    // Sizes, dates and locations each give a different order.
    const qint64 base = QDateTime(QDate(2024, 3, 5), QTime(14, 7)).toSecsSinceEpoch();
    int day = 0;
    for (const auto &[name, content] : {std::pair{"Alpha.JPG", "12345"},
                                        {"beta.tar.gz", "1"},
                                        {"Sub/.profile", "123"},
                                        {"Sub/gamma", "12"},
                                        {"Sub/on [YMD]", ""}}) {
        writeFile(path(name), content);
        const timespec times[2] = {{0, UTIME_OMIT}, {base - 86400 * day++, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, path(name).constData(), times, 0), 0);
    }

    const Result result = runCli(args(u"--json @ "_s + options));
    QCOMPARE(result.exitCode, 0);
    const QJsonObject json = parseJson(result.out);

    FileList list;
    FileIntake(list).insertFile(m_root);
    if (!sortColumn.isEmpty()) {
        list.setLastColumn(sortColumn);
        list.performSort();
    }
    list.setSortDescending(descending);
    const NameComposer composer(settings);
    QStringList paths, names;
    for (qint64 row = 0; row < list.count(); ++row) {
        paths << list.fileAtIndex(row)->fullPath();
        names << composer.newNameForFile(*list.fileAtIndex(row), row);
    }
    QCOMPARE(list.count(), 5);
    QCOMPARE(field(json, u"path"_s), paths);
    QCOMPARE(field(json, u"newName"_s), names);
}

void tst_Cli::previewMatchesApply_data()
{
    // The files are given one by one, in this order; each holds its own name.
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
    QTest::newRow("chain: the name is freed first")
        << QByteArray("1.txt 2.txt") << u"--name [C] --start 2"_s << QStringList{rename, rename}
        << QByteArray("2.txt 3.txt");
    QTest::newRow("swap") << QByteArray("1.txt 2.txt") << u"--name [C] --start 2 --step -1"_s
                          << QStringList{rename, rename} << QByteArray("1.txt 2.txt");
    QTest::newRow("chain: an earlier move frees the name")
        << QByteArray("2.txt 1.txt") << u"--name [C] --start 3 --step -1"_s
        << QStringList{rename, rename} << QByteArray("2.txt 3.txt");
    QTest::newRow("descending display: the top row keeps the name")
        << QByteArray("a.txt b.txt") << u"--name x --sort old-name:desc"_s
        << QStringList{rename, u"invalid: The same new name as row 1 (“b.txt”)."_s}
        << QByteArray("a.txt x.txt");
}

void tst_Cli::previewMatchesApply()
{
    QFETCH(QByteArray, files);
    QFETCH(QString, options);
    QFETCH(QStringList, statuses);
    QFETCH(QByteArray, after);
    QStringList arguments = args(u"--json "_s + options);
    for (const QByteArray &name : files.split(' ')) {
        writeFile(path(name.constData()), name);
        arguments << QString::fromUtf8(path(name.constData()));
    }
    const QList<QByteArray> before = namesIn(m_root);

    const Result preview = runCli(arguments);
    QCOMPARE(preview.exitCode, 0);
    const QJsonObject planned = parseJson(preview.out);
    QCOMPARE(field(planned, u"status"_s), statuses);
    QCOMPARE(namesIn(m_root), before);

    const Result run = runCli(QStringList{u"--apply"_s} + arguments);
    const QJsonObject done = parseJson(run.out);
    QStringList expected = statuses;
    expected.replaceInStrings(QRegularExpression(u"^rename$"_s), u"renamed"_s)
        .replaceInStrings(QRegularExpression(u"^invalid:"_s), u"failed:"_s);
    QCOMPARE(field(done, u"status"_s), expected);
    for (const char *key : {"renamed", "failed", "unchanged"})
        QCOMPARE(done.value(QLatin1String(key)).toInt(), planned.value(QLatin1String(key)).toInt());
    const int failed = done.value(u"failed"_s).toInt();
    QCOMPARE(run.exitCode, failed ? 1 : 0);
    QCOMPARE(run.err.count('\n'), failed);
    QCOMPARE(namesIn(m_root), after.split(' '));
    // Each file holds its own content under the name it now has.
    const QStringList paths = field(planned, u"path"_s);
    const QStringList newNames = field(planned, u"newName"_s);
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QByteArray old = QFile::encodeName(paths[i].section(u'/', -1));
        const QByteArray now = expected[i] == u"renamed"_s ? newNames[i].toUtf8() : old;
        QCOMPARE(readFile(path(now.constData())), old);
    }
}

void tst_Cli::failedMoveRenamesTheRest()
{
    for (const char *name : {"a.txt", "b.txt", "c.txt"})
        writeFile(path(name), name);
    writeFile(path("b_x.txt"), "keep me");
    // The files one by one, so that the occupied name is not itself listed.
    const QStringList arguments = args(u"--name [N]_x @/a.txt @/b.txt @/c.txt"_s);

    const Result table = runCli(arguments);
    QCOMPARE(table.exitCode, 0);
    QVERIFY2(table.out.contains("\n!  b.txt "), table.out.constData());
    QVERIFY(table.out.endsWith("\n3 files: 2 to rename, 0 unchanged, 1 would fail.\n"));

    const Result result = runCli(QStringList{u"--apply"_s} + arguments);
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.out, QByteArray("2 files renamed successfully. 1 failed, 0 unchanged.\n"));
    QCOMPARE(result.err.count('\n'), 1);
    QCOMPARE(namesIn(m_root), (QList<QByteArray>{"a_x.txt", "b.txt", "b_x.txt", "c_x.txt"}));
    QCOMPARE(readFile(path("b_x.txt")), QByteArray("keep me"));
}

// A folder that cannot be read leaves the list incomplete: said on standard
// error, one line for each, and no success, while the rest is still renamed.
void tst_Cli::unreadableFolderFails()
{
    ScratchDir dir;
    for (const char *folder : {"locked", "open", "locked2"})
        QVERIFY(::mkdir(dir.path(folder).constData(), 0777) == 0);
    for (const char *file : {"locked/a.txt", "open/b.txt", "locked2/c.txt"})
        writeFile(dir.path(file));
    QVERIFY(::chmod(dir.path("open").constData(), 0777) == 0);
    QVERIFY(::chmod(dir.path("open/b.txt").constData(), 0666) == 0);
    QVERIFY(::chmod(dir.path("locked").constData(), 0) == 0);
    QVERIFY(::chmod(dir.path("locked2").constData(), 0) == 0);
    // The child keeps the journal where it may write.
    ScratchDir state;
    QVERIFY(::mkdir(state.path("home").constData(), 0777) == 0);
    QVERIFY(::chmod(state.path("home").constData(), 0777) == 0);
    const QByteArray command = "XDG_STATE_HOME=" + state.path("home") + ' ' +
                               QByteArray(VELNOR_RENAME_BIN) + " --apply --name '[N]_x' " +
                               dir.path() + " 2>&1; echo \"exit $?\"";
    const ChildResult child = runWithoutPrivileges([&command] {
        QByteArray output;
        if (std::FILE *pipe = ::popen(command.constData(), "r")) {
            char buffer[4096];
            while (const size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
                output.append(buffer, qsizetype(n));
            ::pclose(pipe);
        }
        return output;
    });
    QVERIFY(child.ok);
    QCOMPARE(child.output, "velnor-rename: '" + dir.path("locked") +
                               "': cannot read the folder; its files are not listed\n"
                               "velnor-rename: '" +
                               dir.path("locked2") +
                               "': cannot read the folder; its files are not listed\n"
                               "1 file renamed successfully. 0 failed, 0 unchanged.\n"
                               "exit 1\n");
    QCOMPARE(namesIn(dir.path("open")), QList<QByteArray>{"b_x.txt"});
}

void tst_Cli::unwritableOutputFails()
{
    writeFile(path("a.txt"));
    const Result result = runCli({u"--json"_s, folder()}, {}, u"/dev/full"_s);
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.err,
             QByteArray("velnor-rename: cannot write the output: No space left on device\n"));
}

void tst_Cli::undecodableAndAwkwardNames()
{
    const QList<QByteArray> names{"bad\xff\xfe.txt", "e\xcc\x81t\xc3\xa9 \xf0\x9f\x93\xb7.jpg",
                                  "new\nline.txt", "quote\"back\\slash", "tab\there"};
    for (const QByteArray &name : names)
        writeFile(m_root + '/' + name, name);

    // The default templates leave every name alone: the odd bytes stay as they were.
    const Result keep = runCli(args(u"--apply --json --sort old-name @"_s));
    QCOMPARE(keep.exitCode, 0);
    QCOMPARE(QString::fromUtf8(keep.out).toUtf8(), keep.out); // valid UTF-8
    const QJsonObject kept = parseJson(keep.out);
    QCOMPARE(field(kept, u"name"_s),
             (QStringList{u"bad\uFFFD\uFFFD.txt"_s, QString::fromUtf8(names[1]), u"new\nline.txt"_s,
                          u"quote\"back\\slash"_s, u"tab\there"_s}));
    QCOMPARE(field(kept, u"status"_s), QStringList(5, u"unchanged"_s));
    QVERIFY(kept[u"files"_s][0][u"undecodable"_s].toBool());
    QCOMPARE(QByteArray::fromBase64(kept[u"files"_s][0][u"pathBytes"_s].toString().toLatin1()),
             m_root + '/' + names[0]);
    QCOMPARE(QByteArray::fromBase64(kept[u"files"_s][0][u"newNameBytes"_s].toString().toLatin1()),
             names[0]);
    QCOMPARE(keep.out.count("\"undecodable\""), 1);
    QCOMPARE(namesIn(m_root), names);

    // One row per file, whatever the name holds.
    const Result table = runCli(args(u"--name [N]_x @"_s));
    QCOMPARE(table.exitCode, 0);
    QCOMPARE(table.out.count('\n'), names.size() + 2);
    QVERIFY2(table.out.contains("new\\x0aline_x.txt"), table.out.constData());
    QVERIFY2(table.out.contains("bad\\xff\\xfe_x.txt"), table.out.constData());

    // A template that changes the name moves the very file the bytes name.
    const Result run = runCli(args(u"--apply --name [N]_x @"_s));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(namesIn(m_root),
             (QList<QByteArray>{"bad\xff\xfe_x.txt", "e\xcc\x81t\xc3\xa9 \xf0\x9f\x93\xb7_x.jpg",
                                "new\nline_x.txt", "quote\"back\\slash_x", "tab\there_x"}));
    QCOMPARE(readFile(path("bad\xff\xfe_x.txt")), names[0]);
}

// Relative paths, ".", repeated slashes and ".." all name the same files: each
// is listed once, where first given, and the preview promises only what the
// run then does. A link in the last component stays a link.
void tst_Cli::pathsListedOnceInGivenOrder()
{
    QVERIFY(::mkdir(path("d").constData(), 0755) == 0);
    QVERIFY(::mkdir(path("d/e").constData(), 0755) == 0);
    for (const char *name : {"z.txt", "a.txt", "d/x.txt", "d/e/y.txt"})
        writeFile(path(name));
    QVERIFY(::symlink("x.txt", path("d/link").constData()) == 0);
    const QStringList arguments =
        args(u"--name [N]_x z.txt ./d// a.txt @/z.txt d/x.txt d/../d d/e/../x.txt d/e/.. "
             "d/e/../link"_s);

    const Result preview = runCli(QStringList{u"--json"_s} + arguments, folder());
    QCOMPARE(preview.exitCode, 0);
    const QJsonObject json = parseJson(preview.out);
    QCOMPARE(field(json, u"path"_s), args(u"@/z.txt @/d/e/y.txt @/d/link @/d/x.txt @/a.txt"_s));
    QCOMPARE(json.value(u"renamed"_s).toInt(), 5);

    const Result run = runCli(QStringList{u"--apply"_s} + arguments, folder());
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(namesIn(m_root), (QList<QByteArray>{"a_x.txt", "d", "z_x.txt"}));
    QCOMPARE(namesIn(path("d")), (QList<QByteArray>{"e", "link_x", "x_x.txt"}));
    QCOMPARE(namesIn(path("d/e")), QList<QByteArray>{"y_x.txt"});
    QVERIFY(QFileInfo(path("d/link_x")).isSymLink());
}

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"
