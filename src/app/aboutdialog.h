// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>

class QWidget;

// Help ▸ About Velnor: the version, the licence and the libraries the
// program runs on.
class AboutDialog
{
    Q_DECLARE_TR_FUNCTIONS(AboutDialog)
public:
    // The dialog's rich text, in the user's language.
    static QString text();
    static void show(QWidget *parent);
};
