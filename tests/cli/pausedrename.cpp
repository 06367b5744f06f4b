// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/climain.h"
#include "pausehook.h"

// velnor-rename as installed, but stopping itself at the moment the kill
// tests name in VELNOR_TEST_PAUSE_AT. Built for the tests only.
int main(int argc, char **argv)
{
    pauseAtTheNamedMoment();
    cliMain(argc, argv);
}
