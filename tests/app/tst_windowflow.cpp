// SPDX-License-Identifier: GPL-3.0-or-later
#include "../scriptedprompt.h"
#include "app/folderaccessdialog.h"
#include "app/listingcontrols.h"
#include "app/vlnwindow.h"
#include "files/filelist.h"
#include "files/zqfile.h"
#include "model/filetablemodel.h"
#include "plan/renameplan.h"
#include "ui_vlnwindow.h"
#include "windowtest.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// "name=size" of every entry of a folder, sorted: what the disk holds.
QString folderEntries(const QByteArray &folder)
{
    QStringList entries;
    for (const QFileInfo &info : QDir(QFile::decodeName(folder)).entryInfoList(QDir::Files))
        entries << u"%1=%2"_s.arg(info.fileName()).arg(info.size());
    entries.sort();
    return entries.join(u' ');
}

} // namespace

// How the window leads a user through a run, the tutorial and the list.
class tst_WindowFlow : public WindowTest
{
    Q_OBJECT

private slots:
    void init() { WindowTest::init(); }
    void cleanup() { WindowTest::cleanup(); }

    void partialRunAsks_data();
    void partialRunAsks();
    void tutorialKeepsTheList_data();
    void tutorialKeepsTheList();
    void firstTutorialEndsEmpty();
    void listingFilters();
    void folderAccessAskedOncePerTree();

private:
    // A fresh window, as at the next launch, lists these files and starts.
    void renameIn(ScriptedPrompt &prompt, const QList<QByteArray> &files)
    {
        VLNWindow *window = makeWindow(true, &prompt);
        QVERIFY(window);
        listFiles(files);
        window->ui()->nameField->setText(u"[N]-x"_s);
        window->controlTextDidChange();
        QTRY_VERIFY(window->tableModel()->plan() && window->tableModel()->plan()->isComplete());
        window->clickStart();
        QTRY_VERIFY(!window->isRenaming());
    }
};

void tst_WindowFlow::partialRunAsks_data()
{
    QTest::addColumn<QString>("nameTemplate");
    QTest::addColumn<QString>("question"); // empty: no question, the run goes on
    QTest::addColumn<QString>("button");   // the button pressed; empty: the sheet has only OK
    QTest::addColumn<QString>("disk");
    const QString untouched = u"a.txt=1 b.txt=2 c.txt=3 taken.txt=0"_s;
    QTest::newRow("all can move: no question")
        << u"[N]_x"_s << QString() << QString() << u"a_x.txt=1 b_x.txt=2 c_x.txt=3 taken.txt=0"_s;
    QTest::newRow("two clash: cancelled")
        << u"same"_s << u"2 of 3 files cannot be renamed. Rename the other 1?"_s << u"Cancel"_s
        << untouched;
    QTest::newRow("two clash: the other renamed")
        << u"same"_s << u"2 of 3 files cannot be renamed. Rename the other 1?"_s
        << u"Rename 1 File"_s << u"b.txt=2 c.txt=3 same.txt=1 taken.txt=0"_s;
    QTest::newRow("none can move: nothing to ask")
        << u"taken"_s << u"None of the 3 files can be renamed."_s << QString() << untouched;
}

// Start never renames part of the list by surprise: it asks first, names the
// first reasons, and renames nothing unless told to.
void tst_WindowFlow::partialRunAsks()
{
    QFETCH(QString, nameTemplate);
    QFETCH(QString, question);
    QFETCH(QString, button);
    QFETCH(QString, disk);
    ScriptedPrompt prompt;
    prompt.answers = {m_root};
    VLNWindow *window = makeWindow(true, &prompt);
    QVERIFY(window);
    listFiles({"taken.txt"});
    window->clickClearAll();
    listFiles({"a.txt", "b.txt", "c.txt"}, {1, 2, 3});
    window->ui()->nameField->setText(nameTemplate);
    window->controlTextDidChange();
    // At once, before the plan of the change is known: Start waits for it.
    window->clickStart();
    if (question.isEmpty()) {
        QTRY_VERIFY(window->reportSheet());
        QVERIFY(!window->confirmationSheet());
    } else {
        QTRY_VERIFY(window->confirmationSheet());
        QMessageBox *sheet = window->confirmationSheet();
        QCOMPARE(sheet->text(), question);
        QVERIFY(sheet->informativeText().startsWith(u"“"_s));
        QCOMPARE(sheet->windowModality(), Qt::WindowModal);
        window->clickStart(); // one question at a time
        QCOMPARE(window->findChildren<QMessageBox *>().size(), 1);
        QAbstractButton *pressed = nullptr;
        QStringList texts;
        for (QAbstractButton *candidate : sheet->buttons()) {
            texts << candidate->text();
            if (candidate->text() == button ||
                (button == u"Cancel"_s && sheet->buttonRole(candidate) == QMessageBox::RejectRole))
                pressed = candidate;
        }
        if (button.isEmpty()) {
            QCOMPARE(sheet->buttons().size(), 1);
            pressed = sheet->buttons().first();
        }
        QVERIFY2(pressed, qPrintable(texts.join(u'|')));
        pressed->click();
        QTRY_VERIFY(!window->isRenaming());
        QCOMPARE(bool(window->reportSheet()), button.startsWith(u"Rename"_s));
    }
    QTRY_VERIFY(!window->isRenaming());
    QCOMPARE(folderEntries(m_root), disk);
}

