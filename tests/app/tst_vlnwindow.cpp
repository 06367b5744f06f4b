// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/filemanager.h"
#include "app/jobbar.h"
#include "files/filelist.h"
#include "plan/renameplan.h"
#include "windowtest.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>

#include <algorithm>
#include <tuple>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class tst_VLNWindow : public WindowTest
{
    Q_OBJECT
public:
    // That the plan waits for the typing to pause is no test's here.
    tst_VLNWindow() { m_planDelay = 0; }

private slots:
    void tutorial_data();
    void tutorial();

    void settingsReachThePreviewOnly();

    void dropAndAddPanelKeepBytes();
    void headerClicks();
    void removeKeepsScrollPosition();
    void showHandsOverSelectedBytes();

    void startRenamesAndShowsSheet();
    void planMarksConflicts();
    void typedNamesInTheTable();

    void listingCancelKeepsWhatWasListed();
    void startWaitsForListing();
    void runCancelled();
    void closingWaitsForRun();
    void jobBarTexts();
    void grantPanelWithoutNestedLoop();

private:
    QByteArray tree() const { return m_root + "/tree"; }
    VLNWindow *listTree(int folders, int count, const QString &nameTemplate);
};

// A first start lists two example files and shows the welcome page; Next
// raises one section box after another above the veil, and the menu's Show
// Tutorial during it starts nothing new. The tour ends on an empty list (the
// tour over the user's own files is tutorialKeepsTheList's).
void tst_VLNWindow::tutorial_data()
{
    QTest::addColumn<QString>("clicks"); // n: Next, s: Skip, t: the menu's Show Tutorial
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("text"); // the page's; none once the tour has ended
    QTest::newRow("0 welcome, the menu: the same tutorial")
        << u"t"_s << QString()
        << u"\nThank you for installing Velnor, the fastest way to rename large amounts of "
           "files.\n\n\nClick Next for a quick start guide on how to use this software."_s;
    QTest::newRow("1 name, the menu: nothing")
        << u"nt"_s << u"nameField"_s << u"you can change the file name"_s;
    QTest::newRow("2 extension") << u"nn"_s << u"extField"_s
                                 << u"you can change the file extension"_s;
    QTest::newRow("3 search") << u"nnn"_s << u"searchField"_s << u"search for a particular text"_s;
    QTest::newRow("4 case") << u"nnnn"_s << u"casePopup"_s
                            << u"Try changing it to All UPPERCASE."_s;
    QTest::newRow("5 counter, the box")
        << u"nnnnn"_s << u"section5Box"_s << u"Try increasing the Digits"_s;
    QTest::newRow("6 farewell") << u"nnnnnn"_s << QString() << u"support@velnor.app"_s;
    QTest::newRow("Next past page 6") << u"nnnnnnn"_s << QString() << QString();
    QTest::newRow("Skip on page 1") << u"ns"_s << QString() << QString();
}

