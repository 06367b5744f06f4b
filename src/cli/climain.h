// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The whole of velnor-rename: reads the arguments, runs the command, flushes
// the output and ends the process with the command's status.
[[noreturn]] void cliMain(int argc, char **argv);
