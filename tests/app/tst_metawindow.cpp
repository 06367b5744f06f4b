// SPDX-License-Identifier: GPL-3.0-or-later
#include "../scriptedprompt.h"
#include "app/factsreading.h"
#include "app/jobbar.h"
#include "app/metacontrols.h"
#include "app/translations.h"
#include "app/vlnwindow.h"
#include "files/filelist.h"
#include "model/filetablemodel.h"
#include "ui_vlnwindow.h"
#include "windowtest.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeySequence>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <utime.h>

using namespace Qt::StringLiterals;

// The window's side of names from inside files: the Metadata menu, the
// clock and the date source, and the facts read in the background for the
// preview, the Date column, the sort and the run, on a few photos.
class tst_MetaWindow : public WindowTest
{
    Q_OBJECT
private slots:
    void init() { WindowTest::init(); }
    void cleanup()
    {
        WindowTest::cleanup();
        removeTranslators();
    }

    void menuInsertsTokens();
    void otherField_data();
    void otherField();
    void menuMnemonics_data();
    void menuMnemonics();
    void dateSourcesAndClock();
    void jobBarText();
    void photosByDateTaken();
    void startWaitsForFacts();

private:
    // Three photos: two with a camera and a shot time, one without tags.
    void listPhotos();
    QString newNames() const;
};

void tst_MetaWindow::listPhotos()
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

QString tst_MetaWindow::newNames() const
{
    return column(FileTableModel::NewNameColumn).join(u" | "_s);
}

void tst_MetaWindow::menuInsertsTokens()
{
    VLNWindow *window = makeWindow();
    QMenu *menu = window->metaControls()->metadataMenu();
    QCOMPARE(window->metaControls()->metadataButton()->menu(), menu);
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

void tst_MetaWindow::otherField_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("name");
    QTest::newRow("an Exif key") << u"Exif.Photo.FNumber"_s << u"[N][meta:Exif.Photo.FNumber]"_s;
    QTest::newRow("spaces around go") << u"  COMPOSER "_s << u"[N][meta:COMPOSER]"_s;
    QTest::newRow("a bracket would end the token") << u"Xmp.dc]x"_s << u"[N]"_s;
    QTest::newRow("a bar would start a fallback") << u"A|B"_s << u"[N]"_s;
    QTest::newRow("nothing typed") << u""_s << u"[N]"_s;
}

void tst_MetaWindow::otherField()
{
    QFETCH(QString, typed);
    QFETCH(QString, name);
    VLNWindow *window = makeWindow();
    window->metaControls()->metadataMenu()->findChild<QAction *>(u"actionOtherField"_s)->trigger();
    QInputDialog *dialog = window->metaControls()->keyDialog();
    QVERIFY(dialog && dialog->isVisible());
    QVERIFY(dialog->labelText().contains(u"Exif.Photo.FNumber"_s));
    dialog->setTextValue(typed);
    dialog->accept();
    QCOMPARE(window->ui()->nameField->text(), name);
    QVERIFY(!window->metaControls()->keyDialog());
}

void tst_MetaWindow::menuMnemonics_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << u"en_US"_s;
    QTest::newRow("German") << u"de_DE"_s;
    QTest::newRow("French") << u"fr_FR"_s;
    QTest::newRow("Spanish") << u"es_ES"_s;
}

// Each item of the menu has a key of its own, in every language.
void tst_MetaWindow::menuMnemonics()
{
    QFETCH(QString, language);
    Translations::install(qApp, QLocale(language));
    VLNWindow *window = makeWindow();
    const auto key = [](const QString &text) {
        const qsizetype at = text.indexOf(u'&');
        return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toLower() : QChar();
    };
    QHash<QChar, QString> keys;
    for (QAction *action : window->metaControls()->metadataMenu()->actions()) {
        if (action->isSeparator() || action->menu() || action->text().isEmpty())
            continue;
        if (!action->text().startsWith(u'[') && !action->objectName().startsWith(u"action"_s))
            continue; // a section's title
        const QChar k = key(action->text());
        QVERIFY2(!k.isNull() && !keys.contains(k),
                 qPrintable(action->text() + u" / "_s + keys.value(k)));
        keys.insert(k, action->text());
    }
    QCOMPARE(keys.size(), 14);
    // The window has no letter left for the button: a shortcut opens it.
    QCOMPARE(window->metaControls()->metadataButton()->shortcut(),
             QKeySequence(Qt::CTRL | Qt::Key_M));
}

