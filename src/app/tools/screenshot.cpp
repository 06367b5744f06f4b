// SPDX-License-Identifier: GPL-3.0-or-later
// velnor-screenshot OUTDIR FOLDER [PHOTOS]: lists FOLDER in the window and saves
// OUTDIR/screenshot.png (the main window), OUTDIR/confirm.png (the question
// before a run that cannot rename every file), OUTDIR/tutorial-end.png (the
// tutorial's last page over a list kept aside), OUTDIR/conflicts.png (new names
// that collide, marked), OUTDIR/typed-names.png (a name typed by hand and
// one being typed), OUTDIR/pattern-error.png (a regular expression that
// does not compile), OUTDIR/tutorial.png (the tutorial's first section
// page), and OUTDIR/listing.png and OUTDIR/renaming.png (the bottom bar
// during a listing and during a run, held at a moment of each),
// OUTDIR/interrupted.png (the question after a run that was cut off) and
// OUTDIR/history.png (the Rename History window over a made-up history),
// OUTDIR/companions.png (companion files marked under the file they follow),
// OUTDIR/access.png (the question before the first run in a folder) and
// OUTDIR/folder-access.png (the folders allowed, in Folder Access…).
// With PHOTOS, a folder of tagged photos, also OUTDIR/photos-by-date.png (the
// photos named by the date taken and the camera) and OUTDIR/metadata-menu.png
// (the Metadata menu open).
// Run it on a real display, e.g. xvfb-run.
#include "app/folderaccessdialog.h"
#include "app/jobbar.h"
#include "app/metacontrols.h"
#include "app/rulecontrols.h"
#include "app/translations.h"
#include "app/undocontrol.h"
#include "app/vlnwindow.h"
#include "model/filetablemodel.h"
#include "plan/renameplan.h"
#include "rename/accessgrant.h"
#include "rename/journal.h"
#include "rename/userdefaults.h"
#include "ui_vlnwindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QIcon>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstring>

