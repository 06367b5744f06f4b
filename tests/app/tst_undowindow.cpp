// SPDX-License-Identifier: GPL-3.0-or-later
#include "../records.h"
#include "app/historywindow.h"
#include "app/workqueue.h"
#include "files/filelist.h"
#include "files/zqfile.h"
#include "windowtest.h"

#include <QPushButton>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

// Taking runs back from the window, as the history stands: the Edit menu's
// Undo and Redo, Ctrl+Z left to the text fields, the History window, the
// question after an interrupted run, and the records that follow the files;
// on real files, undo and redo through the menu and from the question, and
// the alert when a run cannot keep its journal.
class tst_UndoWindow : public WindowTest
{
    Q_OBJECT

private slots:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        WindowTest::init();
    }

    void menuFollowsHistory_data();
    void menuFollowsHistory();
    void historyWindowRows();
    void recordsFollowMoves_data();
    void recordsFollowMoves();

    void interruptedSheet_data();
    void interruptedSheet();

    void undoAndRedoThroughMenu();
    void interruptedRunUndoneFromSheet();
    void journalAlert_data();
    void journalAlert();

private:
    // A journal of `total` moves in the scratch folder, in the scratch history
    // (see writeJournal).
    QString writeRun(qint64 started, int total, int moved, bool finish, bool undone = false)
    {
        return writeJournal(RunHistory::runsFolder(), m_root, started, total, moved, finish,
                            undone);
    }

    // Start with this name template, the scratch folder granted.
    void startRun(const QString &nameTemplate)
    {
        setNameTemplate(nameTemplate);
        m_prompt.answers = {m_root};
        m_window->clickStart();
    }
};

// Newest first: C complete, U undone, R redone, I interrupted.
void tst_UndoWindow::menuFollowsHistory_data()
{
    QTest::addColumn<QString>("states");
    QTest::addColumn<int>("undoTarget");
    QTest::addColumn<int>("redoTarget");

    QTest::newRow("no history") << u""_s << -1 << -1;
    QTest::newRow("one run") << u"C"_s << 0 << -1;
    QTest::newRow("newest undone: redo it, undo the next") << u"UC"_s << 1 << 0;
    QTest::newRow("two undone: redo the last undone first") << u"UUC"_s << 2 << 1;
    QTest::newRow("undone run below a newer run: no redo") << u"CU"_s << 0 << -1;
    QTest::newRow("everything undone") << u"UU"_s << -1 << 1;
    QTest::newRow("redone run can be undone again") << u"RC"_s << 0 << -1;
}

void tst_UndoWindow::menuFollowsHistory()
{
    QFETCH(QString, states);
    QFETCH(int, undoTarget);
    QFETCH(int, redoTarget);
    const qint64 newest = 1'700'000'000'000;
    for (qsizetype i = 0; i < states.size(); ++i) {
        const QChar state = states[i];
        const QString path = writeRun(newest - i * 1000, 3, 3, state != u'I', state == u'U');
        QVERIFY(!path.isEmpty());
        if (state == u'R') {
            JournalAppender appender;
            QString error;
            QVERIFY(appender.open(path, &error));
            appender.start(false, newest + 1);
            appender.finish(false, 3, 0);
            appender.start(true, newest + 2);
            appender.finish(true, 3, 0);
        }
    }
    VLNWindow *window = makeWindow();
    UndoControl *control = window->undoControl();
    QCOMPARE(control->history().runs.size(), states.size());
    QCOMPARE(control->undoTarget(), undoTarget);
    QCOMPARE(control->redoTarget(), redoTarget);
    QCOMPARE(window->ui()->actionUndoRename->isEnabled(), undoTarget >= 0);
    QCOMPARE(window->ui()->actionRedoRename->isEnabled(), redoTarget >= 0);
    QVERIFY(window->ui()->actionRenameHistory->isEnabled());
}

