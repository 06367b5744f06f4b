#include "tutorialoverlay.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

TutorialOverlay::TutorialOverlay(QWidget *parent) : QWidget(parent) {}

void TutorialOverlay::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    QColor veil = palette().color(QPalette::Shadow);
    veil.setAlpha(110);
    painter.fillRect(event->rect(), veil);
}

void TutorialOverlay::mousePressEvent(QMouseEvent *event)
{
    // Swallowed, so that the parent does not see a click on a covered control.
    event->accept();
}

void TutorialOverlay::wheelEvent(QWheelEvent *event)
{
    event->accept();
}
