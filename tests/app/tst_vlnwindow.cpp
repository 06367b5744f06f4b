#include "accessgrant.h"
#include "dialogaccessprompt.h"
#include "fileicons.h"
#include "filelist.h"
#include "filemanager.h"
#include "filetablemodel.h"
#include "ui_vlnwindow.h"
#include "userdefaults.h"
#include "vlnwindow.h"
#include "zqfile.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void writeFile(const QByteArray &path, qsizetype size = 0)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QVERIFY2(fd >= 0, path.constData());
    const QByteArray bytes(size, 'x');
    QCOMPARE(::write(fd, bytes.constData(), size_t(size)), ssize_t(size));
    ::close(fd);
}

bool exists(const QByteArray &path)
{
    struct stat status;
    return ::lstat(path.constData(), &status) == 0;
}

QUrl urlOfBytes(const QByteArray &path)
{
    return QUrl::fromEncoded("file://" + path.toPercentEncoding("/"));
}

// A prompt that answers as the test says and remembers what it was asked.
class ScriptedPrompt : public AccessPrompt
{
public:
    std::optional<QByteArray> answer;
    QList<QByteArray> proposals;
    QStringList alerts;

    std::optional<QByteArray> chooseFolder(const QString &, const QString &, const QString &,
                                           const QByteArray &proposedPath) override
    {
        proposals.append(proposedPath);
        return answer;
    }
    void alert(const QString &message) override { alerts.append(message); }
};

} // namespace

class tst_VLNWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstStartShowsWelcomePage();
    void laterStartHasNoTutorial();
    void nextWalksThePages_data();
    void nextWalksThePages();
    void overlayFollowsResize();
    void wheelOverOverlayScrollsTable();
    void nextOnLastPageFinishes();
    void skipEndsTutorial();
    void startTutorialOnRequest_data();
    void startTutorialOnRequest();

    void tokenButtonsAppend_data();
    void tokenButtonsAppend();
    void settingsChangeKeepsCount();
    void countersAndCase();

    void dropFolderAndUndecodableName();
    void dropOfTextOnlyAddsNothing();
    void openFilesSkipsMissing();
    void addPanelKeepsBytes();
    void headerClicks();
    void removeAndClearAll();
    void showRevealsSelection();
    void fileUrisKeepBytes();

    void startRenamesAndShowsSheet();
    void startDeclinedChangesNothing();
    void grantDialogShowsMessage();

    void iconsByType();

private:
    VLNWindow *makeWindow(bool skipTutorial);
    QString cell(int row, int column) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<UserDefaults> m_defaults;
    std::unique_ptr<VLNWindow> m_window;
};

void tst_VLNWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_defaults = std::make_unique<UserDefaults>(m_dir->filePath(QStringLiteral("Velnor.conf")));
    m_defaults->registerDefaults(UserDefaults::readFactoryFile(QStringLiteral(":/Factory")));
}

void tst_VLNWindow::cleanup()
{
    m_window.reset();
    m_defaults.reset();
    m_dir.reset();
}

VLNWindow *tst_VLNWindow::makeWindow(bool skipTutorial)
{
    if (skipTutorial)
        m_defaults->setBool(true, QStringLiteral("skipTutorial"));
    m_window = std::make_unique<VLNWindow>(m_defaults.get());
    m_window->resize(1000, 700);
    m_window->show();
    return m_window.get();
}

QString tst_VLNWindow::cell(int row, int column) const
{
    FileTableModel *model = m_window->tableModel();
    return model->data(model->index(row, column)).toString();
}

// ---- the tutorial ---------------------------------------------------------

void tst_VLNWindow::firstStartShowsWelcomePage()
{
    VLNWindow *window = makeWindow(false);
    Ui::VLNWindow *ui = window->ui();
    QCOMPARE(window->fileList()->count(), 2);
    QCOMPARE(ui->totalLabel->text(), QStringLiteral("2 files"));
    QCOMPARE(window->tutorialStep(), 0);
    QVERIFY(!ui->tutorialView->isHidden());
    QCOMPARE(ui->tutorialView->geometry(), ui->centralwidget->rect());
    QCOMPARE(ui->tutorialTextView->toPlainText(),
             QStringLiteral("\nThank you for installing Velnor, the fastest way to rename large "
                            "amounts of files.\n\n\nClick Next for a quick start guide on how to "
                            "use this software."));
    QCOMPARE(cell(0, FileTableModel::OldNameColumn), QStringLiteral("TestFile.txt"));
    QCOMPARE(cell(1, FileTableModel::OldNameColumn), QStringLiteral("TestImage.jpg"));
    QCOMPARE(cell(1, FileTableModel::LocationColumn), QStringLiteral("Example Tutorial File"));
    QCOMPARE(cell(0, FileTableModel::NewNameColumn), QStringLiteral("TestFile.txt"));
    // The overlay lies on top of everything in the content, the table
    // included, and the settings start as they leave every name unchanged.
    QCOMPARE(ui->centralwidget->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).last(),
             ui->tutorialView);
    QCOMPARE(ui->nameField->text(), QStringLiteral("[N]"));
    QCOMPARE(ui->extField->text(), QStringLiteral("[E]"));
    QVERIFY(!ui->startButton->isEnabled());
}