void tst_WindowFlow::tutorialKeepsTheList_data()
{
    QTest::addColumn<QString>("clicks"); // n: Next, s: Skip
    QTest::newRow("skipped at once") << u"s"_s;
    QTest::newRow("finished") << u"nnnnnnn"_s;
}

// Help ▸ Show Tutorial over 1,000 listed files, a sorted list and settings
// of the user's: the tutorial shows its two examples alone, under the
// default settings, and whatever is tried in it, the list, its order and
// the settings come back exactly.
void tst_WindowFlow::tutorialKeepsTheList()
{
    QFETCH(QString, clicks);
    VLNWindow *window = makeWindow();
    QVERIFY(window);
    Ui::VLNWindow *ui = window->ui();
    const QByteArray tree = m_root + "/tree";
    QVERIFY(QDir().mkpath(QFile::decodeName(tree)));
    for (int i = 0; i < 1000; ++i)
        QVERIFY(QFile(QFile::decodeName(tree + "/f" + QByteArray::number(i)))
                    .open(QIODevice::WriteOnly));
    window->listInBackground({tree});
    QTRY_VERIFY(!window->isListing());
    window->tableModel()->tableView(FileTableModel::OldNameColumn);
    window->tableModel()->tableView(FileTableModel::OldNameColumn); // descending
    ui->nameField->setText(u"[N]_[C]"_s);
    ui->searchField->setText(u"f"_s);
    ui->digitsCounterBox->setValue(4);
    window->controlTextDidChange();
    const RenameSettings settings = window->renameSettings();
    const auto paths = [&] {
        QByteArrayList shown;
        for (int row = 0; row < window->fileList()->count(); ++row)
            shown << window->fileList()->fileAtIndex(row)->nativePath();
        return shown;
    };
    const QByteArrayList before = paths();
    QCOMPARE(before.size(), 1000);
    QCOMPARE(before.first(), tree + "/f999");

    window->clickStartTutorial();
    QCOMPARE(window->fileList()->count(), 2);
    QCOMPARE(cell(0, FileTableModel::NewNameColumn), u"TestImage.jpg"_s); // descending still
    QCOMPARE(window->renameSettings(), RenameSettings());
    for (QChar click : clicks) {
        if (click == u'n' && window->tutorialStep() == 1)
            QTest::keyClicks(ui->nameField, u"[N]-[YMD]"_s); // what the page asks for
        if (click == u'n' && window->tutorialStep() == 6) {
            QVERIFY2(ui->tutorialTextView->toPlainText().endsWith(
                         u"Your 1,000 files and your settings come back when the tutorial ends."_s),
                     qPrintable(ui->tutorialTextView->toPlainText()));
            QCOMPARE(ui->nextTutorialButton->text(), u"&Close Tutorial"_s);
            QVERIFY(ui->skipTutorialButton->isHidden());
        }
        QTest::mouseClick(click == u'n' ? ui->nextTutorialButton : ui->skipTutorialButton,
                          Qt::LeftButton);
    }
    QCOMPARE(window->tutorialStep(), 0);
    QVERIFY(ui->tutorialView->isHidden());
    QCOMPARE(paths(), before);
    QVERIFY(window->fileList()->hasBeenSorted());
    QCOMPARE(window->renameSettings(), settings);
    QCOMPARE(ui->nameField->text(), u"[N]_[C]"_s);
    QCOMPARE(ui->totalLabel->text(), u"1,000 files"_s);
    QCOMPARE(cell(0, FileTableModel::NewNameColumn), u"999_0001"_s);
}

