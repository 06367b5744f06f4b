// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/translations.h"
#include "app/vlnwindow.h"
#include "app/windowmemory.h"
#include "files/filelist.h"
#include "files/zqfile.h"
#include "model/filetablemodel.h"
#include "rename/userdefaults.h"
#include "ui_vlnwindow.h"
#include "windowtest.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>

using namespace Qt::StringLiterals;

// The window's keyboard: shortcuts, mnemonics, the tab order, the table's
// context menu; and the size and column widths it keeps between starts.
class tst_WindowActions : public WindowTest
{
    Q_OBJECT

private slots:
    void init() { WindowTest::init(); }
    void cleanup();

    void shortcuts_data();
    void shortcuts();
    void startShortcuts_data();
    void startShortcuts();
    void addAndTutorialKeys();
    void listKeysRestDuringTutorial();
    void emptyListRestsItsButtons();

    void contextMenu();
    void copyNewNames_data();
    void copyNewNames();
    void pasteNewNames_data();
    void pasteNewNames();

    void mnemonics_data();
    void mnemonics();
    void tabOrderFollowsSections();

    void remembersSizeAndColumns();
    void storedColumnWidths_data();
    void storedColumnWidths();
};

void tst_WindowActions::cleanup()
{
    WindowTest::cleanup();
    removeTranslators();
}

void tst_WindowActions::shortcuts_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("names");
    QTest::addColumn<QString>("focusAfter");
    QTest::addColumn<QString>("nameTemplate");

    const QKeySequence del(Qt::Key_Delete), clear(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete),
        goToName(Qt::CTRL | Qt::Key_L);
    QTest::newRow("Delete on the table removes the selected row")
        << u"tableView"_s << del << u"a.txt c.txt"_s << u"tableView"_s << u"[N]"_s;
    QTest::newRow("Delete in the name field deletes a character, no file")
        << u"nameField"_s << del << u"a.txt b.txt c.txt"_s << u"nameField"_s << u"N]"_s;
    QTest::newRow("Delete in a counter box leaves the list")
        << u"startCounterBox"_s << del << u"a.txt b.txt c.txt"_s << u"startCounterBox"_s
        << u"[N]"_s;
    QTest::newRow("Ctrl+Shift+Delete on the table clears the list")
        << u"tableView"_s << clear << QString() << u"tableView"_s << u"[N]"_s;
    QTest::newRow("Ctrl+Shift+Delete from the search field clears the list")
        << u"searchField"_s << clear << QString() << u"searchField"_s << u"[N]"_s;
    QTest::newRow("Ctrl+L from the table goes to the name template")
        << u"tableView"_s << goToName << u"a.txt b.txt c.txt"_s << u"nameField"_s << u"[N]"_s;
    QTest::newRow("Ctrl+L from a counter box goes to the name template")
        << u"digitsCounterBox"_s << goToName << u"a.txt b.txt c.txt"_s << u"nameField"_s
        << u"[N]"_s;
}

void tst_WindowActions::shortcuts()
{
    QFETCH(QString, focus);
    QFETCH(QKeySequence, keys);
    QFETCH(QString, names);
    QFETCH(QString, focusAfter);
    QFETCH(QString, nameTemplate);

    VLNWindow *window = makeWindow();
    QVERIFY(window);
    listFiles({"a.txt", "b.txt", "c.txt"});
    window->ui()->tableView->selectRow(1);
    auto *start = window->findChild<QWidget *>(focus);
    QVERIFY(start);
    start->setFocus();
    if (auto *field = qobject_cast<QLineEdit *>(start))
        field->setCursorPosition(0);
    QTest::keySequence(start, keys);

    QStringList listed;
    for (qsizetype i = 0; i < window->fileList()->count(); ++i)
        listed << window->fileList()->fileAtIndex(i)->name();
    QCOMPARE(listed.join(u' '), names);
    QCOMPARE(QApplication::focusWidget()->objectName(), focusAfter);
    QCOMPARE(window->ui()->nameField->text(), nameTemplate);
    if (focusAfter == u"nameField"_s && focus != u"nameField"_s)
        QCOMPARE(window->ui()->nameField->selectedText(), u"[N]"_s);
}

void tst_WindowActions::startShortcuts_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::newRow("Ctrl+Return") << QKeySequence(Qt::CTRL | Qt::Key_Return);
    QTest::newRow("Ctrl+Enter on the keypad")
        << QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Enter));
}

