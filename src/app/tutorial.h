// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class FileTableModel;
class UserDefaults;
namespace Ui {
class VLNWindow;
}

// The first-run tutorial: an overlay that walks through the five sections
// of the window, one page each between a welcome and a farewell, over two
// example files in the list. The pages are a table of text, the section
// shown and the control that takes the focus. Finishing or skipping it
// empties the list and sets "skipTutorial", so that it shows once.
class Tutorial : public QObject
{
    Q_OBJECT
public:
    static constexpr int LastPage = 6;

    Tutorial(Ui::VLNWindow *ui, FileTableModel *model, UserDefaults *defaults,
             QObject *parent = nullptr);

    // The page shown, 0 while none is.
    int step() const { return m_step; }
    void start();
    void next();
    void skip();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showPage(int page);
    void placeOverlay();

    Ui::VLNWindow *m_ui;
    FileTableModel *m_model;
    UserDefaults *m_defaults;
    int m_step = 0;
};
