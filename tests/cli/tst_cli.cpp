#include "fileintake.h"
#include "filelist.h"
#include "namecomposer.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
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

Result runCli(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(VELNOR_RENAME_BIN), arguments);
    Result result;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
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
    QByteArray content(4096, Qt::Uninitialized);
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0)
        return "(missing)";
    const ssize_t n = ::read(fd, content.data(), size_t(content.size()));
    ::close(fd);
    content.truncate(qsizetype(std::max<ssize_t>(n, 0)));
    return content;
}

// The raw names in a folder, sorted: QDir would skip the undecodable ones.
QList<QByteArray> namesIn(const QByteArray &folder)
{
    QList<QByteArray> names;
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names << name;
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

QJsonObject parseJson(const QByteArray &text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        qWarning("JSON error %s in: %s", qPrintable(error.errorString()), text.constData());
    return document.object();
}

QStringList field(const QJsonObject &object, const QString &key)
{
    QStringList values;
    for (const QJsonValue &file : object.value(u"files"_s).toArray())
        values << file.toObject().value(key).toString();
    return values;
}

bool isValidUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

} // namespace

class tst_Cli : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void badArguments_data();
    void badArguments();
    void counter_data();
    void counter();
    void sameAsComposer_data();
    void sameAsComposer();
    void previewMatchesApply_data();
    void previewMatchesApply();
    void collisionsPreviewed_data();
    void collisionsPreviewed();
    void failedMoveRenamesTheRest();
    void unwritableOutputFails();
    void refusedNameFails();
    void undecodableNameSurvives();
    void awkwardNamesStayOneRow();
    void pathsInGivenOrderOnce();
    void parentStepsNameTheSameFile();
    void helpNamesEveryOption();

private:
    QByteArray path(const char *relative) const { return m_root + '/' + relative; }
    QString folder() const { return QString::fromUtf8(m_root); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_root;
};

void tst_Cli::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_root = QFile::encodeName(m_dir->path());
}

void tst_Cli::badArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    // "@" stands for the temporary folder, which holds a.txt.
    QTest::newRow("unknown option") << QStringList{u"--frobnicate"_s, u"@"_s}
                                    << u"unknown option '--frobnicate' (see --help)"_s;
    QTest::newRow("single dash option")
        << QStringList{u"-n"_s, u"@"_s} << u"unknown option '-n' (see --help)"_s;
    QTest::newRow("trailing junk")
        << QStringList{u"--start"_s, u"12x"_s, u"@"_s} << u"--start: '12x' is not a whole number"_s;
    QTest::newRow("empty number") << QStringList{u"--step"_s, u""_s, u"@"_s}
                                  << u"--step: '' is not a whole number"_s;
    QTest::newRow("hex number") << QStringList{u"--digits"_s, u"0x10"_s, u"@"_s}
                                << u"--digits: '0x10' is not a whole number"_s;
    QTest::newRow("leading space")
        << QStringList{u"--start"_s, u" 1"_s, u"@"_s} << u"--start: ' 1' is not a whole number"_s;
    QTest::newRow("sign only") << QStringList{u"--start=-"_s, u"@"_s}
                               << u"--start: '-' is not a whole number"_s;
    QTest::newRow("start above 32 bits")
        << QStringList{u"--start"_s, u"2147483648"_s, u"@"_s}
        << u"--start: '2147483648' is out of range (-2147483648 to 2147483647)"_s;
    QTest::newRow("step below 32 bits")
        << QStringList{u"--step"_s, u"-2147483649"_s, u"@"_s}
        << u"--step: '-2147483649' is out of range (-2147483648 to 2147483647)"_s;
    QTest::newRow("beyond 64 bits")
        << QStringList{u"--step"_s, u"99999999999999999999999"_s, u"@"_s}
        << u"--step: '99999999999999999999999' is out of range (-2147483648 to 2147483647)"_s;
    QTest::newRow("digits 33") << QStringList{u"--digits"_s, u"33"_s, u"@"_s}
                               << u"--digits: '33' is out of range (0 to 32)"_s;
    QTest::newRow("digits negative") << QStringList{u"--digits"_s, u"-1"_s, u"@"_s}
                                     << u"--digits: '-1' is out of range (0 to 32)"_s;
    QTest::newRow("case word") << QStringList{u"--case"_s, u"Upper"_s, u"@"_s}
                               << u"--case: unknown case 'Upper' (keep, lower or upper)"_s;
    QTest::newRow("sort word") << QStringList{u"--sort"_s, u"name"_s, u"@"_s}
                               << u"--sort: unknown sort 'name' (old-name, size, date or "
                                  "location, optionally followed by :desc)"_s;
    QTest::newRow("sort direction") << QStringList{u"--sort"_s, u"size:asc"_s, u"@"_s}
                                    << u"--sort: unknown sort 'size:asc' (old-name, size, date "
                                       "or location, optionally followed by :desc)"_s;
    QTest::newRow("value missing") << QStringList{u"@"_s, u"--name"_s} << u"--name needs a value"_s;
    QTest::newRow("flag with value")
        << QStringList{u"--apply=yes"_s, u"@"_s} << u"--apply takes no value"_s;
    QTest::newRow("no path") << QStringList{u"--name"_s, u"x"_s} << u"no PATH given (see --help)"_s;
    QTest::newRow("missing path after a good one")
        << QStringList{u"@"_s, u"@/nothere"_s} << u"'@/nothere': No such file or directory"_s;
    QTest::newRow("control character in the message")
        << QStringList{u"--case"_s, u"a\nb"_s, u"@"_s}
        << u"--case: unknown case 'a\\x0ab' (keep, lower or upper)"_s;
}

