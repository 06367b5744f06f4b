// SPDX-License-Identifier: GPL-3.0-or-later
#include "../disktree.h"
#include "../scratchdir.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::StringLiterals;

// What the package installs beside the programs: the manual pages made from
// --help, and the shell completions, which must know every option.
class tst_Packaging : public QObject
{
    Q_OBJECT

private slots:
    void helpToMan_data();
    void helpToMan();
    void optionsListed_data();
    void optionsListed();
    void bashCompletes_data();
    void bashCompletes();
    void sourcesStartWithTheLicence();
    void installedWhereTheDesktopsLook_data();
    void installedWhereTheDesktopsLook();
    void desktopEntriesValidate();
    void fileManagerEntries_data();
    void fileManagerEntries();
    void debianVersionIsTheProjectVersion();
};

namespace {

// What a program wrote; `status` is -1 where it crashed or never ended.
struct Ran
{
    int status;
    QString out;
    QString errors;
};

Ran run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The long options that "velnor-rename --help" lists, in its order.
QStringList helpOptions()
{
    static const QRegularExpression option(u"^  (?:-\\w, )?(--[a-z0-9-]*)"_s,
                                           QRegularExpression::MultilineOption);
    QStringList options;
    for (const auto &match :
         option.globalMatch(run(QStringLiteral(VELNOR_RENAME_BIN), {u"--help"_s}).out))
        options << match.captured(1);
    return options;
}

// The keys of a desktop-entry style file by "group/key".
QHash<QString, QString> readEntries(const QString &path)
{
    QHash<QString, QString> entries;
    QString group;
    for (const QString &line : readText(path).split(u'\n')) {
        if (line.startsWith(u'[') && line.endsWith(u']'))
            group = line.mid(1, line.size() - 2);
        else if (const qsizetype equals = line.indexOf(u'='); equals > 0 && !line.startsWith(u'#'))
            entries.insert(group + u'/' + line.left(equals), line.mid(equals + 1));
    }
    return entries;
}

} // namespace

void tst_Packaging::helpToMan_data()
{
    QTest::addColumn<QString>("help");
    QTest::addColumn<QString>("page");

    const QString head = u".\\\" Made from \"tool --help\" by velnor-helptoman; edit the help text "
                         u"instead.\n.TH \"TOOL\" 1 \"\" \"velnor 9.9\" \"User Commands\"\n"
                         u".SH NAME\ntool \\- does one thing\n.SH SYNOPSIS\n.B tool\n"
                         u"[OPTIONS] PATH...\n.SH DESCRIPTION\n"_s;
    QTest::newRow("description, option headings, both option layouts")
        << u"Usage: tool [OPTIONS] PATH...\n\nDoes one thing. Then\nmore.\n\nName:\n"
           u"  --name TEMPLATE      the name\n                       on two lines\n"
           u"  --case keep|lower\n                       the case\n\nAction:\n"
           u"  --apply              do it\n"_s
        << head + u"Does one thing. Then\nmore.\n.SH OPTIONS\n.SS Name\n.TP\n"
                  u"\\fB\\-\\-name\\fR \\fITEMPLATE\\fR\nthe name\non two lines\n.TP\n"
                  u"\\fB\\-\\-case\\fR \\fIkeep|lower\\fR\nthe case\n.SS Action\n.TP\n"
                  u"\\fB\\-\\-apply\\fR\ndo it\n.SH \"SEE ALSO\"\n.BR other (1)\n"_s;
    // Backslashes and lines that would be requests stay text.
    QTest::newRow("short and long option; labelled paragraphs after the options are sections")
        << u"Usage: tool [OPTIONS] PATH...\n\nDoes one thing.\n.hidden and C:\\dir\n\nOptions:\n"
           u"  -n, --name TEMPLATE  the name\n\nExit status: 0 success;\n1 failure.\n"_s
        << head + u"Does one thing.\n\\&.hidden and C:\\edir\n.SH OPTIONS\n.TP\n"
                  u"\\fB\\-n\\fR, \\fB\\-\\-name\\fR "
                  u"\\fITEMPLATE\\fR\nthe name\n.SH EXIT STATUS\n0 success;\n1 failure.\n"
                  u".SH \"SEE ALSO\"\n.BR other (1)\n"_s;
}

