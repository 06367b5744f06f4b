// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QStringList>

class QCoreApplication;

// Loads the window's texts in the user's language: Velnor's own translation
// and Qt's for the standard dialogs, whichever of them exist.
class Translations
{
public:
    // Where Velnor's translations are looked for, first match wins: the
    // installed folder beside the program, then the copy built into it.
    static QStringList folders();
    // Installs the translators into the application, which owns them.
    // Returns whether Velnor's own translation for the locale was found.
    static bool install(QCoreApplication *app, const QLocale &locale = QLocale::system());
};
