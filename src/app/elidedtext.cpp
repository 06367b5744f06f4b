// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/elidedtext.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {

// Room for a few letters and the ellipsis: less says nothing.
int shortestText(const QFontMetrics &metrics)
{
    return metrics.horizontalAdvance(QStringLiteral("MM…"));
}

} // namespace

ElidedLabel::ElidedLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

QSize ElidedLabel::minimumSizeHint() const
{
    const QSize whole = QLabel::minimumSizeHint();
    const int margins = whole.width() - fontMetrics().horizontalAdvance(text());
    return {std::min(whole.width(), margins + shortestText(fontMetrics())), whole.height()};
}

QString ElidedLabel::shownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect room = contentsRect();
    style()->drawItemText(&painter, room, int(alignment()), palette(), isEnabled(), shownText(),
                          foregroundRole());
}

ElidedButton::ElidedButton(QWidget *parent) : QPushButton(parent)
{
    // A push button keeps its whole width unless its policy lets it shrink.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

int ElidedButton::textWidth() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    int width = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).width();
    if (!icon().isNull())
        width -= option.iconSize.width() + 4;
    return width;
}

QSize ElidedButton::minimumSizeHint() const
{
    const QSize whole = QPushButton::sizeHint();
    const int rest = whole.width() - fontMetrics().horizontalAdvance(text());
    return {std::min(whole.width(), rest + shortestText(fontMetrics())), whole.height()};
}

QString ElidedButton::shownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideRight, textWidth());
}

void ElidedButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text = shownText();
    painter.drawControl(QStyle::CE_PushButton, option);
}
