// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

class ZQFile;

// The icon of a record. A special record gets the icon of its type: the
// folder icon for a folder, else the icon of its path's extension, whether or
// not the file exists. Any other record gets the icon the desktop shows for a
// file of its name's type: listed records are always files (folders are walked,
// never listed), so the name tells the type without touching the disk.
// Icons are made once per extension, which keeps painting a screenful of a
// million rows as cheap as for ten.
QIcon image(const ZQFile &file);