namespace {

bool save(QWidget *window, const QString &path)
{
    window->show();
    window->raise();
    window->activateWindow();
    if (!QTest::qWaitForWindowExposed(window))
        return false;
    QTest::qWait(300);
    const bool saved = window->grab().save(path);
    std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

// The window with a sheet over it, where the sheet stands: the sheet is a
// window of its own, which grabbing the main window leaves out.
bool saveWithSheet(QWidget *window, QWidget *sheet, const QString &path)
{
    window->show();
    if (!QTest::qWaitForWindowExposed(window) || !QTest::qWaitForWindowExposed(sheet))
        return false;
    QTest::qWait(300);
    QPixmap picture = window->grab();
    QPainter painter(&picture);
    const QPoint at = sheet->mapToGlobal(QPoint()) - window->mapToGlobal(QPoint());
    const QPixmap sheetPicture = sheet->grab();
    // A frame, as the window manager would draw it.
    painter.setPen(QColor(0, 0, 0, 90));
    painter.drawRect(QRect(at, sheetPicture.size()).adjusted(-1, -1, 0, 0));
    painter.drawPixmap(at, sheetPicture);
    painter.end();
    const bool saved = picture.save(path);
    std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

// A made-up history: runs of the last week over folders of a home, the
// newest cut off after 12,345 of 100,000 files.
void writeSampleHistory(const QString &runsFolder)
{
    struct Run
    {
        const char *root;
        int files;
        int moved;
        int daysAgo;
        const char *end; // "", "end", "undo", "redo"
    };
    const Run runs[] = {
        {"/home/anna/Pictures/Scans", 1204, 1204, 7, "end"},
        {"/home/anna/Documents/Invoices 2024", 37, 37, 5, "redo"},
        {"/home/anna/Music/Albums", 240, 240, 3, "undo"},
        {"/home/anna/Pictures/Trip to Lisbon", 9, 9, 1, "end"},
        {"/home/anna/Pictures/Camera", 100000, 12345, 0, ""},
    };
    const QDateTime now(QDate(2024, 5, 20), QTime(14, 32));
    for (const Run &run : runs) {
        QList<JournalMove> moves;
        moves.reserve(run.files);
        for (int i = 0; i < run.files; ++i)
            moves << JournalMove{run.root, "IMG_" + QByteArray::number(i) + ".JPG",
                                 "Photo-" + QByteArray::number(i) + ".jpg", 1, quint64(i + 1)};
        const qint64 started =
            now.addDays(-run.daysAgo).addSecs(-run.daysAgo * 4111).toMSecsSinceEpoch();
        QString path;
        {
            JournalWriter writer;
            QString error;
            if (!writer.begin(runsFolder, moves, started, &error)) {
                std::fprintf(stderr, "%s\n", qPrintable(error));
                return;
            }
            for (int i = 0; i < run.moved; ++i)
                writer.recordOutcome(i, true);
            if (qstrlen(run.end) > 0)
                writer.finish(run.moved, 0, 0);
            path = writer.path();
        }
        const QByteArray end = run.end;
        if (end == "undo" || end == "redo") {
            JournalAppender appender;
            QString error;
            appender.open(path, &error);
            appender.start(false, started + 60000);
            appender.finish(false, run.moved, 0);
            if (end == "redo") {
                appender.start(true, started + 120000);
                appender.finish(true, run.moved, 0);
            }
        }
    }
}

// The photos named by the date they were taken, then the Metadata menu open
// over them.
bool photoShots(UserDefaults &defaults, const QByteArray &photos, const QString &out)
{
    defaults.setBool(true, QStringLiteral("skipTutorial"));
    VLNWindow window(&defaults);
    window.resize(1040, 680);
    window.openFiles({photos});
    while (window.isListing())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    Ui::VLNWindow *ui = window.ui();
    MetaControls *meta = window.metaControls();
    meta->datesFromPopup()->setCurrentIndex(1); // taken, else modified
    meta->hour24Box()->setChecked(true);
    ui->nameField->setText(QStringLiteral("[YMD]_[hms]_[Model]"));
    window.controlTextDidChange();
    window.show();
    while (!window.tableModel()->plan())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    ui->tableView->selectRow(1);
    bool ok = save(&window, out + QStringLiteral("/photos-by-date.png"));
    QMenu *menu = meta->metadataMenu();
    QPushButton *button = meta->metadataButton();
    menu->popup(button->mapToGlobal(QPoint(0, button->height())));
    ok = saveWithSheet(&window, menu, out + QStringLiteral("/metadata-menu.png")) && ok;
    menu->hide();
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: velnor-screenshot OUTDIR FOLDER [PHOTOS]\n");
        return 2;
    }
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    Translations::install(&app);
    const QString out = QFile::decodeName(argv[1]);
    const QByteArray folder = argv[2];
    QTemporaryDir settings;
    // The history of runs, too, is the tool's own: empty until the pictures
    // of the history fill it.
    QTemporaryDir state;
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    UserDefaults defaults(settings.filePath(QStringLiteral("Velnor.conf")));
    defaults.registerDefaults(UserDefaults::readFactoryFile(QStringLiteral(":/Factory")));

    bool ok = true;
    {
        defaults.setBool(true, QStringLiteral("skipTutorial"));
        VLNWindow window(&defaults);
        window.resize(1040, 680);
        window.openFiles({folder});
        while (window.isListing())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        Ui::VLNWindow *ui = window.ui();
        ui->nameField->setText(QStringLiteral("Holiday-[YMD]-[C]"));
        ui->digitsCounterBox->setValue(3);
        ui->casePopup->setCurrentIndex(1);
        window.controlTextDidChange();
        ui->tableView->selectRow(2);
        ok = save(&window, out + QStringLiteral("/screenshot.png")) && ok;
        // The bar as a long listing and a long run show it, at one moment.
        window.jobBar()->setUnreadableFolders({folder + "/private", folder + "/backup"});
        window.jobBar()->showListing(48213);
        ok = save(&window, out + QStringLiteral("/listing.png")) && ok;
        window.jobBar()->setUnreadableFolders({});
        window.jobBar()->showRun(12345, 100000);
        ok = save(&window, out + QStringLiteral("/renaming.png")) && ok;
    }
    {
        // Names that collide: the plan marks the files that cannot take them.
        VLNWindow window(&defaults);
        window.resize(1040, 680);
        window.openFiles({folder});
        Ui::VLNWindow *ui = window.ui();
        ui->nameField->setText(QStringLiteral("Lisbon"));
        ui->casePopup->setCurrentIndex(1);
        window.controlTextDidChange();
        if (!QTest::qWaitFor([&] { return window.tableModel()->plan() != nullptr; }, 5000))
            std::fprintf(stderr, "the plan did not come\n");
        ok = save(&window, out + QStringLiteral("/conflicts.png")) && ok;
        // Start over them asks first.
        window.show();
        QTest::qWaitForWindowExposed(&window);
        window.clickStart();
        QMessageBox *sheet = window.confirmationSheet();
        ok = sheet && saveWithSheet(&window, sheet, out + QStringLiteral("/confirm.png")) && ok;
        if (sheet)
            sheet->reject();
    }
    {
        // Files sorted into year and month folders, with "/" allowed.
        VLNWindow window(&defaults);
        window.resize(1040, 680);
        window.openFiles({folder});
        while (window.isListing())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        window.ruleControls()->makeFoldersBox()->setChecked(true);
        window.ui()->nameField->setText(QStringLiteral("[Y]/[M]/[N]"));
        window.controlTextDidChange();
        if (!QTest::qWaitFor([&] { return window.tableModel()->plan() != nullptr; }, 5000))
            std::fprintf(stderr, "the plan did not come\n");
        ok = save(&window, out + QStringLiteral("/make-folders.png")) && ok;
    }
    {
        // The folders renamed with the files: folder rows in the list.
        VLNWindow window(&defaults);
        window.resize(1040, 680);
        window.ruleControls()->rowsPopup()->setCurrentIndex(2);
        window.openFiles({folder});
        while (window.isListing())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        window.ui()->nameField->setText(QStringLiteral("Lisbon [C]"));
        window.ui()->digitsCounterBox->setValue(2);
        window.controlTextDidChange();
        if (!QTest::qWaitFor([&] { return window.tableModel()->plan() != nullptr; }, 5000))
            std::fprintf(stderr, "the plan did not come\n");
        ok = save(&window, out + QStringLiteral("/rename-folders.png")) && ok;
    }
    {
        // A name typed by hand, in italics, and the next one being typed.
        VLNWindow window(&defaults);
        window.resize(1040, 680);
        window.openFiles({folder});
        while (window.isListing())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        Ui::VLNWindow *ui = window.ui();
        ui->nameField->setText(QStringLiteral("Lisbon-[C]"));
        ui->digitsCounterBox->setValue(2);
        window.controlTextDidChange();
        FileTableModel *model = window.tableModel();
        model->setData(model->index(1, FileTableModel::NewNameColumn),
                       QStringLiteral("Tram 28 at Graça.JPG"));
        window.show();
        QTest::qWaitForWindowExposed(&window);
        const QModelIndex editing = model->index(2, FileTableModel::NewNameColumn);
        ui->tableView->setCurrentIndex(editing);
        ui->tableView->edit(editing);
        for (auto *editor : ui->tableView->findChildren<QLineEdit *>()) {
            editor->setText(QStringLiteral("Castle view"));
            editor->setModified(true); // as if typed
            editor->deselect();
        }
        ok = save(&window, out + QStringLiteral("/typed-names.png")) && ok;
    }
    {
        // A pattern that does not compile, and why, under the search field.
        VLNWindow window(&defaults);
        window.resize(1040, 680);
        window.openFiles({folder});
        Ui::VLNWindow *ui = window.ui();
        window.ruleControls()->regexBox()->setChecked(true);
        ui->searchField->setText(QStringLiteral("IMG_(\\d+"));
        ui->replaceField->setText(QStringLiteral("Lisbon-$1"));
        ui->casePopup->setCurrentIndex(3);
        window.controlTextDidChange();
        ok = save(&window, out + QStringLiteral("/pattern-error.png")) && ok;
    }
    {
        // The question after a start that finds the last run cut off, and
        // the history, over a history of their own.
        writeSampleHistory(state.filePath(QStringLiteral("Velnor/runs")));
        VLNWindow window(&defaults);
        window.resize(1040, 680);
        window.openFiles({folder});
        while (window.isListing())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        window.show();
        QTest::qWaitForWindowExposed(&window);
        window.undoControl()->refresh();
        window.undoControl()->askAboutInterruptedRun();
        // The history is read on a worker; the question follows it.
        while (window.undoControl()->isReading())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        QMessageBox *sheet = window.undoControl()->interruptedSheet();
        ok = sheet && saveWithSheet(&window, sheet, out + QStringLiteral("/interrupted.png")) && ok;
        if (sheet)
            sheet->hide();
        window.ui()->actionRenameHistory->trigger();
        QWidget *history = window.undoControl()->historyWindow();
        ok = history && save(history, out + QStringLiteral("/history.png")) && ok;
    }
    {
        // Companion files: a raw photo, its JPEG and sidecars, marked under
        // the file each follows.
        QTemporaryDir temporary;
        const QString shots = temporary.filePath(QStringLiteral("Trip to Lisbon"));
        QDir().mkpath(shots);
        for (const char *name : {"IMG_0412.CR3", "IMG_0412.CR3.xmp", "IMG_0412.JPG", "IMG_0413.CR3",
                                 "IMG_0413.JPG", "IMG_0413.xmp", "IMG_0417.JPG", "notes.txt"}) {
            QFile file(shots + u'/' + QString::fromLatin1(name));
            if (file.open(QIODevice::WriteOnly))
                file.write(QByteArray(4096 * (1 + int(std::strlen(name))), 'x'));
        }
        VLNWindow window(&defaults);
        window.resize(1040, 680);
        window.openFiles({QFile::encodeName(shots)});
        while (window.isListing())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        window.tableModel()->performSort();
        Ui::VLNWindow *ui = window.ui();
        ui->nameField->setText(QStringLiteral("Lisbon-[C]"));
        ui->digitsCounterBox->setValue(3);
        window.ruleControls()->companionsBox()->setChecked(true);
        window.controlTextDidChange();
        ok = save(&window, out + QStringLiteral("/companions.png")) && ok;
    }
    {
        defaults.setBool(false, QStringLiteral("skipTutorial"));
        VLNWindow window(&defaults);
        window.resize(1040, 680);
        window.clickNextTutorial();
        ok = save(&window, out + QStringLiteral("/tutorial.png")) && ok;
    }
    {
        // The tutorial's last page over a list of the user's, kept aside.
        defaults.setBool(true, QStringLiteral("skipTutorial"));
        VLNWindow window(&defaults);
        window.resize(1040, 680);
        window.openFiles({folder});
        while (window.isListing())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        window.ui()->nameField->setText(QStringLiteral("Lisbon-[C]"));
        window.controlTextDidChange();
        window.clickStartTutorial();
        while (window.tutorialStep() < 6)
            window.clickNextTutorial();
        ok = save(&window, out + QStringLiteral("/tutorial-end.png")) && ok;
    }
    {
        // Start in a folder not allowed yet asks first; the folders allowed
        // since are listed in Folder Access….
        VLNWindow window(&defaults);
        window.resize(1040, 680);
        window.openFiles({folder});
        while (window.isListing())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        window.ui()->nameField->setText(QStringLiteral("Lisbon-[C]"));
        window.controlTextDidChange();
        while (!window.tableModel()->plan() || !window.tableModel()->plan()->isComplete())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        window.show();
        QTest::qWaitForWindowExposed(&window);
        window.clickStart();
        auto *panel = window.findChild<QFileDialog *>();
        ok = panel && saveWithSheet(&window, panel, out + QStringLiteral("/access.png")) && ok;
        if (panel)
            panel->hide();
        grantChosenFolder(QFile::encodeName(QDir::homePath()) + "/Pictures", defaults);
        grantChosenFolder(folder, defaults);
        window.ui()->actionFolderAccess->trigger();
        auto *grants = window.findChild<FolderAccessDialog *>();
        if (grants)
            grants->folderList()->setCurrentRow(0);
        ok = grants && save(grants, out + QStringLiteral("/folder-access.png")) && ok;
    }
    if (argc == 4)
        ok = photoShots(defaults, argv[3], out) && ok;
    return ok ? 0 : 1;
}
