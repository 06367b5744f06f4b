#include "app/vlnwindow.h"

#include "app/dialogaccessprompt.h"
#include "app/filemanager.h"
#include "app/filenamedelegate.h"
#include "app/jobbar.h"
#include "app/planscheduler.h"
#include "app/presetmenu.h"
#include "app/problemmarkdelegate.h"
#include "app/rulecontrols.h"
#include "app/tutorialoverlay.h"
#include "app/undocontrol.h"
#include "app/windowactions.h"
#include "app/windowmemory.h"
#include "files/filelist.h"
#include "files/zqfile.h"
#include "intake/fileintake.h"
#include "jobs/listingjob.h"
#include "jobs/runjob.h"
#include "model/filetablemodel.h"
#include "rename/accessgrant.h"
#include "rename/renamerun.h"
#include "rename/userdefaults.h"
#include "ui_vlnwindow.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <sys/stat.h>

namespace {

// How often, at most, a listing's rows join the table: every hand-over
// repaints the table and the count, which costs the same for ten rows as for
// ten thousand, and ten a second is as live as a count can be read.
constexpr int handOverMs = 100;
// The first hand-over of a listing waits longer: a listing that ends within
// it (a hundred thousand files on a warm disk) reaches the table whole and
// is painted once, not once partly and again whole while the walk still
// needs the processor. The bar shows that the listing runs meanwhile.
constexpr int firstHandOverMs = 250;
// How many records of a run take their new names in one turn of the event
// loop: a few milliseconds' worth.
constexpr qsizetype applyBatch = 16384;

const QString skipTutorialKey = QStringLiteral("skipTutorial");
const QString supportAddress = QStringLiteral("support@velnor.app");

// The tutorial's pages, welcome to farewell.
QString tutorialText(int page)
{
    switch (page) {
    case 0:
        return VLNWindow::tr("\nThank you for installing Velnor, the fastest way to rename large "
                             "amounts of files.\n\n\nClick Next for a quick start guide on how to "
                             "use this software.");
    case 1:
        return VLNWindow::tr(
            "In this section you can change the file name based on the text you input.\nUsing "
            "special tokens such as [N] or [C] you can insert dynamic text into the file "
            "name.\nFor date and time tokens, you can change the order of units in the token "
            "itself such as [DMY] or [SH]\n\nTry typing [N]-[YMD] in the textfield and see how "
            "the names change in real-time.");
    case 2:
        return VLNWindow::tr(
            "In this section you can change the file extension based on the text you "
            "input.\nUsing special tokens such as [E] or [C] you can insert dynamic text into "
            "the extension.\n\nTry typing [C] in the textfield to set the extension to an "
            "increasing numerical value.");
    case 3:
        return VLNWindow::tr(
            "In this section you can search for a particular text and replace it.\nLeave the "
            "replace text empty if you simply want to remove the searched text.\n\nTry typing "
            "Test in the search textfield.");
    case 4:
        return VLNWindow::tr("In this section you can convert the entire file name to uppercase "
                             "or lowercase\n\nTry changing it to All UPPERCASE.");
    case 5:
        return VLNWindow::tr(
            "In this section you can adjust the numerical counter linked to the [C] token.\nThe "
            "counter can start from a certain number and increase in value by then number next "
            "to Step by.\nDigits represent the minimum amount of digits the counter will "
            "show.\n\nTry increasing the Digits to 3.");
    case 6:
        return VLNWindow::tr(
                   "That's it!\nAll you have to do now is Drag&Drop the files you want to rename "
                   "on this window or\non the Velnor dock icon. Adjust the renaming parameters "
                   "and click on the Start Renaming button.\n\nIf you have any questions, you "
                   "can reach us on our email, %1")
            .arg(supportAddress);
    }
    return {};
}

// An example record names no file: its path is only the label that the
// Location column shows, the same for both. The intake's duplicate rule does
// not apply to it, so it joins the list without that test.
void appendExample(FileList &list, const QString &name, const QString &base,
                   const QString &extension)
{
    auto file = std::make_unique<ZQFile>();
    file->setName(name);
    file->setDisplayName(base);
    file->setDisplayExtension(extension);
    file->setFullPath(VLNWindow::tr("Example Tutorial File"));
    list.appendUnchecked(std::move(file));
}

// A dropped URL's path as the bytes it names: the percent-encoded form keeps
// bytes that are not valid UTF-8, which the decoded form would replace.
QByteArray nativePathOfUrl(const QUrl &url)
{
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
}

} // namespace

