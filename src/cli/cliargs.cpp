// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cliargs.h"

#include "files/filelist.h"
#include "posix/namecodec.h"
#include "posix/textescape.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <optional>
#include <utility>

namespace {

// A message is one line whatever the argument holds.
QString quoted(const QByteArray &argument)
{
    return QLatin1Char('\'') + TextEscape::path(argument) + QLatin1Char('\'');
}

QString numberMessage(const char *option, const QByteArray &value, CliArgs::NumberError error,
                      qint64 min, qint64 max)
{
    if (error == CliArgs::NumberError::NotANumber)
        return QStringLiteral("%1: %2 is not a whole number")
            .arg(QLatin1String(option), quoted(value));
    return QStringLiteral("%1: %2 is out of range (%3 to %4)")
        .arg(QLatin1String(option), quoted(value))
        .arg(min)
        .arg(max);
}

// The IDs the history gives: the start time and a number, no path.
bool isRunId(const QByteArray &value)
{
    return !value.isEmpty() && value.size() <= 64 &&
           std::all_of(value.cbegin(), value.cend(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                      c == '-' || c == '_';
           });
}

} // namespace

bool CliArgs::checkRunAction(const QStringList *otherOptions, QString *error) const
{
    const QString action = history ? QStringLiteral("--history")
                           : undo  ? QStringLiteral("--undo")
                                   : QStringLiteral("--redo");
    if (history && (undo || redo))
        *error = QStringLiteral("%1 and %2 cannot be combined")
                     .arg(action, undo ? QStringLiteral("--undo") : QStringLiteral("--redo"));
    else if (!otherOptions->isEmpty())
        *error = QStringLiteral("%1 and %2 cannot be combined").arg(action, otherOptions->first());
    else if (!paths.isEmpty())
        *error = QStringLiteral("%1 takes no PATH: a run is named by its ID (see --history)")
                     .arg(action);
    else
        return true;
    return false;
}

bool CliArgs::checkNamesByHand(QString *error) const
{
    QStringList ways;
    if (!namesFrom.isEmpty())
        ways << QStringLiteral("--names-from");
    if (mapEntry >= 0)
        ways << QStringLiteral("--map");
    if (edit)
        ways << QStringLiteral("--edit");
    qsizetype readers = namesFrom == "-" ? 1 : 0;
    for (const auto &entry : filesFrom)
        readers += entry.second == "-" ? 1 : 0;
    if (ways.size() > 1)
        *error = QStringLiteral("%1 and %2 cannot be combined: each gives the new names")
                     .arg(ways[0], ways[1]);
    else if (!ways.isEmpty() && !savePreset.isEmpty())
        *error = QStringLiteral("--save-preset and %1 cannot be combined: a preset keeps no "
                                "names by hand")
                     .arg(ways[0]);
    else if (readers > 1)
        *error = QStringLiteral("standard input (\"-\") can be read by one option only");
    else
        return true;
    return false;
}

CliArgs::NumberError CliArgs::parseNumber(const QByteArray &text, qint64 min, qint64 max,
                                          qint64 *value)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        return NumberError::NotANumber;
    // Digits beyond what fits still make a number, only one out of range.
    bool tooLarge = false;
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return NumberError::NotANumber;
        if (magnitude > (std::numeric_limits<qint64>::max() - 9) / 10)
            tooLarge = true;
        else
            magnitude = magnitude * 10 + (c - '0');
    }
    const qint64 number = negative ? -magnitude : magnitude;
    if (tooLarge || number < min || number > max)
        return NumberError::OutOfRange;
    *value = number;
    return NumberError::None;
}