void tst_WindowActions::startShortcuts()
{
    QFETCH(QKeySequence, keys);
    VLNWindow *window = makeWindow();
    QVERIFY(window);
    listFiles({"a.txt"});
    QSignalSpy started(window->ui()->actionStartRenaming, &QAction::triggered);
    // From a field too: Return alone belongs to the field, Ctrl+Return starts.
    window->ui()->searchField->setFocus();
    QTest::keySequence(window->ui()->searchField, keys);
    QCOMPARE(started.count(), 1);
}

void tst_WindowActions::addAndTutorialKeys()
{
    VLNWindow *window = makeWindow();
    QVERIFY(window);
    window->ui()->tableView->setFocus();
    QTest::keySequence(window->ui()->tableView, QKeySequence(Qt::CTRL | Qt::Key_O));
    auto *panel = window->findChild<QFileDialog *>();
    QVERIFY(panel);
    QVERIFY(panel->isVisible());
    panel->reject();
    QTRY_VERIFY(QApplication::activeWindow() == window);

    // F1 reaches the delegate's menu item; here the item itself is checked.
    QSignalSpy tutorial(window->ui()->actionShowTutorial, &QAction::triggered);
    QTest::keyClick(window->ui()->tableView, Qt::Key_F1);
    QCOMPARE(tutorial.count(), 1);
}

void tst_WindowActions::listKeysRestDuringTutorial()
{
    VLNWindow *window = makeWindow(false);
    QVERIFY(window);
    QCOMPARE(window->fileList()->count(), 2); // the two examples
    window->ui()->tableView->selectRow(0);
    window->ui()->tableView->setFocus();
    QTest::keyClick(window->ui()->tableView, Qt::Key_Delete);
    QTest::keySequence(window->ui()->tableView,
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete));
    QCOMPARE(window->fileList()->count(), 2);

    window->clickSkipTutorial();
    listFiles({"a.txt"});
    // Not selectRow: it reads the modifiers the last key event left behind.
    QTableView *table = window->ui()->tableView;
    table->selectionModel()->select(table->model()->index(0, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    window->ui()->tableView->setFocus();
    QTest::keyClick(window->ui()->tableView, Qt::Key_Delete);
    QCOMPARE(window->fileList()->count(), 0);
}

// What works on the files is off while there are none: greyed, rather than
// doing nothing when pressed.
void tst_WindowActions::emptyListRestsItsButtons()
{
    // The first run's tutorial ends on an empty list.
    VLNWindow *window = makeWindow(false);
    QVERIFY(window);
    Ui::VLNWindow *ui = window->ui();
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
    window->clickSkipTutorial();
    QCOMPARE(window->fileList()->count(), 0);
    resting(true);
    QVERIFY(ui->addButton->isEnabled());
    QVERIFY(ui->actionGoToName->isEnabled());
    QSignalSpy started(ui->actionStartRenaming, &QAction::triggered);
    ui->searchField->setFocus();
    QTest::keySequence(ui->searchField, QKeySequence(Qt::CTRL | Qt::Key_Return));
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
    QVERIFY(window);
    listFiles({"a.txt", "b.txt", "c.txt"});
    QTableView *table = window->ui()->tableView;
    table->selectRow(0);
    // A right click on a row outside the selection selects it.
    const QPoint at = table->visualRect(table->model()->index(2, 0)).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, table->viewport()->mapToGlobal(at));
    QApplication::sendEvent(table->viewport(), &event);
    auto *menu = table->findChild<QMenu *>();
    QVERIFY(menu);
    QTRY_VERIFY(menu->isVisible());
    QStringList titles;
    for (QAction *action : menu->actions())
        titles << action->text();
    QCOMPARE(titles, (QStringList{u"&Show"_s, u"&Remove"_s, QString(), u"Copy &New Name"_s,
                                  u"R&eset New Name"_s}));
    const QModelIndexList selected = table->selectionModel()->selectedRows();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first().row(), 2);
    menu->actions().at(1)->trigger();
    menu->close();
    QCOMPARE(window->fileList()->count(), 2);
    QCOMPARE(window->fileList()->fileAtIndex(1)->name(), u"b.txt"_s);
}

void tst_WindowActions::copyNewNames_data()
{
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QString>("clipboard");
    QTest::newRow("one row") << QList<int>{1} << u"Trip-02.jpg"_s;
    QTest::newRow("rows selected bottom up come out top down")
        << QList<int>{2, 0} << u"Trip-01.jpg\nTrip-03.png"_s;
    QTest::newRow("nothing selected leaves the clipboard") << QList<int>{} << u"untouched"_s;
}

