#include "bench.h"

#include "files/zqfile.h"
#include "rules/namecomposer.h"

#include <memory>
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
