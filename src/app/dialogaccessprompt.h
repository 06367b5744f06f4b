// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QFileDialog;
class QWidget;

// The folder chooser of the grant request as the user sees it: Qt's own
// panel, which names the folder the run needs and why. The caller opens it
// without an event loop of its own and reads the answer when it closes
// (AccessRequest).
namespace DialogAccessPrompt {

// The panel, made but not shown, application-modal; deleted by the caller.
QFileDialog *makePanel(QWidget *parent, const QString &title, const QString &prompt,
                       const QString &message, const QByteArray &proposedPath);
// The folder chosen in a panel that has closed; none unless accepted.
std::optional<QByteArray> chosenFolder(const QFileDialog &panel);

} // namespace DialogAccessPrompt
