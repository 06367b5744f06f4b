// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/dialogaccessprompt.h"

#include "posix/namecodec.h"
#include "posix/nativepath.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>

namespace {
// The folder the panel was opened at, as bytes.
const char *const shownProperty = "velnorShownFolder";
} // namespace

namespace DialogAccessPrompt {

QFileDialog *makePanel(QWidget *parent, const QString &title, const QString &prompt,
                       const QString &message, const QByteArray &proposedPath)
{
    auto *panel = new QFileDialog(parent, title);
    // Qt's own dialog, since a native one has no room for the message.
    panel->setOption(QFileDialog::DontUseNativeDialog);
    panel->setOption(QFileDialog::ShowDirsOnly);
    panel->setFileMode(QFileDialog::Directory);
    panel->setAcceptMode(QFileDialog::AcceptOpen);
    panel->setLabelText(QFileDialog::Accept, prompt);
    panel->setWindowModality(Qt::ApplicationModal);
    // The dialog works on decoded names and cannot open a folder whose name is
    // not valid UTF-8; it would fall back to the working folder. Open it at
    // the deepest folder above that it can show instead.
    QByteArray shown = proposedPath;
    while (!NameCodec::isValidUtf8(shown)) {
        shown = NativePath::folder(shown);
        if (shown.isEmpty())
            shown = QByteArrayLiteral("/");
    }
    panel->setProperty(shownProperty, shown);
    panel->setDirectory(NameCodec::decode(shown));
    auto *text = new QLabel(message, panel);
    text->setObjectName(QStringLiteral("accessMessage"));
    text->setWordWrap(true);
    if (auto *grid = qobject_cast<QGridLayout *>(panel->layout()))
        grid->addWidget(text, grid->rowCount(), 0, 1, grid->columnCount());
    return panel;
}

std::optional<QByteArray> chosenFolder(const QFileDialog &panel)
{
    if (panel.result() != QDialog::Accepted || panel.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = panel.selectedFiles().constFirst();
    // The dialog speaks decoded text; when the user keeps the proposed folder,
    // hand back its own bytes, which may not be valid UTF-8.
    const QByteArray shown = panel.property(shownProperty).toByteArray();
    if (chosen == NameCodec::decode(shown))
        return shown;
    return NameCodec::encode(chosen);
}

} // namespace DialogAccessPrompt