void tst_VLNWindow::tutorial()
{
    QFETCH(QString, clicks);
    QFETCH(QString, focus);
    QFETCH(QString, text);
    VLNWindow *window = makeWindow(false);
    Ui::VLNWindow *ui = window->ui();
    clickTutorial(clicks);
    // Nothing to start: the list is empty, or the tutorial holds the window.
    QVERIFY(!ui->startButton->isEnabled());
    if (text.isNull()) {
        QCOMPARE(window->tutorialStep(), 0);
        QVERIFY(ui->tutorialView->isHidden());
        QCOMPARE(ui->totalLabel->text(), u"No files"_s);
        QVERIFY(ui->section2Box->isEnabled());
        // Whatever was typed on its pages, the settings are the defaults.
        QCOMPARE(window->renameSettings(), RenameSettings());
        // Written through to the file at once, where a later launch reads it.
        QVERIFY(UserDefaults(settingsPath()).boolForKey(u"skipTutorial"_s));
        m_window.reset();
        QVERIFY(makeWindow(false)->ui()->tutorialView->isHidden());
        return;
    }
    const int page = int(clicks.count(u'n'));
    QCOMPARE(window->tutorialStep(), page);
    QVERIFY(!ui->tutorialView->isHidden());
    const QString shown = ui->tutorialTextView->toPlainText();
    QVERIFY2(page == 0 ? shown == text : shown.contains(text), qPrintable(shown));
    // Two real files of their own, which nothing stops from being renamed.
    QCOMPARE(ui->totalLabel->text(), u"2 files"_s);
    QCOMPARE(cell(0, FileTableModel::OldNameColumn), u"TestFile.txt"_s);
    QVERIFY(cell(1, FileTableModel::LocationColumn).endsWith(u"/TestImage.jpg"_s));
    QVERIFY(planMade());
    QCOMPARE(window->tableModel()->plan()->problems(), 0);

    // Only the box the page is about can be used.
    for (QGroupBox *box :
         {ui->section1Box, ui->section2Box, ui->section3Box, ui->section4Box, ui->section5Box})
        QCOMPARE(box->isEnabled(), box->objectName() == u"section%1Box"_s.arg(page));
    if (!focus.isEmpty())
        QCOMPARE(window->focusWidget()->objectName(), focus);
    // What the mouse reaches: the raised box's controls, and the veil
    // everywhere else, over the table too, which stays enabled and in sight.
    auto covered = [&](QWidget *widget) {
        QWidget *top =
            ui->centralwidget->childAt(widget->mapTo(ui->centralwidget, widget->rect().center()));
        return top == ui->tutorialView || ui->tutorialView->isAncestorOf(top);
    };
    QVERIFY(covered(ui->addButton));
    QVERIFY(covered(ui->tableView->viewport()));
    QCOMPARE(covered(ui->extField), page != 2);
    QCOMPARE(covered(ui->casePopup), page != 4);
    QVERIFY(!ui->addButton->isEnabled());
    QVERIFY(ui->tableView->isEnabled());
    window->resize(900, 640);
    QTRY_COMPARE(ui->tutorialView->geometry(), ui->centralwidget->rect());
}

void tst_VLNWindow::settingsReachThePreviewOnly()
{
    VLNWindow *window = makeWindow();
    Ui::VLNWindow *ui = window->ui();
    listFiles({"Ab.txt", "Cd.txt", "Ef.txt"});
    // A label text that no refresh of the count would write: a setting that
    // touched the count, or reset the model, would show here.
    ui->totalLabel->setText(u"untouched"_s);
    QSignalSpy resets(window->tableModel(), &QAbstractItemModel::modelReset);
    QTest::keyClicks(ui->nameField, u"_"_s);
    // A token goes at the end, whatever the cursor and selection.
    ui->nameField->setSelection(0, 1);
    QTest::mouseClick(ui->counterTokenButton, Qt::LeftButton);
    QCOMPARE(ui->nameField->text(), u"[N]_[C]"_s);
    QTest::keyClick(ui->stepCounterBox, Qt::Key_Up); // step 2
    ui->startCounterBox->setValue(-3);
    ui->digitsCounterBox->setValue(3);
    ui->casePopup->setCurrentIndex(2);
    QCOMPARE(cell(0, FileTableModel::NewNameColumn), u"AB_-03.TXT"_s);
    QCOMPARE(cell(2, FileTableModel::NewNameColumn), u"EF_001.TXT"_s);
    QCOMPARE(ui->totalLabel->text(), u"untouched"_s);
    QCOMPARE(resets.count(), 0);
}

