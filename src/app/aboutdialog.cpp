// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/aboutdialog.h"

#include "app/appdelegate.h"

#include <QMessageBox>

QString AboutDialog::text()
{
    // The Qt the program runs on, which may be newer than the one it was built with.
    return tr("<h3>Velnor %1</h3><p>Renames many files at once.</p>"
              "<p>Copyright © 2026 Velnor</p>"
              "<p>Velnor is free software: you may share and change it under the terms of the "
              "GNU General Public License, version 3 or any later version (%2). It comes "
              "with no warranty.</p>"
              "<p>Uses Qt %3 (LGPL-3.0).</p>"
              "<p><a href=\"%4\">%4</a></p>")
        .arg(QStringLiteral(VELNOR_VERSION),
             QStringLiteral("<a href=\"https://www.gnu.org/licenses/gpl-3.0.html\">"
                            "GPL-3.0-or-later</a>"),
             QString::fromLatin1(qVersion()), AppDelegate::webSite.toString());
}

void AboutDialog::show(QWidget *parent)
{
    QMessageBox::about(parent, tr("About Velnor"), text());
}
