// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/jobbar.h"

#include "posix/textescape.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>

JobBar::JobBar(QWidget *parent)
    : QWidget(parent), m_notice(new QLabel(this)), m_label(new QLabel(this)),
      m_progress(new QProgressBar(this)), m_cancel(new QPushButton(tr("Cancel"), this))
{
    auto *layout = new QHBoxLayout(this);
    // Apart from the count label before it.
    layout->setContentsMargins(12, 0, 0, 0);
    layout->addWidget(m_notice);
    layout->addWidget(m_label);
    layout->addWidget(m_progress);
    layout->addWidget(m_cancel);
    m_notice->setObjectName(QStringLiteral("unreadableNotice"));
    m_label->setObjectName(QStringLiteral("jobLabel"));
    m_progress->setObjectName(QStringLiteral("jobProgress"));
    m_cancel->setObjectName(QStringLiteral("cancelJobButton"));
    // Quiet: the notice is there to be found, not to alarm.
    m_notice->setForegroundRole(QPalette::PlaceholderText);
    m_progress->setTextVisible(false);
    m_progress->setFixedWidth(120);
    // Escape rather than a mnemonic: the button shows only while a job runs,
    // and every letter of its name is taken by a button always there.
    m_cancel->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(m_cancel, &QPushButton::clicked, this, &JobBar::cancelClicked);
    m_notice->hide();
    showIdle();
}

void JobBar::showListing(qsizetype found)
{
    m_label->setText(tr("%1 files found").arg(QLocale().toString(found)));
    // A busy bar: the total is not known until the walk ends.
    m_progress->setRange(0, 0);
    m_label->show();
    m_progress->show();
    m_cancel->show();
}

void JobBar::showRun(qsizetype done, qsizetype total)
{
    const QLocale locale;
    m_label->setText(tr("Renaming %1 of %2").arg(locale.toString(done), locale.toString(total)));
    showFraction(done, total);
}

void JobBar::showUndo(qsizetype done, qsizetype total, bool redo)
{
    const QLocale locale;
    const QString counts[] = {locale.toString(done), locale.toString(total)};
    m_label->setText(redo ? tr("Redoing %1 of %2").arg(counts[0], counts[1])
                          : tr("Undoing %1 of %2").arg(counts[0], counts[1]));
    showFraction(done, total);
}

void JobBar::showFacts(qsizetype done, qsizetype total)
{
    const QLocale locale;
    m_label->setText(
        tr("Reading metadata %1 of %2").arg(locale.toString(done), locale.toString(total)));
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
}

void JobBar::showIdle()
{
    m_label->hide();
    m_progress->hide();
    m_cancel->hide();
    m_label->clear();
}

void JobBar::setUnreadableFolders(const QByteArrayList &folders)
{
    if (folders.isEmpty()) {
        m_notice->hide();
        m_notice->clear();
        m_notice->setToolTip(QString());
        return;
    }
    m_notice->setText(folders.size() == 1 ? tr("1 folder could not be read")
                                          : tr("%1 folders could not be read").arg(folders.size()));
    QStringList lines;
    for (const QByteArray &folder : folders)
        lines << TextEscape::path(folder);
    m_notice->setToolTip(lines.join(u'\n'));
    m_notice->show();
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