void tst_Packaging::helpToMan()
{
    QFETCH(QString, help);
    ScratchDir dir;
    // A stand-in program whose --help is the text of the row.
    const QString tool = dir.filePath(u"tool"_s);
    const QString text = dir.filePath(u"help.txt"_s);
    writeFile(text, help.toUtf8());
    writeFile(tool, "#!/bin/sh\nexec cat '" + text.toUtf8() + "'\n");
    QVERIFY(QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    const QString out = dir.filePath(u"tool.1"_s);
    const Ran made =
        run(QStringLiteral(VELNOR_HELPTOMAN), {tool, u"velnor 9.9"_s, u"other(1)"_s, out});
    QVERIFY2(made.status == 0, qPrintable(made.errors));
    QTEST(readText(out), "page");
}

void tst_Packaging::optionsListed_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("options");
    // MAN stands for "\-\-name" (a page's escapes), OPTION for "--name",
    // NAME for "name".
    QTest::addColumn<QString>("pattern");
    // What reads the file without a word. The pages are read as lintian reads
    // them. Bash's completion is bashCompletes', which offers every option.
    QTest::addColumn<QStringList>("check");
    const QString dir = QStringLiteral(VELNOR_RESOURCES "/completions/");
    const QString page = u"\\.TP\\n\\\\fBMAN\\\\fR"_s;
    const QStringList man{u"man"_s, u"--warnings"_s, u"-E"_s, u"UTF-8"_s,
                          u"-l"_s,  u"-Tutf8"_s,     u"-Z"_s};
    QTest::newRow("velnor-rename.1")
        << QStringLiteral(VELNOR_MANPAGES "/velnor-rename.1") << helpOptions() << page << man;
    QTest::newRow("velnor.1") << QStringLiteral(VELNOR_MANPAGES "/velnor.1")
                              << QStringList{u"--help"_s, u"--version"_s} << page << man;
    QTest::newRow("zsh") << dir + u"_velnor-rename"_s << helpOptions()
                         << u"'(\\([^)]*\\))?\\*?OPTION[=\\[]"_s << QStringList{u"zsh"_s, u"-n"_s};
    QTest::newRow("fish") << dir + u"velnor-rename.fish"_s << helpOptions() << u"-l NAME "_s
                          << QStringList{u"fish"_s, u"--no-execute"_s};
}

// Each manual page and completion knows every option, and reads without a
// warning.
void tst_Packaging::optionsListed()
{
    QFETCH(QString, file);
    QFETCH(QStringList, options);
    QFETCH(QString, pattern);
    QFETCH(QStringList, check);
    const QString text = readText(file);
    QVERIFY2(!text.isEmpty(), qPrintable(file));
    QVERIFY(options.contains(u"--version"_s));
    for (const QString &option : options) {
        if (option == u"--"_s && !pattern.contains(u"MAN"_s))
            continue;
        const QRegularExpression known(
            QString(pattern)
                .replace(u"MAN"_s,
                         QRegularExpression::escape(QString(option).replace(u'-', u"\\-"_s)))
                .replace(u"OPTION"_s, QRegularExpression::escape(option))
                .replace(u"NAME"_s, option.mid(2)));
        QVERIFY2(known.match(text).hasMatch(), qPrintable(option));
    }
    if (check.isEmpty())
        return;
    const QString program = QStandardPaths::findExecutable(check.first());
    if (program.isEmpty())
        QSKIP(qPrintable(check.first() + u" is not installed"_s));
    const Ran ran = run(program, check.mid(1) << file);
    QVERIFY2(ran.status == 0 && ran.errors.isEmpty(), qPrintable(ran.errors));
}

