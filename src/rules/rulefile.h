#pragma once

#include <QString>

// What the renaming rules read of a file: its name with extension and its
// modification time in milliseconds since the epoch. The file record hands
// one over; the rules never see the record itself.
struct RuleFile
{
    QString name;
    qint64 fileTime = 0;
};
