// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayList>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

// The line under the bottom bar that tells about background work: what a
// running listing or run has done so far, with a Cancel button, and a quiet
// notice of folders a listing could not read (named in its tooltip).
class JobBar : public QWidget
{
    Q_OBJECT
public:
    explicit JobBar(QWidget *parent = nullptr);

    // A listing that has found `found` files so far; how many are to come
    // is not known.
    void showListing(qsizetype found);
    // "Renaming 12,345 of 100,000".
    void showRun(qsizetype done, qsizetype total);
    // "Undoing 12 of 100", or "Redoing 12 of 100".
    void showUndo(qsizetype done, qsizetype total, bool redo);
    // "Reading metadata 1,234 of 10,000".
    void showFacts(qsizetype done, qsizetype total);
    // No work is running.
    void showIdle();
    // The folders listings could not read since the list was last empty;
    // none hides the notice.
    void setUnreadableFolders(const QByteArrayList &folders);
    // A listing was cancelled after `listed` files: what the list shows is
    // not all the folders hold, and it says so until the list is emptied
    // (a negative count).
    void setListingCancelled(qsizetype listed);

    QString progressText() const;
    QString noticeText() const;
    QString incompleteText() const;
    bool isShowingProgress() const;

signals:
    void cancelClicked();

private:
    void showFraction(qsizetype done, qsizetype total);
    void showWhenTelling();

    QLabel *m_notice;
    QLabel *m_incomplete;
    QLabel *m_label;
    QProgressBar *m_progress;
    QPushButton *m_cancel;
};
