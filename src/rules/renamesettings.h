#pragma once

#include <QString>

// The eight values that decide every new name. The window keeps one from its
// controls, the command line builds one from its options.
struct RenameSettings
{
    enum CaseTag : int
    {
        KeepCase = 0,
        LowerCase = 1,
        UpperCase = 2,
    };

    QString nameTemplate = QStringLiteral("[N]");
    QString extTemplate = QStringLiteral("[E]");
    QString searchText;
    QString replaceText;
    // The tag of the case pop-up's item: 1 lower, 2 upper, anything else keeps.
    int caseTag = KeepCase;
    qint32 startCounter = 1;
    qint32 stepCounter = 1;
    qint32 digitsCounter = 1;

    bool operator==(const RenameSettings &) const = default;
};