// What is dropped, and what is chosen in the Add panel, is listed by its
// bytes: a dropped name that is not UTF-8, a chosen one with URL delimiters.
void tst_VLNWindow::dropAndAddPanelKeepBytes()
{
    VLNWindow *window = makeWindow();
    const QByteArray folder = m_root + "/photos";
    makeTree(folder, {"one.jpg=jpg"});
    const QByteArray odd = m_root + "/caf\xe9 \xff.txt"; // Latin-1 bytes, not UTF-8
    writeFile(odd, "odd");
    // The action the window takes the drag with, if it takes the drop too.
    auto drop = [&](const QMimeData &data) {
        const Qt::DropActions actions = Qt::CopyAction | Qt::LinkAction;
        QDragEnterEvent enter(QPoint(50, 50), actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &enter);
        QDropEvent drop(QPointF(50, 50), actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &drop);
        return enter.isAccepted() && drop.isAccepted() ? enter.dropAction() : Qt::IgnoreAction;
    };
    QMimeData text; // a path as text is no file
    text.setText(QString::fromLatin1(odd));
    QCOMPARE(drop(text), Qt::IgnoreAction);
    QCOMPARE(window->fileList()->count(), 0);

    QMimeData data;
    data.setUrls({QUrl::fromEncoded("file://" + odd.toPercentEncoding("/")),
                  QUrl::fromEncoded("file://" + folder.toPercentEncoding("/"))});
    QCOMPARE(drop(data), Qt::LinkAction);
    QTRY_VERIFY(!window->isListing());
    QCOMPARE(window->fileList()->fileAtIndex(0)->nativePath(), odd);
    QCOMPARE(window->fileList()->fileAtIndex(1)->nativePath(), folder + "/one.jpg");
    QCOMPARE(cell(0, FileTableModel::OldNameColumn), u"caf\\xe9 \\xff.txt"_s);

    writeFile(m_root + "/b.txt", {});
    writeFile(m_root + "/a \xc3\xa9t\xc3\xa9 #1%.txt", {}); // UTF-8, with URL delimiters
    window->clickAdd();
    auto *panel = window->findChild<QFileDialog *>();
    QVERIFY(panel);
    panel->setDirectory(QFile::decodeName(m_root));
    auto *nameEdit = panel->findChild<QLineEdit *>(u"fileNameEdit"_s);
    QVERIFY(nameEdit);
    nameEdit->setText(u"\"b.txt\" \"a \u00e9t\u00e9 #1%.txt\""_s);
    QMetaObject::invokeMethod(panel, "accept");
    QTRY_VERIFY(!window->isListing());
    QCOMPARE(window->fileList()->count(), 4);
    QCOMPARE(window->fileList()->fileAtIndex(3)->nativePath(),
             m_root + "/a \xc3\xa9t\xc3\xa9 #1%.txt");
}

