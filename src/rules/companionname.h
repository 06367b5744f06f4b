// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/renamesettings.h"

#include <QString>
#include <QStringView>

namespace TextRules {

// The new name of a companion file (IMG_0412.xmp beside IMG_0412.CR3), which
// follows the new name of its group's lead instead of being composed: the
// lead's new stem with the companion's own remaining extension.
//
// `stem` is the length of the stem the group's names share (IMG_0412). A
// companion that extends the lead's whole name (IMG_0412.CR3.xmp) extends
// the lead's whole new name (Trip-001.cr3.xmp), as sidecars are named after
// the file they belong to; any other takes the lead's new name less as many
// extensions as the lead has past the stem (Trip-001.JPG). The companion's
// own part keeps its case, unless the settings' case rule changes extensions
// (lower and upper case do), and is made plain ASCII when the settings say
// so. A lead whose name could not be made leaves the companion its old name.
QString companionName(const RenameSettings &settings, QStringView leadOldName,
                      const QString &leadNewName, QStringView companionOldName, qsizetype stem);

} // namespace TextRules