void tst_VLNWindow::laterStartHasNoTutorial()
{
    VLNWindow *window = makeWindow(true);
    QVERIFY(window->ui()->tutorialView->isHidden());
    QCOMPARE(window->fileList()->count(), 0);
    QCOMPARE(window->ui()->totalLabel->text(), QStringLiteral("No files"));
    QHeaderView *header = window->ui()->tableView->horizontalHeader();
    QCOMPARE(header->sortIndicatorSection(), int(FileTableModel::OldNameColumn));
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    QCOMPARE(window->fileList()->lastColumn(), QStringLiteral("OldName"));
}

void tst_VLNWindow::nextWalksThePages_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("raised");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("text");
    QTest::newRow("1 name")
        << 1 << "section1Box"
        << "nameField"
        << "In this section you can change the file name based on the text you "
           "input.\nUsing special tokens such as [N] or [C] you can insert "
           "dynamic text into the file name.\nFor date and time tokens, you can "
           "change the order of units in the token itself such as [DMY] or "
           "[SH]\n\nTry typing [N]-[YMD] in the textfield and see how the names "
           "change in real-time.";
    QTest::newRow("2 extension")
        << 2 << "section2Box"
        << "extField"
        << "In this section you can change the file extension based on the text you input.\nUsing "
           "special tokens such as [E] or [C] you can insert dynamic text into the "
           "extension.\n\nTry "
           "typing [C] in the textfield to set the extension to an increasing numerical value.";
    QTest::newRow("3 search")
        << 3 << "section3Box"
        << "searchField"
        << "In this section you can search for a particular text and replace "
           "it.\nLeave the replace text empty if you simply want to remove the "
           "searched text.\n\nTry typing Test in the search textfield.";
    QTest::newRow("4 case") << 4 << "section4Box"
                            << "casePopup"
                            << "In this section you can convert the entire file name to uppercase "
                               "or lowercase\n\nTry changing it to All UPPERCASE.";
    QTest::newRow("5 counter, the box itself")
        << 5 << "section5Box"
        << "section5Box"
        << "In this section you can adjust the numerical counter linked to the [C] token.\nThe "
           "counter can start from a certain number and increase in value by then number next to "
           "Step by.\nDigits represent the minimum amount of digits the counter will show.\n\nTry "
           "increasing the Digits to 3.";
    QTest::newRow("6 farewell")
        << 6 << ""
        << ""
        << "That's it!\nAll you have to do now is Drag&Drop the files you want to rename on this "
           "window or\non the Velnor dock icon. Adjust the renaming parameters and click on the "
           "Start Renaming button.\n\nIf you have any questions, you can reach us on our email, "
           "support@velnor.app";
}

void tst_VLNWindow::nextWalksThePages()
{
    QFETCH(int, page);
    QFETCH(QString, raised);
    QFETCH(QString, focus);
    QFETCH(QString, text);
    VLNWindow *window = makeWindow(false);
    Ui::VLNWindow *ui = window->ui();
    for (int i = 0; i < page; ++i)
        QTest::mouseClick(ui->nextTutorialButton, Qt::LeftButton);
    QCOMPARE(window->tutorialStep(), page);
    QCOMPARE(ui->tutorialTextView->toPlainText(), text);
    QVERIFY(!ui->tutorialView->isHidden());

    const QWidgetList order =
        ui->centralwidget->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    const qsizetype overlay = order.indexOf(ui->tutorialView);
    for (QGroupBox *box :
         {ui->section1Box, ui->section2Box, ui->section3Box, ui->section4Box, ui->section5Box}) {
        const bool above = order.indexOf(box) > overlay;
        QCOMPARE(above, box->objectName() == raised);
        QCOMPARE(box->isEnabled(), box->objectName() == raised);
    }
    if (!focus.isEmpty())
        QCOMPARE(window->focusWidget()->objectName(), focus);
    // What the mouse reaches: the raised box's controls, and the overlay
    // everywhere else, over the table too.
    auto hit = [&](QWidget *widget) {
        return ui->centralwidget->childAt(
            widget->mapTo(ui->centralwidget, widget->rect().center()));
    };
    auto covered = [&](QWidget *widget) {
        QWidget *top = hit(widget);
        return top == ui->tutorialView || ui->tutorialView->isAncestorOf(top);
    };
    QVERIFY(covered(ui->startButton));
    QVERIFY(covered(ui->addButton));
    QVERIFY(covered(ui->tableView->viewport()));
    QCOMPARE(covered(ui->extField), raised != QLatin1String("section2Box"));
    QCOMPARE(covered(ui->casePopup), raised != QLatin1String("section4Box"));
    // Controls outside the raised box stay out of reach, the table in sight.
    QVERIFY(!ui->startButton->isEnabled());
    QVERIFY(!ui->addButton->isEnabled());
    QVERIFY(ui->tableView->isEnabled());
    QCOMPARE(window->fileList()->count(), 2);
}