void tst_Packaging::bashCompletes_data()
{
    // The words as bash splits the line: at "=" and ":" too.
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("replies"); // in any order
    const QString name = u"velnor-rename"_s;
    QTest::newRow("option names") << QStringList{name, u"--ca"_s} << u"velnor-rename --ca"_s
                                  << u"--case"_s;
    QTest::newRow("every option of --help from a dash")
        << QStringList{name, u"--"_s} << u"velnor-rename --"_s << helpOptions().join(u' ');
    QTest::newRow("case values") << QStringList{name, u"--case"_s, QString()}
                                 << u"velnor-rename --case "_s
                                 << u"keep lower upper title sentence"_s;
    QTest::newRow("case value after =") << QStringList{name, u"--case"_s, u"="_s, u"u"_s}
                                        << u"velnor-rename --case=u"_s << u"upper"_s;
    QTest::newRow("sort values") << QStringList{name, u"--sort"_s, u"o"_s}
                                 << u"velnor-rename --sort o"_s << u"old-name old-name:desc"_s;
    QTest::newRow("sort direction after the colon")
        << QStringList{name, u"--sort"_s, u"old-name"_s, u":"_s, u"d"_s}
        << u"velnor-rename --sort old-name:d"_s << u"desc"_s;
    QTest::newRow("a template is free text")
        << QStringList{name, u"--name"_s, u"a"_s} << u"velnor-rename --name a"_s << QString();
    QTest::newRow("file names") << QStringList{name, u"al"_s} << u"velnor-rename al"_s
                                << u"alpha.txt"_s;
    QTest::newRow("after -- only file names")
        << QStringList{name, u"--"_s, u"--a"_s} << u"velnor-rename -- --a"_s << u"--apply-notes"_s;
}

void tst_Packaging::bashCompletes()
{
    QFETCH(QStringList, words);
    QFETCH(QString, line);
    QFETCH(QString, replies);
    const QString library = u"/usr/share/bash-completion/bash_completion"_s;
    if (!QFile::exists(library))
        QSKIP("bash-completion is not installed");
    ScratchDir dir;
    makeTree(dir.path(), {"alpha.txt=", "beta=", "--apply-notes="});
    const QString script =
        u"source '%1'; source '%2'; COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1));"
        u" COMP_LINE=\"$LINE\"; COMP_POINT=${#COMP_LINE}; _velnor_rename;"
        u" printf '%s\\n' \"${COMPREPLY[@]}\""_s.arg(
            library, QStringLiteral(VELNOR_RESOURCES "/completions/velnor-rename.bash"));
    QProcess bash;
    bash.setWorkingDirectory(QFile::decodeName(dir.path()));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LINE"_s, line);
    bash.setProcessEnvironment(environment);
    bash.start(u"bash"_s, QStringList{u"-c"_s, script, u"bash"_s} + words);
    QVERIFY(bash.waitForFinished(30000));
    QCOMPARE(bash.readAllStandardError(), QByteArray());
    QStringList got =
        QString::fromUtf8(bash.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    QStringList expected = replies.split(u' ', Qt::SkipEmptyParts);
    got.sort();
    expected.sort();
    QCOMPARE(got, expected);
}

// The licence line that scripts/spdx.sh puts first in every C++ file.
void tst_Packaging::sourcesStartWithTheLicence()
{
    QProcess git;
    git.setWorkingDirectory(QStringLiteral(VELNOR_SOURCE_DIR));
    git.start(u"git"_s, {u"ls-files"_s, u"-z"_s, u"--"_s, u"src"_s, u"tests"_s, u"bench"_s});
    if (!git.waitForFinished(30000) || git.exitStatus() != QProcess::NormalExit ||
        git.exitCode() != 0)
        QSKIP("not a git checkout: the tracked files are unknown");
    const QByteArray line = "// SPDX-License-Identifier: GPL-3.0-or-later\n";
    QStringList without;
    int files = 0;
    for (const QByteArray &name : git.readAllStandardOutput().split('\0')) {
        if (!name.endsWith(".cpp") && !name.endsWith(".h"))
            continue;
        ++files;
        QFile file(QStringLiteral(VELNOR_SOURCE_DIR "/") + QFile::decodeName(name));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        if (file.read(line.size()) != line)
            without << QFile::decodeName(name);
    }
    QVERIFY(files > 100);
    QVERIFY2(without.isEmpty(),
             qPrintable(u"without the licence line (scripts/spdx.sh adds it):\n"_s +
                        without.join(u'\n')));
}

void tst_Packaging::installedWhereTheDesktopsLook_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("executable");
    QTest::newRow("Dolphin's service menu, executable for KIO")
        << u"usr/share/kio/servicemenus/velnor-rename.desktop"_s << true;
    QTest::newRow("Nemo's action") << u"usr/share/nemo/actions/velnor.nemo_action"_s << false;
    QTest::newRow("Nautilus's extension")
        << u"usr/share/nautilus-python/extensions/velnor-nautilus.py"_s << false;
    QTest::newRow("menu entry") << u"usr/share/applications/velnor.desktop"_s << false;
    QTest::newRow("AppStream") << u"usr/share/metainfo/com.velnor.Velnor.metainfo.xml"_s << false;
    QTest::newRow("French catalogue") << u"usr/share/velnor/translations/velnor_fr.qm"_s << false;
    QTest::newRow("Spanish catalogue") << u"usr/share/velnor/translations/velnor_es.qm"_s << false;
    QTest::newRow("the window") << u"usr/bin/velnor"_s << true;
}

