// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

// The values that decide every new name. The window keeps one from its
// controls, the command line builds one from its options.
struct RenameSettings
{
    // Where the date and time tokens take a file's date from.
    enum class DateSource : quint8
    {
        Modified,
        Created, // the birth time, where the file system keeps one
        Taken,   // the date inside a photo or video
    };

    enum CaseTag : int
    {
        KeepCase = 0,
        LowerCase = 1,
        UpperCase = 2,
        TitleCase = 3,
        SentenceCase = 4,
    };

    QString nameTemplate = QStringLiteral("[N]");
    QString extTemplate = QStringLiteral("[E]");
    QString searchText;
    QString replaceText;
    // The tag of the case pop-up's item: 1 lower, 2 upper, 3 title case and
    // 4 sentence case of the part before the extension, anything else keeps.
    int caseTag = KeepCase;
    qint32 startCounter = 1;
    qint32 stepCounter = 1;
    qint32 digitsCounter = 1;
    // Those above come first, so that a list of the first eight values still
    // initialises a record.
    //
    // The search text is a Perl-compatible pattern and the replacement may
    // name its groups ($1, ${name}).
    bool regex = false;
    // The search, literal or pattern, ignores case.
    bool ignoreCase = false;
    // [C] counts each file among the listed files of its own folder.
    bool counterPerFolder = false;
    // The hour of the time tokens on the 24-hour clock (00 to 23) instead
    // of the 12-hour one.
    bool hour24 = false;
    // After every other rule the name is made plain ASCII (see
    // TextRules::plainAscii).
    bool plainAscii = false;
    // Files of one folder that share a stem (IMG_0412.CR3, IMG_0412.JPG,
    // IMG_0412.CR3.xmp) move as one group: the first in display order takes
    // the rules and the counter, the others follow its new name
    // (FileList::companionLead, TextRules::companionName).
    bool companions = false;

    // A new name that is taken gets " (2)", " (3)", ... before its
    // extension instead of a conflict. The plan numbers the names, since it
    // alone knows what each folder holds; the composer leaves this alone.
    bool uniqueNames = false;
    // Each "/" of a new name is a folder boundary below the file's own
    // folder, and the run makes the folders that are missing; off, a "/" is
    // refused.
    bool makeFolders = false;
    // What a folder handed over lists as rows, and so what the run renames:
    // its files (as ever), the folders in it and itself, or both. Folders
    // and makeFolders never go together: a run that makes folders below a
    // file's own could not also rename the folders it makes them in.
    enum class Rows : quint8
    {
        Files,
        Folders,
        FilesAndFolders,
    };
    Rows rows = Rows::Files;
    // The first of these that has a date for a file gives it; empty is the
    // modification date alone.
    QList<DateSource> dateSources;

    // Whether the date comes from anything but the modification time.
    bool readsOtherDates() const
    {
        for (const DateSource source : dateSources) {
            if (source != DateSource::Modified)
                return true;
        }
        return false;
    }

    bool operator==(const RenameSettings &) const = default;
};
