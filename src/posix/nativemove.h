// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Moves between names inside folders open as directory descriptors. None of
// them ever replaces an existing entry or copies data. Each returns 0 on
// success or the errno value of the failure.
namespace NativeMove {

// The steps of a move that leave the folder, were the process killed right
// after one, neither as it was nor as the whole move leaves it: a placeholder
// claimed at `to` (the source still under `from`), a second link at `to`
// (the file under both names), a file parked under a passing name `to` on
// its way to a name that differs only in case. A journal hears of each
// before it is taken, so that whatever a kill leaves can be put right.
class MoveSteps
{
public:
    enum class Step
    {
        Claim,
        Link,
        Passing,
    };
    // 0 to go on, or the errno value the move then fails with (the step is
    // not taken).
    virtual int before(Step step, const char *from, const char *to) = 0;
    // The step has been taken; the next one has not.
    virtual void after(Step step) = 0;
    // The step failed and made nothing (the name was taken, say): what was
    // told before it no longer stands.
    virtual void abandoned(Step step) = 0;

protected:
    ~MoveSteps() = default;
};

// renameat2 with RENAME_NOREPLACE; where the file system refuses the flag,
// link and unlink, and where it has no hard links either, a rename over a
// placeholder claimed with an exclusive create. A temporary name when the
// target is the source itself under a name that differs from it (a case-only
// change on a case-insensitive folder).
int moveAt(int fromDir, const char *fromName, int toDir, const char *toName,
           QByteArray *strandedName = nullptr, MoveSteps *steps = nullptr);

// The move by a second hard link and the removal of the first.
int linkMove(int fromDir, const char *fromName, int toDir, const char *toName,
             MoveSteps *steps = nullptr);

// The move for file systems with neither rename flags nor hard links: claims
// toName with an exclusive create, then renames over that placeholder.
int placeholderMove(int fromDir, const char *fromName, int toDir, const char *toName,
                    MoveSteps *steps = nullptr);

// fromName and toName reach the same file (a case-only change on a
// case-insensitive volume): moves it to a free temporary name in the folder,
// then to toName, and back to fromName if that fails. If even the way back
// fails, *strandedName gets the name the file was left under.
int moveThroughTemporaryName(int dir, const char *fromName, const char *toName,
                             QByteArray *strandedName = nullptr, MoveSteps *steps = nullptr);

// Whether the folder has an entry spelled exactly `name`, byte for byte (a
// case-insensitive lookup finds an entry spelled otherwise). -1 when the
// folder cannot be read.
int hasExactEntry(int dir, const char *name);

// The system's text for an errno value.
QString reason(int error);

} // namespace NativeMove
