// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "../diskfiles.h"
#include "../journalfixture.h"
#include "../scratchdir.h"
#include "../scriptedprompt.h"
#include "app/undocontrol.h"
#include "app/vlnwindow.h"
#include "model/filetablemodel.h"
#include "rename/runhistory.h"
#include "rename/userdefaults.h"
#include "ui_vlnwindow.h"

#include <QApplication>
#include <QLocale>
#include <QTest>
#include <QTranslator>

#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <unistd.h>

// Takes out every catalogue a test installed, so that the next test starts
// in the source language.
inline void removeTranslators()
{
    for (QTranslator *translator : qApp->findChildren<QTranslator *>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

// What the window tests share: a window over a scratch folder, with its
// settings file and its history of runs in a scratch state folder apart from
// the files listed.
class WindowTest : public QObject
{
protected:
    void init()
    {
        m_state = std::make_unique<ScratchDir>();
        m_dir = std::make_unique<ScratchDir>();
        QVERIFY(m_dir->isValid() && m_state->isValid());
        qputenv("XDG_STATE_HOME", m_state->path());
        m_root = m_dir->path();
        m_defaults = std::make_unique<UserDefaults>(settingsPath());
        m_defaults->registerDefaults(UserDefaults::readFactoryFile(QStringLiteral(":/Factory")));
    }

    void cleanup()
    {
        m_window.reset();
        m_defaults.reset();
        m_dir.reset();
        m_state.reset();
        removeTranslators();
    }

    QString settingsPath() const { return m_state->filePath(QStringLiteral("Velnor.conf")); }

    // The window as a launch opens it, active, asking for grants through
    // `prompt` if given. The tutorial is skipped unless asked for; a launch
    // after it ended skips it anyway.
    VLNWindow *makeWindow(bool skipTutorial = true, AccessPrompt *prompt = nullptr)
    {
        if (skipTutorial)
            m_defaults->setBool(true, QStringLiteral("skipTutorial"));
        m_window = std::make_unique<VLNWindow>(m_defaults.get());
        if (prompt)
            m_window->setAccessPrompt(prompt);
        m_window->resize(1000, 700);
        m_window->show();
        m_window->activateWindow();
        // The history is read on a worker; the menu follows once it is. A
        // window that never gets there leaves nothing to test.
        if (!QTest::qWaitForWindowActive(m_window.get()) ||
            !QTest::qWaitFor([this] { return !m_window->undoControl()->isReading(); }))
            qFatal("the window never became active, or never read the history");
        return m_window.get();
    }

    // New files at these paths below the scratch folder (their folders made
    // as needed), of these sizes or empty, listed in the window.
    void listFiles(const QList<QByteArray> &relativePaths, const QList<int> &sizes = {})
    {
        QList<QByteArray> paths;
        for (const QByteArray &relative : relativePaths) {
            const QByteArray path = m_root + '/' + relative;
            std::filesystem::create_directories(path.left(path.lastIndexOf('/')).toStdString());
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            QVERIFY2(fd >= 0, path.constData());
            const QByteArray bytes(sizes.value(paths.size()), 'x');
            QCOMPARE(::write(fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
            ::close(fd);
            paths << path;
        }
        m_window->openFiles(paths);
        QTRY_VERIFY(!m_window->isListing());
    }

    QString cell(int row, int column) const
    {
        FileTableModel *model = m_window->tableModel();
        return model->data(model->index(row, column)).toString();
    }

    // Every row's cell of the column, top down.
    QStringList column(int column) const
    {
        QStringList cells;
        for (int row = 0; row < m_window->tableModel()->rowCount(); ++row)
            cells << cell(row, column);
        return cells;
    }

    std::unique_ptr<ScratchDir> m_dir;
    std::unique_ptr<ScratchDir> m_state;
    QByteArray m_root;
    std::unique_ptr<UserDefaults> m_defaults;
    std::unique_ptr<VLNWindow> m_window;
};

// The tests of undo in the window add the grant answered from a script,
// journals of past runs, and files that hold their own names.
class UndoWindowTest : public WindowTest
{
protected:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        WindowTest::init();
        m_prompt = {};
    }

    VLNWindow *makeWindow() { return WindowTest::makeWindow(true, &m_prompt); }

    // A journal of `total` moves in the scratch folder, in the scratch history
    // (see writeJournal).
    QString writeRun(qint64 started, int total, int moved, bool finish, bool undone = false)
    {
        return writeJournal(RunHistory::runsFolder(), m_root, started, total, moved, finish,
                            undone);
    }

    void listFiles(const QList<QByteArray> &names)
    {
        QList<QByteArray> paths;
        for (const QByteArray &name : names) {
            paths << m_root + '/' + name;
            writeFile(paths.last(), name);
        }
        m_window->openFiles(paths);
        QTRY_VERIFY(!m_window->isListing());
    }

    // Start with this name template, the scratch folder granted.
    void startRun(const QString &nameTemplate)
    {
        m_window->ui()->nameField->setText(nameTemplate);
        m_window->controlTextDidChange();
        m_prompt.answers = {m_root};
        m_window->clickStart();
    }

    ScriptedPrompt m_prompt;
};