VLNWindow::VLNWindow(UserDefaults *defaults, QWidget *parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::VLNWindow>()), m_defaults(defaults),
      m_list(std::make_unique<FileList>()), m_intake(std::make_unique<FileIntake>(*m_list))
{
    m_ui->setupUi(this);
    m_model = new FileTableModel(m_list.get(), this);
    connect(m_model, &FileTableModel::totalTextChanged, m_ui->totalLabel, &QLabel::setText);
    m_ui->casePopup->setItemData(0, int(RenameSettings::KeepCase));
    m_ui->casePopup->setItemData(1, int(RenameSettings::LowerCase));
    m_ui->casePopup->setItemData(2, int(RenameSettings::UpperCase));
    m_rules = new RuleControls(m_ui.get(), this);
    connect(m_rules, &RuleControls::changed, this, &VLNWindow::reloadData);
    connect(m_rules, &RuleControls::naturalOrderToggled, this, &VLNWindow::setNaturalOrder);
    m_presets = new PresetMenu(
        this, m_ui->menuWindow, m_defaults, [this] { return renameSettings(); },
        [this](const RenameSettings &settings) { setRenameSettings(settings); });
    // The overlay lies outside the content until the tutorial places it there.
    m_ui->tutorialView->hide();
    m_ui->tutorialView->setWheelTarget(m_ui->tableView);
    m_ui->centralwidget->installEventFilter(this);
    // Background work shows in the bottom bar, just before Start Renaming.
    m_jobBar = new JobBar(m_ui->centralwidget);
    m_ui->listButtons->insertWidget(m_ui->listButtons->indexOf(m_ui->startButton), m_jobBar);
    connect(m_jobBar, &JobBar::cancelClicked, this, &VLNWindow::cancelJob);
    m_handOverTimer = new QTimer(this);
    m_handOverTimer->setSingleShot(true);
    connect(m_handOverTimer, &QTimer::timeout, this, &VLNWindow::takeListedRecords);
    setupTable();
    new WindowMemory(this, m_ui->tableView->horizontalHeader(), m_defaults);
    new WindowActions(this);
    m_undo = new UndoControl(this, m_defaults);
    // Drops made during an undo were kept waiting.
    connect(m_undo, &UndoControl::ended, this, &VLNWindow::startNextListing);
    setupPlan();
    windowDidLoad();
}

// The rename plan follows every change of the list or the settings, made on
// a worker a moment after the last one; the New Name cells of files that
// cannot be renamed get a warning mark, and a text beside the count label
// says how many there are.
void VLNWindow::setupPlan()
{
    m_ui->tableView->setItemDelegateForColumn(FileTableModel::NewNameColumn,
                                              new ProblemMarkDelegate(m_ui->tableView));
    m_problemsButton = new QPushButton(m_ui->totalLabel->parentWidget());
    m_problemsButton->setObjectName(QStringLiteral("problemsButton"));
    m_problemsButton->setFlat(true);
    m_problemsButton->setCursor(Qt::PointingHandCursor);
    m_problemsButton->setStyleSheet(QStringLiteral("QPushButton { color: #b35c00; }"));
    m_problemsButton->setIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning));
    m_problemsButton->hide();
    // Right after the count label, in whichever row of the layout holds it.
    std::function<QBoxLayout *(QLayout *)> rowOf = [&](QLayout *layout) -> QBoxLayout * {
        if (!layout)
            return nullptr;
        auto *box = qobject_cast<QBoxLayout *>(layout);
        if (box && box->indexOf(m_ui->totalLabel) >= 0)
            return box;
        for (int i = 0; i < layout->count(); ++i) {
            if (QBoxLayout *found = rowOf(layout->itemAt(i)->layout()))
                return found;
        }
        return nullptr;
    };
    if (QBoxLayout *row = rowOf(m_ui->totalLabel->parentWidget()->layout()))
        row->insertWidget(row->indexOf(m_ui->totalLabel) + 1, m_problemsButton);
    connect(m_problemsButton, &QPushButton::clicked, this, &VLNWindow::selectFirstProblem);
    m_planner = new PlanScheduler(m_list.get(), m_model, this);
    connect(m_planner, &PlanScheduler::planReady, this, &VLNWindow::showPlan);
    const auto changed = [this] {
        if (m_showingPlan)
            return;
        m_showingPlan = true;
        m_model->setPlan(nullptr);
        m_showingPlan = false;
        m_problemsButton->hide();
        // A listing or a run changes the list under any plan made meanwhile,
        // and a plan's worker would only slow them down: the plan is made
        // once they have ended.
        if (m_listing || m_run)
            m_planner->cancel();
        else
            m_planner->schedule();
    };
    connect(m_model, &QAbstractItemModel::modelReset, this, changed);
    connect(m_model, &QAbstractItemModel::dataChanged, this, changed);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, changed);
}

