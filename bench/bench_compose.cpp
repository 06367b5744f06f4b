// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench.h"

#include "files/zqfile.h"
#include "rules/namecomposer.h"

#include <memory>
#include <thread>
#include <vector>

namespace {

std::vector<std::unique_ptr<ZQFile>> makeRecords(qint64 count)
{
    std::vector<std::unique_ptr<ZQFile>> records;
    records.reserve(size_t(count));
    const qint64 base = 1709644029000; // March 2024
    for (qint64 i = 0; i < count; ++i) {
        auto file = std::make_unique<ZQFile>();
        file->setName(QStringLiteral("IMG_%1.jpg").arg(i, 7, 10, QLatin1Char('0')));
        file->setAttributes(quint64(i * 37), base + i * 61000);
        records.push_back(std::move(file));
    }
    return records;
}

double nsPerName(const std::vector<std::unique_ptr<ZQFile>> &records,
                 const RenameSettings &settings, qsizetype *checksum)
{
    const NameComposer composer(settings);
    const double start = benchNow();
    qsizetype total = 0;
    for (size_t i = 0; i < records.size(); ++i)
        total += composer.newNameForFile(*records[i], qint64(i)).size();
    const double seconds = benchNow() - start;
    *checksum += total;
    return seconds * 1e9 / double(records.size());
}

double nsPerCopy(const std::vector<std::unique_ptr<ZQFile>> &records, qsizetype *checksum)
{
    const double start = benchNow();
    qsizetype total = 0;
    for (const auto &record : records) {
        const QString name = record->name();
        const QString copy(name.constData(), name.size());
        total += copy.size();
    }
    const double seconds = benchNow() - start;
    *checksum += total;
    return seconds * 1e9 / double(records.size());
}

} // namespace

// New names for a million records under four settings, next to copying each
// record's name into a new string.
VELNOR_BENCH(compose, 10)
{
    const auto records = makeRecords(context.scaled(1000000));
    qsizetype checksum = 0;

    RenameSettings defaults;

    RenameSettings ranges;
    ranges.nameTemplate = QStringLiteral("[N1-3]_[C]");
    ranges.extTemplate = QStringLiteral("[E1-3]");
    ranges.digitsCounter = 3;

    RenameSettings dateTime;
    dateTime.nameTemplate = QStringLiteral("[N]-[YMD]_[hms]");
    dateTime.searchText = QStringLiteral("IMG");
    dateTime.replaceText = QStringLiteral("photo");
    dateTime.caseTag = RenameSettings::UpperCase;

    RenameSettings regex;
    regex.searchText = QStringLiteral("(\\d+)");
    regex.replaceText = QStringLiteral("n$1");
    regex.regex = true;

    // Warm up caches and the allocator once.
    nsPerName(records, dateTime, &checksum);

    const double copy = nsPerCopy(records, &checksum);
    const double composeDefault = nsPerName(records, defaults, &checksum);
    const double composeRanges = nsPerName(records, ranges, &checksum);
    const double composeDateTime = nsPerName(records, dateTime, &checksum);
    const double composeRegex = nsPerName(records, regex, &checksum);

    figure("copy_reference", copy, "ns/name");
    figure("compose_default", composeDefault, "ns/name");
    figure("compose_ranges", composeRanges, "ns/name");
    figure("compose_datetime", composeDateTime, "ns/name");
    figure("compose_regex", composeRegex, "ns/name");
    figure("compose_default_vs_copy", composeDefault / copy, "ratio");
    figure("compose_ranges_vs_copy", composeRanges / copy, "ratio");
    figure("compose_datetime_vs_copy", composeDateTime / copy, "ratio");
    figure("compose_regex_vs_default", composeRegex / composeDefault, "ratio");
    if (checksum == 0)
        figure("compose_checksum", 0, "none");
}

namespace {

// Words of the scripts people name files in, each name two of them, a
// number and an extension: a million names, each word seen many times, as in
// a real collection.
std::vector<std::unique_ptr<ZQFile>> makeMixedScriptRecords(qint64 count)
{
    static const char16_t *const words[] = {
        u"Café",   u"Zürich",  u"Straße",  u"Müller",   u"Ærøskøbing", u"élève",
        u"Łódź",   u"Gdańsk",  u"źdźbło",  u"Москва",   u"Санкт",      u"Петербург",
        u"отпуск", u"Αθήνα",   u"θάλασσα", u"οδός",     u"北京",       u"天安门",
        u"上海",   u"旅行",    u"東京",    u"写真",     u"Holiday",    u"IMG",
        u"Résumé", u"naïve",   u"Crème",   u"Ελλάδα",   u"Київ",       u"Prag",
        u"Kraków", u"Wrocław", u"Søren",   u"Ångström", u"Dvořák",     u"Beach"};
    constexpr qint64 wordCount = qint64(sizeof(words) / sizeof(words[0]));
    static const char *const extensions[] = {"jpg", "JPG", "txt", "pdf", "mp3"};
    std::vector<std::unique_ptr<ZQFile>> records;
    records.reserve(size_t(count));
    for (qint64 i = 0; i < count; ++i) {
        auto file = std::make_unique<ZQFile>();
        file->setName(QString::fromUtf16(words[i % wordCount]) + u' ' +
                      QString::fromUtf16(words[(i / wordCount) % wordCount]) + u'_' +
                      QString::number(i) + u'.' + QLatin1StringView(extensions[i % 5]));
        file->setAttributes(quint64(i), 1709644029000);
        records.push_back(std::move(file));
    }
    return records;
}

} // namespace

// The composer with --ascii over a million names in many scripts; then the
// first thousand names on a new thread, where every word is new to it (ICU's
// data, loaded once a process, is loaded by then).
VELNOR_BENCH(compose_ascii, 11)
{
    const auto records = makeMixedScriptRecords(context.scaled(1000000));
    qsizetype checksum = 0;
    RenameSettings ascii;
    ascii.plainAscii = true;

    nsPerName(records, ascii, &checksum);
    const double composeAscii = nsPerName(records, ascii, &checksum);
    double first = 0;
    std::thread fresh([&] {
        const NameComposer composer(ascii);
        const double start = benchNow();
        qsizetype total = 0;
        for (size_t i = 0; i < 1000; ++i)
            total += composer.newNameForFile(*records[i], qint64(i)).size();
        first = (benchNow() - start) * 1e9 / 1000;
        checksum += total;
    });
    fresh.join();

    figure("compose_ascii", composeAscii, "ns/name");
    figure("compose_ascii_new_thread_1000", first, "ns/name");
    if (checksum == 0)
        figure("compose_ascii_checksum", 0, "none");
}
