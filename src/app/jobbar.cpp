// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/jobbar.h"

#include "app/elidedtext.h"
#include "files/counttext.h"
#include "posix/textescape.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

JobBar::JobBar(QWidget *parent)
    : QWidget(parent), m_notice(new ElidedLabel(this)), m_incomplete(new ElidedLabel(this)),
      m_label(new ElidedLabel(this)), m_progress(new QProgressBar(this)),
      m_cancel(new QPushButton(tr("Cancel"), this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_notice);
    layout->addWidget(m_incomplete);
    // The progress at the right, under Start Renaming.
    layout->addStretch();
    layout->addWidget(m_label);
    layout->addWidget(m_progress);
    layout->addWidget(m_cancel);
    m_notice->setObjectName(QStringLiteral("unreadableNotice"));
    m_incomplete->setObjectName(QStringLiteral("incompleteNotice"));
    m_label->setObjectName(QStringLiteral("jobLabel"));
    m_progress->setObjectName(QStringLiteral("jobProgress"));
    m_cancel->setObjectName(QStringLiteral("cancelJobButton"));
    // Quiet: the notice is there to be found, not to alarm.
    m_notice->setForegroundRole(QPalette::PlaceholderText);
    m_incomplete->setForegroundRole(QPalette::PlaceholderText);
    m_progress->setTextVisible(false);
    // The busy bar of a listing moves sixty times a second; drawn on a
    // background of the bar's own, it repaints only the bar, not the window
    // behind it.
    setAutoFillBackground(true);
    m_progress->setFixedWidth(120);
    // Escape rather than a mnemonic: the button shows only while a job runs,
    // and every letter of its name is taken by a button always there.
    m_cancel->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(m_cancel, &QPushButton::clicked, this, &JobBar::cancelClicked);
    m_notice->hide();
    m_incomplete->hide();
    showIdle();
}

void JobBar::showListing(qsizetype found)
{
    m_label->setText(tr("%1 files found").arg(CountText::number(found)));
    // A busy bar: the total is not known until the walk ends.
    m_progress->setRange(0, 0);
    m_label->show();
    m_progress->show();
    m_cancel->show();
    showWhenTelling();
}

void JobBar::showRun(qsizetype done, qsizetype total)
{
    m_label->setText(
        tr("Renaming %1 of %2").arg(CountText::number(done), CountText::number(total)));
    showFraction(done, total);
}

void JobBar::showUndo(qsizetype done, qsizetype total, bool redo)
{
    const QString counts[] = {CountText::number(done), CountText::number(total)};
    m_label->setText(redo ? tr("Redoing %1 of %2").arg(counts[0], counts[1])
                          : tr("Undoing %1 of %2").arg(counts[0], counts[1]));
    showFraction(done, total);
}

void JobBar::showFacts(qsizetype done, qsizetype total)
{
    m_label->setText(
        tr("Reading metadata %1 of %2").arg(CountText::number(done), CountText::number(total)));
    showFraction(done, total);
}

void JobBar::showFraction(qsizetype done, qsizetype total)
{
    // The bar counts in thousandths, so that any total fits an int.
    m_progress->setRange(0, 1000);
    m_progress->setValue(total > 0 ? int(done * 1000 / total) : 0);
    m_label->show();
    m_progress->show();
    m_cancel->show();
    showWhenTelling();
}

void JobBar::showIdle()
{
    m_label->hide();
    m_progress->hide();
    m_cancel->hide();
    m_label->clear();
    showWhenTelling();
}

void JobBar::showWhenTelling()
{
    // A line of its own, there only while it has something to tell: in the
    // row of the buttons, German and French texts leave it no room.
    setVisible(!m_notice->isHidden() || !m_incomplete->isHidden() || !m_label->isHidden());
}

void JobBar::setUnreadableFolders(const QByteArrayList &folders)
{
    if (folders.isEmpty()) {
        m_notice->hide();
        m_notice->clear();
        m_notice->setToolTip(QString());
        showWhenTelling();
        return;
    }
    m_notice->setText(
        folders.size() == 1
            ? tr("1 folder could not be read")
            : tr("%1 folders could not be read").arg(CountText::number(folders.size())));
    QStringList lines;
    for (const QByteArray &folder : folders)
        lines << TextEscape::path(folder);
    m_notice->setToolTip(lines.join(u'\n'));
    m_notice->show();
    showWhenTelling();
}

void JobBar::setListingCancelled(qsizetype listed)
{
    if (listed < 0) {
        m_incomplete->hide();
        m_incomplete->clear();
        m_incomplete->setToolTip(QString());
        showWhenTelling();
        return;
    }
    m_incomplete->setText(CountText::numerus(
        "JobBar",
        QT_TRANSLATE_N_NOOP("JobBar", "Cancelled: %n file(s) listed, the list is incomplete"),
        listed, "Cancelled: %n file listed, the list is incomplete",
        "Cancelled: %n files listed, the list is incomplete"));
    m_incomplete->setToolTip(m_incomplete->text());
    m_incomplete->show();
    showWhenTelling();
}

QString JobBar::incompleteText() const
{
    return m_incomplete->isHidden() ? QString() : m_incomplete->text();
}

QString JobBar::progressText() const
{
    return m_label->isHidden() ? QString() : m_label->text();
}

QString JobBar::noticeText() const
{
    return m_notice->isHidden() ? QString() : m_notice->text();
}

bool JobBar::isShowingProgress() const
{
    return !m_progress->isHidden();
}