void tst_Cli::badArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    writeFile(path("a.txt"), "a");
    // --apply comes first, so any rename would show.
    QStringList full{u"--apply"_s, u"--name=[N]_x"_s};
    for (const QString &argument : std::as_const(arguments))
        full << QString(argument).replace(u"@"_s, folder());
    const Result result = runCli(full);
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(QString::fromUtf8(result.err),
             u"velnor-rename: "_s + QString(message).replace(u"@"_s, folder()) + u'\n');
    QCOMPARE(result.out, QByteArray());
    QCOMPARE(namesIn(m_root), QList<QByteArray>{"a.txt"});
}

void tst_Cli::counter_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("defaults") << QStringList{} << QStringList{u"1"_s, u"2"_s, u"3"_s};
    QTest::newRow("three digits") << QStringList{u"--digits"_s, u"3"_s}
                                  << QStringList{u"001"_s, u"002"_s, u"003"_s};
    QTest::newRow("negative start keeps its sign before the zeros")
        << QStringList{u"--start"_s, u"-5"_s, u"--step"_s, u"3"_s, u"--digits"_s, u"3"_s}
        << QStringList{u"-05"_s, u"-02"_s, u"001"_s};
    QTest::newRow("counting down, equals form")
        << QStringList{u"--start=10"_s, u"--step=-1"_s} << QStringList{u"10"_s, u"9"_s, u"8"_s};
    QTest::newRow("plus sign, step zero") << QStringList{u"--start"_s, u"+7"_s, u"--step"_s, u"0"_s}
                                          << QStringList{u"7"_s, u"7"_s, u"7"_s};
    QTest::newRow("largest start wraps at 32 bits")
        << QStringList{u"--start"_s, u"2147483647"_s}
        << QStringList{u"2147483647"_s, u"-2147483648"_s, u"-2147483647"_s};
    QTest::newRow("digits 0, leading zeros in the option")
        << QStringList{u"--digits"_s, u"0"_s, u"--start"_s, u"007"_s}
        << QStringList{u"7"_s, u"8"_s, u"9"_s};
    QTest::newRow("descending shows and counts from the top")
        << QStringList{u"--sort"_s, u"old-name:desc"_s} << QStringList{u"1"_s, u"2"_s, u"3"_s};
}

