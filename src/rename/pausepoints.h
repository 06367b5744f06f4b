// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The moments of a run, an undo and the journal at which a test may stop the
// process, to kill it there and check the disk in that very state:
//
//   journal     half of the plan written to the journal, not yet synced
//   planned     the plan on disk, no file moved yet
//   move        one more file moved, by a run or an undo
//   temporary   a file of a cycle of names parked under its temporary name
//
// The programs that are installed set no hook, and a point then costs one
// load of a null pointer; only programs built for the tests set one.
namespace PausePoints {

using Hook = void (*)(const char *point);

// Set before the first run starts; never changed while one runs.
void setHook(Hook hook);
void at(const char *point);

} // namespace PausePoints