// The first start lists nothing of the user's: it ends with an empty list
// and the default settings, whatever was typed on its pages.
void tst_WindowFlow::firstTutorialEndsEmpty()
{
    VLNWindow *window = makeWindow(false);
    QVERIFY(window);
    Ui::VLNWindow *ui = window->ui();
    QCOMPARE(window->fileList()->count(), 2);
    QTest::mouseClick(ui->nextTutorialButton, Qt::LeftButton);
    QTest::keyClicks(ui->nameField, u"-[YMD]"_s);
    QTest::mouseClick(ui->nextTutorialButton, Qt::LeftButton);
    QTest::keyClicks(ui->extField, u"[C]"_s);
    QTest::mouseClick(ui->skipTutorialButton, Qt::LeftButton);
    QCOMPARE(window->fileList()->count(), 0);
    QCOMPARE(ui->totalLabel->text(), u"No files"_s);
    QCOMPARE(window->renameSettings(), RenameSettings());
}

// The field and the box beside Add… decide what the next folder lists; off,
// every file is listed as it always was. Add Folder… opens a folder panel.
void tst_WindowFlow::listingFilters()
{
    VLNWindow *window = makeWindow();
    QVERIFY(window);
    ListingControls *controls = window->listingControls();
    for (const char *folder : {"t", "t/.git", "t/sub"})
        QVERIFY(QDir().mkpath(QFile::decodeName(m_root + '/' + folder)));
    for (const char *file : {"t/.git/x.jpg", "t/.hidden.jpg", "t/A.JPG", "t/b.png", "t/sub/c.jpg"})
        QVERIFY(QFile(QFile::decodeName(m_root + '/' + file)).open(QIODevice::WriteOnly));
    const auto listed = [&] {
        QStringList names = column(FileTableModel::OldNameColumn);
        names.sort();
        window->clickClearAll();
        return names.join(u' ');
    };
    QVERIFY(controls->hiddenBox()->isChecked());
    QCOMPARE(controls->filterField()->text(), QString());
    window->listInBackground({m_root + "/t"});
    QTRY_VERIFY(!window->isListing());
    QCOMPARE(listed(), u".hidden.jpg A.JPG b.png c.jpg x.jpg"_s);

    QTest::keyClicks(controls->filterField(), u"*.jpg"_s);
    controls->hiddenBox()->click();
    window->listInBackground({m_root + "/t"});
    QTRY_VERIFY(!window->isListing());
    QCOMPARE(listed(), u"A.JPG c.jpg"_s);

    QCOMPARE(controls->addFolderAction()->shortcut(),
             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    controls->addFolderAction()->trigger();
    auto *panel = window->findChild<QFileDialog *>();
    QVERIFY(panel && panel->isVisible());
    QCOMPARE(panel->fileMode(), QFileDialog::Directory);
    panel->selectFile(QFile::decodeName(m_root + "/t/sub"));
    QMetaObject::invokeMethod(panel, "accept");
    QTRY_VERIFY(!window->isListing() && window->fileList()->count() == 1);
    QCOMPARE(listed(), u"c.jpg"_s);
}

// The grant of a folder holds every folder inside it, at later launches too;
// once removed in Folder Access… the run asks again.
void tst_WindowFlow::folderAccessAskedOncePerTree()
{
    ScriptedPrompt prompt;
    const QByteArray tree = m_root + "/tree";
    prompt.answers = {tree};
    renameIn(prompt, {"tree/a/one.txt", "tree/b/two.txt"});
    QCOMPARE(prompt.proposed, QByteArrayList{tree});
    QCOMPARE(folderEntries(tree + "/a"), u"one-x.txt=0"_s);
    QCOMPARE(folderEntries(tree + "/b"), u"two-x.txt=0"_s);

    renameIn(prompt, {"tree/a/deep/three.txt"});
    QCOMPARE(prompt.proposed, QByteArrayList{tree});
    QCOMPARE(folderEntries(tree + "/a/deep"), u"three-x.txt=0"_s);

    m_window->ui()->actionFolderAccess->trigger();
    auto *dialog = m_window->findChild<FolderAccessDialog *>();
    QVERIFY(dialog && dialog->isVisible());
    QListWidget *folders = dialog->folderList();
    QCOMPARE(folders->count(), 1);
    QCOMPARE(folders->item(0)->text(), QFile::decodeName(tree));
    QVERIFY(!dialog->removeButton()->isEnabled());
    folders->setCurrentRow(0);
    QTest::mouseClick(dialog->removeButton(), Qt::LeftButton);
    QCOMPARE(folders->count(), 0);
    QVERIFY(!dialog->findChild<QLabel *>(u"noGrants"_s)->isHidden());

    renameIn(prompt, {"tree/b/five.txt"});
    QCOMPARE(prompt.proposed, QByteArrayList({tree, tree + "/b"}));
    QCOMPARE(prompt.alerts.size(), 1);
    QCOMPARE(folderEntries(tree + "/b"), u"five.txt=0 two-x.txt=0"_s);
}

QTEST_MAIN(tst_WindowFlow)
#include "tst_windowflow.moc"