void tst_VLNWindow::overlayFollowsResize()
{
    VLNWindow *window = makeWindow(false);
    Ui::VLNWindow *ui = window->ui();
    window->resize(1200, 800);
    QTRY_COMPARE(ui->tutorialView->geometry(), ui->centralwidget->rect());
    QTest::mouseClick(ui->nextTutorialButton, Qt::LeftButton);
    window->resize(900, 640);
    QTRY_COMPARE(ui->tutorialView->geometry(), ui->centralwidget->rect());
}

void tst_VLNWindow::wheelOverOverlayScrollsTable()
{
    VLNWindow *window = makeWindow(false);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    Ui::VLNWindow *ui = window->ui();
    for (int i = 0; i < 200; ++i) {
        auto file = std::make_unique<ZQFile>();
        file->setName(QStringLiteral("row%1.txt").arg(i));
        window->fileList()->appendUnchecked(std::move(file));
    }
    window->updateResults();
    QTest::mouseClick(ui->nextTutorialButton, Qt::LeftButton);
    QScrollBar *bar = ui->tableView->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), 0);

    // Left of the tutorial's text panel, over the table: the veil is on top.
    QWidget *viewport = ui->tableView->viewport();
    const QPoint overTable = viewport->mapTo(ui->centralwidget, QPoint(20, viewport->height() / 2));
    QCOMPARE(ui->centralwidget->childAt(overTable), ui->tutorialView);
    auto wheel = [&](const QPoint &inCentral) {
        const QPointF local = ui->tutorialView->mapFrom(ui->centralwidget, QPointF(inCentral));
        QWheelEvent event(local, ui->tutorialView->mapToGlobal(local), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(ui->tutorialView, &event);
    };
    wheel(overTable);
    QVERIFY(bar->value() > 0);
    const int scrolled = bar->value();

    // Elsewhere the wheel reaches nothing under the veil.
    wheel(ui->startButton->mapTo(ui->centralwidget, ui->startButton->rect().center()));
    QCOMPARE(bar->value(), scrolled);
    QCOMPARE(window->tutorialStep(), 1);
    QCOMPARE(ui->nameField->text(), QStringLiteral("[N]"));
}

void tst_VLNWindow::nextOnLastPageFinishes()
{
    VLNWindow *window = makeWindow(false);
    Ui::VLNWindow *ui = window->ui();
    for (int i = 0; i < 6; ++i)
        QTest::mouseClick(ui->nextTutorialButton, Qt::LeftButton);
    QCOMPARE(window->tutorialStep(), 6);
    QTest::mouseClick(ui->nextTutorialButton, Qt::LeftButton);
    QCOMPARE(window->tutorialStep(), 0);
    QVERIFY(ui->tutorialView->isHidden());
    QCOMPARE(window->fileList()->count(), 0);
    QCOMPARE(ui->totalLabel->text(), QStringLiteral("No files"));
    QVERIFY(ui->startButton->isEnabled());
    QVERIFY(ui->section2Box->isEnabled());
    // Written through to the file at once, where a later launch reads it.
    UserDefaults later(m_dir->filePath(QStringLiteral("Velnor.conf")));
    QVERIFY(later.boolForKey(QStringLiteral("skipTutorial")));
}

void tst_VLNWindow::skipEndsTutorial()
{
    VLNWindow *window = makeWindow(false);
    Ui::VLNWindow *ui = window->ui();
    QTest::mouseClick(ui->nextTutorialButton, Qt::LeftButton);
    QTest::keyClicks(ui->nameField, QStringLiteral("-[C]"));
    QCOMPARE(cell(1, FileTableModel::NewNameColumn), QStringLiteral("TestImage-2.jpg"));
    QTest::mouseClick(ui->skipTutorialButton, Qt::LeftButton);
    QCOMPARE(window->tutorialStep(), 0);
    QVERIFY(ui->tutorialView->isHidden());
    QCOMPARE(window->fileList()->count(), 0);
    QCOMPARE(ui->totalLabel->text(), QStringLiteral("No files"));
    QCOMPARE(ui->nameField->text(), QStringLiteral("[N]-[C]"));
    UserDefaults later(m_dir->filePath(QStringLiteral("Velnor.conf")));
    QVERIFY(later.boolForKey(QStringLiteral("skipTutorial")));
    // Once skipped, a new window starts without it.
    m_window.reset();
    VLNWindow *again = makeWindow(false);
    QVERIFY(again->ui()->tutorialView->isHidden());
}

