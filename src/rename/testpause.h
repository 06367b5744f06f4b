#pragma once

// A hook for the tests that kill a run at an exact moment: when the
// environment variable VELNOR_TEST_PAUSE_AT names a point of the run, the
// process stops itself there with SIGSTOP, so that a test waiting for it can
// kill it with SIGKILL in that very state. The points:
//
//   journal     half of the plan written to the journal, not yet synced
//   planned     the plan on disk, no file moved yet
//   move:N      N files moved (counted over all folders)
//   temporary   a file of a cycle of names parked under its temporary name
//
// Without the variable each call costs one load of a cached value.
namespace TestPause {

void at(const char *point);
// Counts one move and stops when the count is the one named by "move:N".
void afterMove();

} // namespace TestPause
