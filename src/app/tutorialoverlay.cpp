#include "tutorialoverlay.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

TutorialOverlay::TutorialOverlay(QWidget *parent) : QWidget(parent) {}

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
}