void tst_VLNWindow::headerClicks()
{
    VLNWindow *window = makeWindow();
    listFiles({"b.txt", "c.txt", "a.txt"}, {300, 100, 200}); // big, small, middle
    QHeaderView *header = window->ui()->tableView->horizontalHeader();
    const int old = FileTableModel::OldNameColumn, size = FileTableModel::SizeColumn;
    const auto up = Qt::AscendingOrder, down = Qt::DescendingOrder;
    // Listed in walk order: no column claims to be sorted.
    QVERIFY(!header->isSortIndicatorShown());
    const std::tuple<int, const char *, int, Qt::SortOrder> steps[] = {
        {old, "a.txt b.txt c.txt", old, up}, // the first click sorts
        {size, "c.txt a.txt b.txt", size, up},
        {size, "b.txt a.txt c.txt", size, down},
        // New Name never sorts, and the indicator stays where it was.
        {FileTableModel::NewNameColumn, "b.txt a.txt c.txt", size, down},
    };
    for (const auto &[column, expected, indicator, order] : steps) {
        window->ui()->tableView->selectRow(1);
        const QPoint at(header->sectionViewportPosition(column) + 10, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QCOMPARE(this->column(old).join(u' '), QString::fromLatin1(expected));
        QCOMPARE(header->sortIndicatorSection(), indicator);
        QCOMPARE(header->sortIndicatorOrder(), order);
        QVERIFY(!window->ui()->tableView->selectionModel()->hasSelection());
    }
}

// Remove takes the selected rows out and leaves the view where it was: the
// rows above stay in place and the ones below move up.
void tst_VLNWindow::removeKeepsScrollPosition()
{
    VLNWindow *window = makeWindow();
    QList<QByteArray> names;
    for (int i = 0; i < 300; ++i)
        names << "f" + QByteArray::number(i).rightJustified(3, '0');
    listFiles(names);
    QTableView *table = window->ui()->tableView;
    FileTableModel *model = window->tableModel();
    table->scrollTo(model->index(150, 0), QAbstractItemView::PositionAtTop);
    const int scroll = table->verticalScrollBar()->value();
    QVERIFY(scroll > 0);
    table->selectionModel()->select(QItemSelection(model->index(152, 0), model->index(153, 0)),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    window->clickRemove();
    QCOMPARE(table->verticalScrollBar()->value(), scroll);
    QCOMPARE(cell(151, 0), u"f151"_s);
    QCOMPARE(cell(152, 0), u"f154"_s);
    QCOMPARE(window->ui()->totalLabel->text(), u"298 files"_s);
}

// Show hands the file manager the records behind the selected rows of the
// sorted view, as bytes.
void tst_VLNWindow::showHandsOverSelectedBytes()
{
    VLNWindow *window = makeWindow();
    Ui::VLNWindow *ui = window->ui();
    QList<QList<QByteArray>> revealed;
    window->setRevealHandler([&](const QList<QByteArray> &paths) { revealed.append(paths); });
    QTest::mouseClick(ui->showButton, Qt::LeftButton);
    QCOMPARE(revealed.size(), 0); // empty list: nothing at all
    listFiles({"a", "b", "c", "d"});
    QTest::mouseClick(ui->showButton, Qt::LeftButton);
    QCOMPARE(revealed, QList<QList<QByteArray>>{{}}); // the file manager comes forward
    window->fileList()->setSortDescending(true);
    window->updateResults();
    selectRows({0, 2}); // d and b
    QTest::mouseClick(ui->showButton, Qt::LeftButton);
    QCOMPARE(revealed.last(), (QList<QByteArray>{m_root + "/d", m_root + "/b"}));
    QCOMPARE(FileManager::fileUris({QByteArray("/tmp/caf\xe9 #1.txt"), QByteArray("/a/b")}),
             (QStringList{u"file:///tmp/caf%E9%20%231.txt"_s, u"file:///a/b"_s}));
}

// Start renames by the plan, names typed by hand too (a swap among them),
// which it uses up, and shows its report as a sheet.
void tst_VLNWindow::startRenamesAndShowsSheet()
{
    VLNWindow *window = makeWindow();
    Ui::VLNWindow *ui = window->ui();
    FileTableModel *model = window->tableModel();
    m_prompt.answers = {m_root};
    QTest::mouseClick(ui->startButton, Qt::LeftButton); // empty list: not even asked
    QVERIFY(m_prompt.proposed.isEmpty());
    listFiles({"a.txt", "b.txt", "c.txt"}, {1, 2, 3});
    setNameTemplate(u"[C]-[N]"_s);
    QVERIFY(model->setData(model->index(0, FileTableModel::NewNameColumn), u"b.txt"_s));
    QVERIFY(model->setData(model->index(1, FileTableModel::NewNameColumn), u"a.txt"_s));
    QVERIFY(planMade()); // Start asks once it is known
    // (A declined grant is the real panel's case below.)
    QTest::mouseClick(ui->startButton, Qt::LeftButton);
    QTRY_VERIFY(!window->isRenaming());
    QCOMPARE(m_prompt.proposed, QByteArrayList{m_root});
    QCOMPARE(folderEntries(m_root), u"3-c.txt=xxx a.txt=xx b.txt=x"_s);
    QCOMPARE(window->fileList()->fileAtIndex(2)->nativePath(), m_root + "/3-c.txt");
    QVERIFY(model->typedNames().isEmpty());

    QMessageBox *sheet = window->reportSheet();
    QVERIFY(sheet && sheet->isVisible());
    QCOMPARE(sheet->windowModality(), Qt::WindowModal);
    QCOMPARE(sheet->text(), u"3 files renamed successfully."_s);
    // The table shows the new names, the preview applied to them afresh.
    QCOMPARE(cell(0, FileTableModel::OldNameColumn), u"b.txt"_s);
    QCOMPARE(cell(0, FileTableModel::NewNameColumn), u"1-b.txt"_s);
}

// The plan follows a change a moment later: rows that cannot be renamed get
// their reason (which reason is the plan's to test), the text beside the count
// says how many, and a click on it selects the first. The count label keeps
// its own text.
void tst_VLNWindow::planMarksConflicts()
{
    VLNWindow *window = makeWindow();
    Ui::VLNWindow *ui = window->ui();
    listFiles({"a.txt", "b.txt", "c.txt"});
    QPushButton *problems = window->problemsButton();
    QVERIFY(planMade());
    QVERIFY(problems->isHidden());
    setNameTemplate(u"same"_s);
    QVERIFY(!window->tableModel()->plan()); // the old plan is gone at once
    QVERIFY(planMade());
    QCOMPARE(problem(1), u"The same new name as row 1 (“a.txt”)."_s);
    QCOMPARE(problems->text(), u"2 files cannot be renamed"_s);
    QVERIFY(!problems->isHidden());
    QCOMPARE(ui->totalLabel->text(), u"3 files"_s);
    QTest::mouseClick(problems, Qt::LeftButton);
    const QModelIndexList selected = ui->tableView->selectionModel()->selectedRows();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first().row(), 1);
}

// A name typed in the table (F2 from any cell of the row) stands while the
// rules change, is checked by the plan, refused when empty and dropped by
// Reset New Name; one still being edited as the window closes is committed
// after its jobs.
void tst_VLNWindow::typedNamesInTheTable()
{
    VLNWindow *window = makeWindow();
    Ui::VLNWindow *ui = window->ui();
    FileTableModel *model = window->tableModel();
    QTableView *table = ui->tableView;
    listFiles({"a.txt", "b.txt", "c.txt"});
    const auto type = [&](int row, const QString &name) {
        table->setCurrentIndex(model->index(row, FileTableModel::OldNameColumn));
        table->setFocus();
        QTest::keyClick(table, Qt::Key_F2);
        QPointer<QLineEdit> editor = table->viewport()->findChild<QLineEdit *>();
        QVERIFY(editor && editor->isVisible());
        editor->clear();
        QTest::keyClicks(editor, name);
        model->reloadData(); // as a plan arriving meanwhile does
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!editor); // committed a turn of the event loop later
    };
    const QModelIndex first = model->index(0, FileTableModel::NewNameColumn);

    type(0, u"x.txt"_s);
    setNameTemplate(u"[N]-new"_s);
    QCOMPARE(newNames(), u"x.txt b-new.txt c-new.txt"_s);
    QVERIFY(first.data(FileTableModel::TypedRole).toBool());
    QCOMPARE(first.data(Qt::ToolTipRole).toString(), u"Typed by hand"_s);

    type(0, QString());
    QTRY_VERIFY(window->findChild<QMessageBox *>());
    QCOMPARE(window->findChild<QMessageBox *>()->text(), u"A new name cannot be empty."_s);
    window->findChild<QMessageBox *>()->accept();
    QCOMPARE(newNames(), u"x.txt b-new.txt c-new.txt"_s);

    type(0, u"c-new.txt"_s);
    QVERIFY(planMade());
    QCOMPARE(problem(2), u"The same new name as row 1 (“a.txt”)."_s);

    table->selectRow(0);
    ui->actionResetNewName->trigger();
    QCOMPARE(newNames(), u"a-new.txt b-new.txt c-new.txt"_s);
    QVERIFY(!first.data(FileTableModel::TypedRole).toBool());
    QVERIFY(planMade());
    QCOMPARE(window->problemsButton()->isHidden(), true);

    // A name still being edited is committed as the window goes, after its jobs.
    table->setCurrentIndex(first);
    table->edit(first);
    QPointer<QLineEdit> editor = table->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->setText(u"b.txt"_s);
    editor->setModified(true);
    m_window.reset();
}

