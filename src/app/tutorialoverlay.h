// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

class QAbstractScrollArea;

// The tutorial's cover over the window's content: a translucent veil through
// which the table stays readable, taking every click on what it covers. The
// section box a page is about is raised above it.
class TutorialOverlay : public QWidget
{
    Q_OBJECT
public:
    explicit TutorialOverlay(QWidget *parent = nullptr);

    // The scroll area under the veil that the mouse wheel still scrolls, so
    // that a list longer than the table can be read while the pages show.
    void setWheelTarget(QAbstractScrollArea *target);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    QPointer<QAbstractScrollArea> m_wheelTarget;
};