void tst_VLNWindow::startTutorialOnRequest_data()
{
    QTest::addColumn<bool>("skipTutorial");
    QTest::addColumn<int>("nextClicks");
    QTest::addColumn<int>("ownFiles");
    QTest::addColumn<int>("expectedStep");
    QTest::addColumn<int>("expectedCount");
    QTest::newRow("welcome page: starts again") << false << 0 << 0 << 0 << 4;
    QTest::newRow("page 1: nothing") << false << 1 << 0 << 1 << 2;
    QTest::newRow("page 6: nothing") << false << 6 << 0 << 6 << 2;
    QTest::newRow("no tutorial, own files kept") << true << 0 << 2 << 0 << 4;
}

void tst_VLNWindow::startTutorialOnRequest()
{
    QFETCH(bool, skipTutorial);
    QFETCH(int, nextClicks);
    QFETCH(int, ownFiles);
    QFETCH(int, expectedStep);
    QFETCH(int, expectedCount);
    VLNWindow *window = makeWindow(skipTutorial);
    QList<QByteArray> own;
    for (int i = 0; i < ownFiles; ++i) {
        own.append(QFile::encodeName(m_dir->filePath(QStringLiteral("own%1.txt").arg(i))));
        writeFile(own.last());
    }
    window->openFiles(own);
    for (int i = 0; i < nextClicks; ++i)
        QTest::mouseClick(window->ui()->nextTutorialButton, Qt::LeftButton);
    window->clickStartTutorial();
    QCOMPARE(window->tutorialStep(), expectedStep);
    QCOMPARE(window->fileList()->count(), expectedCount);
    QCOMPARE(window->ui()->totalLabel->text(), QStringLiteral("%1 files").arg(expectedCount));
    QVERIFY(!window->ui()->tutorialView->isHidden());
    if (ownFiles > 0) {
        QCOMPARE(cell(0, FileTableModel::OldNameColumn), QStringLiteral("own0.txt"));
        QCOMPARE(cell(2, FileTableModel::OldNameColumn), QStringLiteral("TestFile.txt"));
        // Finishing empties the whole list, the user's files with it.
        window->clickSkipTutorial();
        QCOMPARE(window->fileList()->count(), 0);
    }
}

// ---- settings -------------------------------------------------------------

void tst_VLNWindow::tokenButtonsAppend_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<int>("selectionLength");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("newName");
    QTest::newRow("[N] twice") << "nameTokenButton"
                               << "nameField"
                               << "[N]" << 3 << 0 << "[N][N]"
                               << "photophoto.jpg";
    QTest::newRow("cursor at start") << "counterTokenButton"
                                     << "nameField"
                                     << "x" << 0 << 0 << "x[C]"
                                     << "x1.jpg";
    QTest::newRow("selection kept") << "dateTokenButton"
                                    << "nameField"
                                    << "abc" << 1 << 1 << "abc[YMD]"
                                    << "abc20240305.jpg";
    QTest::newRow("time") << "timeTokenButton"
                          << "nameField"
                          << "" << 0 << 0 << "[hms]"
                          << "020708.jpg";
    QTest::newRow("extension") << "extTokenButton"
                               << "extField"
                               << "[E]" << 0 << 3 << "[E][E]"
                               << "photo.jpgjpg";
    QTest::newRow("extension counter") << "extCounterTokenButton"
                                       << "extField"
                                       << "" << 0 << 0 << "[C]"
                                       << "photo.1";
}

void tst_VLNWindow::tokenButtonsAppend()
{
    QFETCH(QString, button);
    QFETCH(QString, field);
    QFETCH(QString, before);
    QFETCH(int, selectionStart);
    QFETCH(int, selectionLength);
    QFETCH(QString, after);
    QFETCH(QString, newName);
    VLNWindow *window = makeWindow(true);
    const QByteArray photo = QFile::encodeName(m_dir->filePath(QStringLiteral("photo.jpg")));
    writeFile(photo);
    // 5 March 2024, 14:07:08 in Berlin (the tests' zone).
    const struct timespec times[2] = {{1709644028, 0}, {1709644028, 0}};
    QCOMPARE(::utimensat(AT_FDCWD, photo.constData(), times, 0), 0);
    window->openFiles({photo});

    auto *edit = window->findChild<QLineEdit *>(field);
    edit->setText(before);
    edit->setFocus();
    edit->setSelection(selectionStart, selectionLength);
    QTest::mouseClick(window->findChild<QPushButton *>(button), Qt::LeftButton);
    QCOMPARE(edit->text(), after);
    QCOMPARE(cell(0, FileTableModel::NewNameColumn), newName);
}