void tst_MetaWindow::dateSourcesAndClock()
{
    VLNWindow *window = makeWindow();
    MetaControls *controls = window->metaControls();
    using S = RenameSettings::DateSource;
    // At first every date is the modification date, on the 12-hour clock.
    QCOMPARE(window->renameSettings(), RenameSettings());
    QStringList items;
    for (int i = 0; i < controls->datesFromPopup()->count(); ++i)
        items << controls->datesFromPopup()->itemText(i);
    QCOMPARE(items, QStringList({u"Modified"_s, u"Taken, else modified"_s,
                                 u"Taken, else created, else modified"_s,
                                 u"Created, else modified"_s, u"Taken"_s, u"Created"_s}));
    controls->datesFromPopup()->setCurrentIndex(1);
    controls->hour24Box()->setChecked(true);
    QCOMPARE(window->renameSettings().dateSources, QList<S>({S::Taken, S::Modified}));
    QVERIFY(window->renameSettings().hour24);
    QVERIFY(window->tableModel()->composer().settings().hour24);

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

void tst_MetaWindow::jobBarText()
{
    QLocale::setDefault(QLocale(u"en_US"_s));
    JobBar bar;
    bar.showFacts(1234, 10000);
    QCOMPARE(bar.progressText(), u"Reading metadata 1,234 of 10,000"_s);
    QVERIFY(bar.isShowingProgress());
    QLocale::setDefault(QLocale::c());
}

// The names wait for the facts, which are read once; the Date column, the
// sort by date and the marks follow the date taken.
void tst_MetaWindow::photosByDateTaken()
{
    VLNWindow *window = makeWindow();
    FileTableModel *model = window->tableModel();
    listPhotos();
    QTRY_VERIFY(model->plan());
    QCOMPARE(window->factsReading()->reader().requests(), 0); // the defaults read nothing

    window->metaControls()->datesFromPopup()->setCurrentIndex(1); // taken, else modified
    window->ui()->nameField->setText(u"[YMD]-[h]_[Model]"_s);
    window->controlTextDidChange();
    // The keystroke reads nothing: the rows wait.
    QCOMPARE(newNames(), u"Reading metadata… | Reading metadata… | Reading metadata…"_s);
    QVERIFY(
        model->index(0, FileTableModel::NewNameColumn).data(FileTableModel::PendingRole).toBool());
    QCOMPARE(window->factsReading()->reader().requests(), 0);
    QTRY_VERIFY(model->plan());
    QCOMPARE(newNames(), u"20240305-02_Cam A.jpg | 20230102-01_AC_DC 1.jpg | c.jpg"_s);
    QCOMPARE(cell(0, FileTableModel::DateColumn), u"2024/03/05 14:07"_s);
    QCOMPARE(
        model->index(2, FileTableModel::NewNameColumn).data(FileTableModel::ProblemRole).toString(),
        u"no Model"_s);
    QCOMPARE(window->problemsButton()->text(), u"1 file cannot be renamed"_s);
    QCOMPARE(window->factsReading()->reader().requests(), 3);

    // A second template and the 24-hour clock read nothing again.
    window->metaControls()->hour24Box()->setChecked(true);
    window->ui()->nameField->setText(u"[Model|none]-[h]"_s);
    window->controlTextDidChange();
    QCOMPARE(newNames().section(u" | "_s, 0, 1), u"Cam A-14.jpg | AC_DC 1-13.jpg"_s);
    QVERIFY(cell(2, FileTableModel::NewNameColumn).startsWith(u"none-"_s));
    QTRY_VERIFY(model->plan());
    QCOMPARE(window->factsReading()->reader().requests(), 3);

    // Sorted by the date taken: the photo without one by its modification
    // date, today, after both.
    window->ui()->tableView->horizontalHeader()->sectionClicked(FileTableModel::DateColumn);
    QCOMPARE(newNames().section(u" | "_s, 0, 1), u"AC_DC 1-13.jpg | Cam A-14.jpg"_s);

    // Back to the modification date: the Date column shows it again, in
    // local time.
    window->metaControls()->datesFromPopup()->setCurrentIndex(0);
    QCOMPARE(cell(0, FileTableModel::DateColumn),
             QDateTime::fromSecsSinceEpoch(1000000000).toString(u"yyyy/MM/dd HH:mm"_s));
}

// Start before the facts are read: the run waits for them, and renames by
// them; the photo without a camera keeps its name.
void tst_MetaWindow::startWaitsForFacts()
{
    VLNWindow *window = makeWindow();
    ScriptedPrompt prompt;
    prompt.answers = {m_root};
    window->setAccessPrompt(&prompt);
    listPhotos();
    window->metaControls()->datesFromPopup()->setCurrentIndex(4); // taken
    window->ui()->nameField->setText(u"[YMD]_[Model]"_s);
    window->controlTextDidChange();
    window->clickStart();
    QVERIFY(!window->isRenaming());
    // The photo without a camera cannot be renamed: asked first, once read.
    QTRY_VERIFY(window->confirmationSheet());
    QCOMPARE(window->confirmationSheet()->text(),
             u"1 of 3 files cannot be renamed. Rename the other 2?"_s);
    for (QAbstractButton *button : window->confirmationSheet()->buttons()) {
        if (window->confirmationSheet()->buttonRole(button) == QMessageBox::AcceptRole)
            button->click();
    }
    QTRY_VERIFY(window->reportSheet());
    QStringList onDisk;
    for (const auto &entry : std::filesystem::directory_iterator(m_root.toStdString()))
        onDisk << QString::fromStdString(entry.path().filename().string());
    onDisk.sort();
    QCOMPARE(onDisk.join(u' '), u"20230102_AC_DC 1.jpg 20240305_Cam A.jpg c.jpg"_s);
}

QTEST_MAIN(tst_MetaWindow)
#include "tst_metawindow.moc"
