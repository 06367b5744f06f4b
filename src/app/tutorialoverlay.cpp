// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tutorialoverlay.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

TutorialOverlay::TutorialOverlay(QWidget *parent) : QWidget(parent) {}

void TutorialOverlay::setWheelTarget(QAbstractScrollArea *target)
{
    m_wheelTarget = target;
}

void TutorialOverlay::paintEvent(QPaintEvent *event)
{
    // Dark enough to set the raised box apart, light enough to read the
    // table's names through.
    QPainter painter(this);
    painter.fillRect(event->rect(), QColor(0, 0, 0, 100));
}

void TutorialOverlay::mousePressEvent(QMouseEvent *event)
{
    // Swallowed, so that the parent does not see a click on a covered control.
    event->accept();
}

void TutorialOverlay::wheelEvent(QWheelEvent *event)
{
    event->accept();
    if (!m_wheelTarget)
        return;
    // Only scrolling reaches the table: it changes nothing but what is seen.
    QWidget *viewport = m_wheelTarget->viewport();
    const QPointF position = viewport->mapFromGlobal(mapToGlobal(event->position()));
    if (!viewport->rect().contains(position.toPoint()))
        return;
    QWheelEvent forwarded(position, event->globalPosition(), event->pixelDelta(),
                          event->angleDelta(), event->buttons(), event->modifiers(), event->phase(),
                          event->inverted(), event->source(), event->pointingDevice());
    QApplication::sendEvent(viewport, &forwarded);
}
