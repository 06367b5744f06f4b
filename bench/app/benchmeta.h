// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class UserDefaults;

// keystroke_100k_meta: a keystroke in the name field with `files` photos
// listed, "[Model]" in the template and the date taken as the date, once
// the window has read the facts of them all. The photos are hard links to
// twenty JPEGs made with `makeJpeg`, in folders of 1,000 under `work`.
void keystrokeMeta(UserDefaults &defaults, const QString &work, const QString &makeJpeg,
                   qint64 files);
