// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/vlnwindow.h"

#include "app/accessrequest.h"
#include "app/factsreading.h"
#include "app/filemanager.h"
#include "app/jobbar.h"
#include "app/listingcontrols.h"
#include "app/metacontrols.h"
#include "app/planmarks.h"
#include "app/presetmenu.h"
#include "app/rulecontrols.h"
#include "app/runconfirmation.h"
#include "app/sheets.h"
#include "app/tableheader.h"
#include "app/tutorial.h"
#include "app/undocontrol.h"
#include "app/windowactions.h"
#include "app/windowmemory.h"
#include "app/workqueue.h"
#include "files/filelist.h"
#include "files/zqfile.h"
#include "intake/fileintake.h"
#include "model/filetablemodel.h"
#include "rename/userdefaults.h"
#include "ui_vlnwindow.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>

#include <sys/stat.h>

VLNWindow::VLNWindow(UserDefaults *defaults, QWidget *parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::VLNWindow>()),
      // The one place where missing settings fall back to the user's own.
      m_ownDefaults(defaults ? nullptr : std::make_unique<UserDefaults>()),
      m_defaults(defaults ? defaults : m_ownDefaults.get()), m_list(std::make_unique<FileList>()),
      m_intake(std::make_unique<FileIntake>(*m_list))
{
    m_ui->setupUi(this);
    m_model = new FileTableModel(m_list.get(), this);
    connect(m_model, &FileTableModel::totalTextChanged, m_ui->totalLabel, &QLabel::setText);
    connect(m_model, &FileTableModel::nameRefused, this, [this] {
        Sheets::open(Sheets::make(this, QMessageBox::Warning, tr("A new name cannot be empty."),
                                  tr("The file keeps the new name it had.")));
    });
    m_rules = new RuleControls(m_ui.get(), this);
    connect(m_rules, &RuleControls::changed, this, &VLNWindow::reloadData);
    m_meta = new MetaControls(m_ui.get(), this);
    connect(m_meta, &MetaControls::changed, this, &VLNWindow::reloadData);
    connect(m_meta, &MetaControls::tokenChosen, this,
            [this](const QString &token) { appendToken(m_ui->nameField, token); });
    m_presets = new PresetMenu(
        this, m_ui->menuWindow, m_defaults, [this] { return renameSettings(); },
        [this](const RenameSettings &settings) { setRenameSettings(settings); });
    m_tutorial = new Tutorial(
        m_ui.get(), m_model, m_defaults, [this] { return renameSettings(); },
        [this](const RenameSettings &settings) { setRenameSettings(settings); }, this);
    // Background work shows under the bottom bar, while there is some.
    m_jobBar = new JobBar(m_ui->centralwidget);
    m_ui->windowLayout->addWidget(m_jobBar);
    m_work = new WorkQueue(m_model, m_jobBar, this);
    connect(m_jobBar, &JobBar::cancelClicked, this, &VLNWindow::cancelJob);
    connect(m_work, &WorkQueue::runEnded, this, &VLNWindow::runEnded);
    connect(m_work, &WorkQueue::startAsked, this, &VLNWindow::clickStart);
    m_facts = new FactsReading(m_model, m_work, m_jobBar, this);
    connect(m_facts, &FactsReading::startAsked, this, &VLNWindow::clickStart);
    m_listing = new ListingControls(
        m_ui.get(), this, [this](const QList<QByteArray> &paths) { listInBackground(paths); });
    connect(m_listing, &ListingControls::filterChanged, this,
            [this] { m_work->setFilter(m_listing->filter()); });
    m_access = new AccessRequest(this, m_defaults, m_ui->actionFolderAccess);
    m_header = new TableHeader(m_ui->tableView, m_model);
    connect(m_rules, &RuleControls::naturalOrderToggled, m_header, &TableHeader::setNaturalOrder);
    new WindowMemory(this, m_ui->tableView->horizontalHeader(), m_defaults);
    m_actions = new WindowActions(m_ui.get(), this);
    m_undo = new UndoControl(this, m_ui.get(), m_work, m_defaults);
    m_planMarks = new PlanMarks(m_ui->tableView, m_ui->totalLabel, m_model, m_work);
    m_confirmation = new RunConfirmation(this, m_model, m_work);
    windowDidLoad();
}

