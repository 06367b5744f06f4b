// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/renamesettings.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

// The command line of velnor-rename, read from the raw argument bytes so that
// a PATH reaches the file system exactly as the shell handed it over.
class CliArgs
{
public:
    RenameSettings settings;
    // A column identifier of the file table, or empty to keep the order of addition.
    QString sortColumn;
    bool sortDescending = false;
    bool apply = false;
    bool json = false;
    bool help = false;
    bool version = false;
    // Sort names and paths with runs of digits by value.
    bool natural = false;
    QList<QByteArray> paths;
    // Lists of paths to read (a file name, "-" for standard input), each with
    // the number of PATHs given before it, where its paths belong.
    QList<std::pair<qsizetype, QByteArray>> filesFrom;
    // Which files of the folders walked are listed: --include and --exclude
    // patterns, --no-hidden; the patterns ignore case with --ignore-case.
    QByteArrayList include;
    QByteArrayList exclude;
    bool noHidden = false;
    // The lists hold paths separated by NUL bytes instead of line ends.
    bool nullSeparated = false;
    // New names by hand, one of three ways at most: a list of names (a file
    // name, "-" for standard input), one a line; a map of paths to names,
    // whose paths are listed like those of --files-from (at filesFrom's entry
    // mapEntry, -1 without a map); or the names edited in a text editor.
    QByteArray namesFrom;
    QByteArray mapFile;
    qsizetype mapEntry = -1;
    bool edit = false;
    // Save the settings under this name and exit; empty for no.
    QString savePreset;
    bool listPresets = false;
    // The run keeps no journal and cannot be undone.
    bool noJournal = false;
    // List the runs of the history.
    bool history = false;
    // Take a run back, or do it again; runId empty for the one in question
    // (the last run not undone, the last run undone).
    bool undo = false;
    bool redo = false;
    QString runId;

    // Looks up a saved preset for --preset; false when there is none by that
    // name. Without one, --preset is refused.
    std::function<bool(const QString &name, RenameSettings *settings)> presetLookup;

    // The arguments after the program name. On a bad argument returns false
    // and puts a one-line message naming it in *error.
    bool parse(const QList<QByteArray> &arguments, QString *error);

    static QString helpText();

    // A template, search or replacement text longer than this is refused at
    // once: every name it makes would be far too long.
    static constexpr qsizetype maxTemplateBytes = 64 * 1024;

    // Strict decimal integer: an optional sign and ASCII digits only, within
    // [min, max]. "12x", " 1", "" and "0x10" are not numbers.
    enum class NumberError
    {
        None,
        NotANumber,
        OutOfRange
    };
    static NumberError parseNumber(const QByteArray &text, qint64 min, qint64 max, qint64 *value);

private:
    // --history, --undo and --redo stand alone: no PATH, no option that
    // shapes names or runs.
    bool checkRunAction(const QStringList *otherOptions, QString *error) const;
    // At most one way of names by hand, none with --save-preset, and one
    // reader of standard input.
    bool checkNamesByHand(QString *error) const;
};
