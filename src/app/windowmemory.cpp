// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/windowmemory.h"

#include "rename/userdefaults.h"

#include <QEvent>
#include <QHeaderView>
#include <QStringList>
#include <QWidget>

WindowMemory::WindowMemory(QWidget *window, QHeaderView *columns, UserDefaults *defaults)
    : QObject(window), m_window(window), m_columns(columns), m_defaults(defaults)
{
    restore();
    window->installEventFilter(this);
}

void WindowMemory::restore()
{
    if (!m_defaults)
        return;
    const QByteArray geometry = m_defaults->dataForKey(QLatin1String(geometryKey));
    if (!geometry.isEmpty())
        m_window->restoreGeometry(geometry);
    // Widths as "220,220,90,130,300". A column added since keeps its own
    // width; the last one stretches to the window and is not set.
    const QStringList widths =
        m_defaults->stringForKey(QLatin1String(columnWidthsKey)).split(u',', Qt::SkipEmptyParts);
    const int count = m_columns->count();
    for (int column = 0; column < count - 1 && column < widths.size(); ++column) {
        bool ok = false;
        const int width = widths[column].trimmed().toInt(&ok);
        if (ok && width > 0 && width <= 10000)
            m_columns->resizeSection(column, width);
    }
}

void WindowMemory::save()
{
    if (!m_defaults)
        return;
    QStringList widths;
    for (int column = 0; column < m_columns->count(); ++column)
        widths << QString::number(m_columns->sectionSize(column));
    m_defaults->setObject(m_window->saveGeometry(), QLatin1String(geometryKey));
    m_defaults->setObject(widths.join(u','), QLatin1String(columnWidthsKey));
    m_defaults->synchronize();
}

bool WindowMemory::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Close)
        save();
    return QObject::eventFilter(watched, event);
}