void tst_Cli::counter()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, names);
    writeFile(path("a.txt"));
    writeFile(path("b.txt"));
    writeFile(path("c.txt"));
    QStringList arguments{u"--json"_s, u"--name"_s, u"[C]"_s,     u"--ext"_s,
                          u""_s,       u"--sort"_s, u"old-name"_s};
    const Result result = runCli(arguments + options + QStringList{folder()});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(field(parseJson(result.out), u"newName"_s), names);
}

void tst_Cli::sameAsComposer_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<RenameSettings>("settings");
    QTest::addColumn<QString>("sortColumn");
    QTest::addColumn<bool>("descending");

    RenameSettings plain;
    QTest::newRow("defaults") << QStringList{} << plain << QString() << false;

    RenameSettings templates;
    templates.nameTemplate = u"[N2-3]-[C]-[YMD]"_s;
    templates.extTemplate = u"[E]x[C]"_s;
    templates.startCounter = -3;
    templates.stepCounter = 7;
    templates.digitsCounter = 4;
    QTest::newRow("templates and counter")
        << QStringList{u"--name"_s, u"[N2-3]-[C]-[YMD]"_s, u"--ext"_s, u"[E]x[C]"_s,  u"--start"_s,
                       u"-3"_s,     u"--step"_s,           u"7"_s,     u"--digits"_s, u"4"_s,
                       u"--sort"_s, u"old-name"_s}
        << templates << FileList::OldName << false;

    RenameSettings upper;
    upper.searchText = u"a"_s;
    upper.replaceText = u"ß"_s;
    upper.caseTag = RenameSettings::UpperCase;
    QTest::newRow("search, replace, upper")
        << QStringList{u"--search"_s, u"a"_s,     u"--replace"_s, u"ß"_s,
                       u"--case"_s,   u"upper"_s, u"--sort"_s,    u"size:desc"_s}
        << upper << FileList::Size << true;

    RenameSettings lower;
    lower.nameTemplate = u"[C]_[N]"_s;
    lower.caseTag = RenameSettings::LowerCase;
    QTest::newRow("lower, by date descending")
        << QStringList{u"--case"_s,  u"lower"_s,  u"--name"_s,
                       u"[C]_[N]"_s, u"--sort"_s, u"date:desc"_s}
        << lower << FileList::Date << true;

    RenameSettings keep;
    keep.nameTemplate = u"[N]"_s;
    keep.caseTag = RenameSettings::KeepCase;
    keep.searchText = u"."_s;
    keep.replaceText = u"_"_s;
    QTest::newRow("keep case, by location")
        << QStringList{u"--case"_s,    u"keep"_s, u"--search"_s, u"."_s,
                       u"--replace"_s, u"_"_s,    u"--sort"_s,   u"location"_s}
        << keep << FileList::Location << false;
}

void tst_Cli::sameAsComposer()
{
    QFETCH(QStringList, options);
    QFETCH(RenameSettings, settings);
    QFETCH(QString, sortColumn);
    QFETCH(bool, descending);
    QVERIFY(::mkdir(path("Sub").constData(), 0755) == 0);
    writeFile(path("Alpha.JPG"), "12345");
    writeFile(path("beta.tar.gz"), "1");
    writeFile(path("Sub/.profile"), "123");
    writeFile(path("Sub/gamma"), "12");
    const QDateTime base(QDate(2024, 3, 5), QTime(14, 7));
    int minutes = 0;
    for (const char *name : {"Alpha.JPG", "beta.tar.gz", "Sub/.profile", "Sub/gamma"}) {
        const timespec times[2] = {{base.toSecsSinceEpoch() + 60 * minutes, 0},
                                   {base.toSecsSinceEpoch() - 3600 * 24 * minutes, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, path(name).constData(), times, 0), 0);
        ++minutes;
    }

    const Result result = runCli(QStringList{u"--json"_s} + options + QStringList{folder()});
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
    QStringList paths;
    QStringList names;
    for (qint64 row = 0; row < list.count(); ++row) {
        paths << list.fileAtIndex(row)->fullPath();
        names << composer.newNameForFile(*list.fileAtIndex(row), row);
    }
    QCOMPARE(list.count(), 4);
    QCOMPARE(field(json, u"path"_s), paths);
    QCOMPARE(field(json, u"newName"_s), names);
}

