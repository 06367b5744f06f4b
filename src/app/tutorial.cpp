// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tutorial.h"

#include "files/counttext.h"
#include "files/zqfile.h"
#include "intake/fileintake.h"
#include "model/filetablemodel.h"
#include "rename/userdefaults.h"
#include "ui_vlnwindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QString skipTutorialKey = QStringLiteral("skipTutorial");
const QString supportAddress = QStringLiteral("support@velnor.app");

// One page: its text (translated as the window's) and the section box it
// shows; none for the welcome and farewell.
struct Page
{
    const char *text;
    QGroupBox *Ui::VLNWindow::*box;
};

const Page pages[Tutorial::LastPage + 1] = {
    {QT_TRANSLATE_NOOP("VLNWindow",
                       "\nThank you for installing Velnor, the fastest way to rename large "
                       "amounts of files.\n\n\nClick Next for a quick start guide on how to "
                       "use this software."),
     nullptr},
    {QT_TRANSLATE_NOOP(
         "VLNWindow",
         "In this section you can change the file name based on the text you input.\nUsing "
         "special tokens such as [N] or [C] you can insert dynamic text into the file "
         "name.\nFor date and time tokens, you can change the order of units in the token "
         "itself, such as [DMY] or [hms].\n\nTry typing [N]-[YMD] in the text field and see "
         "how the names change as you type."),
     &Ui::VLNWindow::section1Box},
    {QT_TRANSLATE_NOOP(
         "VLNWindow",
         "In this section you can change the file extension based on the text you "
         "input.\nUsing special tokens such as [E] or [C] you can insert dynamic text into "
         "the extension.\n\nTry typing [C] in the text field to set the extension to an "
         "increasing number."),
     &Ui::VLNWindow::section2Box},
    {QT_TRANSLATE_NOOP(
         "VLNWindow",
         "In this section you can search for a particular text and replace it.\nLeave the "
         "replace text empty if you simply want to remove the searched text.\n\nTry typing "
         "Test in the search textfield."),
     &Ui::VLNWindow::section3Box},
    {QT_TRANSLATE_NOOP("VLNWindow",
                       "In this section you can convert the entire file name to uppercase "
                       "or lowercase\n\nTry changing it to All UPPERCASE."),
     &Ui::VLNWindow::section4Box},
    {QT_TRANSLATE_NOOP(
         "VLNWindow",
         "In this section you can adjust the numerical counter linked to the [C] token.\nThe "
         "counter can start from a certain number and increase in value by the number next "
         "to Step by.\nDigits represent the minimum amount of digits the counter will "
         "show.\n\nTry increasing the Digits to 3."),
     &Ui::VLNWindow::section5Box},
    {QT_TRANSLATE_NOOP(
         "VLNWindow",
         "That's it!\nAll you have to do now is drag the files or folders you want to "
         "rename onto this window, or add them with the Add… and Add Folder… buttons. Adjust the "
         "renaming parameters and click on the Start Renaming button.\n\nIf you have any "
         "questions, you can reach us by email at %1"),
     nullptr},
};

// The control of each section page that takes the focus.
QWidget *focusOf(Ui::VLNWindow *ui, int page)
{
    switch (page) {
    case 1:
        return ui->nameField;
    case 2:
        return ui->extField;
    case 3:
        return ui->searchField;
    case 4:
        return ui->casePopup;
    case 5:
        return ui->section5Box;
    }
    return nullptr;
}

// The example files: distinct, empty, in a folder of their own, each a
// real file so that the plan and the date tokens treat it as any other.
const char *const exampleNames[] = {"TestFile.txt", "TestImage.jpg"};

std::unique_ptr<ZQFile> example(const QByteArray &path)
{
    auto file = std::make_unique<ZQFile>();
    file->setName(QString::fromUtf8(path.mid(path.lastIndexOf('/') + 1)));
    file->deriveDisplayExtension();
    file->setNativePath(path);
    FileIntake::readAttributes(*file);
    return file;
}

} // namespace

Tutorial::Tutorial(Ui::VLNWindow *ui, FileTableModel *model, UserDefaults *defaults,
                   Settings settings, SetSettings setSettings, QObject *parent)
    : QObject(parent), m_ui(ui), m_model(model), m_defaults(defaults),
      m_settings(std::move(settings)), m_setSettings(std::move(setSettings))
{
    // The overlay lies outside the content until the tutorial places it there.
    m_ui->tutorialView->hide();
    m_ui->tutorialView->setWheelTarget(m_ui->tableView);
    m_ui->centralwidget->installEventFilter(this);
}

