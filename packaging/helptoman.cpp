// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a manual page from a program's --help text, so that the page and the
// help never disagree. Build-time tool:
//   velnor-helptoman PROGRAM VERSION SEE_ALSO OUTPUT
// runs "PROGRAM --help" and writes OUTPUT in roff.
//
// The help text is read by its layout: the first line "Usage: NAME ARGS" is
// the synopsis, the paragraph after it the description (its first sentence
// the page's one-line summary), a line ending in ":" at the margin a heading
// of options, a line indented by two spaces and starting with "-" an option
// with its description on the same line after a gap or on deeper lines, and
// a paragraph that starts with "Label: " after the options a section of its
// own ("Exit status: ..." becomes EXIT STATUS).

#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace {

using namespace Qt::StringLiterals;

// Plain text as roff: backslashes escaped, and a line that would start with
// a control character kept as text.
QString escaped(QString text)
{
    text.replace(u'\\', "\\e"_L1);
    return text;
}

QString textLine(const QString &text)
{
    const QString line = escaped(text);
    if (line.startsWith(u'.') || line.startsWith(u'\''))
        return "\\&"_L1 + line;
    return line;
}

// "--name TEMPLATE" (or "-n, --name TEMPLATE") as bold options and an italic
// argument; minus signs of options as \- so that they can be searched and
// copied.
QString optionTerm(const QString &term)
{
    QStringList parts;
    QStringList argument;
    for (const QString &word : term.split(u' ', Qt::SkipEmptyParts)) {
        if (argument.isEmpty() && word.startsWith(u'-')) {
            QString option = word.endsWith(u',') ? word.chopped(1) : word;
            option = escaped(option).replace(u'-', "\\-"_L1);
            parts << "\\fB"_L1 + option + "\\fR"_L1 + (word.endsWith(u',') ? ","_L1 : ""_L1);
        } else {
            argument << word;
        }
    }
    if (!argument.isEmpty())
        parts << "\\fI"_L1 + escaped(argument.join(u' ')) + "\\fR"_L1;
    return parts.join(u' ');
}

struct Page
{
    QString name;
    QString synopsis;
    QString summary;
    QStringList body;
};

Page read(const QString &help)
{
    Page page;
    QStringList lines = help.split(u'\n');
    static const QRegularExpression usage(u"^Usage:\\s+(\\S+)\\s*(.*)$"_s);
    static const QRegularExpression option(u"^  (-\\S*(?: \\S+)*)(?:\\s{2,}(.*))?$"_s);
    static const QRegularExpression labelled(u"^([A-Z][a-z]+(?: [a-z]+){0,2}): (.*)$"_s);

    // The column where option descriptions start, the one most lines use: an
    // option whose term reaches it leaves a single space before its text.
    QHash<qsizetype, int> starts;
    for (const QString &line : std::as_const(lines)) {
        const QRegularExpressionMatch match = option.match(line);
        if (match.hasMatch() && match.hasCaptured(2))
            ++starts[match.capturedStart(2)];
    }
    qsizetype column = 0;
    for (auto it = starts.cbegin(); it != starts.cend(); ++it) {
        if (column == 0 || it.value() > starts.value(column))
            column = it.key();
    }

    enum class In
    {
        Description,
        Options,
        Section
    } in = In::Description;
    bool inOption = false;
    bool paragraphOpen = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i];
        if (i == 0) {
            const QRegularExpressionMatch match = usage.match(line);
            if (match.hasMatch()) {
                page.name = match.captured(1);
                page.synopsis = match.captured(2);
                continue;
            }
        }
        if (line.trimmed().isEmpty()) {
            paragraphOpen = false;
            inOption = false;
            continue;
        }
        if (!line.startsWith(u' ') && line.endsWith(u':')) {
            if (in != In::Options)
                page.body << u".SH OPTIONS"_s;
            in = In::Options;
            const QString heading = line.chopped(1);
            if (heading.compare("Options"_L1, Qt::CaseInsensitive) != 0)
                page.body << u".SS "_s + textLine(heading);
            paragraphOpen = false;
            inOption = false;
            continue;
        }
        if (const QRegularExpressionMatch match = option.match(line); match.hasMatch()) {
            if (in != In::Options)
                page.body << u".SH OPTIONS"_s;
            in = In::Options;
            QString term = match.captured(1);
            QString description = match.captured(2).trimmed();
            if (description.isEmpty() && column > 0 && line.size() > column &&
                line.at(column - 1) == u' ' && line.at(column) != u' ') {
                term = line.left(column).trimmed();
                description = line.mid(column).trimmed();
            }
            page.body << u".TP"_s << optionTerm(term);
            if (!description.isEmpty())
                page.body << textLine(description);
            inOption = true;
            continue;
        }
        if (line.startsWith(u' ') && inOption) {
            page.body << textLine(line.trimmed());
            continue;
        }
        if (!paragraphOpen) {
            paragraphOpen = true;
            const QRegularExpressionMatch match = labelled.match(line);
            if (in != In::Description && match.hasMatch()) {
                in = In::Section;
                page.body << u".SH "_s + match.captured(1).toUpper();
                QString text = match.captured(2);
                text[0] = text[0].toUpper();
                page.body << textLine(text);
                continue;
            }
            if (in == In::Description && page.summary.isEmpty()) {
                page.body << u".SH DESCRIPTION"_s;
                // The first sentence, up to the first ". " or the first period
                // at a line's end.
                QString paragraph = line;
                for (qsizetype j = i + 1; j < lines.size() && !lines[j].trimmed().isEmpty(); ++j)
                    paragraph += u' ' + lines[j].trimmed();
                static const QRegularExpression sentence(u"^(.*?)\\.(?:\\s|$)"_s);
                const QRegularExpressionMatch first = sentence.match(paragraph);
                page.summary = first.hasMatch() ? first.captured(1) : paragraph;
            } else {
                page.body << u".PP"_s;
            }
        }
        page.body << textLine(line.trimmed());
    }
    return page;
}