void tst_VLNWindow::settingsChangeKeepsCount()
{
    VLNWindow *window = makeWindow(true);
    Ui::VLNWindow *ui = window->ui();
    const QByteArray file = QFile::encodeName(m_dir->filePath(QStringLiteral("a.txt")));
    writeFile(file);
    window->openFiles({file});
    // A label text that no refresh of the count would write: any setting that
    // touched the count would show here.
    ui->totalLabel->setText(QStringLiteral("untouched"));
    QSignalSpy resets(window->tableModel(), &QAbstractItemModel::modelReset);
    QTest::keyClicks(ui->nameField, QStringLiteral("-x"));
    QTest::mouseClick(ui->counterTokenButton, Qt::LeftButton);
    ui->casePopup->setCurrentIndex(2);
    ui->digitsCounterBox->setValue(4);
    QCOMPARE(ui->totalLabel->text(), QStringLiteral("untouched"));
    QCOMPARE(resets.count(), 0);
    QCOMPARE(cell(0, FileTableModel::NewNameColumn), QStringLiteral("A-X0001.TXT"));
}

void tst_VLNWindow::countersAndCase()
{
    VLNWindow *window = makeWindow(true);
    Ui::VLNWindow *ui = window->ui();
    QCOMPARE(ui->startCounterBox->minimum(), std::numeric_limits<qint32>::min());
    QCOMPARE(ui->startCounterBox->maximum(), std::numeric_limits<qint32>::max());
    QCOMPARE(ui->stepCounterBox->minimum(), std::numeric_limits<qint32>::min());
    QCOMPARE(ui->digitsCounterBox->minimum(), 0);
    QCOMPARE(ui->digitsCounterBox->maximum(), 32);
    QCOMPARE(ui->casePopup->itemText(2), QStringLiteral("All UPPERCASE"));
    QCOMPARE(ui->casePopup->itemData(2).toInt(), 2);
    QCOMPARE(ui->casePopup->itemData(1).toInt(), 1);
    QCOMPARE(ui->casePopup->currentData().toInt(), 0);

    QList<QByteArray> files;
    for (const char *name : {"Ab.txt", "Cd.txt", "Ef.txt"}) {
        files.append(QFile::encodeName(m_dir->path()) + '/' + name);
        writeFile(files.last());
    }
    window->openFiles(files);
    ui->nameField->setText(QStringLiteral("[N]_[C]"));
    window->controlTextDidChange();
    QTest::keyClick(ui->stepCounterBox, Qt::Key_Up); // step 2
    ui->startCounterBox->setValue(-3);
    ui->digitsCounterBox->setValue(3);
    QCOMPARE(window->stepCounter(), 2);
    QCOMPARE(window->startCounter(), -3);
    QCOMPARE(window->digitsCounter(), 3);
    ui->casePopup->setCurrentIndex(1);
    QCOMPARE(cell(0, FileTableModel::NewNameColumn), QStringLiteral("ab_-03.txt"));
    QCOMPARE(cell(2, FileTableModel::NewNameColumn), QStringLiteral("ef_001.txt"));
}

// ---- the list -------------------------------------------------------------

void tst_VLNWindow::dropFolderAndUndecodableName()
{
    VLNWindow *window = makeWindow(true);
    const QByteArray root = QFile::encodeName(m_dir->path());
    const QByteArray folder = root + "/photos";
    QCOMPARE(::mkdir(folder.constData(), 0755), 0);
    writeFile(folder + "/one.jpg", 3);
    const QByteArray odd = root + "/caf\xe9 \xff.txt"; // Latin-1 bytes, not UTF-8
    writeFile(odd, 5);

    QMimeData data;
    data.setUrls({urlOfBytes(odd), urlOfBytes(folder)});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    QVERIFY(enter.isAccepted());
    QCOMPARE(enter.dropAction(), Qt::LinkAction);
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
    QVERIFY(drop.isAccepted());

    QCOMPARE(window->fileList()->count(), 2);
    QCOMPARE(window->ui()->totalLabel->text(), QStringLiteral("2 files"));
    QCOMPARE(window->fileList()->fileAtIndex(0)->nativePath(), odd);
    QCOMPARE(window->fileList()->fileAtIndex(1)->nativePath(), folder + "/one.jpg");
    QCOMPARE(cell(0, FileTableModel::OldNameColumn), QStringLiteral("caf\uFFFD \uFFFD.txt"));
    // QTemporaryDir cannot see this name to remove it.
    QCOMPARE(::unlink(odd.constData()), 0);
}

