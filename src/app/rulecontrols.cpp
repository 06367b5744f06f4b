// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rulecontrols.h"

#include "rules/namecomposer.h"
#include "rules/renamesettings.h"
#include "ui_vlnwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

// Qt has no palette role for errors: a red that keeps its contrast on the
// window's own background, light or dark.
QColor errorColour(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightness() < 128 ? QColor(0xff, 0x6b, 0x68)
                                                             : QColor(0xc0, 0x1c, 0x28);
}

} // namespace

RuleControls::RuleControls(Ui::VLNWindow *ui, QMainWindow *window) : QObject(window), m_ui(ui)
{
    ui->casePopup->setItemData(0, int(RenameSettings::KeepCase));
    ui->casePopup->setItemData(1, int(RenameSettings::LowerCase));
    ui->casePopup->setItemData(2, int(RenameSettings::UpperCase));
    // Search and replace: the two check boxes in a row under the fields,
    // the pattern's error under them.
    m_regexBox = new QCheckBox(tr("Regular e&xpression"), ui->section3Box);
    m_regexBox->setObjectName(QStringLiteral("regexBox"));
    m_regexBox->setToolTip(tr("Search with a Perl-compatible pattern; the replacement may use "
                              "$0, $1 to $99, ${name} and $$"));
    m_ignoreCaseBox = new QCheckBox(tr("I&gnore case"), ui->section3Box);
    m_ignoreCaseBox->setObjectName(QStringLiteral("ignoreCaseBox"));
    auto *options = new QHBoxLayout;
    options->addWidget(m_regexBox);
    options->addWidget(m_ignoreCaseBox);
    options->addStretch();
    ui->section3Layout->addRow(options);
    m_searchError = new QLabel(ui->section3Box);
    m_searchError->setObjectName(QStringLiteral("searchErrorLabel"));
    m_searchError->setWordWrap(true);
    m_searchError->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette palette = m_searchError->palette();
    palette.setColor(QPalette::WindowText, errorColour(palette));
    m_searchError->setPalette(palette);
    m_searchError->hide();
    ui->section3Layout->addRow(m_searchError);

    ui->casePopup->addItem(tr("Title Case"), int(RenameSettings::TitleCase));
    ui->casePopup->addItem(tr("Sentence case"), int(RenameSettings::SentenceCase));

    m_perFolderBox = new QCheckBox(tr("Restart in each fol&der"), ui->section5Box);
    m_perFolderBox->setObjectName(QStringLiteral("perFolderBox"));
    m_perFolderBox->setToolTip(tr("Count each file among the files of its own folder"));
    ui->section5Layout->addRow(m_perFolderBox);
    m_companionsBox = new QCheckBox(tr("Keep companion files &together"), ui->section5Box);
    m_companionsBox->setObjectName(QStringLiteral("companionsBox"));
    m_companionsBox->setToolTip(
        tr("Files that share a name up to a dot (IMG_0412.CR3, IMG_0412.JPG, IMG_0412.xmp) "
           "move as one: the first takes the new name and counts once, the others follow it "
           "with their own extensions"));
    ui->section5Layout->addRow(m_companionsBox);

    m_asciiBox = new QCheckBox(tr("Plain ASCII onl&y"), ui->section4Box);
    m_asciiBox->setObjectName(QStringLiteral("asciiBox"));
    m_asciiBox->setToolTip(tr("After the other rules, letters lose their accents and other "
                              "scripts are written in Latin letters: Café Zürich becomes "
                              "Cafe Zurich"));
    // Right under the pop-up, above the box's stretch.
    ui->section4Layout->insertWidget(1, m_asciiBox);

    m_uniqueBox = new QCheckBox(tr("Make names uni&que"), ui->section5Box);
    m_uniqueBox->setObjectName(QStringLiteral("uniqueBox"));
    m_uniqueBox->setToolTip(tr("A new name that is taken gets \" (2)\", \" (3)\", … before its "
                               "extension, the first number free in its folder"));
    ui->section5Layout->addRow(m_uniqueBox);

    m_makeFoldersBox = new QCheckBox(tr("Allow / to make fol&ders"), ui->section5Box);
    m_makeFoldersBox->setObjectName(QStringLiteral("makeFoldersBox"));
    m_makeFoldersBox->setToolTip(
        tr("Each / in the new name is a folder below the file's own, made where it is missing: "
           "[Y]/[M]/[N] moves Trip/IMG_0412.JPG to Trip/2024/05/IMG_0412.JPG"));
    ui->section5Layout->addRow(m_makeFoldersBox);

    m_rowsPopup = new QComboBox(ui->section5Box);
    m_rowsPopup->setObjectName(QStringLiteral("rowsPopup"));
    m_rowsPopup->addItem(tr("Files"), int(RenameSettings::Rows::Files));
    m_rowsPopup->addItem(tr("Folders"), int(RenameSettings::Rows::Folders));
    m_rowsPopup->addItem(tr("Files and Folders"), int(RenameSettings::Rows::FilesAndFolders));
    m_rowsPopup->setToolTip(tr("What the folders added from now on list: their files, the "
                               "folders themselves and every folder below them, or both"));
    // Above the box it greys out, and the other way round; the row beside
    // the list has no room left in a narrow window.
    int makeFoldersRow = 0;
    QFormLayout::ItemRole role;
    ui->section5Layout->getWidgetPosition(m_makeFoldersBox, &makeFoldersRow, &role);
    ui->section5Layout->insertRow(makeFoldersRow, tr("Rename:"), m_rowsPopup);
    connect(m_rowsPopup, &QComboBox::currentIndexChanged, this, [this] {
        greyFolderChoices();
        emit changed();
    });
    connect(m_makeFoldersBox, &QCheckBox::toggled, this, &RuleControls::greyFolderChoices);

    m_folderToken = new QPushButton(tr("[P] Directory"), ui->section1Box);
    m_folderToken->setObjectName(QStringLiteral("folderTokenButton"));
    m_folderToken->setToolTip(
        tr("Append the name of the file's folder ([P2] the folder above it, and so on)"));
    ui->section1Tokens->addWidget(m_folderToken);
    connect(m_folderToken, &QPushButton::clicked, this, [this] {
        m_ui->nameField->setText(m_ui->nameField->text() + QStringLiteral("[P]"));
        emit changed();
    });

    // Tab reaches each box with its section.
    QWidget::setTabOrder(ui->replaceField, m_regexBox);
    QWidget::setTabOrder(m_regexBox, m_ignoreCaseBox);
    QWidget::setTabOrder(ui->digitsCounterBox, m_perFolderBox);
    QWidget::setTabOrder(m_perFolderBox, m_uniqueBox);
    QWidget::setTabOrder(m_uniqueBox, m_rowsPopup);
    QWidget::setTabOrder(m_rowsPopup, m_makeFoldersBox);
    QWidget::setTabOrder(m_makeFoldersBox, m_companionsBox);
    QWidget::setTabOrder(ui->casePopup, m_asciiBox);
    QWidget::setTabOrder(ui->timeTokenButton, m_folderToken);

    for (QCheckBox *box : {m_regexBox, m_ignoreCaseBox, m_perFolderBox, m_uniqueBox,
                           m_makeFoldersBox, m_companionsBox, m_asciiBox})
        connect(box, &QCheckBox::toggled, this, &RuleControls::changed);

    m_viewMenu = new QMenu(tr("&View"), window);
    m_viewMenu->setObjectName(QStringLiteral("menuView"));
    m_naturalOrder = m_viewMenu->addAction(tr("&Natural Order"));
    m_naturalOrder->setObjectName(QStringLiteral("actionNaturalOrder"));
    m_naturalOrder->setCheckable(true);
    m_naturalOrder->setToolTip(tr("Sort names and locations with numbers by value: 2 before 10"));
    connect(m_naturalOrder, &QAction::toggled, this, &RuleControls::naturalOrderToggled);
    window->menuBar()->insertMenu(ui->menuWindow->menuAction(), m_viewMenu);
}

