// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/metacontrols.h"

#include "ui_vlnwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

using Source = RenameSettings::DateSource;

QVariant dataOf(const QList<Source> &sources)
{
    QVariantList list;
    for (const Source source : sources)
        list << int(source);
    return list;
}

// The modification date always has a value: sources after it are never
// reached, and it alone is the default.
QList<Source> reachable(QList<Source> sources)
{
    const qsizetype modified = sources.indexOf(Source::Modified);
    if (modified >= 0)
        sources.resize(modified + 1);
    if (sources == QList<Source>{Source::Modified})
        sources.clear();
    return sources;
}

} // namespace

MetaControls::MetaControls(Ui::VLNWindow *ui, QWidget *window)
    : QObject(window), m_window(window), m_hour24(new QCheckBox(tr("24-hour c&lock"), window)),
      m_datesFrom(new QComboBox(window)), m_metadata(new QPushButton(tr("Metadata"), window)),
      m_menu(new QMenu(m_metadata))
{
    m_hour24->setObjectName(QStringLiteral("hour24Box"));
    m_hour24->setToolTip(tr("Write the hour of the time tokens as 00 to 23"));
    m_metadata->setObjectName(QStringLiteral("metadataButton"));
    // Every letter of its name is taken by a control always there: a
    // shortcut instead of a mnemonic.
    m_metadata->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    m_metadata->setToolTip(tr("Append a value from inside the file: camera, song, any field (%1)")
                               .arg(m_metadata->shortcut().toString(QKeySequence::NativeText)));
    m_menu->setObjectName(QStringLiteral("metadataMenu"));
    m_metadata->setMenu(m_menu);
    const int after = ui->section1Tokens->indexOf(ui->timeTokenButton) + 1;
    ui->section1Tokens->insertWidget(after, m_hour24);
    ui->section1Tokens->insertWidget(after + 1, m_metadata);

    // Each item says the sources in the order they are tried.
    m_datesFrom->setObjectName(QStringLiteral("datesFromPopup"));
    m_datesFrom->setToolTip(tr("Where the date and time tokens, the Date column and the sort by "
                               "date take each file's date from; the first source that has a "
                               "date gives it. A file without one is not renamed."));
    for (const QList<Source> &sources :
         QList<QList<Source>>{{},
                              {Source::Taken, Source::Modified},
                              {Source::Taken, Source::Created, Source::Modified},
                              {Source::Created, Source::Modified},
                              {Source::Taken},
                              {Source::Created}})
        addSourcesItem(sources);
    auto *label = new QLabel(tr("Dates from:"), window);
    label->setBuddy(m_datesFrom);
    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_datesFrom);
    row->addStretch();
    ui->section1Layout->addLayout(row);

    // The tokens, as the name field reads them; the titles say what they are.
    const auto add = [this](const QString &token, const QString &title) {
        QAction *action = m_menu->addAction(token + u' ' + title);
        connect(action, &QAction::triggered, this, [this, token] { emit tokenChosen(token); });
    };
    m_menu->addSection(tr("Photos and videos"));
    add(QStringLiteral("[Make]"), tr("Camera mak&er"));
    add(QStringLiteral("[Model]"), tr("Camera &model"));
    add(QStringLiteral("[Lens]"), tr("&Lens"));
    add(QStringLiteral("[Width]"), tr("&Width"));
    add(QStringLiteral("[Height]"), tr("&Height"));
    m_menu->addSection(tr("Audio"));
    add(QStringLiteral("[Artist]"), tr("&Artist"));
    add(QStringLiteral("[AlbumArtist]"), tr("Album a&rtist"));
    add(QStringLiteral("[Album]"), tr("Al&bum"));
    add(QStringLiteral("[Title]"), tr("&Title"));
    add(QStringLiteral("[Track]"), tr("Track &number"));
    add(QStringLiteral("[Disc]"), tr("&Disc number"));
    add(QStringLiteral("[Year]"), tr("&Year"));
    add(QStringLiteral("[Genre]"), tr("&Genre"));
    m_menu->addSeparator();
    QAction *other = m_menu->addAction(tr("Other &Field…"));
    other->setObjectName(QStringLiteral("actionOtherField"));
    connect(other, &QAction::triggered, this, &MetaControls::askForKey);

    QWidget::setTabOrder(ui->timeTokenButton, m_hour24);
    QWidget::setTabOrder(m_hour24, m_metadata);
    QWidget::setTabOrder(m_metadata, m_datesFrom);
    connect(m_hour24, &QCheckBox::toggled, this, &MetaControls::changed);
    connect(m_datesFrom, &QComboBox::currentIndexChanged, this, &MetaControls::changed);
}

QString MetaControls::sourcesText(const QList<RenameSettings::DateSource> &sources)
{
    QStringList names;
    for (const Source source : sources) {
        switch (source) {
        case Source::Modified:
            names << tr("modified");
            break;
        case Source::Created:
            names << tr("created");
            break;
        case Source::Taken:
            names << tr("taken");
            break;
        }
    }
    if (names.isEmpty())
        names << tr("modified");
    QString text = names.join(tr(", else ", "between date sources"));
    text[0] = text[0].toUpper();
    return text;
}

void MetaControls::addSourcesItem(const QList<RenameSettings::DateSource> &sources)
{
    m_datesFrom->addItem(sourcesText(sources), dataOf(sources));
}

void MetaControls::apply(RenameSettings &settings) const
{
    settings.hour24 = m_hour24->isChecked();
    settings.dateSources.clear();
    for (const QVariant &source : m_datesFrom->currentData().toList())
        settings.dateSources << Source(source.toInt());
}

void MetaControls::setSettings(const RenameSettings &settings)
{
    const QSignalBlocker hour24(m_hour24);
    const QSignalBlocker datesFrom(m_datesFrom);
    m_hour24->setChecked(settings.hour24);
    const QList<Source> sources = reachable(settings.dateSources);
    // A list of sources that no item offers (from a preset) gets its own.
    int item = m_datesFrom->findData(dataOf(sources));
    if (item < 0) {
        addSourcesItem(sources);
        item = m_datesFrom->count() - 1;
    }
    m_datesFrom->setCurrentIndex(item);
}

bool MetaControls::isUsableKey(const QString &key)
{
    static const QString forbidden = QStringLiteral("[]|");
    if (key.isEmpty())
        return false;
    for (const QChar c : key) {
        if (forbidden.contains(c) || c.category() == QChar::Other_Control || c.isSpace())
            return false;
    }
    return true;
}

void MetaControls::askForKey()
{
    if (m_keyDialog)
        return;
    auto *dialog = new QInputDialog(m_window);
    dialog->setObjectName(QStringLiteral("metaKeyDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(tr("Other Field"));
    dialog->setLabelText(tr("The field's key: an Exif, IPTC or XMP key such as "
                            "Exif.Photo.FNumber or Xmp.dc.title, or an audio tag such as "
                            "COMPOSER."));
    m_keyDialog = dialog;
    connect(dialog, &QInputDialog::finished, this, [this, dialog](int result) {
        m_keyDialog = nullptr;
        const QString key = dialog->textValue().trimmed();
        if (result == QDialog::Accepted && isUsableKey(key))
            emit tokenChosen(QStringLiteral("[meta:%1]").arg(key));
    });
    dialog->open();
}
