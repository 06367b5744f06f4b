// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "../diskfiles.h"
#include "../scriptedprompt.h"
#include "rename/journal.h"
#include "rename/runhistory.h"
#include "ui_vlnwindow.h"
#include "windowtest.h"

#include <QLocale>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// What the tests of undo in the window share besides the window: the grant
// answered from a script, journals written by hand, and files that hold
// their own names.
class UndoWindowTest : public WindowTest
{
protected:
    void init();
    VLNWindow *makeWindow();
    // A journal of `total` moves in the scratch history, the first `moved`
    // of them recorded as done, finished (complete) or not (interrupted),
    // and optionally undone afterwards.
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
    QList<JournalMove> moves;
    for (int i = 0; i < total; ++i)
        moves << JournalMove{m_root, "old" + QByteArray::number(i), "new" + QByteArray::number(i),
                             1, quint64(1000 + i)};
    JournalWriter writer;
    QString error;
    if (!writer.begin(RunHistory::runsFolder(), moves, started, &error)) {
        qWarning() << error;
        return {};
    }
    for (int i = 0; i < moved; ++i)
        writer.recordOutcome(i, true);
    if (finish)
        writer.finish(moved, 0, total - moved);
    const QString path = writer.path();
    if (undone) {
        JournalAppender appender;
        if (!appender.open(path, &error) || !appender.start(false, started + 1))
            return {};
        for (int i = moved - 1; i >= 0; --i)
            appender.back(i);
        appender.finish(false, moved, 0);
    }
    return path;
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