RenameSettings RuleControls::settings(qint32 start, qint32 step, qint32 digits) const
{
    RenameSettings settings;
    settings.nameTemplate = m_ui->nameField->text();
    settings.extTemplate = m_ui->extField->text();
    settings.searchText = m_ui->searchField->text();
    settings.replaceText = m_ui->replaceField->text();
    settings.caseTag = m_ui->casePopup->currentData().toInt();
    settings.startCounter = start;
    settings.stepCounter = step;
    settings.digitsCounter = digits;
    settings.regex = m_regexBox->isChecked();
    settings.ignoreCase = m_ignoreCaseBox->isChecked();
    settings.counterPerFolder = m_perFolderBox->isChecked();
    settings.companions = m_companionsBox->isChecked();
    settings.plainAscii = m_asciiBox->isChecked();
    settings.uniqueNames = m_uniqueBox->isChecked();
    settings.makeFolders = m_makeFoldersBox->isChecked();
    settings.rows = RenameSettings::Rows(m_rowsPopup->currentData().toInt());
    return settings;
}

void RuleControls::setSettings(const RenameSettings &settings)
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
    const QSignalBlocker regex(m_regexBox);
    const QSignalBlocker ignoreCase(m_ignoreCaseBox);
    const QSignalBlocker perFolder(m_perFolderBox);
    const QSignalBlocker companions(m_companionsBox);
    const QSignalBlocker ascii(m_asciiBox);
    m_regexBox->setChecked(settings.regex);
    m_ignoreCaseBox->setChecked(settings.ignoreCase);
    m_perFolderBox->setChecked(settings.counterPerFolder);
    m_companionsBox->setChecked(settings.companions);
    m_asciiBox->setChecked(settings.plainAscii);
    const QSignalBlocker unique(m_uniqueBox);
    m_uniqueBox->setChecked(settings.uniqueNames);
    const QSignalBlocker makeFolders(m_makeFoldersBox);
    m_makeFoldersBox->setChecked(settings.makeFolders);
    const QSignalBlocker rows(m_rowsPopup);
    m_rowsPopup->setCurrentIndex(qMax(0, m_rowsPopup->findData(int(settings.rows))));
    greyFolderChoices();
}

void RuleControls::greyFolderChoices()
{
    m_makeFoldersBox->setEnabled(m_rowsPopup->currentIndex() == 0);
    m_rowsPopup->setEnabled(!m_makeFoldersBox->isChecked());
}

void RuleControls::showSearchFault(const NameComposer &composer)
{
    if (composer.searchIsValid()) {
        m_searchError->hide();
        m_searchError->clear();
        return;
    }
    const PatternSearch &pattern = composer.pattern();
    const QString text =
        pattern.fault() == PatternSearch::Fault::Pattern
            ? tr("Invalid regular expression: %1 at offset %2. Names are not searched.")
            : tr("Replacement: %1 at offset %2. Names are not searched.");
    m_searchError->setText(text.arg(pattern.errorString()).arg(pattern.errorOffset()));
    m_searchError->show();
}
