// SPDX-License-Identifier: GPL-3.0-or-later
#include "intake/namelists.h"

namespace NameLists {

qsizetype readLines(QByteArrayView text, QList<QByteArray> *lines)
{
    lines->clear();
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        if (end == start)
            return lines->size() + 1;
        lines->append(text.sliced(start, end - start).toByteArray());
        start = end + 1;
    }
    return 0;
}

Map readMap(QByteArrayView text)
{
    Map map;
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    const auto fail = [&map](MapFault fault) {
        map.fault = fault;
        map.faultRow = map.rows.size() + 1;
        map.rows.clear();
        return map;
    };
    const qsizetype n = text.size();
    qsizetype i = 0;
    QList<QByteArray> fields;
    while (i < n) {
        QByteArray field;
        if (text[i] == '"') {
            for (++i;; ++i) {
                if (i == n)
                    return fail(MapFault::UnclosedQuote);
                if (text[i] != '"')
                    field += text[i];
                else if (i + 1 < n && text[i + 1] == '"')
                    field += text[++i];
                else
                    break;
            }
            ++i;
        } else {
            const qsizetype start = i;
            while (i < n && text[i] != ',' && text[i] != '\n' &&
                   !(text[i] == '\r' && i + 1 < n && text[i + 1] == '\n'))
                ++i;
            field = text.sliced(start, i - start).toByteArray();
        }
        fields << field;
        if (i < n && text[i] == ',') {
            ++i;
            // A comma at the very end still opens an empty last field.
            if (i == n)
                fields << QByteArray();
            else
                continue;
        } else if (i < n && text[i] == '\r' && i + 1 < n && text[i + 1] == '\n') {
            i += 2;
        } else if (i < n && text[i] == '\n') {
            ++i;
        } else if (i < n) {
            return fail(MapFault::TextAfterQuote);
        }
        if (fields.size() != 2)
            return fail(MapFault::NotTwoColumns);
        if (fields[0].isEmpty())
            return fail(MapFault::EmptyPath);
        if (fields[1].isEmpty())
            return fail(MapFault::EmptyName);
        map.rows.append({fields[0], fields[1]});
        fields.clear();
    }
    return map;
}

} // namespace NameLists
