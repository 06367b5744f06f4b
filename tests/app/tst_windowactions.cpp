// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/folderaccessdialog.h"
#include "app/listingcontrols.h"
#include "app/metacontrols.h"
#include "app/translations.h"
#include "app/windowmemory.h"
#include "files/filelist.h"
#include "files/zqfile.h"
#include "plan/renameplan.h"
#include "windowtest.h"

#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

// The window's keyboard: shortcuts, mnemonics, the tab order, the table's
// context menu; the size and column widths it keeps between starts; and how
// it leads a user through a run, the tutorial and the list.
class tst_WindowActions : public WindowTest
{
    Q_OBJECT
public:
    // That the plan waits for the typing to pause is no test's here.
    tst_WindowActions() { m_planDelay = 0; }

private slots:
    void keys_data();
    void keys();
    void emptyListRestsItsButtons();

    void contextMenu();
    void clipboardNewNames_data();
    void clipboardNewNames();

    void mnemonics_data();
    void mnemonics();
    void tabOrderFollowsSections();

    void remembersSizeAndColumns();
    void storedColumnWidths_data();
    void storedColumnWidths();

    void partialRunAsks_data();
    void partialRunAsks();
    void tutorialKeepsTheList_data();
    void tutorialKeepsTheList();
    void listingFilters();
    void folderAccessAskedOncePerTree();

private:
    // A fresh window, as at the next launch, lists these files and starts.
    void renameIn(const QList<QByteArray> &files)
    {
        VLNWindow *window = makeWindow();
        listFiles(files);
        setNameTemplate(u"[N]-x"_s);
        QTRY_VERIFY(window->tableModel()->plan() && window->tableModel()->plan()->isComplete());
        window->clickStart();
        QTRY_VERIFY(!window->isRenaming());
    }
};

// Each key reaches its action from where the focus is, or stays with the
// field that has it: Ctrl+Z in a field undoes the typing, though a run is in
// the history (that it takes the run back from the table is shown by
// tst_undowindow). Before the key, "x" is typed at the end of the name
// template and the cursor put first.
void tst_WindowActions::keys_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("actions"); // the window's actions triggered
    QTest::addColumn<QString>("names");
    QTest::addColumn<QString>("nameTemplate");
    QTest::addColumn<QString>("focusAfter");
    const QString all = u"a.txt b.txt c.txt"_s;
    const auto row = [&](const char *tag, const QString &focus, QKeySequence keys,
                         const QString &actions, const QString &names,
                         const QString &nameTemplate = u"[N]x"_s, QString focusAfter = {}) {
        QTest::newRow(tag) << focus << keys << actions << names << nameTemplate
                           << (focusAfter.isNull() ? focus : focusAfter);
    };
    const QKeySequence del(Qt::Key_Delete), clear(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete),
        undo(Qt::CTRL | Qt::Key_Z), start(Qt::CTRL | Qt::Key_Return);
    row("Delete on the table removes the selected row", u"tableView"_s, del, u"actionRemove"_s,
        u"a.txt c.txt"_s);
    row("Delete in the name field deletes a character", u"nameField"_s, del, {}, all, u"N]x"_s);
    row("Delete in a counter box leaves the list", u"startCounterBox"_s, del, {}, all);
    row("Ctrl+Shift+Delete on the table clears the list", u"tableView"_s, clear,
        u"actionClearAll"_s, {});
    row("Ctrl+Shift+Delete from the search field", u"searchField"_s, clear, u"actionClearAll"_s,
        {});
    row("Ctrl+L goes to the name template", u"tableView"_s, QKeySequence(Qt::CTRL | Qt::Key_L),
        u"actionGoToName"_s, all, u"[N]x"_s, u"nameField"_s);
    // Return alone belongs to the field, Ctrl+Return starts.
    row("Ctrl+Return from a field", u"searchField"_s, start, u"actionStartRenaming"_s, all);
    row("Ctrl+Enter on the keypad", u"searchField"_s,
        QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Enter)),
        u"actionStartRenaming"_s, all);
    row("Ctrl+O opens the panel", u"tableView"_s, QKeySequence(Qt::CTRL | Qt::Key_O),
        u"actionAddFiles"_s, all);
    // F1 reaches the delegate's menu item; here the item itself is checked.
    row("F1", u"tableView"_s, QKeySequence(Qt::Key_F1), u"actionShowTutorial"_s, all);
    row("Ctrl+Z in the name field undoes the typing", u"nameField"_s, undo, {}, all, u"[N]"_s);
    row("Ctrl+Z in a counter box stays there", u"stepCounterBox"_s, undo, {}, all);
    row("Ctrl+Shift+Z in the name field stays there", u"nameField"_s,
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), {}, all);
}