void tst_WindowActions::copyNewNames()
{
    QFETCH(QList<int>, rows);
    QFETCH(QString, clipboard);
    VLNWindow *window = makeWindow();
    QVERIFY(window);
    listFiles({"a.jpg", "b.jpg", "c.png"});
    window->ui()->nameField->setText(u"Trip-[C]"_s);
    window->ui()->digitsCounterBox->setValue(2);
    window->controlTextDidChange();
    QGuiApplication::clipboard()->setText(u"untouched"_s);
    QTableView *table = window->ui()->tableView;
    table->clearSelection();
    for (int row : rows)
        table->selectionModel()->select(table->model()->index(row, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    table->setFocus();
    QTest::keySequence(table, QKeySequence(Qt::CTRL | Qt::Key_C));
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
}

void tst_WindowActions::pasteNewNames_data()
{
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("newNames");
    QTest::addColumn<QString>("message");
    QTest::newRow("selected rows top down, CR LF line ends")
        << QList<int>{2, 0} << u"x.jpg\r\nz.png\r\n"_s << u"x.jpg b.jpg z.png"_s << QString();
    QTest::newRow("every row when none is selected")
        << QList<int>{} << u"1\n2\n3"_s << u"1 2 3"_s << QString();
    QTest::newRow("more lines than rows change nothing")
        << QList<int>{0, 1} << u"1\n2\n3\n"_s << u"a.jpg b.jpg c.png"_s
        << u"The clipboard holds 3 lines for 2 files; nothing was changed."_s;
    QTest::newRow("an empty line changes nothing")
        << QList<int>{} << u"1\n\n3"_s << u"a.jpg b.jpg c.png"_s
        << u"Line 2 of the clipboard is empty; nothing was changed."_s;
}

void tst_WindowActions::pasteNewNames()
{
    QFETCH(QList<int>, rows);
    QFETCH(QString, clipboard);
    QFETCH(QString, newNames);
    QFETCH(QString, message);
    VLNWindow *window = makeWindow();
    QVERIFY(window);
    listFiles({"a.jpg", "b.jpg", "c.png"});
    QGuiApplication::clipboard()->setText(clipboard);
    QTableView *table = window->ui()->tableView;
    table->clearSelection();
    for (int row : rows)
        table->selectionModel()->select(table->model()->index(row, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    table->setFocus();
    QTest::keySequence(table, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    QCOMPARE(column(FileTableModel::NewNameColumn).join(u' '), newNames);
    auto *sheet = window->findChild<QMessageBox *>();
    QCOMPARE(sheet ? sheet->text() : QString(), message);
}

void tst_WindowActions::mnemonics_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English, the source") << u"en_US"_s;
    QTest::newRow("German") << u"de_DE"_s;
}

// Every button and menu item has a mnemonic; the window's (buttons, labels,
// menu titles) are unique in the window, a menu's items unique in their menu.
void tst_WindowActions::mnemonics()
{
    QFETCH(QString, language);
    QCOMPARE(Translations::install(qApp, QLocale(language)), language != u"en_US"_s);
    VLNWindow *window = makeWindow(false);
    QVERIFY(window);

    auto mnemonic = [](const QString &text) {
        const qsizetype at = text.indexOf(u'&');
        return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toLower() : QChar();
    };
    auto isOnTutorial = [&](QWidget *widget) {
        return window->ui()->tutorialView->isAncestorOf(widget);
    };
    QHash<QChar, QString> tutorialKeys;
    for (QAbstractButton *button : window->ui()->tutorialView->findChildren<QAbstractButton *>()) {
        const QChar key = mnemonic(button->text());
        QVERIFY2(!key.isNull() && !tutorialKeys.contains(key), qPrintable(button->text()));
        tutorialKeys.insert(key, button->text());
    }
    QHash<QChar, QString> windowKeys;
    auto claim = [&](const QString &text) {
        const QChar key = mnemonic(text);
        QVERIFY2(!windowKeys.contains(key),
                 qPrintable(text + u" and "_s + windowKeys.value(key) + u" share a key"_s));
        windowKeys.insert(key, text);
    };
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (qobject_cast<QAbstractButton *>(button) && button->parent() &&
            button->parent()->inherits("QAbstractSpinBox"))
            continue;
        if (button->text().isEmpty()) // the table's corner, scroll arrows
            continue;
        // Shown only while a job runs, and pressed with Escape.
        if (button->objectName() == u"cancelJobButton"_s)
            continue;
        // Every letter of "Metadata" is taken by a control always there: the
        // menu opens with Ctrl+M.
        // So is every letter of "[P] Directory" in English; Tab reaches it.
        if (button->objectName() == u"metadataButton"_s ||
            (button->objectName() == u"folderTokenButton"_s && mnemonic(button->text()).isNull()))
            continue;
        QVERIFY2(!mnemonic(button->text()).isNull(), qPrintable(button->text()));
        // The window has more options than letters: a check box may share its
        // key with another control (the key then moves the focus between them).
        // The tutorial's buttons show on its overlay, over the window, and
        // claim their keys among themselves.
        if (!qobject_cast<QCheckBox *>(button) && !isOnTutorial(button))
            claim(button->text());
    }
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (label->buddy() && !mnemonic(label->text()).isNull())
            claim(label->text());
    }
    for (QAction *menuAction : window->menuBar()->actions()) {
        QVERIFY2(!mnemonic(menuAction->text()).isNull(), qPrintable(menuAction->text()));
        claim(menuAction->text());
        QSet<QChar> itemKeys;
        for (QAction *item : menuAction->menu()->actions()) {
            if (item->isSeparator())
                continue;
            const QChar key = mnemonic(item->text());
            QVERIFY2(!key.isNull(), qPrintable(item->text()));
            QVERIFY2(!itemKeys.contains(key), qPrintable(item->text()));
            itemKeys.insert(key);
        }
    }
}

void tst_WindowActions::tabOrderFollowsSections()
{
    VLNWindow *window = makeWindow();
    QVERIFY(window);
    listFiles({"a.txt"});
    window->ui()->nameField->setFocus();
    QStringList order{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 35; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(order,
             (QStringList{u"nameField"_s,          u"nameTokenButton"_s, u"dateTokenButton"_s,
                          u"counterTokenButton"_s, u"timeTokenButton"_s, u"hour24Box"_s,
                          u"metadataButton"_s,     u"datesFromPopup"_s,  u"folderTokenButton"_s,
                          u"extField"_s,           u"extTokenButton"_s,  u"extCounterTokenButton"_s,
                          u"searchField"_s,        u"replaceField"_s,    u"regexBox"_s,
                          u"ignoreCaseBox"_s,      u"casePopup"_s,       u"asciiBox"_s,
                          u"startCounterBox"_s,    u"stepCounterBox"_s,  u"digitsCounterBox"_s,
                          u"perFolderBox"_s,       u"uniqueBox"_s,       u"rowsPopup"_s,
                          u"makeFoldersBox"_s,     u"companionsBox"_s,   u"tableView"_s,
                          u"addButton"_s,          u"addFolderButton"_s, u"listingFilterField"_s,
                          u"hiddenFilesBox"_s,     u"removeButton"_s,    u"clearAllButton"_s,
                          u"showButton"_s,         u"startButton"_s,     u"nameField"_s}));
}

void tst_WindowActions::remembersSizeAndColumns()
{
    VLNWindow *window = makeWindow();
    QVERIFY(window);
    window->resize(1010, 570);
    QHeaderView *header = window->ui()->tableView->horizontalHeader();
    header->resizeSection(FileTableModel::OldNameColumn, 150);
    header->resizeSection(FileTableModel::NewNameColumn, 260);
    header->resizeSection(FileTableModel::SizeColumn, 70);
    header->resizeSection(FileTableModel::DateColumn, 140);
    QVERIFY(window->close());
    m_window.reset();
    QVERIFY(m_defaults->stringForKey(u"columnWidths"_s).startsWith(u"150,260,70,140,"_s));
    // Read back from the file, as the next start would.
    m_defaults = std::make_unique<UserDefaults>(settingsPath());

    m_window = std::make_unique<VLNWindow>(m_defaults.get());
    header = m_window->ui()->tableView->horizontalHeader();
    QCOMPARE(m_window->size(), QSize(1010, 570));
    QCOMPARE(header->sectionSize(FileTableModel::OldNameColumn), 150);
    QCOMPARE(header->sectionSize(FileTableModel::NewNameColumn), 260);
    QCOMPARE(header->sectionSize(FileTableModel::SizeColumn), 70);
    QCOMPARE(header->sectionSize(FileTableModel::DateColumn), 140);
    // The keys of the design are still there, next to the new ones.
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
    QList<int> actual;
    for (int column = 0; column < widths.size(); ++column)
        actual << header->sectionSize(column);
    QCOMPARE(actual, widths);
}

QTEST_MAIN(tst_WindowActions)
#include "tst_windowactions.moc"
