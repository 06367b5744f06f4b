// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/accessrequest.h"

#include "app/dialogaccessprompt.h"
#include "app/sheets.h"
#include "rename/accessgrant.h"

#include <QAction>
#include <QFileDialog>

AccessRequest::AccessRequest(QWidget *window, UserDefaults *defaults, QAction *showGrants)
    : QObject(window), m_window(window), m_defaults(defaults)
{
    connect(showGrants, &QAction::triggered, this, [this] {
        if (!m_grants)
            m_grants = new FolderAccessDialog(m_defaults, m_window);
        m_grants->reload();
        m_grants->show();
        m_grants->raise();
        m_grants->activateWindow();
    });
}

void AccessRequest::request(const QByteArray &root, const std::function<void()> &granted)
{
    if (m_panel)
        return;
    if (storedGrantCovers(root, *m_defaults)) {
        granted();
        return;
    }
    if (m_prompt) {
        if (requestFilesystem(root, *m_prompt, *m_defaults))
            granted();
        return;
    }
    // Application-modal, without an event loop of its own: the answer comes
    // back here through the panel's signal.
    QFileDialog *panel = DialogAccessPrompt::makePanel(m_window, AccessRequestText::title(),
                                                       AccessRequestText::prompt(),
                                                       AccessRequestText::message(), root);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    m_panel = panel;
    connect(panel, &QDialog::finished, this, [this, panel, granted] {
        if (grantChosenFolder(DialogAccessPrompt::chosenFolder(*panel), *m_defaults))
            granted();
        else
            Sheets::alert(m_window, AccessRequestText::declined());
    });
    // show(), not open(): open() would make the panel window-modal.
    panel->show();
}