void tst_WindowActions::keys()
{
    QFETCH(QString, focus);
    QFETCH(QKeySequence, keys);
    QFETCH(QString, focusAfter);
    QVERIFY(
        !writeJournal(RunHistory::runsFolder(), m_root, 1'700'000'000'000, 2, 2, true).isEmpty());
    VLNWindow *window = makeWindow();
    Ui::VLNWindow *ui = window->ui();
    listFiles({"a.txt", "b.txt", "c.txt"});
    ui->tableView->selectRow(1);
    ui->nameField->setFocus();
    ui->nameField->end(false);
    QTest::keyClick(ui->nameField, Qt::Key_X);
    ui->nameField->setCursorPosition(0);
    QStringList triggered;
    QObject receiver; // goes first, and its connections with it
    for (QAction *action : window->findChildren<QAction *>())
        connect(action, &QAction::triggered, &receiver,
                [&triggered, action] { triggered << action->objectName(); });
    pressKeys(focus, keys);

    QTEST(triggered.join(u' '), "actions");
    QTEST(column(FileTableModel::OldNameColumn).join(u' '), "names");
    QTEST(ui->nameField->text(), "nameTemplate");
    QCOMPARE(QApplication::focusWidget()->objectName(), focusAfter);
    if (focusAfter == u"nameField"_s && focus != u"nameField"_s)
        QCOMPARE(ui->nameField->selectedText(), ui->nameField->text());
    auto *panel = window->findChild<QFileDialog *>();
    QCOMPARE(panel && panel->isVisible(), triggered == QStringList{u"actionAddFiles"_s});
    // An undo the key started ends before the window goes.
    QTRY_VERIFY(!window->undoControl()->isRunning());
}

// What works on the files is off while there are none: greyed, rather than
// doing nothing when pressed. The list's keys rest during the tutorial.
void tst_WindowActions::emptyListRestsItsButtons()
{
    VLNWindow *window = makeWindow(false);
    Ui::VLNWindow *ui = window->ui();
    QCOMPARE(window->fileList()->count(), 2); // the two examples
    ui->tableView->selectRow(0);
    pressKeys(u"tableView"_s, QKeySequence(Qt::Key_Delete));
    pressKeys(u"tableView"_s, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete));
    QCOMPARE(window->fileList()->count(), 2);
    const QList<QWidget *> buttons = {ui->removeButton, ui->clearAllButton, ui->showButton,
                                      ui->startButton};
    const QList<QAction *> actions = {ui->actionRemove, ui->actionClearAll, ui->actionShow,
                                      ui->actionStartRenaming, ui->actionPasteNewNames};
    const auto resting = [&](bool rest) {
        for (QWidget *button : buttons)
            QVERIFY2(button->isEnabled() != rest, qPrintable(button->objectName()));
        for (QAction *action : actions)
            QVERIFY2(action->isEnabled() != rest, qPrintable(action->objectName()));
    };
    window->clickSkipTutorial(); // the first run's tutorial ends on an empty list
    QCOMPARE(window->fileList()->count(), 0);
    resting(true);
    QVERIFY(ui->addButton->isEnabled() && ui->actionGoToName->isEnabled());
    QSignalSpy started(ui->actionStartRenaming, &QAction::triggered);
    pressKeys(u"searchField"_s, QKeySequence(Qt::CTRL | Qt::Key_Return));
    QCOMPARE(started.count(), 0);
    // No Ctrl held over into the next test's clicks.
    QTest::keyClick(ui->searchField, Qt::Key_End);

    listFiles({"a.txt"});
    resting(false);
    window->clickClearAll();
    resting(true);
}