void tst_Cli::previewMatchesApply_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QList<QByteArray>>("after");
    QTest::newRow("suffix") << QStringList{u"--name"_s, u"[N]_x"_s}
                            << QList<QByteArray>{"a_x.txt", "b_x.txt", "c_x", "d_x.md"};
    QTest::newRow("counter ascending")
        << QStringList{u"--name"_s, u"[C]"_s, u"--sort"_s, u"old-name"_s, u"--digits"_s, u"2"_s}
        << QList<QByteArray>{"01.txt", "02.txt", "03", "04.md"};
    QTest::newRow("counter descending applies what it shows")
        << QStringList{u"--name"_s, u"[C]"_s, u"--sort"_s, u"old-name:desc"_s}
        << QList<QByteArray>{"1.md", "2", "3.txt", "4.txt"};
    QTest::newRow("some unchanged") << QStringList{u"--search"_s, u"b"_s, u"--replace"_s, u"B"_s}
                                    << QList<QByteArray>{"B.txt", "a.txt", "c", "d.md"};
}

void tst_Cli::previewMatchesApply()
{
    QFETCH(QStringList, options);
    QFETCH(QList<QByteArray>, after);
    for (const char *name : {"a.txt", "b.txt", "c", "d.md"})
        writeFile(path(name), name);
    const QStringList arguments = QStringList{u"--json"_s} + options + QStringList{folder()};

    const Result preview = runCli(arguments);
    QCOMPARE(preview.exitCode, 0);
    QCOMPARE(preview.err, QByteArray());
    QCOMPARE(namesIn(m_root), (QList<QByteArray>{"a.txt", "b.txt", "c", "d.md"}));

    const Result run = runCli(QStringList{u"--apply"_s} + arguments);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(namesIn(m_root), after);

    const QJsonObject planned = parseJson(preview.out);
    const QJsonObject done = parseJson(run.out);
    QCOMPARE(field(done, u"path"_s), field(planned, u"path"_s));
    QCOMPARE(field(done, u"newName"_s), field(planned, u"newName"_s));
    QStringList expectedStatus = field(planned, u"status"_s);
    expectedStatus.replaceInStrings(u"rename"_s, u"renamed"_s);
    QCOMPARE(field(done, u"status"_s), expectedStatus);
    for (const char *key : {"renamed", "failed", "unchanged"})
        QCOMPARE(done.value(QLatin1String(key)).toInt(), planned.value(QLatin1String(key)).toInt());
    QCOMPARE(done.value(u"renamed"_s).toInt() + done.value(u"unchanged"_s).toInt(), 4);
    // Each file kept its content under the name the preview promised.
    const QStringList paths = field(planned, u"path"_s);
    const QStringList newNames = field(planned, u"newName"_s);
    for (qsizetype i = 0; i < paths.size(); ++i)
        QCOMPARE(readFile(path(newNames[i].toUtf8().constData())),
                 QFile::encodeName(paths[i].section(u'/', -1)));
}

void tst_Cli::collisionsPreviewed_data()
{
    QTest::addColumn<QList<QByteArray>>("files");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("statuses");
    QTest::addColumn<QList<QByteArray>>("after");
    QTest::newRow("chain: the name is still taken")
        << QList<QByteArray>{"1.txt", "2.txt"}
        << QStringList{u"--name"_s, u"[C]"_s, u"--start"_s, u"2"_s}
        << QStringList{u"invalid: File exists"_s, u"rename"_s}
        << QList<QByteArray>{"1.txt", "3.txt"};
    QTest::newRow("chain: an earlier move frees the name")
        << QList<QByteArray>{"2.txt", "1.txt"}
        << QStringList{u"--name"_s, u"[C]"_s, u"--start"_s, u"3"_s, u"--step"_s, u"-1"_s}
        << QStringList{u"rename"_s, u"rename"_s} << QList<QByteArray>{"2.txt", "3.txt"};
    QTest::newRow("two files, one new name")
        << QList<QByteArray>{"a.txt", "b.txt"} << QStringList{u"--name"_s, u"x"_s}
        << QStringList{u"rename"_s, u"invalid: File exists"_s}
        << QList<QByteArray>{"b.txt", "x.txt"};
    QTest::newRow("descending display, stored walk")
        << QList<QByteArray>{"a.txt", "b.txt"}
        << QStringList{u"--name"_s, u"x"_s, u"--sort"_s, u"old-name:desc"_s}
        << QStringList{u"invalid: File exists"_s, u"rename"_s}
        << QList<QByteArray>{"b.txt", "x.txt"};
}

