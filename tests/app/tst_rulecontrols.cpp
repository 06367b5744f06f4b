// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/factsreading.h"
#include "app/metacontrols.h"
#include "app/presetmenu.h"
#include "app/rulecontrols.h"
#include "files/filelist.h"
#include "windowtest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>

#include <utime.h>

using namespace Qt::StringLiterals;

// The window's controls of the later rules: defaults that change nothing,
// the pattern's error, per-folder numbering, natural order, the Presets
// menu; and of names from inside files: the Metadata menu, the clock and the
// date source, and the facts read in the background for the preview, the
// Date column, the sort and the run, on a few photos.
class tst_RuleControls : public WindowTest
{
    Q_OBJECT
public:
    // The previews here wait for plan after plan, none for the typing.
    tst_RuleControls() { m_planDelay = 0; }

private slots:
    void defaultsChangeNothing();
    void patternAndItsError();
    void controlReachesThePreview_data();
    void controlReachesThePreview();
    void naturalOrderResorts();
    void presetsMenu();
    void folderRows();

    void menuInsertsTokens();
    void otherField_data();
    void otherField();
    void dateSourcesAndClock();
    void photosByDateTaken();
    void startWaitsForFacts();

private:
    // Three photos: two with a camera and a shot time, one without tags.
    void listPhotos();
};

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
    makeTree(m_root, {"Album/", "Album/CD one/", "Album/CD one/t1=t"});
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
    // The boxes' states are their settings' (controlReachesThePreview); the
    // sort's is the window's own.
    QVERIFY(!rules->naturalOrderAction()->isChecked());
    QCOMPARE(window->renameSettings(), RenameSettings());
    QComboBox *popup = window->ui()->casePopup;
    QCOMPARE(popup->count(), 5);
    for (int i = 0; i < popup->count(); ++i) // in the order of the settings' cases
        QCOMPARE(popup->itemData(i).toInt(), i);
    QCOMPARE(popup->itemText(3) + u'|' + popup->itemText(4), u"Title Case|Sentence case"_s);
    QCOMPARE(
        texts(window->menuBar()->actions()),
        (QStringList{u"&File"_s, u"&Edit"_s, u"&View"_s, u"Prese&ts"_s, u"&Window"_s, u"&Help"_s}));
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
}

// Each box and button of the later rules reaches the settings and the
// preview: the new names, each with its tooltip (the plan's reason, the file
// a companion moves with). Which names the rules make is the core's to test.
void tst_RuleControls::controlReachesThePreview_data()
{
    QTest::addColumn<QByteArrayList>("files");
    QTest::addColumn<QString>("nameTemplate");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("[P] Folder appends the token")
        << QByteArrayList{"Trip/a.pdf"} << u"[N]_"_s << u"folderTokenButton"_s << u"a_.pdf"_s
        << u"a_Trip.pdf"_s;
    QTest::newRow("Make names unique")
        << QByteArrayList{"Trip/a.pdf", "Trip/Trip (2).pdf"} << u"[P]"_s << u"uniqueBox"_s
        << u"Trip.pdf | Trip.pdf (The same new name as row 1 (“a.pdf”).)"_s
        << u"Trip.pdf | Trip (2).pdf"_s;
    QTest::newRow("Allow / to make folders")
        << QByteArrayList{"Trip/a.pdf"} << u"x/[N]"_s << u"makeFoldersBox"_s
        << u"x/a.pdf (The new name contains “/”.)"_s << u"x/a.pdf"_s;
    QTest::newRow("Counter per folder")
        << QByteArrayList{"a/p.txt", "b/q.txt", "a/r.txt"} << u"[N]-[C]"_s << u"perFolderBox"_s
        << u"p-1.txt | q-2.txt | r-3.txt"_s << u"p-1.txt | q-1.txt | r-2.txt"_s;
    QTest::newRow("Companions") << QByteArrayList{"IMG_0412.CR3", "IMG_0412.JPG"} << u"[N]-[C]"_s
                                << u"companionsBox"_s << u"IMG_0412-1.CR3 | IMG_0412-2.JPG"_s
                                << u"IMG_0412-1.CR3 | IMG_0412-1.JPG (Moves with IMG_0412.CR3)"_s;
    QTest::newRow("Plain ASCII") << QByteArrayList{"Café.txt"} << u"[N]"_s << u"asciiBox"_s
                                 << u"Café.txt"_s << u"Cafe.txt"_s;
}