void tst_WindowActions::contextMenu()
{
    VLNWindow *window = makeWindow();
    listFiles({"a.txt", "b.txt", "c.txt"});
    QTableView *table = window->ui()->tableView;
    table->selectRow(0);
    // A right click on a row outside the selection selects it.
    const QPoint at = table->visualRect(table->model()->index(2, 0)).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, table->viewport()->mapToGlobal(at));
    QApplication::sendEvent(table->viewport(), &event);
    auto *menu = table->findChild<QMenu *>();
    QTRY_VERIFY(menu && menu->isVisible());
    QCOMPARE(texts(menu->actions()), (QStringList{u"&Show"_s, u"&Remove"_s, QString(),
                                                  u"Copy &New Name"_s, u"R&eset New Name"_s}));
    const QModelIndexList selected = table->selectionModel()->selectedRows();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first().row(), 2);
    menu->actions().at(1)->trigger();
    menu->close();
    QCOMPARE(window->fileList()->count(), 2);
    QCOMPARE(window->fileList()->fileAtIndex(1)->name(), u"b.txt"_s);
}

// Copy New Name puts the selected rows' new names on the clipboard; Paste
// New Names gives the clipboard's lines to the selected rows, or to all when
// none is, or changes nothing and says why.
void tst_WindowActions::clipboardNewNames_data()
{
    QTest::addColumn<bool>("paste");
    QTest::addColumn<QList<int>>("rows");
    // What Copy leaves on the clipboard (over "x"), or what Paste is given
    // and leaves there.
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("newNames"); // unchanged when not given
    QTest::addColumn<QString>("message");
    const auto row = [](const char *tag, bool paste, const QList<int> &rows,
                        const QString &clipboard, const QString &newNames = {},
                        const QString &message = {}) {
        QTest::newRow(tag) << paste << rows << clipboard
                           << (newNames.isNull() ? u"Trip-01.jpg Trip-02.jpg Trip-03.png"_s
                                                 : newNames)
                           << message;
    };
    row("copy one row", false, {1}, u"Trip-02.jpg"_s);
    row("copy rows selected bottom up: top down", false, {2, 0}, u"Trip-01.jpg\nTrip-03.png"_s);
    row("copy with nothing selected: the clipboard stays", false, {}, u"x"_s);
    row("paste to the selected rows top down, CR LF line ends", true, {2, 0},
        u"x.jpg\r\nz.png\r\n"_s, u"x.jpg Trip-02.jpg z.png"_s);
    row("paste to every row when none is selected", true, {}, u"1\n2\n3"_s, u"1 2 3"_s);
    row("paste of more lines than rows changes nothing", true, {0, 1}, u"1\n2\n3\n"_s, {},
        u"The clipboard holds 3 lines for 2 files; nothing was changed."_s);
    row("paste of an empty line changes nothing", true, {}, u"1\n\n3"_s, {},
        u"Line 2 of the clipboard is empty; nothing was changed."_s);
}

void tst_WindowActions::clipboardNewNames()
{
    QFETCH(bool, paste);
    QFETCH(QList<int>, rows);
    QFETCH(QString, clipboard);
    VLNWindow *window = makeWindow();
    listFiles({"a.jpg", "b.jpg", "c.png"});
    setNameTemplate(u"Trip-[C]"_s);
    window->ui()->digitsCounterBox->setValue(2);
    QGuiApplication::clipboard()->setText(paste ? clipboard : u"x"_s);
    selectRows(rows);
    pressKeys(u"tableView"_s, paste ? QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)
                                    : QKeySequence(Qt::CTRL | Qt::Key_C));
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    QTEST(newNames(), "newNames");
    auto *sheet = window->findChild<QMessageBox *>();
    QTEST(sheet ? sheet->text() : QString(), "message");
}

void tst_WindowActions::mnemonics_data()
{
    QTest::addColumn<QString>("language"); // English is the source
    for (const char *language : {"en_US", "de_DE", "fr_FR", "es_ES"})
        QTest::newRow(language) << QString::fromLatin1(language);
}

