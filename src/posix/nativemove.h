// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Moves between names inside folders open as directory descriptors. None of
// them ever replaces an existing entry or copies data. Each returns 0 on
// success or the errno value of the failure.
namespace NativeMove {

// renameat2 with RENAME_NOREPLACE; where the file system refuses the flag,
// link and unlink, and where it has no hard links either, a rename over a
// placeholder claimed with an exclusive create. A temporary name when the
// target is the source itself under a name that differs from it (a case-only
// change on a case-insensitive folder).
int moveAt(int fromDir, const char *fromName, int toDir, const char *toName,
           QByteArray *strandedName = nullptr);

// The move by a second hard link and the removal of the first.
int linkMove(int fromDir, const char *fromName, int toDir, const char *toName);

// The move for file systems with neither rename flags nor hard links: claims
// toName with an exclusive create, then renames over that placeholder.
int placeholderMove(int fromDir, const char *fromName, int toDir, const char *toName);

// fromName and toName reach the same file (a case-only change on a
// case-insensitive volume): moves it to a free temporary name in the folder,
// then to toName, and back to fromName if that fails. If even the way back
// fails, *strandedName gets the name the file was left under.
int moveThroughTemporaryName(int dir, const char *fromName, const char *toName,
                             QByteArray *strandedName = nullptr);

// Whether the folder has an entry spelled exactly `name`, byte for byte (a
// case-insensitive lookup finds an entry spelled otherwise). -1 when the
// folder cannot be read.
int hasExactEntry(int dir, const char *name);

// The system's text for an errno value.
QString reason(int error);

} // namespace NativeMove
