#include <QByteArrayList>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The command line with arguments as raw bytes, as a shell hands them over:
// names and templates that are not UTF-8, hostile templates under a bound on
// time and memory.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool underSanitizer = true;
#else
constexpr bool underSanitizer = false;
#endif

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    long maxRssKb = 0;
    double seconds = 0;
};

// Runs velnor-rename in a child with exactly these argument bytes, in `cwd`,
// its address space limited to `limitBytes` (0: no limit).
Run runBytes(const QByteArrayList &arguments, const QByteArray &cwd, rlim_t limitBytes = 0)
{
    Run run;
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        return run;
    QByteArrayList argv{VELNOR_RENAME_BIN};
    argv += arguments;
    std::vector<char *> pointers;
    for (QByteArray &argument : argv)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        if (::chdir(cwd.constData()) != 0)
            ::_exit(126);
        // A sanitizer reserves terabytes of address space for its shadow, so
        // there only the resident size below bounds the memory.
        if (limitBytes > 0 && !underSanitizer) {
            const rlimit limit{limitBytes, limitBytes};
            ::setrlimit(RLIMIT_AS, &limit);
        }
        ::execv(pointers[0], pointers.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    QByteArray *sinks[2] = {&run.out, &run.err};
    int open = 2;
    while (open > 0 && ::poll(fds, 2, 120000) > 0) {
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP)))
                continue;
            char buffer[65536];
            const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                sinks[i]->append(buffer, got);
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.maxRssKb = usage.ru_maxrss;
    return run;
}

void writeFile(const QByteArray &path, const QByteArray &content)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    QVERIFY2(fd >= 0, path.constData());
    QCOMPARE(::write(fd, content.constData(), size_t(content.size())), ssize_t(content.size()));
    ::close(fd);
}

QByteArrayList namesIn(const QByteArray &folder)
{
    QByteArrayList names;
    for (const auto &entry : std::filesystem::directory_iterator(folder.toStdString()))
        names << QByteArray::fromStdString(entry.path().filename().native());
    std::sort(names.begin(), names.end());
    return names;
}

QJsonArray files(const QByteArray &json)
{
    return QJsonDocument::fromJson(json).object().value(u"files"_s).toArray();
}

} // namespace

class tst_CliBytes : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void nameKeepsItsBytesBesideADecoy();
    void searchGivenAsBytes();
    void tablePinned();
    void bidiControlsEscaped();
    void pathsAfterDoubleDash();
    void longTemplateRefused();
    void hostileTemplatesBounded_data();
    void hostileTemplatesBounded();

private:
    QByteArray path(const QByteArray &name) const { return m_root + '/' + name; }
    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_root;
    // The journals of the runs go here, never to the user's own history.
    QTemporaryDir m_state;
};

void tst_CliBytes::init()
{
    QVERIFY(m_state.isValid());
    qputenv("XDG_STATE_HOME", QFile::encodeName(m_state.path()));
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_root = QFile::encodeName(QFileInfo(m_dir->path()).canonicalFilePath());
}

// QTemporaryDir skips names that are not UTF-8 and would leave them behind.
void tst_CliBytes::cleanup()
{
    std::error_code error;
    std::filesystem::remove_all(m_root.toStdString(), error);
}

void tst_CliBytes::nameKeepsItsBytesBesideADecoy()
{
    writeFile(path("caf\xe9.txt"), "latin-1");
    writeFile(path("caf\xef\xbf\xbd.txt"), "decoy");

    const Run preview = runBytes({"--json", "--name", "[N]-x", path("caf\xe9.txt")}, m_root);
    QCOMPARE(preview.exitCode, 0);
    const QJsonObject row = files(preview.out).at(0).toObject();
    QVERIFY(row.value(u"undecodable"_s).toBool());
    QCOMPARE(QByteArray::fromBase64(row.value(u"pathBytes"_s).toString().toLatin1()),
             path("caf\xe9.txt"));
    QCOMPARE(QByteArray::fromBase64(row.value(u"newNameBytes"_s).toString().toLatin1()),
             "caf\xe9-x.txt"_ba);
    QCOMPARE(row.value(u"status"_s).toString(), u"rename"_s);

    const Run apply = runBytes({"--apply", "--name", "[N]-x", path("caf\xe9.txt")}, m_root);
    QCOMPARE(apply.err, QByteArray());
    QCOMPARE(apply.exitCode, 0);
    QCOMPARE(namesIn(m_root), (QByteArrayList{"caf\xe9-x.txt", "caf\xef\xbf\xbd.txt"}));
    QCOMPARE(QFile(QString::fromUtf8(path("caf\xef\xbf\xbd.txt"))).size(), 5);
}

void tst_CliBytes::searchGivenAsBytes()
{
    writeFile(path("caf\xe9.txt"), "x");
    writeFile(path("caf\xe8.txt"), "y");
    const Run apply = runBytes({"--apply", "--search", "\xe9", "--replace", "e", m_root}, m_root);
    QCOMPARE(apply.exitCode, 0);
    QCOMPARE(namesIn(m_root), (QByteArrayList{"cafe.txt", "caf\xe8.txt"}));
    const Run back = runBytes({"--apply", "--search", "e.", "--replace", "\xe9.", m_root}, m_root);
    QCOMPARE(back.exitCode, 0);
    QCOMPARE(namesIn(m_root), (QByteArrayList{"caf\xe8.txt", "caf\xe9.txt"}));
}