void tst_Cli::collisionsPreviewed()
{
    QFETCH(QList<QByteArray>, files);
    QFETCH(QStringList, options);
    QFETCH(QStringList, statuses);
    QFETCH(QList<QByteArray>, after);
    QStringList arguments = QStringList{u"--json"_s} + options;
    for (const QByteArray &name : std::as_const(files)) {
        writeFile(m_root + '/' + name, name);
        arguments << QString::fromUtf8(m_root + '/' + name);
    }
    const Result preview = runCli(arguments);
    QCOMPARE(preview.exitCode, 0);
    QCOMPARE(field(parseJson(preview.out), u"status"_s), statuses);

    const Result run = runCli(QStringList{u"--apply"_s} + arguments);
    QStringList done = statuses;
    done.replaceInStrings(u"rename"_s, u"renamed"_s).replaceInStrings(u"invalid"_s, u"failed"_s);
    QCOMPARE(field(parseJson(run.out), u"status"_s), done);
    QCOMPARE(run.exitCode, statuses.filter(u"invalid"_s).isEmpty() ? 0 : 1);
    QCOMPARE(namesIn(m_root), after);
}

void tst_Cli::failedMoveRenamesTheRest()
{
    for (const char *name : {"a.txt", "b.txt", "c.txt"})
        writeFile(path(name), name);
    writeFile(path("b_x.txt"), "keep me");
    // The files one by one, so that the occupied name is not itself listed.
    const Result result =
        runCli({u"--apply"_s, u"--name"_s, u"[N]_x"_s, QString::fromUtf8(path("a.txt")),
                QString::fromUtf8(path("b.txt")), QString::fromUtf8(path("c.txt"))});
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.out, QByteArray("2 files renamed successfully. 1 failed, 0 unchanged.\n"));
    QCOMPARE(result.err.count('\n'), 1);
    QCOMPARE(namesIn(m_root), (QList<QByteArray>{"a_x.txt", "b.txt", "b_x.txt", "c_x.txt"}));
    QCOMPARE(readFile(path("b_x.txt")), QByteArray("keep me"));
    QCOMPARE(readFile(path("b.txt")), QByteArray("b.txt"));

    // The same through --json: the failure carries its reason.
    const Result json = runCli(
        {u"--apply"_s, u"--json"_s, u"--name"_s, u"[N]_x"_s, QString::fromUtf8(path("b.txt"))});
    QCOMPARE(json.exitCode, 1);
    const QJsonObject object = parseJson(json.out);
    QCOMPARE(field(object, u"status"_s).size(), 1);
    QVERIFY2(field(object, u"status"_s).first().startsWith(u"failed: "_s), json.out.constData());
    QCOMPARE(object.value(u"failed"_s).toInt(), 1);
    QCOMPARE(object.value(u"renamed"_s).toInt(), 0);
}

void tst_Cli::unwritableOutputFails()
{
    writeFile(path("a.txt"));
    QProcess process;
    process.setStandardOutputFile(u"/dev/full"_s);
    process.start(QStringLiteral(VELNOR_RENAME_BIN), {u"--json"_s, folder()});
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode(), 1);
    QCOMPARE(process.readAllStandardError(),
             QByteArray("velnor-rename: cannot write the output: No space left on device\n"));
}

