// SPDX-License-Identifier: GPL-3.0-or-later
#include "undowindowtest.h"

#include "app/undocontrol.h"
#include "files/filelist.h"
#include "files/zqfile.h"
#include "ui_vlnwindow.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>

// Undo from the window on real files: through the menu and back again, from
// the question after an interrupted run; and the alert
// when the run cannot keep its journal. The disk is checked after each: every
// name and content once, nothing left over, and the records where the files are.
class tst_UndoDisk : public UndoWindowTest
{
    Q_OBJECT

private slots:
    void init() { UndoWindowTest::init(); }
    void cleanup() { UndoWindowTest::cleanup(); }

    void undoAndRedoThroughMenu();
    void interruptedRunUndoneFromSheet();
    void journalAlert_data();
    void journalAlert();
};

// A run, its undo by Ctrl+Z and its redo from the menu: after each, the disk
// holds each name and content once, and the records follow.
void tst_UndoDisk::undoAndRedoThroughMenu()
{
    VLNWindow *window = makeWindow();
    QVERIFY(window);
    Ui::VLNWindow *ui = window->ui();
    QVERIFY(!ui->actionUndoRename->isEnabled());
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
    ui->tableView->setFocus();
    QTest::keySequence(ui->tableView, QKeySequence(Qt::CTRL | Qt::Key_Z));
    QTRY_VERIFY(!window->undoControl()->isRunning() && window->undoControl()->reportSheet());
    QCOMPARE(folderEntries(m_root), u"a.txt=a.txt b.txt=b.txt c.txt=c.txt"_s);
    QCOMPARE(window->fileList()->fileAtIndex(1)->nativePath(), m_root + "/b.txt");
    QCOMPARE(window->fileList()->fileAtIndex(1)->name(), u"b.txt"_s);
    QVERIFY(window->fileList()->containsPath(m_root + "/c.txt"));
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
void tst_UndoDisk::interruptedRunUndoneFromSheet()
{
    for (const char *name : {"f0", "f1", "f2"})
        writeFile(m_root + '/' + name, name);
    QVERIFY(!writeRun(1'700'000'000'000, 3, 2, false).isEmpty());
    for (const char *number : {"0", "1"})
        QCOMPARE(::rename(m_root + "/f" + number, m_root + "/g" + number), 0);

    VLNWindow *window = makeWindow();
    QVERIFY(window);
    window->openFiles({m_root + "/g0", m_root + "/g1", m_root + "/f2"});
    QTRY_VERIFY(!window->isListing());
    window->undoControl()->askAboutInterruptedRun();
    QMessageBox *sheet = window->undoControl()->interruptedSheet();
    QVERIFY(sheet);
    QCOMPARE(sheet->text(), u"The last rename was interrupted after 2 of 3 files. Undo those 2?"_s);
    for (QAbstractButton *button : sheet->buttons()) {
        if (button->text() == u"&Undo"_s)
            button->click();
    }
    QTRY_VERIFY(!window->undoControl()->isRunning() && window->undoControl()->reportSheet());
    QCOMPARE(window->undoControl()->reportSheet()->text(), u"2 files restored."_s);
    QCOMPARE(folderEntries(m_root), u"f0=f0 f1=f1 f2=f2"_s);
    QCOMPARE(window->fileList()->fileAtIndex(0)->nativePath(), m_root + "/f0");
    QCOMPARE(window->fileList()->fileAtIndex(1)->name(), u"f1"_s);
    QTRY_VERIFY(!window->undoControl()->isReading());
    QCOMPARE(window->undoControl()->history().runs.first().state, RunJournal::State::Undone);
}

void tst_UndoDisk::journalAlert_data()
{
    QTest::addColumn<bool>("withoutUndo");
    QTest::addColumn<QString>("entries");

    QTest::newRow("renamed without undo") << true << u"1-a.txt=a.txt 2-b.txt=b.txt"_s;
    QTest::newRow("cancelled") << false << u"a.txt=a.txt b.txt=b.txt"_s;
}

void tst_UndoDisk::journalAlert()
{
    QFETCH(bool, withoutUndo);
    QFETCH(QString, entries);
    // Where the history should be, a file: the journal cannot begin (which
    // faults refuse it is the journal's own to test).
    writeFile(m_state->path() + "/Velnor", "not a folder");
    VLNWindow *window = makeWindow();
    QVERIFY(window);
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

    QAbstractButton *answer = nullptr;
    for (QAbstractButton *button : alert->buttons()) {
        if (withoutUndo ? button->text() == u"Rename &Without Undo"_s
                        : alert->buttonRole(button) == QMessageBox::RejectRole)
            answer = button;
    }
    QVERIFY(answer);
    answer->click();
    QTRY_VERIFY(!window->journalAlert());
    if (withoutUndo)
        QTRY_VERIFY(!window->isRenaming() && window->reportSheet());
    QCOMPARE(folderEntries(m_root), entries);
    QCOMPARE(window->fileList()->fileAtIndex(0)->name(), withoutUndo ? u"1-a.txt"_s : u"a.txt"_s);
    // No journal: the history has nothing to undo.
    QTRY_VERIFY(!window->undoControl()->isReading());
    QVERIFY(!window->ui()->actionUndoRename->isEnabled());
}

QTEST_MAIN(tst_UndoDisk)
#include "tst_undodisk.moc"
