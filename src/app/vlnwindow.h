// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rename/renamerun.h"
#include "rules/renamesettings.h"

#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>

#include <functional>
#include <memory>

class AccessPrompt;
class AccessRequest;
class FactsReading;
class FileIntake;
class FileList;
class FileTableModel;
class JobBar;
class MetaControls;
class ListingControls;
class PlanMarks;
class PresetMenu;
class QLineEdit;
class QPushButton;
class WindowActions;
class RuleControls;
class RunConfirmation;
class TableHeader;
class Tutorial;
class UndoControl;
class UserDefaults;
class WorkQueue;
namespace Ui {
class VLNWindow;
}

// The one main window: the rename settings in five section boxes, the file
// table with its list buttons, "Start Renaming", and the first-run tutorial.
// The controls come from the Designer layout; every change of a setting gives
// the table model a fresh RenameSettings, so the preview is recomposed for
// the visible rows only.
//
// Its operations are the window's entry points; each hands the work to the
// room that does it: the table model changes the list, the work queue runs
// listings, the run, the undo and the plan, the access request asks for the
// folder, the tutorial shows its pages, the plan marks show what cannot be
// renamed, and the undo control takes runs back.
class VLNWindow : public QMainWindow
{
    Q_OBJECT
    Q_PROPERTY(qint32 startCounter READ startCounter WRITE setStartCounter)
    Q_PROPERTY(qint32 stepCounter READ stepCounter WRITE setStepCounter)
    Q_PROPERTY(qint32 digitsCounter READ digitsCounter WRITE setDigitsCounter)

public:
    // The settings file answers "skipTutorial" and keeps the access grant;
    // it must outlive the window.
    explicit VLNWindow(UserDefaults *defaults, QWidget *parent = nullptr);
    ~VLNWindow() override;

    Ui::VLNWindow *ui() const { return m_ui.get(); }
    FileList *fileList() const { return m_list.get(); }
    FileTableModel *tableModel() const { return m_model; }
    // Beside the count label: how many files the rename plan cannot rename;
    // a click selects the first of them. Hidden while there are none.
    QPushButton *problemsButton() const;
    WorkQueue *workQueue() const { return m_work; }

    qint32 startCounter() const { return m_startCounter; }
    qint32 stepCounter() const { return m_stepCounter; }
    qint32 digitsCounter() const { return m_digitsCounter; }
    qint32 tutorialStep() const;

    // The settings as the controls stand now.
    RenameSettings renameSettings() const;
    // Sets every control from the settings (a preset) and shows the preview.
    void setRenameSettings(const RenameSettings &settings);
    RuleControls *ruleControls() const { return m_rules; }
    MetaControls *metaControls() const { return m_meta; }
    FactsReading *factsReading() const { return m_facts; }
    PresetMenu *presetMenu() const { return m_presets; }

    // Lists a file or walks a folder on this thread; the table is refreshed
    // by the caller through updateResults, once for a whole batch.
    bool insertFile(const QByteArray &nativePath);
    // The platform's open-files request: paths at which nothing exists are
    // left out, the rest are listed in order by a listing job.
    void openFiles(const QList<QByteArray> &nativePaths);
    // Lists the paths in a job of their own, after any listing before it;
    // the records join the table in batches as they are found.
    void listInBackground(const QList<QByteArray> &nativePaths);
    // A listing or a run is going on.
    bool isListing() const;
    bool isRenaming() const;
    // Edit ▸ Undo Rename, Redo Rename and the Rename History.
    UndoControl *undoControl() const { return m_undo; }
    // Asks the running job to stop: a listing keeps what it found, a run
    // stops after the moves in flight.
    void cancelJob();
    JobBar *jobBar() const { return m_jobBar; }
    // Add Folder…, the name patterns and "Hidden files" beside Add….
    ListingControls *listingControls() const { return m_listing; }
    // Recounts and reloads the table after a change of the list.
    void updateResults();

    // Replaces the folder chooser and alert of the grant request (tests
    // script it); null restores the dialogs.
    void setAccessPrompt(AccessPrompt *prompt);
    // The question before a run that cannot rename every file, while open.
    QMessageBox *confirmationSheet() const;
    // The last rename report shown, while it is open.
    QMessageBox *reportSheet() const { return m_reportSheet; }
    // The alert after a run that could not keep its journal, while it is open.
    QMessageBox *journalAlert() const;

    // Reveals files in the file manager; tests replace it.
    using RevealHandler = std::function<void(const QList<QByteArray> &nativePaths)>;
    void setRevealHandler(RevealHandler handler);

public slots:
    void setStartCounter(qint32 value) { m_startCounter = value; }
    void setStepCounter(qint32 value) { m_stepCounter = value; }
    void setDigitsCounter(qint32 value) { m_digitsCounter = value; }

    void controlTextDidChange();
    void clickName();
    void clickDate();
    void clickCounter();
    void clickTime();
    void clickExt();
    void clickExtCounter();
    void clickStepper();
    void clickCasePopup();

    void clickAdd();
    void clickRemove();
    void clickClearAll();
    void clickShow();
    void clickStart();

    void startTutorial();
    void clickNextTutorial();
    void clickSkipTutorial();
    void clickStartTutorial();

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void windowDidLoad();
    void appendToken(QLineEdit *field, const QString &token);
    void reloadData();
    void startRun(bool keepJournal = true);
    void runEnded(const RenameRun::Report &report);

    std::unique_ptr<Ui::VLNWindow> m_ui;
    // Null when the caller gave none: the user's own settings then.
    std::unique_ptr<UserDefaults> m_ownDefaults;
    UserDefaults *m_defaults;
    std::unique_ptr<FileList> m_list;
    std::unique_ptr<FileIntake> m_intake;
    FileTableModel *m_model = nullptr;
    RevealHandler m_reveal;
    QPointer<QMessageBox> m_reportSheet;
    UndoControl *m_undo = nullptr;
    RuleControls *m_rules = nullptr;
    MetaControls *m_meta = nullptr;
    FactsReading *m_facts = nullptr;
    PresetMenu *m_presets = nullptr;
    qint32 m_startCounter = 1;
    qint32 m_stepCounter = 1;
    qint32 m_digitsCounter = 1;
    JobBar *m_jobBar = nullptr;
    WorkQueue *m_work = nullptr;
    AccessRequest *m_access = nullptr;
    Tutorial *m_tutorial = nullptr;
    WindowActions *m_actions = nullptr;
    PlanMarks *m_planMarks = nullptr;
    RunConfirmation *m_confirmation = nullptr;
    TableHeader *m_header = nullptr;
    ListingControls *m_listing = nullptr;
};