QString roff(const Page &page, const QString &version, const QString &seeAlso)
{
    QStringList out;
    out << u".\\\" Made from \"%1 --help\" by velnor-helptoman; edit the help text instead."_s.arg(
        page.name);
    out << u".TH \"%1\" 1 \"\" \"%2\" \"User Commands\""_s.arg(page.name.toUpper(), version);
    out << u".SH NAME"_s;
    QString summary = page.summary;
    if (!summary.isEmpty())
        summary[0] = summary[0].toLower();
    out << textLine(page.name).replace(u'-', "\\-"_L1) + " \\- "_L1 + escaped(summary);
    out << u".SH SYNOPSIS"_s;
    out << u".B "_s + textLine(page.name);
    if (!page.synopsis.isEmpty())
        out << textLine(page.synopsis);
    out << page.body;
    if (!seeAlso.isEmpty()) {
        out << u".SH \"SEE ALSO\""_s;
        QStringList refs;
        for (const QString &ref : seeAlso.split(u',', Qt::SkipEmptyParts)) {
            static const QRegularExpression manRef(u"^(.+)\\((\\d)\\)$"_s);
            const QRegularExpressionMatch match = manRef.match(ref.trimmed());
            if (match.hasMatch())
                refs << u".BR %1 (%2)"_s.arg(escaped(match.captured(1)).replace(u'-', "\\-"_L1),
                                             match.captured(2));
        }
        for (qsizetype i = 0; i < refs.size(); ++i)
            out << refs[i] + (i + 1 < refs.size() ? u" ,"_s : QString());
    }
    return out.join(u'\n') + u'\n';
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s PROGRAM VERSION SEE_ALSO OUTPUT\n", argv[0]);
        return 2;
    }
    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The help as a user of any language reads it in the page.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
    environment.insert(u"LANGUAGE"_s, u"C"_s);
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    program.setProcessEnvironment(environment);
    program.start(QFile::decodeName(argv[1]), {u"--help"_s});
    if (!program.waitForFinished(30000) || program.exitStatus() != QProcess::NormalExit ||
        program.exitCode() != 0) {
        std::fprintf(stderr, "velnor-helptoman: %s --help failed\n", argv[1]);
        return 1;
    }
    const Page page = read(QString::fromUtf8(program.readAllStandardOutput()));
    if (page.name.isEmpty()) {
        std::fprintf(stderr, "velnor-helptoman: %s --help has no \"Usage:\" line\n", argv[1]);
        return 1;
    }
    QFile output(QFile::decodeName(argv[4]));
    if (!output.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        output.write(roff(page, QString::fromUtf8(argv[2]), QString::fromUtf8(argv[3])).toUtf8()) <
            0 ||
        !output.flush()) {
        std::fprintf(stderr, "velnor-helptoman: cannot write %s\n", argv[4]);
        return 1;
    }
    return 0;
}