// A window listing a tree of `count` files in `folders` folders under tree(),
// with the name template set and the tree's grant scripted.
VLNWindow *tst_VLNWindow::listTree(int folders, int count, const QString &nameTemplate)
{
    VLNWindow *window = makeWindow();
    if (::mkdir(tree().constData(), 0755) != 0 ||
        makeTree(tree(), folders, count / folders).size() != count)
        qFatal("the tree could not be made");
    m_prompt.answers = {tree()};
    setNameTemplate(nameTemplate);
    window->listInBackground({tree()});
    return window;
}

// The bottom bar shows the listing with Cancel; Cancel keeps what was listed.
void tst_VLNWindow::listingCancelKeepsWhatWasListed()
{
    VLNWindow *window = listTree(2, 300, u"[N]"_s);
    QVERIFY(window->isListing());
    QVERIFY(window->jobBar()->isShowingProgress());
    QVERIFY(window->jobBar()->progressText().endsWith(u" files found"_s));
    // The settings stay editable meanwhile.
    QVERIFY(window->ui()->nameField->isEnabled());
    window->cancelJob();
    QTRY_VERIFY(!window->isListing());
    QVERIFY(!window->jobBar()->isShowingProgress());
    // Which files were listed by then is the listing job's to test.
    const FileList &list = *window->fileList();
    // The bar says the list is not all the folder holds, until it is emptied.
    QCOMPARE(window->jobBar()->incompleteText(),
             (list.count() == 1
                  ? u"Cancelled: 1 file listed, the list is incomplete"_s
                  : u"Cancelled: %1 files listed, the list is incomplete"_s.arg(list.count())));
    window->clickClearAll();
    QCOMPARE(window->jobBar()->incompleteText(), QString());
}