void VLNWindow::showPlan(std::shared_ptr<const RenamePlan> plan)
{
    const qsizetype problems = plan->problems();
    m_showingPlan = true;
    m_model->setPlan(std::move(plan));
    m_showingPlan = false;
    m_problemsButton->setText(FileList::countText(problems) + QStringLiteral(" cannot be renamed"));
    m_problemsButton->setVisible(problems > 0);
}

void VLNWindow::selectFirstProblem()
{
    const RenamePlan *plan = m_model->plan();
    if (!plan || plan->firstProblem() < 0)
        return;
    const QModelIndex first =
        m_model->index(int(plan->firstProblem()), FileTableModel::NewNameColumn);
    m_ui->tableView->selectionModel()->select(first, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    m_ui->tableView->scrollTo(first);
    m_ui->tableView->setFocus();
}

VLNWindow::~VLNWindow()
{
    // Jobs end before the list they feed: cancelled and waited for.
    m_listingsWaiting.clear();
    m_listing.reset();
    if (m_run) {
        m_run->cancel();
        m_run->wait();
        m_run->applyTo(*m_list);
        m_run.reset();
    }
    // The model reads the list while the view goes away.
    m_ui->tableView->setModel(nullptr);
}

void VLNWindow::setupTable()
{
    QTableView *table = m_ui->tableView;
    table->setModel(m_model);
    table->setItemDelegateForColumn(FileTableModel::OldNameColumn, new FileNameDelegate(table));
    table->setSortingEnabled(false);
    // Rows of one height: the view then never measures rows it does not show,
    // which keeps a list of a million files as quick as a short one.
    QHeaderView *rows = table->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(table->fontMetrics().height() + 8);
    rows->hide();
    QHeaderView *columns = table->horizontalHeader();
    columns->setSectionsClickable(true);
    columns->setSortIndicatorShown(true);
    columns->setHighlightSections(false);
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setStretchLastSection(true);
    columns->resizeSection(FileTableModel::OldNameColumn, 220);
    columns->resizeSection(FileTableModel::NewNameColumn, 220);
    columns->resizeSection(FileTableModel::SizeColumn, 90);
    columns->resizeSection(FileTableModel::DateColumn, 130);
    connect(columns, &QHeaderView::sectionClicked, this, &VLNWindow::tableViewHeaderClicked);
}

void VLNWindow::windowDidLoad()
{
    setAcceptDrops(true);
    m_list->setLastColumn(FileList::OldName);
    showSortIndicator();
    m_ui->nameField->setText(QStringLiteral("[N]"));
    m_ui->extField->setText(QStringLiteral("[E]"));
    m_model->setSettings(renameSettings());
    updateResults();
    if (!m_defaults || !m_defaults->boolForKey(skipTutorialKey))
        startTutorial();
}

RenameSettings VLNWindow::renameSettings() const
{
    RenameSettings settings;
    settings.nameTemplate = m_ui->nameField->text();
    settings.extTemplate = m_ui->extField->text();
    settings.searchText = m_ui->searchField->text();
    settings.replaceText = m_ui->replaceField->text();
    settings.caseTag = m_ui->casePopup->currentData().toInt();
    settings.startCounter = m_startCounter;
    settings.stepCounter = m_stepCounter;
    settings.digitsCounter = m_digitsCounter;
    m_rules->fillSettings(settings);
    return settings;
}

void VLNWindow::setRenameSettings(const RenameSettings &settings)
{
    m_ui->nameField->setText(settings.nameTemplate);
    m_ui->extField->setText(settings.extTemplate);
    m_ui->searchField->setText(settings.searchText);
    m_ui->replaceField->setText(settings.replaceText);
    // A tag without an item of its own keeps the case, as the first item does.
    const int caseItem = m_ui->casePopup->findData(settings.caseTag);
    m_ui->casePopup->setCurrentIndex(qMax(0, caseItem));
    m_ui->startCounterBox->setValue(settings.startCounter);
    m_ui->stepCounterBox->setValue(settings.stepCounter);
    m_ui->digitsCounterBox->setValue(settings.digitsCounter);
    m_rules->showSettings(settings);
    reloadData();
}

void VLNWindow::reloadData()
{
    m_model->setSettings(renameSettings());
    m_rules->showSearchFault(m_model->composer());
}

void VLNWindow::setNaturalOrder(bool natural)
{
    m_list->setNaturalOrder(natural);
    // A list already sorted by name or location takes the new order at once.
    const QString column = m_list->lastColumn();
    if (m_list->hasBeenSorted() && (column == FileList::OldName || column == FileList::Location))
        m_model->performSort();
}

void VLNWindow::updateResults()
{
    // The label follows the model's count text through totalTextChanged.
    m_model->updateResults();
}

// ---- settings -------------------------------------------------------------

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

// ---- the list -------------------------------------------------------------

bool VLNWindow::insertFile(const QByteArray &nativePath)
{
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
    if (nativePaths.isEmpty())
        return;
    // One job at a time, in the order asked: a later drop may hold a path
    // an earlier one lists, and the first listed keeps it.
    m_listingsWaiting.append(nativePaths);
    startNextListing();
}

void VLNWindow::startNextListing()
{
    // An undo moves files the listing would find under either name.
    if (m_listing || m_run || m_undo->isRunning() || m_journalAlert || m_listingsWaiting.isEmpty())
        return;
    const QList<QByteArray> paths = m_listingsWaiting.takeFirst();
    m_listingUnlisted = paths.size() == 1 && m_list->isEmpty();
    m_listing = std::make_unique<ListingJob>(paths);
    m_planner->cancel();
    m_lastHandOver.start();
    m_handedOver = false;
    connect(m_listing.get(), &Job::progressed, this, &VLNWindow::takeListedRecords);
    connect(m_listing.get(), &Job::finished, this, &VLNWindow::listingEnded);
    m_jobBar->showListing(0);
    m_listing->start();
}

void VLNWindow::takeListedRecords()
{
    if (!m_listing)
        return;
    const int wait = m_handedOver ? handOverMs : firstHandOverMs;
    if (m_listing->isRunning() && m_lastHandOver.elapsed() < wait) {
        if (!m_handOverTimer->isActive())
            m_handOverTimer->start(int(wait - m_lastHandOver.elapsed()));
        return;
    }
    m_handOverTimer->stop();
    m_lastHandOver.start();
    m_handedOver = true;
    auto records = m_listing->takeRecords();
    if (!records.empty()) {
        // The plan shown is of the list before these rows; a new one is made
        // once the listing has ended, not after every batch.
        m_showingPlan = true;
        m_model->setPlan(nullptr);
        m_showingPlan = false;
        m_problemsButton->hide();
    }
    m_model->appendRecords(std::move(records), m_listingUnlisted);
    m_jobBar->showListing(m_listing->done());
}

void VLNWindow::listingEnded()
{
    takeListedRecords();
    const auto identities = m_listing->folderIdentities();
    for (auto it = identities.cbegin(); it != identities.cend(); ++it)
        m_list->setFolderIdentity(it.key(), it.value());
    const QByteArrayList unreadable = m_listing->unreadableFolders();
    if (!unreadable.isEmpty()) {
        m_unreadableFolders += unreadable;
        m_jobBar->setUnreadableFolders(m_unreadableFolders);
    }
    // Deleted later: this runs inside the job's own signal.
    m_listing.release()->deleteLater();
    m_planner->schedule();
    m_jobBar->showIdle();
    if (!m_listingsWaiting.isEmpty()) {
        startNextListing();
        return;
    }
    if (m_undo->startWaiting()) {
        // The files move: the run asked for would no longer be the one shown.
        m_startWhenListed = false;
        return;
    }
    if (m_startWhenListed) {
        m_startWhenListed = false;
        clickStart();
    }
}

void VLNWindow::cancelJob()
{
    if (m_undo->isRunning()) {
        m_undo->cancel();
        return;
    }
    if (m_run) {
        m_run->cancel();
        return;
    }
    // Cancel stops this listing and the ones waiting behind it.
    m_listingsWaiting.clear();
    m_startWhenListed = false;
    if (m_listing)
        m_listing->cancel();
}

void VLNWindow::closeEvent(QCloseEvent *event)
{
    // Quitting while a job runs: it stops, and nothing is left half done.
    m_listingsWaiting.clear();
    if (m_listing) {
        m_listing->cancel();
        m_listing->wait();
        takeListedRecords();
        m_listing.reset();
    }
    if (m_run) {
        m_run->cancel();
        m_run->wait();
        m_run->applyTo(*m_list);
        m_run.reset();
        m_model->reloadData();
    }
    m_undo->finishNow();
    m_jobBar->showIdle();
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
    const QList<QUrl> urls = event->mimeData()->urls();
    QList<QByteArray> paths;
    for (const QUrl &url : urls) {
        if (url.isLocalFile())
            paths << nativePathOfUrl(url);
    }
    listInBackground(paths);
}

void VLNWindow::clickAdd()
{
    auto *panel = new QFileDialog(this);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setFileMode(QFileDialog::ExistingFiles);
    panel->setWindowTitle(tr("Add Files"));
    // The panel's URLs, not its file names: a native panel hands over the
    // bytes of a name that is not valid UTF-8 only in its URLs, and the
    // decoded name would lead to another file.
    connect(panel, &QDialog::accepted, this, [this, panel] {
        QList<QByteArray> paths;
        for (const QUrl &url : panel->selectedUrls()) {
            if (url.isLocalFile())
                paths << nativePathOfUrl(url);
        }
        listInBackground(paths);
    });
    panel->open();
}

void VLNWindow::clickRemove()
{
    // A run holds on to the records until it ends.
    if (m_run)
        return;
    m_model->clickRemove(m_ui->tableView->selectionModel());
}

void VLNWindow::clickClearAll()
{
    if (m_run)
        return;
    m_model->clickClearAll();
    m_unreadableFolders.clear();
    m_jobBar->setUnreadableFolders({});
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

void VLNWindow::tableViewHeaderClicked(int section)
{
    m_ui->tableView->clearSelection();
    m_model->tableView(section);
    // The header moves its indicator on every click by itself; put it back
    // where the list's sort state says, also after a click that changed nothing.
    showSortIndicator();
}

void VLNWindow::showSortIndicator()
{
    const int column = m_model->columnOfIdentifier(m_list->lastColumn());
    QHeaderView *header = m_ui->tableView->horizontalHeader();
    if (column < 0) {
        header->setSortIndicatorShown(false);
        return;
    }
    header->setSortIndicatorShown(true);
    header->setSortIndicator(column,
                             m_list->sortDescending() ? Qt::DescendingOrder : Qt::AscendingOrder);
}

// ---- the rename run -------------------------------------------------------

void VLNWindow::setAccessPrompt(AccessPrompt *prompt)
{
    m_accessPrompt = prompt;
}

void VLNWindow::clickStart()
{
    // A second Start while a run goes on, or while its grant is asked for,
    // does nothing.
    if (m_run || m_grantPanel || m_journalAlert || m_undo->isRunning())
        return;
    // The run waits for the listing: it renames what the list holds.
    if (m_listing || !m_listingsWaiting.isEmpty()) {
        m_startWhenListed = true;
        return;
    }
    if (m_list->isEmpty())
        return;
    QList<QByteArray> paths;
    paths.reserve(m_list->count());
    for (const auto &file : m_list->contentsArray())
        paths << file->nativePath();
    const QByteArray root = RenameRun::accessRoot(paths);
    std::unique_ptr<UserDefaults> ownDefaults;
    UserDefaults *defaults = m_defaults;
    if (!defaults) {
        ownDefaults = std::make_unique<UserDefaults>();
        defaults = ownDefaults.get();
    }
    if (storedGrantCovers(root, *defaults)) {
        startRun();
        return;
    }
    if (m_accessPrompt) {
        if (requestFilesystem(root, *m_accessPrompt, *defaults))
            startRun();
        return;
    }
    // Application-modal, without an event loop of its own: the answer comes
    // back here through the panel's signal.
    QFileDialog *panel =
        DialogAccessPrompt::makePanel(this, AccessRequestText::title(), AccessRequestText::prompt(),
                                      AccessRequestText::message(), root);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    m_grantPanel = panel;
    connect(panel, &QDialog::finished, this, [this, panel] {
        UserDefaults fallback;
        UserDefaults &defaults = m_defaults ? *m_defaults : fallback;
        if (grantChosenFolder(DialogAccessPrompt::chosenFolder(*panel), defaults)) {
            startRun();
            return;
        }
        auto *alert = new QMessageBox(QMessageBox::Warning, QStringLiteral("Velnor"),
                                      AccessRequestText::declined(), QMessageBox::Ok, this);
        alert->setAttribute(Qt::WA_DeleteOnClose);
        alert->setWindowModality(Qt::ApplicationModal);
        alert->show();
    });
    // show(), not open(): open() would make the panel window-modal.
    panel->show();
}

void VLNWindow::startRun(bool keepJournal)
{
    if (m_run || m_list->isEmpty())
        return;
    m_planner->cancel();
    RenameRun::JournalChoice journal;
    journal.keep = keepJournal;
    m_run = std::make_unique<RunJob>(*m_list, m_model->composer(), journal);
    connect(m_run.get(), &Job::progressed, this,
            [this] { m_jobBar->showRun(m_run->done(), m_run->total()); });
    connect(m_run.get(), &Job::finished, this, &VLNWindow::runEnded);
    m_jobBar->showRun(0, m_list->count());
    m_run->start();
}

void VLNWindow::runEnded()
{
    // Closing the window may have applied the rest already.
    if (!m_run)
        return;
    // A long list takes its new names over a few turns of the event loop,
    // so that the window never stands still for all of them at once. Until
    // the last, the run holds the list as it did while it ran.
    if (!m_run->applyTo(*m_list, applyBatch)) {
        QTimer::singleShot(0, this, &VLNWindow::runEnded);
        return;
    }
    const RenameRun::Report report = m_run->report();
    m_run.release()->deleteLater();
    m_jobBar->showIdle();
    if (!report.journalError.isEmpty() && !report.ran) {
        askToRenameWithoutUndo(report.journalError);
        startNextListing();
        return;
    }
    m_undo->refresh();
    auto *sheet = new QMessageBox(QMessageBox::Information, windowTitle(), report.message(),
                                  QMessageBox::Ok, this);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setWindowModality(Qt::WindowModal);
    sheet->setInformativeText(report.informativeText());
    sheet->setDetailedText(report.detailedText());
    if (report.failed > 0 || report.notAttempted > 0)
        sheet->setIcon(QMessageBox::Warning);
    m_reportSheet = sheet;
    sheet->open();
    m_model->reloadData();
    // Drops made during the run were kept waiting, and an undo asked for.
    if (!m_undo->startWaiting())
        startNextListing();
}

// Nothing has moved: the run stopped before its first move, since it could
// not write down how to take the moves back.
void VLNWindow::askToRenameWithoutUndo(const QString &reason)
{
    auto *alert = new QMessageBox(QMessageBox::Warning, windowTitle(),
                                  tr("The rename could not be prepared for undo."),
                                  QMessageBox::NoButton, this);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(Qt::WindowModal);
    alert->setInformativeText(
        tr("%1\n\nNo file has been renamed. Without undo, this rename cannot be taken back.")
            .arg(reason));
    QPushButton *withoutUndo =
        alert->addButton(tr("Rename &Without Undo"), QMessageBox::AcceptRole);
    QPushButton *cancel = alert->addButton(QMessageBox::Cancel);
    alert->setDefaultButton(cancel);
    alert->setEscapeButton(cancel);
    connect(alert, &QMessageBox::finished, this, [this, alert, withoutUndo] {
        m_journalAlert = nullptr;
        if (alert->clickedButton() == withoutUndo)
            startRun(false);
        // Drops made while the alert was open waited for the answer.
        startNextListing();
    });
    m_journalAlert = alert;
    alert->open();
}

// ---- the tutorial ---------------------------------------------------------

void VLNWindow::startTutorial()
{
    m_tutorialStep = 0;
    appendExample(*m_list, QStringLiteral("TestFile.txt"), QStringLiteral("TestFile"),
                  QStringLiteral("txt"));
    appendExample(*m_list, QStringLiteral("TestImage.jpg"), QStringLiteral("TestImage"),
                  QStringLiteral("jpg"));
    updateResults();
    showTutorialStep(0);
}

void VLNWindow::placeTutorialOverlay()
{
    m_ui->tutorialView->setGeometry(m_ui->centralwidget->rect());
}

void VLNWindow::showTutorialStep(int page)
{
    placeTutorialOverlay();
    m_ui->tutorialTextView->setPlainText(tutorialText(page));
    m_ui->tutorialView->show();
    m_ui->tutorialView->raise();

    QGroupBox *const boxes[] = {nullptr,
                                m_ui->section1Box,
                                m_ui->section2Box,
                                m_ui->section3Box,
                                m_ui->section4Box,
                                m_ui->section5Box,
                                nullptr};
    QWidget *const focus[] = {nullptr,         m_ui->nameField,   m_ui->extField, m_ui->searchField,
                              m_ui->casePopup, m_ui->section5Box, nullptr};
    // The overlay keeps the mouse off what it covers; keyboard focus could
    // still reach a covered control, so those are switched off meanwhile. The
    // table stays on: it is there to be watched.
    for (QObject *child : m_ui->centralwidget->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (!widget || widget == m_ui->tutorialView || widget == m_ui->tableView)
            continue;
        widget->setEnabled(widget == boxes[page]);
    }
    m_ui->actionStartRenaming->setEnabled(false);
    if (QGroupBox *box = boxes[page])
        box->raise();
    if (QWidget *widget = focus[page])
        widget->setFocus(Qt::OtherFocusReason);
    else
        m_ui->nextTutorialButton->setFocus(Qt::OtherFocusReason);
    m_tutorialStep = page;
}

void VLNWindow::clickNextTutorial()
{
    if (m_tutorialStep >= 0 && m_tutorialStep < 6)
        showTutorialStep(m_tutorialStep + 1);
    else if (m_tutorialStep == 6)
        clickSkipTutorial();
}

void VLNWindow::clickSkipTutorial()
{
    if (m_defaults) {
        m_defaults->setBool(true, skipTutorialKey);
        m_defaults->synchronize();
    }
    m_tutorialStep = 0;
    m_list->clear();
    m_ui->tutorialView->hide();
    for (QObject *child : m_ui->centralwidget->children()) {
        if (auto *widget = qobject_cast<QWidget *>(child))
            widget->setEnabled(true);
    }
    m_ui->actionStartRenaming->setEnabled(true);
    updateResults();
}

void VLNWindow::clickStartTutorial()
{
    // The tutorial empties the list when it ends, which a run must not see.
    if (m_tutorialStep <= 0 && !m_run)
        startTutorial();
}

bool VLNWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui->centralwidget && event->type() == QEvent::Resize &&
        !m_ui->tutorialView->isHidden())
        placeTutorialOverlay();
    return QMainWindow::eventFilter(watched, event);
}
