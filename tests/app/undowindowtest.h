// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "../diskfiles.h"
#include "../journalfixture.h"
#include "../scriptedprompt.h"
#include "rename/runhistory.h"
#include "ui_vlnwindow.h"
#include "windowtest.h"

#include <QLocale>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// What the tests of undo in the window share besides the window: the grant
// answered from a script, journals of past runs, and files that hold their
// own names.
class UndoWindowTest : public WindowTest
{
protected:
    void init();
    VLNWindow *makeWindow();
    // A journal of `total` moves in the scratch folder, in the scratch history
    // (see writeJournal).
    QString writeRun(qint64 started, int total, int moved, bool finish, bool undone = false);
    void listFiles(const QList<QByteArray> &names);
    // Start with this name template, the scratch folder granted.
    void startRun(const QString &nameTemplate);

    ScriptedPrompt m_prompt;
};

inline void UndoWindowTest::init()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    WindowTest::init();
    m_prompt = {};
}

inline VLNWindow *UndoWindowTest::makeWindow()
{
    return WindowTest::makeWindow(true, &m_prompt);
}

inline QString UndoWindowTest::writeRun(qint64 started, int total, int moved, bool finish,
                                        bool undone)
{
    return writeJournal(RunHistory::runsFolder(), m_root, started, total, moved, finish, undone);
}

inline void UndoWindowTest::listFiles(const QList<QByteArray> &names)
{
    QList<QByteArray> paths;
    for (const QByteArray &name : names) {
        paths << m_root + '/' + name;
        writeFile(paths.last(), name);
    }
    m_window->openFiles(paths);
    QTRY_VERIFY(!m_window->isListing());
}

inline void UndoWindowTest::startRun(const QString &nameTemplate)
{
    m_window->ui()->nameField->setText(nameTemplate);
    m_window->controlTextDidChange();
    m_prompt.answers = {m_root};
    m_window->clickStart();
}