// Marks, columns, escapes and reasons as a whole.
void tst_CliBytes::tablePinned()
{
    for (const char *name : {"a.txt", "ab.txt", "b\xe9.txt"})
        writeFile(path(name), name);
    const Run preview = runBytes({"--name", "[N1]", "--sort", "old-name", m_root}, m_root);
    QCOMPARE(preview.exitCode, 0);
    const QByteArray expected = "   Old Name   New Name  Location\n"
                                "=  a.txt      a.txt     " +
                                path("a.txt") +
                                "\n"
                                "!  ab.txt     a.txt     " +
                                path("ab.txt") +
                                "  (The new name is taken by row 1 (\xE2\x80\x9C"
                                "a.txt\xE2\x80\x9D), which is not renamed.)\n"
                                "   b\\xe9.txt  b.txt     " +
                                m_root +
                                "/b\\xe9.txt\n"
                                "3 files: 1 to rename, 1 unchanged, 1 would fail.\n";
    QCOMPARE(preview.out, expected);
}

void tst_CliBytes::bidiControlsEscaped()
{
    const QByteArray name = "rlo\xe2\x80\xaetxt.exe";
    writeFile(path(name), "x");
    const Run table = runBytes({"--name", "[N]", path(name)}, m_root);
    QCOMPARE(table.exitCode, 0);
    QVERIFY2(table.out.contains("rlo\\u202etxt.exe  rlo\\u202etxt.exe"), table.out.constData());
    QVERIFY(!table.out.contains("\xe2\x80\xae"));
    const Run json = runBytes({"--json", path(name)}, m_root);
    QCOMPARE(files(json.out).at(0).toObject().value(u"name"_s).toString(), QString::fromUtf8(name));
}

void tst_CliBytes::pathsAfterDoubleDash()
{
    writeFile(path("-c.txt"), "dash");
    const Run listed = runBytes({"--json", "--", "-c.txt"}, m_root);
    QCOMPARE(listed.exitCode, 0);
    QCOMPARE(files(listed.out).at(0).toObject().value(u"path"_s).toString(),
             QString::fromUtf8(path("-c.txt")));

    const Run notAnOption = runBytes({"--name", "x", "--", "-c.txt", "--apply"}, m_root);
    QCOMPARE(notAnOption.exitCode, 2);
    QVERIFY2(notAnOption.err.startsWith("velnor-rename: '--apply': "), notAnOption.err);
    QCOMPARE(namesIn(m_root), QByteArrayList{"-c.txt"});
}

void tst_CliBytes::longTemplateRefused()
{
    writeFile(path("a.txt"), "a");
    const Run run = runBytes({"--apply", "--name", QByteArray(64 * 1024 + 1, 'x'), m_root}, m_root);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.err, "velnor-rename: --name is 65537 bytes long; at most 65536 are taken\n"_ba);
    QCOMPARE(namesIn(m_root), QByteArrayList{"a.txt"});
}

// The preview of a hostile template over many files stays within twice the
// memory of the default templates over the same files, and its run writes
// one short log line per refused name.
void tst_CliBytes::hostileTemplatesBounded_data()
{
    QTest::addColumn<QByteArray>("nameTemplate");
    QTest::addColumn<QByteArray>("digits");
    QTest::addColumn<QByteArray>("fileName");
    QTest::newRow("[C] 10000 times, 32 digits") << QByteArray("[C]").repeated(10000) << "32"_ba
                                                << "f%1.txt"_ba;
    QTest::newRow("a tag that grows the name") << "[N1-]"_ba
                                               << "1"_ba
                                               << "[N1-][N1-]NNNN%1"_ba;
}

void tst_CliBytes::hostileTemplatesBounded()
{
    QFETCH(QByteArray, nameTemplate);
    QFETCH(QByteArray, digits);
    QFETCH(QByteArray, fileName);
    const int count = 2000;
    for (int i = 0; i < count; ++i)
        writeFile(path(QString::fromLatin1(fileName).arg(i, 4, 10, QLatin1Char('0')).toLatin1()),
                  {});
    const rlim_t limit = rlim_t(2) << 30;
    const Run plain = runBytes({"--json", m_root}, m_root, limit);
    QCOMPARE(plain.exitCode, 0);
    const Run hostile =
        runBytes({"--json", "--name", nameTemplate, "--digits", digits, m_root}, m_root, limit);
    QCOMPARE(hostile.exitCode, 0);
    const QJsonArray rows = files(hostile.out);
    QCOMPARE(rows.size(), count);
    const QJsonObject first = rows.at(0).toObject();
    QCOMPARE(first.value(u"status"_s).toString(),
             u"invalid: The new name is longer than 255 bytes."_s);
    QVERIFY2(first.value(u"newName"_s).toString().endsWith(u" characters)"_s),
             qPrintable(first.value(u"newName"_s).toString()));
    QVERIFY2(hostile.out.size() < count * 400, QByteArray::number(hostile.out.size()));
    // A sanitizer holds freed memory back in quarantine: the bound is for a
    // plain build.
    QVERIFY2(underSanitizer || hostile.maxRssKb < 2 * plain.maxRssKb,
             qPrintable(u"%1 kB against %2 kB"_s.arg(hostile.maxRssKb).arg(plain.maxRssKb)));
    QVERIFY2(hostile.seconds < 10, QByteArray::number(hostile.seconds));
    qInfo("%d files: default templates %ld kB, %.2f s; hostile %ld kB, %.2f s", count,
          plain.maxRssKb, plain.seconds, hostile.maxRssKb, hostile.seconds);

    const Run apply =
        runBytes({"--apply", "--name", nameTemplate, "--digits", digits, m_root}, m_root, limit);
    QCOMPARE(apply.exitCode, 1);
    QCOMPARE(apply.err.count('\n'), count);
    QVERIFY2(apply.err.size() < count * 400, QByteArray::number(apply.err.size()));
    QCOMPARE(namesIn(m_root).size(), count);
}

QTEST_GUILESS_MAIN(tst_CliBytes)
#include "tst_clibytes.moc"
