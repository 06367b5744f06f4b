// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tutorial.h"

#include "files/zqfile.h"
#include "model/filetablemodel.h"
#include "rename/userdefaults.h"
#include "ui_vlnwindow.h"

#include <QCoreApplication>

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
         "itself such as [DMY] or [SH]\n\nTry typing [N]-[YMD] in the textfield and see how "
         "the names change in real-time."),
     &Ui::VLNWindow::section1Box},
    {QT_TRANSLATE_NOOP(
         "VLNWindow",
         "In this section you can change the file extension based on the text you "
         "input.\nUsing special tokens such as [E] or [C] you can insert dynamic text into "
         "the extension.\n\nTry typing [C] in the textfield to set the extension to an "
         "increasing numerical value."),
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
         "counter can start from a certain number and increase in value by then number next "
         "to Step by.\nDigits represent the minimum amount of digits the counter will "
         "show.\n\nTry increasing the Digits to 3."),
     &Ui::VLNWindow::section5Box},
    {QT_TRANSLATE_NOOP(
         "VLNWindow",
         "That's it!\nAll you have to do now is Drag&Drop the files you want to rename "
         "on this window or\non the Velnor dock icon. Adjust the renaming parameters "
         "and click on the Start Renaming button.\n\nIf you have any questions, you "
         "can reach us on our email, %1"),
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

// An example record names no file: its path is only the label that the
// Location column shows, the same for both.
std::unique_ptr<ZQFile> example(const QString &name, const QString &base, const QString &extension)
{
    auto file = std::make_unique<ZQFile>();
    file->setName(name);
    file->setDisplayName(base);
    file->setDisplayExtension(extension);
    file->setFullPath(QCoreApplication::translate("VLNWindow", "Example Tutorial File"));
    return file;
}

} // namespace

Tutorial::Tutorial(Ui::VLNWindow *ui, FileTableModel *model, UserDefaults *defaults,
                   QObject *parent)
    : QObject(parent), m_ui(ui), m_model(model), m_defaults(defaults)
{
    // The overlay lies outside the content until the tutorial places it there.
    m_ui->tutorialView->hide();
    m_ui->tutorialView->setWheelTarget(m_ui->tableView);
    m_ui->centralwidget->installEventFilter(this);
}

void Tutorial::start()
{
    m_step = 0;
    std::vector<std::unique_ptr<ZQFile>> examples;
    examples.push_back(
        example(QStringLiteral("TestFile.txt"), QStringLiteral("TestFile"), QStringLiteral("txt")));
    examples.push_back(example(QStringLiteral("TestImage.jpg"), QStringLiteral("TestImage"),
                               QStringLiteral("jpg")));
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
    m_model->clickClearAll();
    m_ui->tutorialView->hide();
    for (QObject *child : m_ui->centralwidget->children()) {
        if (auto *widget = qobject_cast<QWidget *>(child))
            widget->setEnabled(true);
    }
    m_ui->actionStartRenaming->setEnabled(true);
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
    if (page == LastPage)
        text = text.arg(supportAddress);
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