void tst_Cli::refusedNameFails()
{
    writeFile(path("a.b"), "ab");
    writeFile(path("c"), "c");
    const QStringList arguments{u"--search"_s, u"."_s,      u"--replace"_s, u"/"_s,  u"--name"_s,
                                u"[N]x"_s,     u"--sort"_s, u"old-name"_s,  folder()};

    const Result table = runCli(arguments);
    QCOMPARE(table.exitCode, 0);
    const QList<QByteArray> lines = table.out.split('\n');
    QCOMPARE(lines.size(), 5); // title, two rows, summary, and the end of the last line
    QVERIFY2(lines[1].startsWith("!  a.b"), lines[1].constData());
    QVERIFY2(lines[2].startsWith("   c "), lines[2].constData());
    QCOMPARE(lines[3], QByteArray("2 files: 1 to rename, 0 unchanged, 1 would fail."));

    const Result preview = runCli(QStringList{u"--json"_s} + arguments);
    const QJsonObject planned = parseJson(preview.out);
    QCOMPARE(field(planned, u"newName"_s), (QStringList{u"ax/b"_s, u"cx"_s}));
    const QString status = field(planned, u"status"_s).first();
    QVERIFY2(status.startsWith(u"invalid: "_s), qPrintable(status));
    QCOMPARE(planned.value(u"failed"_s).toInt(), 1);
    QCOMPARE(planned.value(u"renamed"_s).toInt(), 1);

    const Result run = runCli(QStringList{u"--json"_s, u"--apply"_s} + arguments);
    QCOMPARE(run.exitCode, 1);
    const QJsonObject done = parseJson(run.out);
    QCOMPARE(field(done, u"status"_s), (QStringList{u"failed: "_s + status.mid(9), u"renamed"_s}));
    QCOMPARE(namesIn(m_root), (QList<QByteArray>{"a.b", "cx"}));
}

void tst_Cli::undecodableNameSurvives()
{
    QVERIFY(::mkdir(path("odd").constData(), 0755) == 0);
    const QByteArray odd = path("odd/bad\xff\xfe.txt");
    writeFile(odd, "odd bytes");
    writeFile(path("odd/ok.txt"), "ok");

    // The default templates leave the name alone: the bytes stay as they were.
    const Result keep =
        runCli({u"--apply"_s, u"--json"_s, u"--sort"_s, u"old-name"_s, folder() + u"/odd"_s});
    QCOMPARE(keep.exitCode, 0);
    QVERIFY(isValidUtf8(keep.out));
    const QJsonObject kept = parseJson(keep.out);
    const QJsonArray files = kept.value(u"files"_s).toArray();
    QCOMPARE(files.size(), 2);
    QCOMPARE(files[0].toObject().value(u"name"_s).toString(), u"bad\uFFFD\uFFFD.txt"_s);
    QCOMPARE(files[0].toObject().value(u"undecodable"_s).toBool(), true);
    QCOMPARE(files[1].toObject().contains(u"undecodable"_s), false);
    QCOMPARE(field(kept, u"status"_s), (QStringList{u"unchanged"_s, u"unchanged"_s}));
    QCOMPARE(readFile(odd), QByteArray("odd bytes"));

    // A template that changes it moves the very file the bytes name.
    const Result run = runCli({u"--apply"_s, u"--name"_s, u"[N]_x"_s, folder() + u"/odd"_s});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(namesIn(path("odd")),
             (QList<QByteArray>{"bad\xef\xbf\xbd\xef\xbf\xbd_x.txt", "ok_x.txt"}));
    QCOMPARE(readFile(path("odd/bad\xef\xbf\xbd\xef\xbf\xbd_x.txt")), QByteArray("odd bytes"));
}

void tst_Cli::awkwardNamesStayOneRow()
{
    const QList<QByteArray> names{"new\nline.txt", "quote\"back\\slash", "tab\there",
                                  "e\xcc\x81t\xc3\xa9 \xf0\x9f\x93\xb7.jpg"};
    for (const QByteArray &name : names)
        writeFile(m_root + '/' + name);

    const Result table = runCli({u"--name"_s, u"[N]!"_s, folder()});
    QCOMPARE(table.exitCode, 0);
    QCOMPARE(table.out.count('\n'), names.size() + 2);
    QVERIFY2(table.out.contains("new\\nline!.txt"), table.out.constData());

    const Result json = runCli({u"--json"_s, u"--name"_s, u"[N]!"_s, folder()});
    QCOMPARE(json.exitCode, 0);
    QStringList found = field(parseJson(json.out), u"name"_s);
    found.sort();
    QStringList expected;
    for (const QByteArray &name : names)
        expected << QString::fromUtf8(name);
    expected.sort();
    QCOMPARE(found, expected);
}