Tutorial::~Tutorial() = default;

bool Tutorial::wasSeen(UserDefaults *defaults)
{
    return defaults->boolForKey(skipTutorialKey);
}

void Tutorial::start()
{
    // Asked for again on the welcome page: it shows once.
    if (m_kept) {
        showPage(0);
        return;
    }
    m_kept = m_model->setAside();
    m_keptSettings = m_settings();
    m_setSettings(RenameSettings());
    m_exampleFolder = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                                      QStringLiteral("/velnor-tutorial-XXXXXX"));
    std::vector<std::unique_ptr<ZQFile>> examples;
    if (m_exampleFolder->isValid()) {
        for (const char *name : exampleNames) {
            const QByteArray path =
                QFile::encodeName(m_exampleFolder->filePath(QString::fromLatin1(name)));
            QFile file(QFile::decodeName(path));
            if (file.open(QIODevice::WriteOnly))
                examples.push_back(example(path));
        }
    }
    m_examples.clear();
    for (const auto &file : examples)
        m_examples << file.get();
    m_model->appendExamples(std::move(examples));
    showPage(0);
}

void Tutorial::next()
{
    if (m_step >= 0 && m_step < LastPage)
        showPage(m_step + 1);
    else if (m_step == LastPage)
        skip();
}

void Tutorial::skip()
{
    m_defaults->setBool(true, skipTutorialKey);
    m_defaults->synchronize();
    m_step = 0;
    if (m_kept) {
        // The user's own list and settings, exactly as they were.
        m_model->giveBack(*std::exchange(m_kept, std::nullopt), std::exchange(m_examples, {}));
        m_setSettings(m_keptSettings);
    }
    m_exampleFolder.reset();
    for (QObject *child : m_ui->centralwidget->children()) {
        if (auto *widget = qobject_cast<QWidget *>(child))
            widget->setEnabled(true);
    }
    m_ui->actionStartRenaming->setEnabled(true);
    // Last: those who watch the overlay go set what rests on an empty list.
    m_ui->tutorialView->hide();
}

void Tutorial::placeOverlay()
{
    m_ui->tutorialView->setGeometry(m_ui->centralwidget->rect());
}

void Tutorial::showPage(int page)
{
    const Page &shown = pages[page];
    placeOverlay();
    QString text = QCoreApplication::translate("VLNWindow", shown.text);
    if (page == LastPage) {
        text = text.arg(supportAddress);
        if (m_kept && !m_kept->records.empty())
            text += u"\n\n"_qs +
                    CountText::numerus(
                        "Tutorial",
                        QT_TRANSLATE_N_NOOP("Tutorial", "Your %n file(s) and your settings come "
                                                        "back when the tutorial ends."),
                        qsizetype(m_kept->records.size()),
                        "Your file and your settings come back when the tutorial ends.",
                        "Your %n files and your settings come back when the tutorial ends.");
    }
    // On the last page both buttons would end it: one says so.
    m_ui->nextTutorialButton->setText(page == LastPage ? tr("&Close Tutorial") : tr("&Next"));
    m_ui->skipTutorialButton->setVisible(page != LastPage);
    m_ui->tutorialTextView->setPlainText(text);
    m_ui->tutorialView->show();
    m_ui->tutorialView->raise();
    QGroupBox *box = shown.box ? m_ui->*shown.box : nullptr;
    // The overlay keeps the mouse off what it covers; keyboard focus could
    // still reach a covered control, so those are switched off meanwhile. The
    // table stays on: it is there to be watched.
    for (QObject *child : m_ui->centralwidget->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (!widget || widget == m_ui->tutorialView || widget == m_ui->tableView)
            continue;
        widget->setEnabled(widget == box);
    }
    m_ui->actionStartRenaming->setEnabled(false);
    if (box)
        box->raise();
    if (QWidget *widget = focusOf(m_ui, page))
        widget->setFocus(Qt::OtherFocusReason);
    else
        m_ui->nextTutorialButton->setFocus(Qt::OtherFocusReason);
    m_step = page;
}

bool Tutorial::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui->centralwidget && event->type() == QEvent::Resize &&
        !m_ui->tutorialView->isHidden())
        placeOverlay();
    return QObject::eventFilter(watched, event);
}
