// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/counttext.h"

#include <QCoreApplication>
#include <QLocale>

#include <atomic>
#include <limits>

namespace CountText {

namespace {
std::atomic<bool> plainNumbers{false};
} // namespace

QString number(qint64 count)
{
    if (plainNumbers.load(std::memory_order_relaxed))
        return QString::number(count);
    return QLocale().toString(count);
}

void usePlainNumbers()
{
    plainNumbers.store(true, std::memory_order_relaxed);
}

QString files(qsizetype count)
{
    if (count == 0)
        return QCoreApplication::translate("CountText", "No files");
    return numerus("CountText", QT_TRANSLATE_N_NOOP("CountText", "%n file(s)"), count, "%n file",
                   "%n files");
}

QString numerus(const char *context, const char *source, qsizetype count, const char *one,
                const char *many)
{
    // The catalogue takes an int; a count past it is shown by the English
    // forms, which need no catalogue.
    // The catalogue writes %n as plain digits; the one helper writes it
    // again as the locale does.
    const QString shown = number(count);
    if (count <= std::numeric_limits<int>::max()) {
        const QString plain = QString::number(count);
        QString translated = QCoreApplication::translate(context, source, nullptr, int(count));
        // Without a catalogue holding the text, it comes back as the source
        // with %n filled in.
        if (translated != QString::fromLatin1(source).replace(u"%n"_qs, plain)) {
            return translated.replace(plain, shown);
        }
    }
    return QString::fromLatin1(count == 1 ? one : many).replace(u"%n"_qs, shown);
}

} // namespace CountText
