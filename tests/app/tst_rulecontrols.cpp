// SPDX-License-Identifier: GPL-3.0-or-later
#include "../diskfiles.h"
#include "../scriptedprompt.h"
#include "app/presetmenu.h"
#include "app/rulecontrols.h"
#include "app/vlnwindow.h"
#include "files/filelist.h"
#include "model/filetablemodel.h"
#include "rename/userdefaults.h"
#include "ui_vlnwindow.h"
#include "windowtest.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

// The window's controls of the later rules: defaults that change nothing,
// the pattern's error, per-folder numbering in preview and run, natural
// order and the Presets menu.
class tst_RuleControls : public WindowTest
{
    Q_OBJECT
private slots:
    void init() { WindowTest::init(); }
    void cleanup() { WindowTest::cleanup(); }
    void defaultsChangeNothing();
    void patternAndItsError();
    void perFolderPreviewMatchesRun();
    void naturalOrderResorts();
    void presetsMenu();
    void companionsAndAscii();
    void folderTokenAndUniqueNames();
    void slashMakesFoldersWhenAllowed();
    void folderRows();
};

// "[P] Folder" appends the token; "Make names unique" shows the plan's names
// once it has them (the run's are the core's to test).
void tst_RuleControls::folderTokenAndUniqueNames()
{
    VLNWindow *window = makeWindow();
    listFiles({"Trip/a.pdf", "Trip/Trip (2).pdf"});
    RuleControls *rules = window->ruleControls();
    QVERIFY(!rules->uniqueBox()->isChecked());
    window->ui()->nameField->clear();
    rules->folderTokenButton()->click();
    QCOMPARE(window->ui()->nameField->text(), u"[P]"_s);
    QCOMPARE(column(FileTableModel::NewNameColumn), (QStringList{u"Trip.pdf"_s, u"Trip.pdf"_s}));
    rules->uniqueBox()->setChecked(true);
    QVERIFY(window->renameSettings().uniqueNames);
    QTRY_COMPARE(column(FileTableModel::NewNameColumn),
                 (QStringList{u"Trip.pdf"_s, u"Trip (2).pdf"_s}));
}

// Off, a "/" in the new name is refused; on, the preview accepts it.
void tst_RuleControls::slashMakesFoldersWhenAllowed()
{
    VLNWindow *window = makeWindow();
    listFiles({"Trip/a.pdf"});
    RuleControls *rules = window->ruleControls();
    QVERIFY(!rules->makeFoldersBox()->isChecked());
    window->ui()->nameField->setText(u"x/[N]"_s);
    window->controlTextDidChange();
    const auto problem = [&] {
        return window->tableModel()
            ->index(0, FileTableModel::NewNameColumn)
            .data(FileTableModel::ProblemRole)
            .toString();
    };
    QTRY_VERIFY(window->tableModel()->plan());
    QCOMPARE(problem(), u"The new name contains “/”."_s);
    rules->makeFoldersBox()->setChecked(true);
    QVERIFY(window->renameSettings().makeFolders);
    QTRY_VERIFY(window->tableModel()->plan());
    QCOMPARE(problem(), QString());
    QCOMPARE(cell(0, FileTableModel::NewNameColumn), u"x/a.pdf"_s);
}

// "Rename: Folders" lists a folder added and those below it, each with its
// date and no size; it and "Allow / to make folders" grey each other out.
void tst_RuleControls::folderRows()
{
    VLNWindow *window = makeWindow();
    RuleControls *rules = window->ruleControls();
    QComboBox *rows = rules->rowsPopup();
    QCOMPARE(rows->currentText(), u"Files"_s);
    rows->setCurrentIndex(1);
    QCOMPARE(window->renameSettings().rows, RenameSettings::Rows::Folders);
    QVERIFY(!rules->makeFoldersBox()->isEnabled());
    std::filesystem::create_directories((m_root + "/Album/CD one").toStdString());
    writeFile(m_root + "/Album/CD one/t1", "t");
    window->openFiles({m_root + "/Album"});
    QTRY_VERIFY(!window->isListing());
    QCOMPARE(column(FileTableModel::OldNameColumn), (QStringList{u"Album"_s, u"CD one"_s}));
    QCOMPARE(cell(1, FileTableModel::SizeColumn), QString());
    QVERIFY(!cell(1, FileTableModel::DateColumn).isEmpty());
    rows->setCurrentIndex(0);
    QVERIFY(rules->makeFoldersBox()->isEnabled());
    rules->makeFoldersBox()->setChecked(true);
    QVERIFY(!rows->isEnabled());
}