// What the package gets: the build installed into a scratch root, as
// dh_auto_install does.
void tst_Packaging::installedWhereTheDesktopsLook()
{
    QFETCH(QString, path);
    static ScratchDir root;
    static bool installed = false;
    if (!installed) {
        QProcess install;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"DESTDIR"_s, QFile::decodeName(root.path()));
        install.setProcessEnvironment(environment);
        install.start(
            QStringLiteral(VELNOR_CMAKE),
            {u"--install"_s, QStringLiteral(VELNOR_BINARY_DIR), u"--prefix"_s, u"/usr"_s});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
        installed = true;
    }
    const QFileInfo file(QFile::decodeName(root.path()) + u'/' + path);
    QVERIFY2(file.isFile(), qPrintable(path));
    QTEST(file.isExecutable(), "executable");
    QVERIFY(file.permissions().testFlag(QFile::ReadOther));
}

void tst_Packaging::desktopEntriesValidate()
{
    const QString file = QStringLiteral(VELNOR_RESOURCES "/velnor.desktop");
    const QString validate = QStandardPaths::findExecutable(u"desktop-file-validate"_s);
    if (validate.isEmpty())
        QSKIP("desktop-file-validate is not installed (Debian desktop-file-utils)");
    const Ran checked = run(validate, {file});
    QVERIFY2(checked.status == 0 && checked.out.isEmpty(), qPrintable(checked.out));
}

void tst_Packaging::fileManagerEntries_data()
{
    // The keys each file manager needs to offer the entry for any selection
    // of local files and folders and to start "velnor -- PATHS".
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("entries");
    const QString dir = QStringLiteral(VELNOR_RESOURCES "/filemanagers/");
    QTest::newRow("Dolphin")
        << dir + u"velnor-rename.desktop"_s
        << QStringList{u"Desktop Entry/Type=Service"_s,
                       u"Desktop Entry/MimeType=all/allfiles;inode/directory;"_s,
                       u"Desktop Entry/X-KDE-Protocols=file"_s,
                       u"Desktop Entry/Actions=renameWithVelnor;"_s,
                       u"Desktop Action renameWithVelnor/Exec=velnor -- %F"_s,
                       u"Desktop Action renameWithVelnor/Name=Rename with Velnor…"_s,
                       u"Desktop Action renameWithVelnor/Name[fr]=Renommer avec Velnor…"_s};
    QTest::newRow("Nemo") << dir + u"velnor.nemo_action"_s
                          << QStringList{u"Nemo Action/Exec=velnor -- %F"_s,
                                         u"Nemo Action/Selection=notnone"_s,
                                         u"Nemo Action/Extensions=any;"_s,
                                         u"Nemo Action/Quote=double"_s,
                                         u"Nemo Action/UriScheme=file"_s,
                                         u"Nemo Action/Name=Rename with Velnor…"_s,
                                         u"Nemo Action/Name[es]=Renombrar con Velnor…"_s};
}

void tst_Packaging::fileManagerEntries()
{
    QFETCH(QString, file);
    QFETCH(QStringList, entries);
    const QHash<QString, QString> read = readEntries(file);
    for (const QString &entry : entries) {
        const qsizetype equals = entry.indexOf(u'=');
        QCOMPARE(read.value(entry.left(equals)), entry.mid(equals + 1));
    }
}

// dpkg-buildpackage names the package after debian/changelog, the programs
// say the version CMake gave them: the two must agree.
void tst_Packaging::debianVersionIsTheProjectVersion()
{
    const QString changelog = readText(QStringLiteral(VELNOR_SOURCE_DIR "/debian/changelog"));
    QVERIFY(changelog.startsWith(u"velnor ("_s));
    QCOMPARE(changelog.section(u'(', 1).section(u')', 0, 0), QStringLiteral(VELNOR_VERSION));
}

QTEST_MAIN(tst_Packaging)
#include "tst_packaging.moc"