void tst_UndoWindow::historyWindowRows()
{
    const qint64 newest = 1'700'000'000'000;
    QVERIFY(!writeRun(newest, 2000, 1234, false).isEmpty());
    QVERIFY(!writeRun(newest - 1000, 3, 3, true, true).isEmpty());
    QVERIFY(!writeRun(newest - 2000, 12, 12, true).isEmpty());
    const QString cutOff = writeRun(newest - 3000, 4, 4, true);
    // Cancelled after 4 of 13: the count velnor-rename --history gives too.
    QVERIFY(!writeRun(newest - 4000, 13, 4, true).isEmpty());
    {
        // An undo that never wrote its end.
        JournalAppender appender;
        QString error;
        QVERIFY(appender.open(cutOff, &error) && appender.start(false, newest));
        appender.back(3);
    }
    VLNWindow *window = makeWindow();
    window->ui()->actionRenameHistory->trigger();
    HistoryWindow *history = window->undoControl()->historyWindow();
    QVERIFY(history && history->isVisible());
    QTreeWidget *runs = history->runList();
    QCOMPARE(runs->topLevelItemCount(), 5);
    // Files, state, and the buttons the row enables.
    const QStringList rows = {u"1,234 of 2,000|Interrupted|undo"_s, u"3|Undone|redo"_s,
                              u"12|Renamed|undo"_s, u"4|Undo interrupted|undo redo"_s,
                              u"4|Renamed|undo"_s};
    for (int row = 0; row < 5; ++row) {
        QTreeWidgetItem *item = runs->topLevelItem(row);
        QCOMPARE(item->text(1), QString::fromUtf8(m_root));
        runs->setCurrentItem(item);
        const QString buttons = (history->undoButton()->isEnabled() ? u"undo "_s : QString()) +
                                (history->redoButton()->isEnabled() ? u"redo"_s : QString());
        QCOMPARE(item->text(2) + u'|' + item->text(3) + u'|' + buttons.trimmed(), rows[row]);
    }
    // A second choice of the menu item raises the same window.
    window->ui()->actionRenameHistory->trigger();
    QCOMPARE(window->undoControl()->historyWindow(), history);
}

void tst_UndoWindow::recordsFollowMoves_data()
{
    QTest::addColumn<QByteArrayList>("listed");
    QTest::addColumn<QByteArrayList>("moves"); // from, to, from, to, ...
    QTest::addColumn<QByteArrayList>("paths");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("one file back")
        << QByteArrayList{"/d/new.txt"} << QByteArrayList{"/d/new.txt", "/d/old.txt"}
        << QByteArrayList{"/d/old.txt"} << QStringList{u"old.txt"_s};
    QTest::newRow("a swap moves each record once")
        << QByteArrayList{"/d/a", "/d/b"} << QByteArrayList{"/d/a", "/d/b", "/d/b", "/d/a"}
        << QByteArrayList{"/d/b", "/d/a"} << QStringList{u"b"_s, u"a"_s};
    QTest::newRow("a file not listed leaves the list")
        << QByteArrayList{"/d/a"} << QByteArrayList{"/e/x", "/e/y"} << QByteArrayList{"/d/a"}
        << QStringList{u"a"_s};
    QTest::newRow("the path taken is listed already: one record stays")
        << QByteArrayList{"/d/new", "/d/old"} << QByteArrayList{"/d/new", "/d/old"}
        << QByteArrayList{"/d/old"} << QStringList{u"old"_s};
    QTest::newRow("bytes that are not UTF-8 go through")
        << QByteArrayList{"/d/caf\xe9"} << QByteArrayList{"/d/caf\xe9", "/d/\xff\xfe"}
        << QByteArrayList{"/d/\xff\xfe"} << QStringList{};
}

void tst_UndoWindow::recordsFollowMoves()
{
    QFETCH(QByteArrayList, listed);
    QFETCH(QByteArrayList, moves);
    QFETCH(QByteArrayList, paths);
    QFETCH(QStringList, names);
    FileList list;
    listPaths(list, listed);
    QList<UndoRun::Moved> moved;
    for (qsizetype i = 0; i + 1 < moves.size(); i += 2)
        moved << UndoRun::Moved{moves[i], moves[i + 1]};
    FileTableModel model(&list);
    WorkQueue::followMoves(model, moved);
    QByteArrayList listedAfter;
    QStringList namesAfter;
    for (const auto &file : list.contentsArray()) {
        listedAfter << file->nativePath();
        namesAfter << file->name();
    }
    QCOMPARE(listedAfter, paths);
    if (!names.isEmpty())
        QCOMPARE(namesAfter, names);
    for (const QByteArray &path : paths)
        QVERIFY(list.containsPath(path));
}

