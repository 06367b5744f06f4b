// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QHeaderView;
class QWidget;
class UserDefaults;

// Keeps the window's size and place and the table's column widths in the
// user defaults ("windowGeometry", "columnWidths"): read when the window is
// made, written when it closes.
class WindowMemory : public QObject
{
    Q_OBJECT
public:
    static inline const char *const geometryKey = "windowGeometry";
    static inline const char *const columnWidthsKey = "columnWidths";

    // Restores at once what the defaults hold; a null defaults keeps nothing.
    WindowMemory(QWidget *window, QHeaderView *columns, UserDefaults *defaults);

    void restore();
    void save();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QHeaderView *m_columns;
    UserDefaults *m_defaults;
};
