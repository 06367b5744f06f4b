// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

QStringList Translations::folders()
{
    return {QCoreApplication::applicationDirPath() +
                QStringLiteral("/../share/velnor/translations"),
            QStringLiteral(":/i18n")};
}

bool Translations::install(QCoreApplication *app, const QLocale &locale)
{
    // QTranslator::load walks the locale's UI languages ("de-DE", "de") and
    // stops at the first file it finds; English, the source, needs none.
    auto *qt = new QTranslator(app);
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;

    auto *own = new QTranslator(app);
    for (const QString &folder : folders()) {
        if (own->load(locale, QStringLiteral("velnor"), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(own);
            return true;
        }
    }
    delete own;
    return false;
}
