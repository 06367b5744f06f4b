// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/filetablemodel.h"
#include "rules/renamesettings.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class QTemporaryDir;
class UserDefaults;
namespace Ui {
class VLNWindow;
}

// The first-run tutorial: an overlay that walks through the five sections
// of the window, one page each between a welcome and a farewell, over two
// example files in the list. The pages are a table of text, the section
// shown and the control that takes the focus. Finishing or skipping it sets
// "skipTutorial", so that it shows once by itself.
//
// The tutorial borrows the table and the settings: the user's list (however
// long) and settings are kept aside while it shows, with the default
// settings in their place, and given back exactly as they were when it ends.
// Its examples are two real empty files in a folder of their own, which
// goes with the tutorial, so that the plan finds nothing wrong with them.
class Tutorial : public QObject
{
    Q_OBJECT
public:
    static constexpr int LastPage = 6;

    using Settings = std::function<RenameSettings()>;
    using SetSettings = std::function<void(const RenameSettings &)>;

    Tutorial(Ui::VLNWindow *ui, FileTableModel *model, UserDefaults *defaults, Settings settings,
             SetSettings setSettings, QObject *parent = nullptr);
    ~Tutorial() override;

    // Whether the user finished or skipped the tutorial once.
    static bool wasSeen(UserDefaults *defaults);

    // The page shown, 0 while none is.
    int step() const { return m_step; }
    bool isShowing() const { return m_kept.has_value(); }
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
    Settings m_settings;
    SetSettings m_setSettings;
    int m_step = 0;
    // What the user had, while the tutorial shows.
    std::optional<FileTableModel::SetAside> m_kept;
    RenameSettings m_keptSettings;
    std::unique_ptr<QTemporaryDir> m_exampleFolder;
    QList<ZQFile *> m_examples;
};