// Every button and menu item has a mnemonic; the window's (buttons, labels,
// menu titles) are unique in the window, a menu's items unique in their menu.
void tst_WindowActions::mnemonics()
{
    QFETCH(QString, language);
    QCOMPARE(Translations::install(qApp, QLocale(language)), language != u"en_US"_s);
    VLNWindow *window = makeWindow(false);

    auto mnemonic = [](const QString &text) {
        const qsizetype at = text.indexOf(u'&');
        return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toLower() : QChar();
    };
    // Each has a key, none the same as another's.
    auto distinctKeys = [&](const QStringList &items) {
        QSet<QChar> keys;
        for (const QString &text : items) {
            const QChar key = mnemonic(text);
            QVERIFY2(!key.isNull() && !keys.contains(key), qPrintable(text));
            keys.insert(key);
        }
    };
    auto menuItems = [](QMenu *menu) {
        QList<QAction *> items = menu->actions();
        items.removeIf([](const QAction *item) { return item->isSeparator(); });
        return texts(items);
    };
    distinctKeys(menuItems(window->metaControls()->metadataMenu()));
    distinctKeys(texts(window->ui()->tutorialView->findChildren<QAbstractButton *>()));
    QHash<QChar, QString> windowKeys;
    auto claim = [&](const QString &text) {
        const QChar key = mnemonic(text);
        QVERIFY2(!windowKeys.contains(key),
                 qPrintable(text + u" and "_s + windowKeys.value(key) + u" share a key"_s));
        windowKeys.insert(key, text);
    };
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (button->parent() && button->parent()->inherits("QAbstractSpinBox"))
            continue;
        if (button->text().isEmpty()) // the table's corner, scroll arrows
            continue;
        // Shown only while a job runs, and pressed with Escape; the count of
        // the files that cannot be renamed, clicked to go to the first, reads
        // as a sentence.
        if (button->objectName() == u"cancelJobButton"_s ||
            button->objectName() == u"problemsButton"_s)
            continue;
        // Every letter of "Metadata" is taken by a control always there: the
        // menu opens with Ctrl+M.
        // So is every letter of "[P] Directory" in English and of "[P] Dossier"
        // in French; Tab reaches it.
        if (button->objectName() == u"metadataButton"_s ||
            (button->objectName() == u"folderTokenButton"_s && mnemonic(button->text()).isNull()))
            continue;
        QVERIFY2(!mnemonic(button->text()).isNull(), qPrintable(button->text()));
        // The window has more options than letters: a check box may share its
        // key with another control (the key then moves the focus between them).
        // The tutorial's buttons show on its overlay, over the window, and
        // claim their keys among themselves.
        if (!qobject_cast<QCheckBox *>(button) && !window->ui()->tutorialView->isAncestorOf(button))
            claim(button->text());
    }
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (label->buddy() && !mnemonic(label->text()).isNull())
            claim(label->text());
    }
    for (QAction *menuAction : window->menuBar()->actions()) {
        QVERIFY2(!mnemonic(menuAction->text()).isNull(), qPrintable(menuAction->text()));
        claim(menuAction->text());
        distinctKeys(menuItems(menuAction->menu()));
    }
}