void tst_VLNWindow::dropOfTextOnlyAddsNothing()
{
    VLNWindow *window = makeWindow(true);
    QMimeData data;
    data.setText(QStringLiteral("/etc/hostname"));
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    QVERIFY(!enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
    QCOMPARE(window->fileList()->count(), 0);
}

void tst_VLNWindow::addPanelKeepsBytes()
{
    VLNWindow *window = makeWindow(true);
    const QByteArray root = QFile::encodeName(m_dir->path());
    writeFile(root + "/b.txt", 2);
    writeFile(root + "/a \xc3\xa9t\xc3\xa9 #1%.txt", 3); // UTF-8, with URL delimiters

    window->clickAdd();
    auto *panel = window->findChild<QFileDialog *>();
    QVERIFY(panel);
    QCOMPARE(panel->fileMode(), QFileDialog::ExistingFiles);
    panel->setDirectory(QFile::decodeName(root));
    auto *nameEdit = panel->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    QVERIFY(nameEdit);
    nameEdit->setText(QStringLiteral("\"b.txt\" \"a \u00e9t\u00e9 #1%.txt\""));
    QMetaObject::invokeMethod(panel, "accept");
    QCOMPARE(window->fileList()->count(), 2);
    QCOMPARE(window->ui()->totalLabel->text(), QStringLiteral("2 files"));
    QCOMPARE(window->fileList()->fileAtIndex(0)->nativePath(), root + "/b.txt");
    QCOMPARE(window->fileList()->fileAtIndex(1)->nativePath(),
             root + "/a \xc3\xa9t\xc3\xa9 #1%.txt");
    QCOMPARE(window->fileList()->fileAtIndex(1)->size(), QStringLiteral("3"));
}

void tst_VLNWindow::openFilesSkipsMissing()
{
    VLNWindow *window = makeWindow(true);
    const QByteArray root = QFile::encodeName(m_dir->path());
    writeFile(root + "/b.txt");
    QCOMPARE(::mkdir((root + "/folder").constData(), 0755), 0);
    writeFile(root + "/folder/a.txt");
    window->openFiles({root + "/b.txt", root + "/gone.txt", root + "/folder", root + "/b.txt"});
    QCOMPARE(window->fileList()->count(), 2);
    QCOMPARE(cell(0, FileTableModel::OldNameColumn), QStringLiteral("b.txt"));
    QCOMPARE(cell(1, FileTableModel::OldNameColumn), QStringLiteral("a.txt"));
    QCOMPARE(window->ui()->totalLabel->text(), QStringLiteral("2 files"));
}

void tst_VLNWindow::headerClicks()
{
    VLNWindow *window = makeWindow(true);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QByteArray root = QFile::encodeName(m_dir->path());
    // Added in this order: big, small, middle.
    writeFile(root + "/b.txt", 300);
    writeFile(root + "/c.txt", 100);
    writeFile(root + "/a.txt", 200);
    window->openFiles({root + "/b.txt", root + "/c.txt", root + "/a.txt"});
    QHeaderView *header = window->ui()->tableView->horizontalHeader();
    auto click = [&](int column) {
        const QPoint at(header->sectionViewportPosition(column) + 10, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    };
    auto names = [&] {
        QStringList list;
        for (int row = 0; row < 3; ++row)
            list << cell(row, FileTableModel::OldNameColumn);
        return list.join(QLatin1Char(' '));
    };
    struct Step
    {
        int column;
        QString names;
        int indicator;
        Qt::SortOrder order;
    };
    const Step steps[] = {
        // Old Name carries the indicator from the start: a click only flips.
        {FileTableModel::OldNameColumn, QStringLiteral("a.txt c.txt b.txt"),
         FileTableModel::OldNameColumn, Qt::DescendingOrder},
        {FileTableModel::OldNameColumn, QStringLiteral("b.txt c.txt a.txt"),
         FileTableModel::OldNameColumn, Qt::AscendingOrder},
        {FileTableModel::SizeColumn, QStringLiteral("c.txt a.txt b.txt"),
         FileTableModel::SizeColumn, Qt::AscendingOrder},
        {FileTableModel::SizeColumn, QStringLiteral("b.txt a.txt c.txt"),
         FileTableModel::SizeColumn, Qt::DescendingOrder},
        // New Name never sorts, and the indicator stays where it was.
        {FileTableModel::NewNameColumn, QStringLiteral("b.txt a.txt c.txt"),
         FileTableModel::SizeColumn, Qt::DescendingOrder},
        {FileTableModel::OldNameColumn, QStringLiteral("a.txt b.txt c.txt"),
         FileTableModel::OldNameColumn, Qt::AscendingOrder},
    };
    for (const Step &step : steps) {
        window->ui()->tableView->selectRow(1);
        click(step.column);
        QCOMPARE(names(), step.names);
        QCOMPARE(header->sortIndicatorSection(), step.indicator);
        QCOMPARE(header->sortIndicatorOrder(), step.order);
        QVERIFY(!window->ui()->tableView->selectionModel()->hasSelection());
    }
}

void tst_VLNWindow::removeAndClearAll()
{
    VLNWindow *window = makeWindow(true);
    Ui::VLNWindow *ui = window->ui();
    const QByteArray root = QFile::encodeName(m_dir->path());
    for (const char *name : {"a", "b", "c", "d"})
        writeFile(root + '/' + name);
    window->openFiles({root + "/a", root + "/b", root + "/c", root + "/d"});
    QTest::mouseClick(ui->removeButton, Qt::LeftButton); // nothing selected
    QCOMPARE(window->fileList()->count(), 4);
    // Rows 0 and 2 of the reversed view: d and b.
    window->fileList()->setSortDescending(true);
    window->updateResults();
    ui->tableView->selectionModel()->select(
        window->tableModel()->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ui->tableView->selectionModel()->select(
        window->tableModel()->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::mouseClick(ui->removeButton, Qt::LeftButton);
    QCOMPARE(ui->totalLabel->text(), QStringLiteral("2 files"));
    QCOMPARE(cell(0, FileTableModel::OldNameColumn), QStringLiteral("c"));
    QCOMPARE(cell(1, FileTableModel::OldNameColumn), QStringLiteral("a"));
    QTest::mouseClick(ui->clearAllButton, Qt::LeftButton);
    QCOMPARE(ui->totalLabel->text(), QStringLiteral("No files"));
    QVERIFY(window->fileList()->sortDescending());
}

void tst_VLNWindow::showRevealsSelection()
{
    VLNWindow *window = makeWindow(true);
    Ui::VLNWindow *ui = window->ui();
    QList<QList<QByteArray>> revealed;
    window->setRevealHandler([&](const QList<QByteArray> &paths) { revealed.append(paths); });
    QTest::mouseClick(ui->showButton, Qt::LeftButton);
    QCOMPARE(revealed.size(), 0); // empty list: nothing at all

    const QByteArray root = QFile::encodeName(m_dir->path());
    writeFile(root + "/x");
    writeFile(root + "/y");
    window->openFiles({root + "/x", root + "/y"});
    QTest::mouseClick(ui->showButton, Qt::LeftButton);
    QCOMPARE(revealed.size(), 1);
    QVERIFY(revealed.last().isEmpty()); // the file manager comes forward, nothing selected
    ui->tableView->selectAll();
    QTest::mouseClick(ui->showButton, Qt::LeftButton);
    QCOMPARE(revealed.last(), (QList<QByteArray>{root + "/x", root + "/y"}));
}

void tst_VLNWindow::fileUrisKeepBytes()
{
    QCOMPARE(FileManager::fileUris({QByteArray("/tmp/caf\xe9 #1.txt"), QByteArray("/a/b")}),
             (QStringList{QStringLiteral("file:///tmp/caf%E9%20%231.txt"),
                          QStringLiteral("file:///a/b")}));
}

// ---- the rename run -------------------------------------------------------

void tst_VLNWindow::startRenamesAndShowsSheet()
{
    VLNWindow *window = makeWindow(true);
    Ui::VLNWindow *ui = window->ui();
    ScriptedPrompt prompt;
    window->setAccessPrompt(&prompt);
    const QByteArray root = QFile::encodeName(m_dir->path());
    writeFile(root + "/one.txt");
    writeFile(root + "/two.txt");
    window->openFiles({root + "/one.txt", root + "/two.txt"});

    QTest::mouseClick(ui->startButton, Qt::LeftButton);
    QCOMPARE(prompt.proposals, QList<QByteArray>{root}); // asked, declined: nothing happens
    QVERIFY(!window->reportSheet());
    QVERIFY(exists(root + "/one.txt"));

    prompt.answer = root;
    ui->nameField->setText(QStringLiteral("[C]-[N]"));
    window->controlTextDidChange();
    QTest::mouseClick(ui->startButton, Qt::LeftButton);
    QVERIFY(exists(root + "/1-one.txt"));
    QVERIFY(exists(root + "/2-two.txt"));
    QVERIFY(!exists(root + "/one.txt"));
    QCOMPARE(window->fileList()->fileAtIndex(1)->nativePath(), root + "/2-two.txt");
    QCOMPARE(window->fileList()->fileAtIndex(1)->name(), QStringLiteral("2-two.txt"));

    QMessageBox *sheet = window->reportSheet();
    QVERIFY(sheet);
    QVERIFY(sheet->isVisible());
    QCOMPARE(sheet->windowModality(), Qt::WindowModal);
    QCOMPARE(sheet->text(), QStringLiteral("2 files renamed successfully."));
    QCOMPARE(sheet->informativeText(), QString());
    // The table shows the new names, the preview applied to them afresh, and
    // the count keeps its text.
    QCOMPARE(cell(0, FileTableModel::OldNameColumn), QStringLiteral("1-one.txt"));
    QCOMPARE(cell(0, FileTableModel::NewNameColumn), QStringLiteral("1-1-one.txt"));
    QCOMPARE(cell(0, FileTableModel::LocationColumn),
             QFile::decodeName(root) + QStringLiteral("/1-one.txt"));
    QCOMPARE(ui->totalLabel->text(), QStringLiteral("2 files"));
    sheet->accept();

    // The grant is kept: a second run over the same folder does not ask.
    QTest::mouseClick(ui->startButton, Qt::LeftButton);
    QCOMPARE(prompt.proposals.size(), 2);
    QVERIFY(exists(root + "/1-1-one.txt"));
}

void tst_VLNWindow::startDeclinedChangesNothing()
{
    VLNWindow *window = makeWindow(true);
    ScriptedPrompt prompt;
    window->setAccessPrompt(&prompt);
    QTest::mouseClick(window->ui()->startButton, Qt::LeftButton); // empty list
    QVERIFY(prompt.proposals.isEmpty());
    const QByteArray root = QFile::encodeName(m_dir->path());
    writeFile(root + "/x.txt");
    window->openFiles({root + "/x.txt"});
    window->ui()->nameField->setText(QStringLiteral("y"));
    window->controlTextDidChange();
    window->clickStart();
    QCOMPARE(prompt.alerts.size(), 1);
    QVERIFY(exists(root + "/x.txt"));
    QVERIFY(!window->reportSheet());
    QCOMPARE(cell(0, FileTableModel::OldNameColumn), QStringLiteral("x.txt"));
}

void tst_VLNWindow::grantDialogShowsMessage()
{
    QWidget parent;
    DialogAccessPrompt prompt(&parent);
    const QByteArray folder = QFile::encodeName(m_dir->path());
    QString title, accept, message;
    Qt::WindowModality modality = Qt::NonModal;
    bool confirm = true;
    std::function<void()> answer;
    answer = [&] {
        auto *panel = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!panel) {
            QTimer::singleShot(20, answer);
            return;
        }
        title = panel->windowTitle();
        accept = panel->labelText(QFileDialog::Accept);
        modality = panel->windowModality();
        if (auto *label = panel->findChild<QLabel *>(QStringLiteral("accessMessage")))
            message = label->isVisible() ? label->text() : QString();
        if (confirm)
            QMetaObject::invokeMethod(panel, "accept");
        else
            panel->reject();
    };
    QTimer::singleShot(0, answer);
    const auto chosen = prompt.chooseFolder(
        QStringLiteral("Filesystem Access"), QStringLiteral("Allow Access"),
        QStringLiteral("Click Allow Access to grant Velnor permission to rename the files."),
        folder);
    QCOMPARE(title, QStringLiteral("Filesystem Access"));
    QCOMPARE(accept, QStringLiteral("Allow Access"));
    QCOMPARE(message,
             QStringLiteral("Click Allow Access to grant Velnor permission to rename the files."));
    QCOMPARE(modality, Qt::ApplicationModal);
    QCOMPARE(chosen, std::optional<QByteArray>(folder));

    confirm = false;
    QTimer::singleShot(0, answer);
    QCOMPARE(prompt.chooseFolder(QString(), QString(), QString(), folder), std::nullopt);

    QString alertText;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        alertText = box->text();
        QCOMPARE(box->buttons().size(), 1);
        box->accept();
    });
    prompt.alert(QStringLiteral("You need to allow access for Velnor to work properly."));
    QCOMPARE(alertText, QStringLiteral("You need to allow access for Velnor to work properly."));
}

void tst_VLNWindow::iconsByType()
{
    ZQFile folder;
    folder.setIsSpecial(true);
    folder.setIsDirectory(true);
    folder.setFullPath(QStringLiteral("/nowhere/at/all"));
    QCOMPARE(image(folder).pixmap(16).toImage(),
             QFileIconProvider().icon(QFileIconProvider::Folder).pixmap(16).toImage());

    ZQFile jpeg;
    jpeg.setName(QStringLiteral("a.jpg"));
    ZQFile other;
    other.setName(QStringLiteral("B.JPG"));
    QVERIFY(!image(jpeg).isNull());
    // One icon per extension, whatever its case.
    QCOMPARE(image(jpeg).cacheKey(), image(other).cacheKey());
}

QTEST_MAIN(tst_VLNWindow)
#include "tst_vlnwindow.moc"