void tst_RuleControls::defaultsChangeNothing()
{
    VLNWindow *window = makeWindow();
    RuleControls *rules = window->ruleControls();
    QVERIFY(!rules->regexBox()->isChecked());
    QVERIFY(!rules->ignoreCaseBox()->isChecked());
    QVERIFY(!rules->perFolderBox()->isChecked());
    QVERIFY(!rules->naturalOrderAction()->isChecked());
    QVERIFY(rules->searchErrorLabel()->isHidden());
    QCOMPARE(window->renameSettings(), RenameSettings());
    QComboBox *popup = window->ui()->casePopup;
    QCOMPARE(popup->count(), 5);
    QCOMPARE(popup->itemText(3), u"Title Case"_s);
    QCOMPARE(popup->itemData(3).toInt(), 3);
    QCOMPARE(popup->itemText(4), u"Sentence case"_s);
    QCOMPARE(popup->itemData(4).toInt(), 4);
    QStringList menus;
    for (QAction *action : window->menuBar()->actions())
        menus << action->text();
    QCOMPARE(menus, (QStringList{u"&File"_s, u"&Edit"_s, u"&View"_s, u"Prese&ts"_s, u"&Window"_s,
                                 u"&Help"_s}));
}

void tst_RuleControls::patternAndItsError()
{
    VLNWindow *window = makeWindow();
    Ui::VLNWindow *ui = window->ui();
    RuleControls *rules = window->ruleControls();
    listFiles({"IMG_0042.jpg"});
    ui->searchField->setText(u"(\\d+"_s);
    ui->replaceField->setText(u"n$1"_s);
    window->controlTextDidChange();
    // Literal: nothing found, no error.
    QCOMPARE(cell(0, FileTableModel::NewNameColumn), u"IMG_0042.jpg"_s);
    QVERIFY(rules->searchErrorLabel()->isHidden());

    rules->regexBox()->setChecked(true);
    QVERIFY(!rules->searchErrorLabel()->isHidden());
    QCOMPARE(rules->searchErrorLabel()->text(),
             u"Invalid regular expression: missing closing parenthesis at offset 4. Names are "
             "not searched."_s);
    QCOMPARE(cell(0, FileTableModel::NewNameColumn), u"IMG_0042.jpg"_s);

    ui->searchField->setText(u"(\\d+)"_s);
    window->controlTextDidChange();
    QVERIFY(rules->searchErrorLabel()->isHidden());
    QCOMPARE(cell(0, FileTableModel::NewNameColumn), u"IMG_n0042.jpg"_s);

    ui->searchField->setText(u"img_"_s);
    ui->replaceField->setText(u"p"_s);
    window->controlTextDidChange();
    QCOMPARE(cell(0, FileTableModel::NewNameColumn), u"IMG_0042.jpg"_s);
    rules->ignoreCaseBox()->setChecked(true);
    QCOMPARE(cell(0, FileTableModel::NewNameColumn), u"p0042.jpg"_s);
    rules->regexBox()->setChecked(false);
    QCOMPARE(cell(0, FileTableModel::NewNameColumn), u"p0042.jpg"_s);

    ui->casePopup->setCurrentIndex(3);
    ui->searchField->clear();
    window->controlTextDidChange();
    QCOMPARE(cell(0, FileTableModel::NewNameColumn), u"Img_0042.jpg"_s);
}

// What the per-folder counter shows, the run does. The counts in other
// orders are the list's to test.
void tst_RuleControls::perFolderPreviewMatchesRun()
{
    VLNWindow *window = makeWindow();
    ScriptedPrompt prompt;
    prompt.answers = {m_root};
    window->setAccessPrompt(&prompt);
    listFiles({"a/p.txt", "b/q.txt", "a/r.txt", "b/s.txt", "a/t.txt"});
    window->ui()->nameField->setText(u"[N]-[C]"_s);
    window->ruleControls()->perFolderBox()->setChecked(true);
    QCOMPARE(column(FileTableModel::NewNameColumn).join(u' '),
             u"p-1.txt q-1.txt r-2.txt s-2.txt t-3.txt"_s);
    window->clickStart();
    QTRY_VERIFY(!window->isRenaming() && window->reportSheet());
    QCOMPARE(folderEntries(m_root + "/a") + u" | "_s + folderEntries(m_root + "/b"),
             u"p-1.txt= r-2.txt= t-3.txt= | q-1.txt= s-2.txt="_s);
}

