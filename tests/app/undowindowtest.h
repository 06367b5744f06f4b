#pragma once

#include "../diskfiles.h"
#include "../scratchdir.h"
#include "../scriptedprompt.h"
#include "app/vlnwindow.h"
#include "rename/journal.h"
#include "rename/runhistory.h"
#include "rename/userdefaults.h"

#include <QLocale>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// What the tests of undo in the window share: a window over a scratch
// folder, a history of runs in a scratch state folder of its own, the grant
// answered from a script, and journals written by hand.
class UndoWindowTest : public QObject
{
protected:
    void init();
    void cleanup();
    VLNWindow *makeWindow();
    // A journal of `total` moves in the scratch history, the first `moved`
    // of them recorded as done, finished (complete) or not (interrupted),
    // and optionally undone afterwards.
    QString writeRun(qint64 started, int total, int moved, bool finish, bool undone = false);
    void listFiles(const QList<QByteArray> &names);

    std::unique_ptr<ScratchDir> m_dir;
    std::unique_ptr<ScratchDir> m_state;
    QByteArray m_root;
    std::unique_ptr<UserDefaults> m_defaults;
    std::unique_ptr<VLNWindow> m_window;
    ScriptedPrompt m_prompt;
};

inline void UndoWindowTest::init()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_dir = std::make_unique<ScratchDir>();
    m_state = std::make_unique<ScratchDir>();
    QVERIFY(m_dir->isValid() && m_state->isValid());
    qputenv("XDG_STATE_HOME", m_state->path());
    m_root = m_dir->path();
    m_defaults = std::make_unique<UserDefaults>(m_state->filePath(u"Velnor.conf"_s));
    m_defaults->registerDefaults(UserDefaults::readFactoryFile(u":/Factory"_s));
    m_defaults->setBool(true, u"skipTutorial"_s);
    m_prompt = {};
}

inline void UndoWindowTest::cleanup()
{
    m_window.reset();
    m_defaults.reset();
    m_dir.reset();
    m_state.reset();
}

inline VLNWindow *UndoWindowTest::makeWindow()
{
    m_window = std::make_unique<VLNWindow>(m_defaults.get());
    m_window->setAccessPrompt(&m_prompt);
    m_window->resize(1000, 700);
    m_window->show();
    m_window->activateWindow();
    if (!QTest::qWaitForWindowActive(m_window.get()))
        return nullptr;
    return m_window.get();
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
