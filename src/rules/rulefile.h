// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// What was read of a file beyond its name and modification time, for
// settings that ask: its birth time, the date it was taken and the values of
// the tags inside it (photo, video and audio tags). Read once per file and
// shared by every name made from it.
struct FileFacts
{
    // The birth time in milliseconds since the epoch, where the file system
    // keeps one.
    std::optional<qint64> created;
    // The date the photo or video was taken, in milliseconds since the
    // epoch. A wall-clock date (a camera's clock, no time zone) is stored as
    // if it were UTC, so that it reads the same hour wherever it is renamed.
    std::optional<qint64> taken;
    bool takenIsWallClock = false;
    // Values by token name ("Model", "Artist", "Track") or tag key
    // ("Exif.Photo.FNumber", "COMPOSER"), as the file holds them.
    QHash<QString, QString> values;
    // The file's tags could not be read (a damaged file, a reader that
    // crashed or took too long): every value and the date taken are missing.
    bool unreadable = false;
    // The extensions of the file's type as its content shows it, the
    // preferred one first; empty where the content says nothing definite.
    // Read only for "[X]".
    QStringList contentSuffixes;
};

// What the renaming rules read of a file: its name with extension, its
// modification time in milliseconds since the epoch, where the settings
// asked for them, its facts, and its path's bytes, for the names of the
// folders it is in. The file record hands one over; the rules never
// see the record itself.
struct RuleFile
{
    QString name;
    qint64 fileTime = 0;
    std::shared_ptr<const FileFacts> facts;
    QByteArray path = {};
};