VLNWindow::~VLNWindow()
{
    // Jobs end before the list they feed; the plan marks before the jobs, as
    // a name still being edited is committed when its editor goes.
    delete m_planMarks;
    delete m_facts;
    delete m_work;
    // The model reads the list while the view goes away.
    m_ui->tableView->setModel(nullptr);
    // The rooms that watch the window's widgets read its ui, which goes
    // before the widgets do: they stop watching, and the window is hidden
    // now rather than by the widget's own destructor, whose events would
    // reach them.
    m_ui->centralwidget->removeEventFilter(m_tutorial);
    m_ui->tableView->removeEventFilter(m_actions);
    m_ui->tutorialView->removeEventFilter(m_actions);
    hide();
}

QPushButton *VLNWindow::problemsButton() const
{
    return m_planMarks->button();
}

QMessageBox *VLNWindow::confirmationSheet() const
{
    return m_confirmation->sheet();
}

QMessageBox *VLNWindow::journalAlert() const
{
    return m_confirmation->journalAlert();
}

qint32 VLNWindow::tutorialStep() const
{
    return m_tutorial->step();
}

bool VLNWindow::isListing() const
{
    return m_work->isListing();
}

bool VLNWindow::isRenaming() const
{
    return m_work->isRenaming();
}

void VLNWindow::windowDidLoad()
{
    setAcceptDrops(true);
    // No column carries the indicator until the list is sorted by one: the
    // rows stand in the order they were listed.
    m_header->showSortIndicator();
    m_ui->nameField->setText(QStringLiteral("[N]"));
    m_ui->extField->setText(QStringLiteral("[E]"));
    m_model->setSettings(renameSettings());
    updateResults();
    if (!Tutorial::wasSeen(m_defaults))
        startTutorial();
}

RenameSettings VLNWindow::renameSettings() const
{
    RenameSettings settings = m_rules->settings(m_startCounter, m_stepCounter, m_digitsCounter);
    m_meta->apply(settings);
    return settings;
}

void VLNWindow::setRenameSettings(const RenameSettings &settings)
{
    m_rules->setSettings(settings);
    m_meta->setSettings(settings);
    reloadData();
}

void VLNWindow::reloadData()
{
    const RenameSettings settings = renameSettings();
    // The plan's worker reads the list's groups of companions: it lets go of
    // the list before they come or go.
    if (settings.companions != m_list->groupsCompanions())
        m_work->cancelPlan();
    m_model->setSettings(settings);
    m_work->setRows(settings.rows);
    m_rules->showSearchFault(m_model->composer());
}

void VLNWindow::updateResults()
{
    // The label follows the model's count text through totalTextChanged.
    m_model->updateResults();
}

void VLNWindow::controlTextDidChange()
{
    reloadData();
}

void VLNWindow::appendToken(QLineEdit *field, const QString &token)
{
    field->setText(field->text() + token);
    reloadData();
}

void VLNWindow::clickName()
{
    appendToken(m_ui->nameField, QStringLiteral("[N]"));
}

void VLNWindow::clickDate()
{
    appendToken(m_ui->nameField, QStringLiteral("[YMD]"));
}

void VLNWindow::clickCounter()
{
    appendToken(m_ui->nameField, QStringLiteral("[C]"));
}

void VLNWindow::clickTime()
{
    appendToken(m_ui->nameField, QStringLiteral("[hms]"));
}

void VLNWindow::clickExt()
{
    appendToken(m_ui->extField, QStringLiteral("[E]"));
}

void VLNWindow::clickExtCounter()
{
    appendToken(m_ui->extField, QStringLiteral("[C]"));
}

void VLNWindow::clickStepper()
{
    reloadData();
}

void VLNWindow::clickCasePopup()
{
    reloadData();
}

bool VLNWindow::insertFile(const QByteArray &nativePath)
{
    // The list changes behind the model: the plan's worker must let go first.
    m_work->cancelPlan();
    return m_intake->insertFile(nativePath);
}

void VLNWindow::openFiles(const QList<QByteArray> &nativePaths)
{
    QList<QByteArray> existing;
    for (const QByteArray &path : nativePaths) {
        struct stat status;
        if (::stat(path.constData(), &status) == 0)
            existing << path;
    }
    listInBackground(existing);
}