void tst_RuleControls::controlReachesThePreview()
{
    QFETCH(QByteArrayList, files);
    QFETCH(QString, control);
    VLNWindow *window = makeWindow();
    FileTableModel *model = window->tableModel();
    QFETCH(QString, nameTemplate);
    listFiles(files);
    setNameTemplate(nameTemplate);
    const auto shown = [&] {
        QStringList rows;
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex index = model->index(row, FileTableModel::NewNameColumn);
            const QString tip = index.data(Qt::ToolTipRole).toString();
            rows << index.data().toString() + (tip.isEmpty() ? QString() : u" ("_s + tip + u')');
        }
        return rows.join(u" | "_s);
    };
    QVERIFY(planMade());
    QTEST(shown(), "before");
    const RenameSettings settings = window->renameSettings();
    auto *button = window->findChild<QAbstractButton *>(control);
    QVERIFY2(button, qPrintable(control));
    button->click();
    QVERIFY(!(window->renameSettings() == settings));
    QVERIFY(planMade());
    QTEST(shown(), "after");
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
    QCOMPARE(texts(presets->menu()->actions()),
             (QStringList{u"&Save Settings as Preset…"_s, QString(), u"a/b = \u00E4 && co"_s,
                          QString(), u"&Delete Preset"_s}));

    window->setRenameSettings(RenameSettings());
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

void tst_RuleControls::listPhotos()
{
    const auto make = [this](const char *name, const QStringList &tags) {
        QCOMPARE(QProcess::execute(QStringLiteral(VELNOR_MAKE_JPEG_BIN),
                                   QStringList{QString::fromUtf8(m_root + '/' + name)} + tags),
                 0);
    };
    make("a.jpg",
         {u"Exif.Photo.DateTimeOriginal=2024:03:05 14:07:09"_s, u"Exif.Image.Model=Cam A"_s});
    make("b.jpg",
         {u"Exif.Photo.DateTimeOriginal=2023:01:02 13:00:00"_s, u"Exif.Image.Model=AC/DC 1"_s});
    make("c.jpg", {});
    // Modified long before it was taken: the Date column cannot mix them up.
    const struct utimbuf modified = {1000000000, 1000000000};
    QCOMPARE(::utime(m_root + "/b.jpg", &modified), 0);
    m_window->openFiles({m_root + "/a.jpg", m_root + "/b.jpg", m_root + "/c.jpg"});
    QTRY_VERIFY(!m_window->isListing());
}

void tst_RuleControls::menuInsertsTokens()
{
    VLNWindow *window = makeWindow();
    QMenu *menu = window->metaControls()->metadataMenu();
    QCOMPARE(window->metaControls()->metadataButton()->menu(), menu);
    // The window has no letter left for the button: a shortcut opens it.
    QCOMPARE(window->metaControls()->metadataButton()->shortcut(),
             QKeySequence(Qt::CTRL | Qt::Key_M));
    QStringList tokens;
    for (QAction *action : menu->actions()) {
        if (!action->isSeparator() && action->text().startsWith(u'['))
            tokens << action->text().section(u' ', 0, 0);
    }
    QCOMPARE(tokens.join(u' '), u"[Make] [Model] [Lens] [Width] [Height] [Artist] [AlbumArtist] "
                                u"[Album] [Title] [Track] [Disc] [Year] [Genre]"_s);
    window->ui()->nameField->setText(u"[N]_"_s);
    menu->actions().at(2)->trigger(); // [Model], after the section's title
    QCOMPARE(window->ui()->nameField->text(), u"[N]_[Model]"_s);
    QCOMPARE(window->renameSettings().nameTemplate, u"[N]_[Model]"_s);
}

void tst_RuleControls::otherField_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("name");
    QTest::newRow("an Exif key") << u"Exif.Photo.FNumber"_s << u"[N][meta:Exif.Photo.FNumber]"_s;
    QTest::newRow("spaces around go") << u"  COMPOSER "_s << u"[N][meta:COMPOSER]"_s;
    QTest::newRow("a bracket would end the token") << u"Xmp.dc]x"_s << u"[N]"_s;
    QTest::newRow("a bar would start a fallback") << u"A|B"_s << u"[N]"_s;
    QTest::newRow("nothing typed") << u""_s << u"[N]"_s;
}

void tst_RuleControls::otherField()
{
    QFETCH(QString, typed);
    VLNWindow *window = makeWindow();
    window->metaControls()->metadataMenu()->findChild<QAction *>(u"actionOtherField"_s)->trigger();
    QInputDialog *dialog = window->metaControls()->keyDialog();
    QVERIFY(dialog && dialog->isVisible());
    QVERIFY(dialog->labelText().contains(u"Exif.Photo.FNumber"_s));
    dialog->setTextValue(typed);
    dialog->accept();
    QTEST(window->ui()->nameField->text(), "name");
    QVERIFY(!window->metaControls()->keyDialog());
}

