#pragma once

#include <QByteArray>
#include <QString>

// Moves between names inside folders open as directory descriptors. None of
// them ever replaces an existing entry or copies data. Each returns 0 on
// success or the errno value of the failure.
namespace NativeMove {

// renameat2 with RENAME_NOREPLACE; link and unlink where the file system lacks
// it; a temporary name when the target turns out to be the source itself.
int moveAt(int fromDir, const char *fromName, int toDir, const char *toName,
           QByteArray *strandedName = nullptr);

// The move by a second hard link and the removal of the first.
int linkMove(int fromDir, const char *fromName, int toDir, const char *toName);

// fromName and toName reach the same file (a case-only change on a
// case-insensitive volume): moves it to a free temporary name in the folder,
// then to toName, and back to fromName if that fails. If even the way back
// fails, *strandedName gets the name the file was left under.
int moveThroughTemporaryName(int dir, const char *fromName, const char *toName,
                             QByteArray *strandedName = nullptr);

// The system's text for an errno value.
QString reason(int error);

} // namespace NativeMove
