// velnor-screenshot OUTDIR FOLDER: lists FOLDER in the window and saves
// OUTDIR/screenshot.png (the main window), OUTDIR/conflicts.png (new names
// that collide, marked), OUTDIR/pattern-error.png (a regular expression that
// does not compile), OUTDIR/tutorial.png (the tutorial's first section
// page), and OUTDIR/listing.png and OUTDIR/renaming.png (the bottom bar
// during a listing and during a run, held at a moment of each). Run it on a
// real display, e.g. xvfb-run.
#include "app/jobbar.h"
#include "app/rulecontrols.h"
#include "app/translations.h"
#include "app/vlnwindow.h"
#include "model/filetablemodel.h"
#include "rename/userdefaults.h"
#include "ui_vlnwindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QIcon>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

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

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: velnor-screenshot OUTDIR FOLDER\n");
        return 2;
    }
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    Translations::install(&app);
    const QString out = QFile::decodeName(argv[1]);
    const QByteArray folder = argv[2];
    QTemporaryDir settings;
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
        defaults.setBool(false, QStringLiteral("skipTutorial"));
        VLNWindow window(&defaults);
        window.resize(1040, 680);
        window.clickNextTutorial();
        ok = save(&window, out + QStringLiteral("/tutorial.png")) && ok;
    }
    return ok ? 0 : 1;
}
