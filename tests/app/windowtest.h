// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "../disktree.h"
#include "../journalfixture.h"
#include "../scratchdir.h"
#include "../scriptedprompt.h"
#include "app/undocontrol.h"
#include "app/vlnwindow.h"
#include "app/workqueue.h"
#include "model/filetablemodel.h"
#include "rename/runhistory.h"
#include "rename/userdefaults.h"
#include "ui_vlnwindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QTableView>
#include <QTest>
#include <QTranslator>

#include <algorithm>
#include <filesystem>
#include <memory>

// What the window tests share: a window over a scratch folder, with its
// settings file and its history of runs in a scratch state folder apart from
// the files listed, and the grant panel answered from m_prompt.
class WindowTest : public QObject
{
    Q_OBJECT

protected slots:
    void init()
    {
        m_state = std::make_unique<ScratchDir>();
        m_dir = std::make_unique<ScratchDir>();
        QVERIFY(m_dir->isValid() && m_state->isValid());
        qputenv("XDG_STATE_HOME", m_state->path());
        m_root = m_dir->path();
        m_defaults = std::make_unique<UserDefaults>(settingsPath());
        m_defaults->registerDefaults(UserDefaults::readFactoryFile(QStringLiteral(":/Factory")));
        m_prompt = {};
    }

    void cleanup()
    {
        m_window.reset();
        m_defaults.reset();
        m_dir.reset();
        m_state.reset();
        // Every catalogue a test installed goes: the next starts in the
        // source language.
        for (QTranslator *translator : qApp->findChildren<QTranslator *>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }

protected:
    QString settingsPath() const { return m_state->filePath(QStringLiteral("Velnor.conf")); }

    // The window as a launch opens it, active. The tutorial is skipped unless
    // asked for; a launch after it ended skips it anyway.
    VLNWindow *makeWindow(bool skipTutorial = true)
    {
        if (skipTutorial)
            m_defaults->setBool(true, QStringLiteral("skipTutorial"));
        m_window = std::make_unique<VLNWindow>(m_defaults.get());
        m_window->setAccessPrompt(&m_prompt);
        if (m_planDelay >= 0)
            m_window->workQueue()->setPlanDelay(m_planDelay);
        m_window->resize(1000, 700);
        m_window->show();
        m_window->activateWindow();
        // The history is read on a worker; the menu follows once it is. A
        // window that never gets there leaves nothing to test.
        if (!QTest::qWaitForWindowActive(m_window.get()) ||
            !QTest::qWaitFor([this] { return !m_window->undoControl()->isReading(); }))
            qFatal("the window never became active, or never read the history");
        return m_window.get();
    }

    // New files at these paths below the scratch folder (their folders made
    // as needed), listed in the window. Each holds its path as given, or with
    // sizes given, that many bytes: a file under a wrong name shows on disk.
    void listFiles(const QList<QByteArray> &relativePaths, const QList<int> &sizes = {})
    {
        QList<QByteArray> paths;
        for (const QByteArray &relative : relativePaths) {
            const QByteArray path = m_root + '/' + relative;
            std::filesystem::create_directories(path.left(path.lastIndexOf('/')).toStdString());
            writeFile(path,
                      sizes.isEmpty() ? relative : QByteArray(sizes.value(paths.size()), 'x'));
            paths << path;
        }
        m_window->openFiles(paths);
        QTRY_VERIFY(!m_window->isListing());
    }

    void setNameTemplate(const QString &nameTemplate)
    {
        m_window->ui()->nameField->setText(nameTemplate);
        m_window->controlTextDidChange();
    }

    // Clicks through the tutorial: n Next, s Skip, t the menu's Show Tutorial.
    // Page 1 gets what it asks to be typed.
    void clickTutorial(const QString &clicks)
    {
        Ui::VLNWindow *ui = m_window->ui();
        for (QChar click : clicks) {
            if (click == u't')
                m_window->clickStartTutorial();
            else
                QTest::mouseClick(click == u'n' ? ui->nextTutorialButton : ui->skipTutorialButton,
                                  Qt::LeftButton);
            if (m_window->tutorialStep() == 1)
                QTest::keyClicks(ui->nameField, QStringLiteral("-[YMD]"));
        }
    }

    // Keys pressed with the focus on the widget of this name.
    void pressKeys(const QString &widget, const QKeySequence &keys)
    {
        auto *target = m_window->findChild<QWidget *>(widget);
        QVERIFY2(target, qPrintable(widget));
        target->setFocus();
        QTest::keySequence(QApplication::focusWidget(), keys);
    }

    void selectRows(const QList<int> &rows)
    {
        QTableView *table = m_window->ui()->tableView;
        table->clearSelection();
        for (int row : rows)
            table->selectionModel()->select(table->model()->index(row, 0),
                                            QItemSelectionModel::Select |
                                                QItemSelectionModel::Rows);
    }

    QString cell(int row, int column) const
    {
        FileTableModel *model = m_window->tableModel();
        return model->data(model->index(row, column)).toString();
    }

    // Every row's cell of the column, top down.
    QStringList column(int column) const
    {
        QStringList cells;
        for (int row = 0; row < m_window->tableModel()->rowCount(); ++row)
            cells << cell(row, column);
        return cells;
    }

    QString newNames(const QString &separator = QStringLiteral(" ")) const
    {
        return column(FileTableModel::NewNameColumn).join(separator);
    }

    // Waits for the plan of the list and the settings as they are now; polls
    // more often than QTRY_VERIFY.
    bool planMade() const
    {
        return QTest::qWaitFor([this] { return bool(m_window->tableModel()->plan()); });
    }

    // Why the row's new name cannot be had; empty when it can.
    QString problem(int row) const
    {
        FileTableModel *model = m_window->tableModel();
        return model->index(row, FileTableModel::NewNameColumn)
            .data(FileTableModel::ProblemRole)
            .toString();
    }

    // The texts of actions, buttons or labels, in their order.
    template<typename Items> static QStringList texts(const Items &items)
    {
        QStringList texts;
        for (const auto *item : items)
            texts << item->text();
        return texts;
    }

    // The texts of a message box's buttons, sorted.
    static QStringList buttonTexts(const QMessageBox *box)
    {
        QStringList sorted = texts(box->buttons());
        sorted.sort();
        return sorted;
    }

    // Clicks the message box's button of this text or, with none given, of
    // this role.
    static void press(QMessageBox *box, const QString &text,
                      QMessageBox::ButtonRole role = QMessageBox::InvalidRole)
    {
        const QList<QAbstractButton *> buttons = box->buttons();
        const auto it = std::find_if(buttons.begin(), buttons.end(), [&](QAbstractButton *button) {
            return text.isEmpty() ? box->buttonRole(button) == role : button->text() == text;
        });
        QVERIFY2(it != buttons.end(), qPrintable(buttonTexts(box).join(u'|')));
        (*it)->click();
    }

    std::unique_ptr<ScratchDir> m_dir;
    std::unique_ptr<ScratchDir> m_state;
    QByteArray m_root;
    std::unique_ptr<UserDefaults> m_defaults;
    ScriptedPrompt m_prompt;
    std::unique_ptr<VLNWindow> m_window;
    // The plan's delay in the windows made, when set: a test that waits for
    // many plans need not wait out the pause meant for typing.
    int m_planDelay = -1;
};