void tst_RuleControls::dateSourcesAndClock()
{
    VLNWindow *window = makeWindow();
    MetaControls *controls = window->metaControls();
    using S = RenameSettings::DateSource;
    QStringList items;
    for (int i = 0; i < controls->datesFromPopup()->count(); ++i)
        items << controls->datesFromPopup()->itemText(i);
    QCOMPARE(items.join(u'|'), u"Modified|Taken, else modified|Taken, else created, else modified|"
                               "Created, else modified|Taken|Created"_s);
    controls->datesFromPopup()->setCurrentIndex(1);
    controls->hour24Box()->setChecked(true);
    QCOMPARE(window->renameSettings().dateSources, QList<S>({S::Taken, S::Modified}));
    QVERIFY(window->renameSettings().hour24);

    // A preset's list that no item offers gets an item; one that goes on
    // after the modification date is cut there.
    RenameSettings preset;
    preset.dateSources = {S::Created, S::Taken};
    window->setRenameSettings(preset);
    QCOMPARE(controls->datesFromPopup()->currentText(), u"Created, else taken"_s);
    QCOMPARE(window->renameSettings().dateSources, preset.dateSources);
    QVERIFY(!controls->hour24Box()->isChecked());
    preset.dateSources = {S::Taken, S::Modified, S::Created};
    window->setRenameSettings(preset);
    QCOMPARE(controls->datesFromPopup()->currentIndex(), 1);
    preset.dateSources = {S::Modified};
    window->setRenameSettings(preset);
    QCOMPARE(controls->datesFromPopup()->currentIndex(), 0);
    QCOMPARE(window->renameSettings().dateSources, QList<S>());
}

// The names wait for the facts, which are read once; the Date column, the
// sort by date and the marks follow the date taken.
void tst_RuleControls::photosByDateTaken()
{
    VLNWindow *window = makeWindow();
    FileTableModel *model = window->tableModel();
    listPhotos();
    QVERIFY(planMade());
    QCOMPARE(window->factsReading()->reader().requests(), 0); // the defaults read nothing

    window->metaControls()->datesFromPopup()->setCurrentIndex(1); // taken, else modified
    setNameTemplate(u"[YMD]-[h]_[Model]"_s);
    // The keystroke reads nothing: the rows wait.
    QCOMPARE(newNames(u" | "_s), u"Reading metadata… | Reading metadata… | Reading metadata…"_s);
    QVERIFY(
        model->index(0, FileTableModel::NewNameColumn).data(FileTableModel::PendingRole).toBool());
    QCOMPARE(window->factsReading()->reader().requests(), 0);
    QVERIFY(planMade());
    QCOMPARE(newNames(u" | "_s), u"20240305-02_Cam A.jpg | 20230102-01_AC_DC 1.jpg | c.jpg"_s);
    QCOMPARE(cell(0, FileTableModel::DateColumn), u"2024/03/05 14:07"_s);
    QCOMPARE(problem(2), u"no Model"_s);
    QCOMPARE(window->problemsButton()->text(), u"1 file cannot be renamed"_s);
    QCOMPARE(window->factsReading()->reader().requests(), 3);

    // A second template and the 24-hour clock read nothing again.
    window->metaControls()->hour24Box()->setChecked(true);
    setNameTemplate(u"[Model|none]-[h]"_s);
    QCOMPARE(newNames(u" | "_s).section(u" | "_s, 0, 1), u"Cam A-14.jpg | AC_DC 1-13.jpg"_s);
    QVERIFY(cell(2, FileTableModel::NewNameColumn).startsWith(u"none-"_s));
    QVERIFY(planMade());
    QCOMPARE(window->factsReading()->reader().requests(), 3);

    // Sorted by the date taken: the photo without one by its modification
    // date, today, after both.
    window->ui()->tableView->horizontalHeader()->sectionClicked(FileTableModel::DateColumn);
    QCOMPARE(newNames(u" | "_s).section(u" | "_s, 0, 1), u"AC_DC 1-13.jpg | Cam A-14.jpg"_s);

    // Back to the modification date: the Date column shows it again, in
    // local time.
    window->metaControls()->datesFromPopup()->setCurrentIndex(0);
    QCOMPARE(cell(0, FileTableModel::DateColumn),
             u"2001/09/09 03:46"_s); // 1000000000, in Berlin
}

// Start before the facts are read: the run waits for them, and renames by
// them; the photo without a camera keeps its name.
void tst_RuleControls::startWaitsForFacts()
{
    VLNWindow *window = makeWindow();
    m_prompt.answers = {m_root};
    listPhotos();
    window->metaControls()->datesFromPopup()->setCurrentIndex(4); // taken
    setNameTemplate(u"[YMD]_[Model]"_s);
    window->clickStart();
    QVERIFY(!window->isRenaming());
    // The photo without a camera cannot be renamed: asked first, once read.
    QTRY_VERIFY(window->confirmationSheet());
    QCOMPARE(window->confirmationSheet()->text(),
             u"1 of 3 files cannot be renamed. Rename the other 2?"_s);
    press(window->confirmationSheet(), {}, QMessageBox::AcceptRole);
    QTRY_VERIFY(window->reportSheet());
    QCOMPARE(QDir(QFile::decodeName(m_root)).entryList(QDir::Files).join(u' '),
             u"20230102_AC_DC 1.jpg 20240305_Cam A.jpg c.jpg"_s);
}

QTEST_MAIN(tst_RuleControls)
#include "tst_rulecontrols.moc"
