// SPDX-License-Identifier: GPL-3.0-or-later
#include "clirun.h"
#include "diskfiles.h"
#include "scratchdir.h"

#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

// velnor-rename with new names by hand (--names-from, --map, --edit) on a
// small tree: f/a, f/b, f/c (holding A, B, C) and g/"p,<newline>q" (P).
class tst_CliNames : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void appliedAndUndone_data();
    void appliedAndUndone();
    void refused_data();
    void refused();

private:
    // Runs in the tree with `input` on standard input and in map.csv.
    CliResult run(const QString &options, const QByteArray &input, const QString &editor) const;
    QString disk() const
    {
        return folderEntries(m_tree->path("f")) + u" | "_s + folderEntries(m_tree->path("g"));
    }

    std::unique_ptr<ScratchDir> m_tree;
    ScratchDir m_state;
};

void tst_CliNames::init()
{
    m_tree = std::make_unique<ScratchDir>();
    for (const char *folder : {"f", "g", "tmp"})
        QCOMPARE(::mkdir(m_tree->path(folder), 0755), 0);
    for (const char *name : {"a", "b", "c"})
        writeFile(m_tree->path("f/") + name, QByteArray(name).toUpper());
    writeFile(m_tree->path("g/p,\nq"), "P");
}

CliResult tst_CliNames::run(const QString &options, const QByteArray &input,
                            const QString &editor) const
{
    writeFile(m_tree->path("map.csv"), input);
    CliOptions how;
    how.cwd = m_tree->path();
    how.input = input;
    how.env = {"XDG_STATE_HOME=" + m_state.path(), "VISUAL=", "EDITOR=" + editor.toUtf8(),
               "TMPDIR=" + m_tree->path("tmp")};
    return runCli(options.split(u' '), how);
}

static const QString untouched = u"a=A b=B c=C | p,\nq=P"_s;

void tst_CliNames::appliedAndUndone_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("after");
    QTest::newRow("names-from swap") << u"--sort old-name --names-from - f"_s << "b\na\nc\n"_ba
                                     << u""_s << u"a=B b=A c=C | p,\nq=P"_s;
    // A quoted path with a comma and a line end, a relative path with "./",
    // a name that is not UTF-8, CRLF; f/c is a PATH that keeps its name.
    QTest::newRow("map") << u"--map map.csv f/c"_s << "\"g/p,\nq\",\"n,\xffw\"\r\n./f/a,b2\r\n"_ba
                         << u""_s << u"b2=A b=B c=C | n,\uFFFDw=P"_s;
    QTest::newRow("edit one line") << u"--name [N]x --sort old-name --edit f"_s << ""_ba
                                   << u"test $(stat -c %a \"$1\") = 600 && sed -i 2s/.*/bee/"_s
                                   << u"ax=A bee=B cx=C | p,\nq=P"_s;
    QTest::newRow("edit leaves all") << u"--name [N]x --sort old-name --edit f"_s << ""_ba
                                     << u"true"_s << u"ax=A bx=B cx=C | p,\nq=P"_s;
}

void tst_CliNames::appliedAndUndone()
{
    QFETCH(QString, options);
    QFETCH(QByteArray, input);
    QFETCH(QString, editor);
    const CliResult applied = run(options + u" --apply"_s, input, editor);
    QCOMPARE(applied.err, QByteArray());
    QCOMPARE(applied.exitCode, 0);
    QTEST(disk(), "after");
    QCOMPARE(folderEntries(m_tree->path("tmp")), QString());
    if (QTest::currentDataTag() == "map"_ba)
        QCOMPARE(readFile(m_tree->path("g/n,\xffw")), "P"_ba);
    QCOMPARE(run(u"--undo"_s, {}, {}).exitCode, 0);
    QCOMPARE(disk(), untouched);
}

void tst_CliNames::refused_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("message");
    QTest::newRow("count differs") << u"--names-from - f"_s << "x\ny\n"_ba << u""_s
                                   << u"--names-from: 2 names for 3 files; nothing renamed"_s;
    QTest::newRow("empty line") << u"--names-from - f"_s << "x\n\ny\n"_ba << u""_s
                                << u"--names-from: line 2 is empty"_s;
    QTest::newRow("map path twice") << u"--map map.csv"_s << "f/a,x\n./f/a,y\n"_ba << u""_s
                                    << u"--map: 'map.csv': row 2: './f/a' is in row 1 already"_s;
    QTest::newRow("map path missing") << u"--map map.csv"_s << "f/a,x\nf/q,y\n"_ba << u""_s
                                      << u"row 2: 'f/q': No such file or directory"_s;
    QTest::newRow("map one column") << u"--map map.csv"_s << "f/a,x\nf/b\n"_ba << u""_s
                                    << u"row 2: not two columns (path, new name)"_s;
    QTest::newRow("edit deletes a line") << u"--edit f"_s << ""_ba << u"sed -i 2d"_s
                                         << u"--edit: 2 lines for 3 files; nothing renamed"_s;
    QTest::newRow("editor fails") << u"--edit f"_s << ""_ba << u"sed -i 1s/a/z/ \"$1\"; false"_s
                                  << u"exited with status 1; nothing renamed"_s;
    QTest::newRow("edit a line end")
        << u"--edit g"_s << ""_ba << u"true"_s << u"holds a line end and cannot be edited"_s;
    QTest::newRow("two ways") << u"--names-from - --edit f"_s << ""_ba << u"true"_s
                              << u"--names-from and --edit cannot be combined"_s;
    QTest::newRow("preset") << u"--map map.csv --save-preset p"_s << ""_ba << u""_s
                            << u"a preset keeps no names by hand"_s;
}

void tst_CliNames::refused()
{
    QFETCH(QString, options);
    QFETCH(QByteArray, input);
    QFETCH(QString, editor);
    QFETCH(QString, message);
    const CliResult result = run(options + u" --apply"_s, input, editor);
    QVERIFY2(QString::fromUtf8(result.err).contains(message), result.err.constData());
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(disk(), untouched);
}

QTEST_GUILESS_MAIN(tst_CliNames)
#include "tst_clinames.moc"
