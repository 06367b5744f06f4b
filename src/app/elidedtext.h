// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QPushButton>

// A label and a flat button of the bottom bar that give way when the window
// is narrow: they ask for their whole text, but take less and end it with
// "…" rather than push the buttons beside them out of shape or draw over
// them. German and French texts are half again as long as English ones.
class ElidedLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget *parent = nullptr);
    QSize minimumSizeHint() const override;
    // The text as drawn at the present width.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

class ElidedButton : public QPushButton
{
    Q_OBJECT
public:
    explicit ElidedButton(QWidget *parent = nullptr);
    QSize minimumSizeHint() const override;
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int textWidth() const;
};