void tst_WindowActions::tabOrderFollowsSections()
{
    VLNWindow *window = makeWindow();
    listFiles({"a.txt"});
    window->ui()->nameField->setFocus();
    QStringList order{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 35; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(order.join(u' '),
             u"nameField nameTokenButton dateTokenButton counterTokenButton timeTokenButton "
             "hour24Box metadataButton datesFromPopup folderTokenButton extField extTokenButton "
             "extCounterTokenButton searchField replaceField regexBox ignoreCaseBox casePopup "
             "asciiBox startCounterBox stepCounterBox digitsCounterBox perFolderBox uniqueBox "
             "rowsPopup makeFoldersBox companionsBox tableView addButton addFolderButton "
             "listingFilterField hiddenFilesBox removeButton clearAllButton showButton "
             "startButton nameField"_s);
}

void tst_WindowActions::remembersSizeAndColumns()
{
    VLNWindow *window = makeWindow();
    window->resize(1010, 570);
    QHeaderView *header = window->ui()->tableView->horizontalHeader();
    const QList<int> widths{150, 260, 70, 140};
    for (int column = 0; column < widths.size(); ++column)
        header->resizeSection(column, widths[column]);
    QVERIFY(window->close());
    m_window.reset();
    QVERIFY(m_defaults->stringForKey(u"columnWidths"_s).startsWith(u"150,260,70,140,"_s));
    // Read back from the file, as the next start would.
    m_defaults = std::make_unique<UserDefaults>(settingsPath());

    // How the widths are read back is storedColumnWidths's to show.
    m_window = std::make_unique<VLNWindow>(m_defaults.get());
    QCOMPARE(m_window->size(), QSize(1010, 570));
    // The other keys of the file are kept beside them.
    QVERIFY(m_defaults->boolForKey(u"skipTutorial"_s));
}

void tst_WindowActions::storedColumnWidths_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QList<int>>("widths");
    QTest::newRow("nothing stored: the window's own") << QString() << QList<int>{220, 220, 90, 130};
    QTest::newRow("fewer columns than now: the rest keep their own")
        << u"100,110"_s << QList<int>{100, 110, 90, 130};
    QTest::newRow("no numbers, zero, negative, absurd: ignored one by one")
        << u"abc,0,-5,99999,1"_s << QList<int>{220, 220, 90, 130};
    QTest::newRow("spaces around numbers")
        << u" 120 , 121,122 ,123"_s << QList<int>{120, 121, 122, 123};
}

void tst_WindowActions::storedColumnWidths()
{
    QFETCH(QString, stored);
    QFETCH(QList<int>, widths);
    if (!stored.isNull())
        m_defaults->setObject(stored, QLatin1String(WindowMemory::columnWidthsKey));
    m_defaults->setBool(true, u"skipTutorial"_s);
    m_window = std::make_unique<VLNWindow>(m_defaults.get());
    QHeaderView *header = m_window->ui()->tableView->horizontalHeader();
    for (int column = 0; column < widths.size(); ++column)
        QCOMPARE(header->sectionSize(column), widths[column]);
}

void tst_WindowActions::partialRunAsks_data()
{
    QTest::addColumn<QString>("nameTemplate");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("button"); // the one pressed
    QTest::addColumn<QString>("disk");
    const QString untouched = u"a.txt=x b.txt=xx c.txt=xxx taken.txt=taken.txt"_s;
    const QString two = u"2 of 3 files cannot be renamed. Rename the other 1?"_s;
    const QStringList both{u"Cancel"_s, u"Rename 1 File"_s};
    QTest::newRow("two clash: cancelled") << u"same"_s << two << both << u"Cancel"_s << untouched;
    QTest::newRow("two clash: the other renamed")
        << u"same"_s << two << both << u"Rename 1 File"_s
        << u"b.txt=xx c.txt=xxx same.txt=x taken.txt=taken.txt"_s;
    QTest::newRow("none can move: nothing to ask")
        << u"taken"_s << u"None of the 3 files can be renamed."_s << QStringList{u"OK"_s} << u"OK"_s
        << untouched;
}

// Start never renames part of the list by surprise: it asks first, names the
// first reasons, and renames nothing unless told to.
void tst_WindowActions::partialRunAsks()
{
    QFETCH(QString, nameTemplate);
    QFETCH(QString, button);
    m_prompt.answers = {m_root};
    VLNWindow *window = makeWindow();
    writeFile(m_root + "/taken.txt", "taken.txt"); // not listed
    listFiles({"a.txt", "b.txt", "c.txt"}, {1, 2, 3});
    setNameTemplate(nameTemplate);
    // At once, before the plan of the change is known: Start waits for it.
    window->clickStart();
    QTRY_VERIFY(window->confirmationSheet());
    QMessageBox *sheet = window->confirmationSheet();
    QTEST(sheet->text(), "question");
    QVERIFY(sheet->informativeText().startsWith(u"“"_s));
    QCOMPARE(sheet->windowModality(), Qt::WindowModal);
    window->clickStart(); // one question at a time
    QCOMPARE(window->findChildren<QMessageBox *>().size(), 1);
    QTEST(buttonTexts(sheet), "buttons");
    press(sheet, button);
    QTRY_VERIFY(!window->isRenaming());
    QCOMPARE(bool(window->reportSheet()), button.startsWith(u"Rename"_s));
    QTEST(folderEntries(m_root), "disk");
}

