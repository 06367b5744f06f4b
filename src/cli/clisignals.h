// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// SIGINT and SIGTERM as a request to stop: the handler only notes the signal,
// and the loop that waits on a job cancels it, so that the moves in flight end,
// the journal is closed and the summary still shows. A second SIGINT ends the
// process at once; the journal then still says what was done up to there.
namespace CliSignals {

// Installs the handlers. Before it, a signal ends the process as usual, so
// that a read of standard input can still be interrupted.
void install();

// The signal that asked to stop (SIGINT or SIGTERM), or 0.
int received();

// 128 plus the signal that asked to stop, the shell's way of saying so; or
// `status` when none did.
int exitStatus(int status);

} // namespace CliSignals
