// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/folderaccessdialog.h"

#include <QByteArray>
#include <QFileDialog>
#include <QObject>
#include <QPointer>

#include <functional>

class AccessPrompt;
class QAction;
class QWidget;
class UserDefaults;

// Before a run: the grant of the folder that holds every listed file. A
// stored grant of that folder or of one above it is used; otherwise the
// folder chooser asks for it, and the run starts only once it is granted. A
// declined request ends in an alert, and no run. `showGrants` opens the
// list of grants given, where they can be removed.
class AccessRequest : public QObject
{
    Q_OBJECT
public:
    AccessRequest(QWidget *window, UserDefaults *defaults, QAction *showGrants);

    // Replaces the folder chooser and alert (tests script it); null
    // restores the dialogs.
    void setPrompt(AccessPrompt *prompt) { m_prompt = prompt; }
    // The chooser is open.
    bool isAsking() const { return bool(m_panel); }
    // Calls `granted` once the folder `root` may be renamed in: at once, or
    // when the chooser has closed on it.
    void request(const QByteArray &root, const std::function<void()> &granted);
    // The list of grants, once it has been shown.
    FolderAccessDialog *grantsDialog() const { return m_grants; }

private:
    QWidget *m_window;
    UserDefaults *m_defaults;
    AccessPrompt *m_prompt = nullptr;
    QPointer<QFileDialog> m_panel;
    QPointer<FolderAccessDialog> m_grants;
};