void tst_UndoWindow::interruptedSheet_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("moved");
    QTest::addColumn<bool>("finish");
    QTest::addColumn<bool>("olderInterrupted");
    QTest::addColumn<QString>("text"); // empty: no sheet

    QTest::newRow("interrupted, counts grouped")
        << 2000 << 1234 << false << false
        << u"The last rename was interrupted after 1,234 of 2,000 files. Undo those 1,234?"_s;
    QTest::newRow("interrupted before any outcome was written")
        << 3 << 0 << false << false
        << u"The last rename was interrupted before any file was recorded as renamed. Undo "
           u"what it renamed?"_s;
    QTest::newRow("a finished run asks nothing") << 3 << 3 << true << false << QString();
    QTest::newRow("only the newest run counts") << 3 << 3 << true << true << QString();
}

// The sheet of a fresh launch. Kept (Escape), the run is not asked about at
// the next launch but can still be undone; a newer interrupted run is asked
// about again.
void tst_UndoWindow::interruptedSheet()
{
    QFETCH(int, total);
    QFETCH(int, moved);
    QFETCH(bool, finish);
    QFETCH(bool, olderInterrupted);
    QFETCH(QString, text);
    const qint64 newest = 1'700'000'000'000;
    if (olderInterrupted)
        QVERIFY(!writeRun(newest - 1000, 5, 2, false).isEmpty());
    QVERIFY(!writeRun(newest, total, moved, finish).isEmpty());
    const auto asked = [this] {
        m_window.reset();
        makeWindow()->undoControl()->askAboutInterruptedRun();
        return m_window->undoControl()->interruptedSheet();
    };
    QMessageBox *sheet = asked();
    if (text.isEmpty()) {
        QVERIFY(!sheet);
        return;
    }
    QVERIFY(sheet && sheet->isVisible());
    QCOMPARE(sheet->windowModality(), Qt::WindowModal);
    QCOMPARE(sheet->text(), text);
    QCOMPARE(buttonTexts(sheet), (QStringList{u"&Keep"_s, u"&Undo"_s}));

    QTest::keyClick(sheet, Qt::Key_Escape);
    QTRY_VERIFY(!m_window->undoControl()->interruptedSheet());
    QVERIFY(!m_window->undoControl()->isRunning());
    QVERIFY(!asked());
    QCOMPARE(m_window->undoControl()->undoTarget(), 0);
    QVERIFY(!writeRun(newest + 100'000, 4, 1, false).isEmpty());
    QVERIFY(asked());
}

// A run, its undo by Ctrl+Z and its redo from the menu: after each, the disk
// holds each name and content once, and the records follow.
void tst_UndoWindow::undoAndRedoThroughMenu()
{
    VLNWindow *window = makeWindow();
    Ui::VLNWindow *ui = window->ui();
    listFiles({"a.txt", "b.txt", "c.txt"});
    startRun(u"[C]-[N]"_s);
    QTRY_VERIFY(!window->isRenaming() && window->reportSheet());
    window->reportSheet()->accept();
    QCOMPARE(folderEntries(m_root), u"1-a.txt=a.txt 2-b.txt=b.txt 3-c.txt=c.txt"_s);
    // The menu follows once the history has been read again.
    QTRY_VERIFY(ui->actionUndoRename->isEnabled());
    QVERIFY(!ui->actionRedoRename->isEnabled());

    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    pressKeys(u"tableView"_s, QKeySequence(Qt::CTRL | Qt::Key_Z));
    QTRY_VERIFY(!window->undoControl()->isRunning() && window->undoControl()->reportSheet());
    QCOMPARE(folderEntries(m_root), u"a.txt=a.txt b.txt=b.txt c.txt=c.txt"_s);
    // The records follow (how, recordsFollowMoves shows).
    QCOMPARE(window->fileList()->fileAtIndex(1)->nativePath(), m_root + "/b.txt");
    QMessageBox *sheet = window->undoControl()->reportSheet();
    QCOMPARE(sheet->icon(), QMessageBox::Information);
    QCOMPARE(sheet->text(), u"3 files restored."_s);
    QCOMPARE(sheet->informativeText(), QString());
    sheet->accept();
    QTRY_VERIFY(ui->actionRedoRename->isEnabled());
    QVERIFY(!ui->actionUndoRename->isEnabled());

    // Redo asked for while a listing goes on waits for it to end.
    writeFile(m_root + "/d.txt", "d.txt");
    window->openFiles({m_root + "/d.txt"});
    QVERIFY(window->isListing());
    ui->actionRedoRename->trigger();
    QVERIFY(!window->undoControl()->isRunning());
    const auto redone = [&] {
        QMessageBox *report = window->undoControl()->reportSheet();
        return !window->isListing() && !window->undoControl()->isRunning() && report &&
               report->text() == u"3 files renamed again."_s;
    };
    QTRY_VERIFY(redone());

    QCOMPARE(folderEntries(m_root), u"1-a.txt=a.txt 2-b.txt=b.txt 3-c.txt=c.txt d.txt=d.txt"_s);
    QCOMPARE(window->fileList()->count(), 4);
    QCOMPARE(window->fileList()->fileAtIndex(0)->nativePath(), m_root + "/1-a.txt");
    QTRY_VERIFY(ui->actionUndoRename->isEnabled());
    QVERIFY(!ui->actionRedoRename->isEnabled());
}

// A run killed half way: two of three files moved, the journal without its
// end. Undo from the question at start puts them back.
void tst_UndoWindow::interruptedRunUndoneFromSheet()
{
    makeTree(m_root, {"f0=f0", "f1=f1", "f2=f2"});
    QVERIFY(!writeRun(1'700'000'000'000, 3, 2, false).isEmpty());
    for (const char *number : {"0", "1"})
        QCOMPARE(::rename(m_root + "/f" + number, m_root + "/g" + number), 0);

    VLNWindow *window = makeWindow();
    window->openFiles({m_root + "/g0", m_root + "/g1", m_root + "/f2"});
    QTRY_VERIFY(!window->isListing());
    window->undoControl()->askAboutInterruptedRun();
    QMessageBox *sheet = window->undoControl()->interruptedSheet();
    QVERIFY(sheet);
    QCOMPARE(sheet->text(), u"The last rename was interrupted after 2 of 3 files. Undo those 2?"_s);
    press(sheet, u"&Undo"_s);
    QTRY_VERIFY(!window->undoControl()->isRunning() && window->undoControl()->reportSheet());
    QCOMPARE(window->undoControl()->reportSheet()->text(), u"2 files restored."_s);
    QCOMPARE(folderEntries(m_root), u"f0=f0 f1=f1 f2=f2"_s);
    QCOMPARE(window->fileList()->fileAtIndex(0)->nativePath(), m_root + "/f0");
    QTRY_VERIFY(!window->undoControl()->isReading());
    QCOMPARE(window->undoControl()->history().runs.first().state, RunJournal::State::Undone);
}

void tst_UndoWindow::journalAlert_data()
{
    QTest::addColumn<bool>("withoutUndo");
    QTest::addColumn<QString>("entries");

    QTest::newRow("renamed without undo") << true << u"1-a.txt=a.txt 2-b.txt=b.txt"_s;
    QTest::newRow("cancelled") << false << u"a.txt=a.txt b.txt=b.txt"_s;
}

void tst_UndoWindow::journalAlert()
{
    QFETCH(bool, withoutUndo);
    // Where the history should be, a file: the journal cannot begin (which
    // faults refuse it is the journal's own to test).
    writeFile(m_state->path() + "/Velnor", "not a folder");
    VLNWindow *window = makeWindow();
    listFiles({"a.txt", "b.txt"});
    startRun(u"[C]-[N]"_s);
    QTRY_VERIFY(!window->isRenaming() && window->journalAlert());
    QMessageBox *alert = window->journalAlert();
    QVERIFY(alert->isVisible());
    QCOMPARE(alert->text(), u"The rename could not be prepared for undo."_s);
    QVERIFY(!window->reportSheet());
    // Nothing moved without the user's word.
    QCOMPARE(folderEntries(m_root), u"a.txt=a.txt b.txt=b.txt"_s);
    // Start again while the alert is open asks nothing more.
    window->clickStart();
    QVERIFY(!window->isRenaming());

    press(alert, withoutUndo ? u"Rename &Without Undo"_s : QString(), QMessageBox::RejectRole);
    QTRY_VERIFY(!window->journalAlert());
    if (withoutUndo)
        QTRY_VERIFY(!window->isRenaming() && window->reportSheet());
    QTEST(folderEntries(m_root), "entries");
    QCOMPARE(window->fileList()->fileAtIndex(0)->name(), withoutUndo ? u"1-a.txt"_s : u"a.txt"_s);
    // No journal: the history has nothing to undo.
    QTRY_VERIFY(!window->undoControl()->isReading());
    QVERIFY(!window->ui()->actionUndoRename->isEnabled());
}

QTEST_MAIN(tst_UndoWindow)
#include "tst_undowindow.moc"
