#pragma once

#include <QWidget>

// The tutorial's cover over the window's content: a translucent veil through
// which the table stays readable, taking every click on what it covers. The
// section box a page is about is raised above it.
class TutorialOverlay : public QWidget
{
    Q_OBJECT
public:
    explicit TutorialOverlay(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
};