void VLNWindow::listInBackground(const QList<QByteArray> &nativePaths)
{
    m_work->list(nativePaths);
}

void VLNWindow::cancelJob()
{
    m_work->cancel();
    m_facts->cancel();
}

void VLNWindow::closeEvent(QCloseEvent *event)
{
    // Quitting while a job runs: it stops, and nothing is left half done.
    m_work->finishNow();
    QMainWindow::closeEvent(event);
}

void VLNWindow::dragEnterEvent(QDragEnterEvent *event)
{
    const QMimeData *data = event->mimeData();
    if (!data->hasUrls())
        return;
    if (event->possibleActions() & Qt::LinkAction) {
        event->setDropAction(Qt::LinkAction);
        event->accept();
    } else {
        event->acceptProposedAction();
    }
}

void VLNWindow::dropEvent(QDropEvent *event)
{
    if (event->possibleActions() & Qt::LinkAction)
        event->setDropAction(Qt::LinkAction);
    event->accept();
    if (auto *source = qobject_cast<QWidget *>(event->source());
        source && (source == this || isAncestorOf(source)))
        return;
    listInBackground(FileManager::nativePathsOfUrls(event->mimeData()->urls()));
}

void VLNWindow::clickAdd()
{
    m_listing->clickAdd();
}

void VLNWindow::clickRemove()
{
    // A run holds on to the records until it ends.
    if (m_work->isRenaming())
        return;
    m_model->clickRemove(m_ui->tableView->selectionModel());
}

void VLNWindow::clickClearAll()
{
    if (m_work->isRenaming())
        return;
    m_model->clickClearAll();
    m_work->clearUnreadableFolders();
}

void VLNWindow::setRevealHandler(RevealHandler handler)
{
    m_reveal = std::move(handler);
}

void VLNWindow::clickShow()
{
    if (m_list->isEmpty())
        return;
    QList<QByteArray> paths;
    for (const ZQFile *file : m_model->getSelectedFiles(m_ui->tableView->selectionModel()))
        paths.append(file->nativePath());
    if (m_reveal)
        m_reveal(paths);
    else
        FileManager::showItems(paths);
}

void VLNWindow::setAccessPrompt(AccessPrompt *prompt)
{
    m_access->setPrompt(prompt);
}

void VLNWindow::clickStart()
{
    // A second Start while a run goes on, or while its grant is asked for,
    // does nothing.
    if (m_work->isRenaming() || m_work->isUndoing() || m_access->isAsking() ||
        m_confirmation->isAsking())
        return;
    // The run waits for the listing: it renames what the list holds.
    // And for the facts its names need.
    if (m_work->deferRunUntilListed() || m_list->isEmpty() || m_facts->deferRunUntilRead())
        return;
    m_confirmation->confirm(
        [this] { m_access->request(RenameRun::accessRoot(*m_list), [this] { startRun(); }); });
}

void VLNWindow::startRun(bool keepJournal)
{
    m_work->startRun(m_model->composer(), keepJournal);
}

void VLNWindow::runEnded(const RenameRun::Report &report)
{
    if (!report.journalError.isEmpty() && !report.ran) {
        m_confirmation->askToRenameWithoutUndo(report.journalError, [this] { startRun(false); });
        return;
    }
    m_undo->refresh();
    QMessageBox *sheet =
        Sheets::make(this,
                     report.failed > 0 || report.notAttempted > 0 ? QMessageBox::Warning
                                                                  : QMessageBox::Information,
                     report.message(), report.informativeText(), report.detailedText());
    m_reportSheet = sheet;
    Sheets::open(sheet);
    // Drops made during the run were kept waiting, and an undo asked for.
    m_work->startWaiting();
}

void VLNWindow::startTutorial()
{
    m_tutorial->start();
}

void VLNWindow::clickNextTutorial()
{
    m_tutorial->next();
}

void VLNWindow::clickSkipTutorial()
{
    m_tutorial->skip();
}

void VLNWindow::clickStartTutorial()
{
    // The tutorial sets the list aside and gives it back when it ends, which
    // a job working on the list must not see.
    if (m_tutorial->step() <= 0 && !m_work->isBusy())
        m_tutorial->start();
}
