// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/apphelp.h"

#include <cstring>

QString AppHelp::text()
{
    return QStringLiteral(
        R"(Usage: velnor [--] [PATH...]

Opens the Velnor window, which renames many files at once. Every PATH is
added to the list in the order given: a folder is walked at every depth. A
second start hands its PATHs to the window that is already open and ends.
Set a name template, an extension template, search and replace, a case and a
counter, watch the new names in the table, and press Start Renaming: every
file is moved to its new name in its own folder, never replacing another.

Options:
  --help               show this help and exit
  --version            show the version and exit
  --                   every later argument is a PATH

Keyboard: Ctrl+O adds files, Delete removes the selected files from the list,
Ctrl+Shift+Delete clears it, Ctrl+L goes to the name template, Ctrl+Return
starts renaming, F1 shows the tutorial, Ctrl+Q quits.

Files: the window's size and place, the widths of the table's columns, the
folders allowed for renaming (each with every folder inside it; Edit > Folder
Access... lists and removes them) and whether the tutorial was seen are kept
in ~/.config/Velnor/Velnor.conf (under $XDG_CONFIG_HOME when set).

Environment: the language of the window follows LANGUAGE, LC_ALL,
LC_MESSAGES and LANG.
)");
}

QString AppHelp::answer(int argc, char **argv)
{
    if (argc != 2)
        return {};
    if (std::strcmp(argv[1], "--help") == 0)
        return text();
    if (std::strcmp(argv[1], "--version") == 0)
        return QStringLiteral("velnor " VELNOR_VERSION "\n");
    return {};
}