// Start during a listing renames the whole listing once it has ended (the
// disk after a run is the run's to test).
void tst_VLNWindow::startWaitsForListing()
{
    VLNWindow *window = listTree(1, 200, u"[N]_x"_s);
    window->clickStart();
    QTRY_VERIFY(!window->isListing() && !window->isRenaming() && window->reportSheet());
    QCOMPARE(window->reportSheet()->text(), u"200 files renamed successfully."_s);
}

// A run shows its progress; a second Start does nothing; Cancel ends it with
// a report that says how many were not attempted. That the disk and the list
// agree after a cancel is the run job's to test.
void tst_VLNWindow::runCancelled()
{
    VLNWindow *window = listTree(2, 400, u"[N]_x"_s);
    QTRY_VERIFY(!window->isListing() && window->tableModel()->plan());
    window->clickStart();
    QVERIFY(window->isRenaming());
    QCOMPARE(window->jobBar()->progressText(), u"Renaming 0 of 400"_s);
    window->clickStart();
    window->cancelJob();
    QTRY_VERIFY_WITH_TIMEOUT(!window->isRenaming(), 60000);
    QCOMPARE(m_prompt.proposed.size(), 1);
    // None left when the run was quicker than the click.
    const qsizetype left = 400 - ::tree(tree()).join('/').count("_x.");
    QCOMPARE(window->reportSheet()->informativeText(),
             left == 0   ? QString()
             : left == 1 ? u"Cancelled: 1 file not attempted."_s
                         : u"Cancelled: %1 files not attempted."_s.arg(left));
}