bool CliArgs::parse(const QList<QByteArray> &arguments, QString *error)
{
    // Options that shape new names, which an action on the history refuses.
    QStringList ruleOptions;
    std::optional<QByteArray> foldersOption; // --rename-folders or --only-folders
    auto fail = [error](const QString &message) {
        *error = message;
        return false;
    };
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QByteArray &argument = arguments[i];
        if (optionsEnded || !argument.startsWith('-') || argument == "-") {
            paths << argument;
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        // "--name=VALUE" and "--name VALUE" both work.
        QByteArray option = argument;
        QByteArray value;
        bool hasValue = false;
        if (const qsizetype eq = argument.indexOf('='); argument.startsWith("--") && eq > 2) {
            option = argument.left(eq);
            value = argument.mid(eq + 1);
            hasValue = true;
        }
        auto flag = [&](bool *target) {
            if (hasValue)
                return fail(QStringLiteral("%1 takes no value").arg(QString::fromUtf8(option)));
            *target = true;
            return true;
        };
        if (option == "--rename-folders" || option == "--only-folders") {
            if (hasValue)
                return fail(QStringLiteral("%1 takes no value").arg(QString::fromUtf8(option)));
            if (foldersOption && *foldersOption != option)
                return fail(QStringLiteral("give one of --rename-folders and --only-folders"));
            foldersOption = option;
            settings.rows = option == "--only-folders" ? RenameSettings::Rows::Folders
                                                       : RenameSettings::Rows::FilesAndFolders;
            ruleOptions << QString::fromUtf8(option);
            continue;
        }
        const std::pair<const char *, bool *> flags[] = {
            {"--apply", &apply},
            {"--json", &json},
            {"--help", &help},
            {"--version", &version},
            {"--regex", &settings.regex},
            {"--ignore-case", &settings.ignoreCase},
            {"--counter-per-folder", &settings.counterPerFolder},
            {"--24-hour", &settings.hour24},
            {"--ascii", &settings.plainAscii},
            {"--companions", &settings.companions},
            {"--unique", &settings.uniqueNames},
            {"--make-folders", &settings.makeFolders},
            {"--natural", &natural},
            {"--null", &nullSeparated},
            {"--list-presets", &listPresets},
            {"--no-journal", &noJournal},
            {"--edit", &edit},
            {"--history", &history},
            {"--no-hidden", &noHidden}};
        const auto isFlag = std::find_if(std::begin(flags), std::end(flags),
                                         [&](const auto &entry) { return option == entry.first; });
        if (isFlag != std::end(flags)) {
            if (!flag(isFlag->second))
                return false;
            if (option != "--json" && option != "--help" && option != "--version" &&
                option != "--history")
                ruleOptions << QString::fromUtf8(option);
            continue;
        }
        if (option == "--undo" || option == "--redo") {
            if (undo || redo)
                return fail(QStringLiteral("give one of --undo and --redo"));
            (option == "--undo" ? undo : redo) = true;
            // The ID is optional: "--undo ID" takes the next argument unless
            // it is an option.
            if (!hasValue && i + 1 < arguments.size() && !arguments[i + 1].startsWith('-'))
                value = arguments[++i], hasValue = true;
            if (hasValue && !isRunId(value))
                return fail(QStringLiteral("%1: %2 is no run ID (see --history)")
                                .arg(QString::fromUtf8(option), quoted(value)));
            runId = QString::fromLatin1(value);
            continue;
        }
        static const char *const valued[] = {
            "--name",       "--ext",    "--search",    "--replace",    "--case",   "--start",
            "--step",       "--digits", "--sort",      "--files-from", "--preset", "--save-preset",
            "--names-from", "--map",    "--date-from", "--include",    "--exclude"};
        const auto known = std::find_if(std::begin(valued), std::end(valued),
                                        [&](const char *name) { return option == name; });
        if (known == std::end(valued))
            return fail(QStringLiteral("unknown option %1 (see --help)").arg(quoted(option)));
        if (!hasValue) {
            if (i + 1 == arguments.size())
                return fail(QStringLiteral("%1 needs a value").arg(QString::fromUtf8(option)));
            value = arguments[++i];
        }
        const char *name = *known;
        ruleOptions << QString::fromUtf8(option);
        // A template or search text given as bytes that are not UTF-8 keeps
        // them, as a name does.
        const QString text = NameCodec::decode(value);
        if (value.size() > maxTemplateBytes && (option == "--name" || option == "--ext" ||
                                                option == "--search" || option == "--replace")) {
            return fail(QStringLiteral("%1 is %2 bytes long; at most %3 are taken")
                            .arg(QString::fromUtf8(option))
                            .arg(value.size())
                            .arg(maxTemplateBytes));
        }
        if (option == "--name") {
            settings.nameTemplate = text;
        } else if (option == "--ext") {
            settings.extTemplate = text;
        } else if (option == "--search") {
            settings.searchText = text;
        } else if (option == "--replace") {
            settings.replaceText = text;
        } else if (option == "--case") {
            if (value == "keep")
                settings.caseTag = RenameSettings::KeepCase;
            else if (value == "lower")
                settings.caseTag = RenameSettings::LowerCase;
            else if (value == "upper")
                settings.caseTag = RenameSettings::UpperCase;
            else if (value == "title")
                settings.caseTag = RenameSettings::TitleCase;
            else if (value == "sentence")
                settings.caseTag = RenameSettings::SentenceCase;
            else
                return fail(QStringLiteral(
                                "--case: unknown case %1 (keep, lower, upper, title or sentence)")
                                .arg(quoted(value)));
        } else if (option == "--date-from") {
            QList<RenameSettings::DateSource> sources;
            for (const QByteArray &source : value.split(',')) {
                if (source == "modified")
                    sources << RenameSettings::DateSource::Modified;
                else if (source == "created")
                    sources << RenameSettings::DateSource::Created;
                else if (source == "taken")
                    sources << RenameSettings::DateSource::Taken;
                else
                    return fail(QStringLiteral("--date-from: unknown source %1 (modified, "
                                               "created or taken, separated by commas)")
                                    .arg(quoted(source)));
            }
            // The modification date alone is the default, kept as such.
            if (sources == QList{RenameSettings::DateSource::Modified})
                sources.clear();
            settings.dateSources = sources;
        } else if (option == "--files-from" || option == "--map") {
            if (value.isEmpty())
                return fail(QStringLiteral("%1 needs a file name").arg(QString::fromUtf8(option)));
            if (option == "--map") {
                if (mapEntry >= 0)
                    return fail(QStringLiteral("--map can be given once"));
                mapEntry = filesFrom.size();
                mapFile = value;
            }
            filesFrom.append({paths.size(), value});
        } else if (option == "--include" || option == "--exclude") {
            if (value.isEmpty())
                return fail(QStringLiteral("%1 needs a pattern").arg(QString::fromUtf8(option)));
            (option == "--include" ? include : exclude) << value;
        } else if (option == "--names-from") {
            if (value.isEmpty())
                return fail(QStringLiteral("--names-from needs a file name"));
            namesFrom = value;
        } else if (option == "--preset") {
            // Options after it override its values, those before it do not.
            if (!presetLookup || !presetLookup(text, &settings))
                return fail(QStringLiteral("--preset: no preset named %1").arg(quoted(value)));
        } else if (option == "--save-preset") {
            if (text.isEmpty())
                return fail(QStringLiteral("--save-preset: a preset needs a name"));
            savePreset = text;
        } else if (option == "--sort") {
            QByteArray column = value;
            sortDescending = column.endsWith(":desc");
            if (sortDescending)
                column.chop(5);
            if (column == "old-name")
                sortColumn = FileList::OldName;
            else if (column == "size")
                sortColumn = FileList::Size;
            else if (column == "date")
                sortColumn = FileList::Date;
            else if (column == "location")
                sortColumn = FileList::Location;
            else
                return fail(QStringLiteral("--sort: unknown sort %1 (old-name, size, date or "
                                           "location, optionally followed by :desc)")
                                .arg(quoted(value)));
        } else {
            const bool digits = option == "--digits";
            const qint64 min = digits ? 0 : std::numeric_limits<qint32>::min();
            const qint64 max = digits ? 32 : std::numeric_limits<qint32>::max();
            qint64 number = 0;
            const NumberError numberError = parseNumber(value, min, max, &number);
            if (numberError != NumberError::None)
                return fail(numberMessage(name, value, numberError, min, max));
            qint32 &target = digits                ? settings.digitsCounter
                             : option == "--start" ? settings.startCounter
                                                   : settings.stepCounter;
            target = qint32(number);
        }
    }
    if (help || version)
        return true;
    if (history || undo || redo)
        return checkRunAction(&ruleOptions, error);
    // A run that made folders below a file's own could not rename the folders
    // it makes them in: which of the two a "/" stands for would be a guess.
    if (settings.makeFolders && settings.rows != RenameSettings::Rows::Files)
        return fail(QStringLiteral("--make-folders cannot go with %1: folders are either made "
                                   "or renamed in one run")
                        .arg(foldersOption ? QString::fromUtf8(*foldersOption)
                                           : QStringLiteral("a preset that renames folders")));
    if (!checkNamesByHand(error))
        return false;
    if (paths.isEmpty() && filesFrom.isEmpty() && savePreset.isEmpty() && !listPresets)
        return fail(QStringLiteral("no PATH given (see --help)"));
    return true;
}
