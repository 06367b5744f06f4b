#pragma once

#include <QString>

// The values that decide every new name. The window keeps one from its
// controls, the command line builds one from its options.
struct RenameSettings
{
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

    bool operator==(const RenameSettings &) const = default;
};
