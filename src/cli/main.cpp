// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/climain.h"

int main(int argc, char **argv)
{
    cliMain(argc, argv);
}