// Closing the window while it renames: the run stops and is waited for, and
// every record follows its file.
void tst_VLNWindow::closingWaitsForRun()
{
    VLNWindow *window = listTree(2, 300, u"[N]_y"_s);
    QTRY_VERIFY(!window->isListing());
    window->clickStart();
    window->listInBackground({tree() + "/f000"}); // waits behind the run, then is dropped
    window->close();
    QVERIFY(!window->isRenaming() && !window->isListing());
    // Each record names a file that is there, and each file has one record.
    QByteArrayList listed;
    for (const auto &file : window->fileList()->contentsArray())
        listed << file->nativePath().mid(tree().size() + 1) + '=' + readFile(file->nativePath());
    std::sort(listed.begin(), listed.end());
    QByteArrayList disk = ::tree(tree());
    disk.removeIf([](const QByteArray &entry) { return entry.endsWith('/'); });
    QCOMPARE(listed, disk);
}

// The bottom bar counts the facts read, in the locale's digits; its quiet
// notice says how many folders could not be read, and its tooltip names them.
void tst_VLNWindow::jobBarTexts()
{
    JobBar bar;
    QLocale::setDefault(QLocale(u"en_US"_s));
    bar.showFacts(1234, 10000);
    QCOMPARE(bar.progressText(), u"Reading metadata 1,234 of 10,000"_s);
    QVERIFY(bar.isShowingProgress());
    QLocale::setDefault(QLocale::c());
    QCOMPARE(bar.noticeText(), QString());
    bar.setUnreadableFolders({"/a/locked", "/b/caf\xe9", "/c/two\nlines"});
    QCOMPARE(bar.noticeText(), u"3 folders could not be read"_s);
    auto *notice = bar.findChild<QLabel *>(u"unreadableNotice"_s);
    // One line a folder, each byte shown as the command line shows it.
    QCOMPARE(notice->toolTip(), u"/a/locked\n/b/caf\\xe9\n/c/two\\x0alines"_s);
    bar.setUnreadableFolders({"/a/locked"});
    QCOMPARE(bar.noticeText(), u"1 folder could not be read"_s);
    bar.setUnreadableFolders({});
    QCOMPARE(bar.noticeText(), QString());
}

// Start asks for the grant with a panel that does not hold the caller: the
// click returns at once, the panel's answer starts the run, a second Start
// meanwhile does nothing, and a declined panel leaves an alert and no run.
// The panel says why it asks. It cannot show a folder whose name is not
// UTF-8: it opens at the folder above, never at the working folder, and that
// is what is granted.
void tst_VLNWindow::grantPanelWithoutNestedLoop()
{
    VLNWindow *window = makeWindow();
    window->setAccessPrompt(nullptr); // the real panel
    const QByteArray folder = m_root + "/caf\xe9";
    listFiles({"caf\xe9/a.txt"}, {0});
    setNameTemplate(u"[N]_x"_s);
    QVERIFY(planMade());

    window->clickStart(); // returns with the panel open
    auto *panel = window->findChild<QFileDialog *>();
    QVERIFY(panel && panel->isVisible());
    QCOMPARE(panel->windowModality(), Qt::ApplicationModal);
    auto *message = panel->findChild<QLabel *>(u"accessMessage"_s);
    QVERIFY(message && message->isVisible());
    QVERIFY(message->text().startsWith(u"Velnor asks before it renames files"_s));
    window->clickStart();
    QCOMPARE(window->findChildren<QFileDialog *>().size(), 1);
    panel->reject();
    QTRY_VERIFY(window->findChild<QMessageBox *>());
    QVERIFY(!window->isRenaming());
    QCOMPARE(::tree(folder), QByteArrayList{"a.txt="});
    window->findChild<QMessageBox *>()->accept();
    QTRY_VERIFY(!window->findChild<QMessageBox *>());

    window->clickStart();
    QTRY_VERIFY(panel = window->findChild<QFileDialog *>());
    QMetaObject::invokeMethod(panel, "accept");
    QTRY_VERIFY(!window->isRenaming() && window->reportSheet());
    QCOMPARE(::tree(folder), QByteArrayList{"a_x.txt="});
    QCOMPARE(m_defaults->dataForKey(u"rootlimit"_s), m_root);
}

QTEST_MAIN(tst_VLNWindow)
#include "tst_vlnwindow.moc"