void tst_Cli::pathsInGivenOrderOnce()
{
    QVERIFY(::mkdir(path("d").constData(), 0755) == 0);
    writeFile(path("z.txt"));
    writeFile(path("d/m.txt"));
    writeFile(path("a.txt"));
    // Relative paths, "." components and repeated slashes name the same files.
    QProcess process;
    process.setWorkingDirectory(folder());
    process.start(
        QStringLiteral(VELNOR_RENAME_BIN),
        {u"--json"_s, u"z.txt"_s, u"./d//"_s, u"a.txt"_s, folder() + u"/z.txt"_s, u"d/m.txt"_s});
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode(), 0);
    const QJsonObject json = parseJson(process.readAllStandardOutput());
    QCOMPARE(field(json, u"path"_s), (QStringList{folder() + u"/z.txt"_s, folder() + u"/d/m.txt"_s,
                                                  folder() + u"/a.txt"_s}));
}

// "d/../d" reaches the files of "d": listed once, and the preview promises
// only what the run then does. A link in the last component stays a link.
void tst_Cli::parentStepsNameTheSameFile()
{
    QVERIFY(::mkdir(path("d").constData(), 0755) == 0);
    QVERIFY(::mkdir(path("d/e").constData(), 0755) == 0);
    writeFile(path("d/x.txt"));
    writeFile(path("d/e/y.txt"));
    QVERIFY(::symlink("x.txt", path("d/link").constData()) == 0);
    const QString real = QFileInfo(folder()).canonicalFilePath();
    QProcess process;
    process.setWorkingDirectory(folder());
    const QStringList paths{u"d/../d"_s, u"d"_s, u"d/e/../x.txt"_s, u"d/e/.."_s, u"d/e/../link"_s};
    process.start(QStringLiteral(VELNOR_RENAME_BIN),
                  QStringList{u"--json"_s, u"--name"_s, u"[N]_x"_s} + paths);
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode(), 0);
    const QJsonObject json = parseJson(process.readAllStandardOutput());
    QStringList listed = field(json, u"path"_s);
    listed.sort();
    QCOMPARE(listed,
             (QStringList{real + u"/d/e/y.txt"_s, real + u"/d/link"_s, real + u"/d/x.txt"_s}));
    QCOMPARE(json.value(u"renamed"_s).toInt(), 3);
    QCOMPARE(json.value(u"failed"_s).toInt(), 0);

    process.start(QStringLiteral(VELNOR_RENAME_BIN),
                  QStringList{u"--apply"_s, u"--name"_s, u"[N]_x"_s} + paths);
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.readAllStandardError(), QByteArray());
    QCOMPARE(process.exitCode(), 0);
    QVERIFY(QFileInfo::exists(path("d/e/y_x.txt")));
    QVERIFY(QFileInfo(path("d/link_x")).isSymLink());
    QVERIFY(QFileInfo::exists(path("d/x_x.txt")));
}

void tst_Cli::helpNamesEveryOption()
{
    const Result help = runCli({u"--help"_s});
    QCOMPARE(help.exitCode, 0);
    for (const char *option :
         {"--name", "--ext", "--search", "--replace", "--case", "--start", "--step", "--digits",
          "--sort", "--apply", "--json", "--help", "--version", "keep|lower|upper", "old-name",
          "location", ":desc", "Exit status", "undecodable"})
        QVERIFY2(help.out.contains(option), option);
    const Result version = runCli({u"--version"_s});
    QCOMPARE(version.exitCode, 0);
    QVERIFY(version.out.startsWith("velnor-rename "));
}

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"