// The two boxes reach the settings and the table, where a companion says
// whom it moves with.
void tst_RuleControls::companionsAndAscii()
{
    VLNWindow *window = makeWindow();
    RuleControls *rules = window->ruleControls();
    listFiles({"IMG_0412.CR3", "IMG_0412.JPG", "Café.txt"});
    window->ui()->nameField->setText(u"[N]-[C]"_s);
    window->controlTextDidChange();
    rules->companionsBox()->setChecked(true);
    rules->asciiBox()->setChecked(true);
    QVERIFY(window->renameSettings().companions && window->renameSettings().plainAscii);
    QCOMPARE(column(FileTableModel::NewNameColumn),
             (QStringList{u"IMG_0412-1.CR3"_s, u"IMG_0412-1.JPG"_s, u"Cafe-2.txt"_s}));
    const QModelIndex jpeg = window->tableModel()->index(1, FileTableModel::NewNameColumn);
    QCOMPARE(jpeg.data(FileTableModel::CompanionRole).toString(), u"IMG_0412.CR3"_s);
    QCOMPARE(jpeg.data(Qt::ToolTipRole).toString(), u"Moves with IMG_0412.CR3"_s);
}

void tst_RuleControls::naturalOrderResorts()
{
    VLNWindow *window = makeWindow();
    listFiles({"a10", "a2", "a1"});
    // Turned on before any sort: the order of addition stays.
    window->ruleControls()->naturalOrderAction()->setChecked(true);
    QCOMPARE(column(FileTableModel::OldNameColumn), (QStringList{u"a10"_s, u"a2"_s, u"a1"_s}));
    // Sorted by size, then by name: natural.
    window->tableModel()->tableView(FileTableModel::SizeColumn);
    window->tableModel()->tableView(FileTableModel::OldNameColumn);
    QCOMPARE(column(FileTableModel::OldNameColumn), (QStringList{u"a1"_s, u"a2"_s, u"a10"_s}));
    // Turned off while sorted by name: sorted again, by characters.
    window->ruleControls()->naturalOrderAction()->setChecked(false);
    QCOMPARE(column(FileTableModel::OldNameColumn), (QStringList{u"a1"_s, u"a10"_s, u"a2"_s}));
}

void tst_RuleControls::presetsMenu()
{
    VLNWindow *window = makeWindow();
    Ui::VLNWindow *ui = window->ui();
    PresetMenu *presets = window->presetMenu();
    listFiles({"one.txt"});
    ui->nameField->setText(u"[C]_[N]"_s);
    ui->searchField->setText(u"o"_s);
    ui->replaceField->setText(u"0"_s);
    ui->casePopup->setCurrentIndex(4);
    ui->digitsCounterBox->setValue(3);
    window->ruleControls()->regexBox()->setChecked(true);
    window->ruleControls()->ignoreCaseBox()->setChecked(true);
    window->ruleControls()->perFolderBox()->setChecked(true);
    window->controlTextDidChange();
    const RenameSettings saved = window->renameSettings();
    const QString name = u"a/b = \u00E4 & co"_s;
    presets->saveAs(name);

    // One item per preset, titled with the name ("&" is no mnemonic).
    QStringList titles;
    for (QAction *action : presets->menu()->actions())
        titles << action->text();
    QCOMPARE(titles, (QStringList{u"&Save Settings as Preset…"_s, QString(),
                                  u"a/b = \u00E4 && co"_s, QString(), u"&Delete Preset"_s}));

    window->setRenameSettings(RenameSettings());
    QCOMPARE(window->renameSettings(), RenameSettings());
    QCOMPARE(cell(0, FileTableModel::NewNameColumn), u"one.txt"_s);
    presets->menu()->actions()[2]->trigger();
    QCOMPARE(window->renameSettings(), saved);
    QCOMPARE(cell(0, FileTableModel::NewNameColumn), u"001_0Ne.txt"_s);

    // One group in the user defaults, where the command line looks too.
    QCOMPARE(m_defaults->settings().childGroups(), QStringList{u"Presets"_s});

    QMenu *deleteMenu = presets->menu()->actions().last()->menu();
    QVERIFY(deleteMenu);
    deleteMenu->actions().first()->trigger();
    QCOMPARE(presets->menu()->actions().size(), 4);
    QVERIFY(!presets->load(name));
}

QTEST_MAIN(tst_RuleControls)
#include "tst_rulecontrols.moc"