void tst_WindowActions::tutorialKeepsTheList_data()
{
    QTest::addColumn<QString>("clicks"); // n: Next, s: Skip
    QTest::newRow("skipped at once") << u"s"_s;
    QTest::newRow("finished") << u"nnnnnnn"_s;
}

// Help ▸ Show Tutorial over 1,000 listed files, a sorted list and settings
// of the user's: the tutorial shows its two examples alone, under the
// default settings, and whatever is tried in it, the list, its order and
// the settings come back exactly.
void tst_WindowActions::tutorialKeepsTheList()
{
    QFETCH(QString, clicks);
    VLNWindow *window = makeWindow();
    Ui::VLNWindow *ui = window->ui();
    const QByteArray tree = m_root + "/tree";
    QCOMPARE(::mkdir(tree.constData(), 0755), 0);
    for (int i = 0; i < 1000; ++i)
        writeFile(tree + "/f" + QByteArray::number(i), {});
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
    clickTutorial(clicks.chopped(1));
    if (window->tutorialStep() == 6) {
        QVERIFY2(ui->tutorialTextView->toPlainText().endsWith(
                     u"Your 1,000 files and your settings come back when the tutorial ends."_s),
                 qPrintable(ui->tutorialTextView->toPlainText()));
        QCOMPARE(ui->nextTutorialButton->text(), u"&Close Tutorial"_s);
        QVERIFY(ui->skipTutorialButton->isHidden());
    }
    clickTutorial(clicks.right(1));
    QCOMPARE(window->tutorialStep(), 0);
    QVERIFY(ui->tutorialView->isHidden());
    QCOMPARE(paths(), before);
    QVERIFY(window->fileList()->hasBeenSorted());
    QCOMPARE(window->renameSettings(), settings);
    QCOMPARE(ui->nameField->text(), u"[N]_[C]"_s);
    QCOMPARE(ui->totalLabel->text(), u"1,000 files"_s);
    QCOMPARE(cell(0, FileTableModel::NewNameColumn), u"999_0001"_s);
}

// The field and the box beside Add… decide what the next folder lists; off,
// every file is listed as it always was. Add Folder… opens a folder panel.
void tst_WindowActions::listingFilters()
{
    VLNWindow *window = makeWindow();
    ListingControls *controls = window->listingControls();
    makeTree(m_root + "/t",
             {".git/", "sub/", ".git/x.jpg=", ".hidden.jpg=", "A.JPG=", "b.png=", "sub/c.jpg="});
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
void tst_WindowActions::folderAccessAskedOncePerTree()
{
    const QByteArray tree = m_root + "/tree";
    m_prompt.answers = {tree};
    renameIn({"tree/a/one.txt", "tree/b/two.txt"});
    QCOMPARE(m_prompt.proposed, QByteArrayList{tree});
    QCOMPARE(folderEntries(tree + "/a"), u"one-x.txt=tree/a/one.txt"_s);
    QCOMPARE(folderEntries(tree + "/b"), u"two-x.txt=tree/b/two.txt"_s);

    renameIn({"tree/a/deep/three.txt"});
    QCOMPARE(m_prompt.proposed, QByteArrayList{tree});
    QCOMPARE(folderEntries(tree + "/a/deep"), u"three-x.txt=tree/a/deep/three.txt"_s);

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

    renameIn({"tree/b/five.txt"});
    QCOMPARE(m_prompt.proposed, QByteArrayList({tree, tree + "/b"}));
    QCOMPARE(m_prompt.alerts.size(), 1);
    QCOMPARE(folderEntries(tree + "/b"), u"five.txt=tree/b/five.txt two-x.txt=tree/b/two.txt"_s);
}

QTEST_MAIN(tst_WindowActions)
#include "tst_windowactions.moc"
