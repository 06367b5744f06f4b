// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cliformat.h"

#include "posix/namecodec.h"
#include "posix/textescape.h"

#include <algorithm>

namespace {

// Longer names still show in full; they only push their own row out of line.
constexpr qsizetype MaxColumnWidth = 60;
constexpr qsizetype FlushSize = 1 << 16;

void flushIfFull(std::FILE *out, QByteArray &buffer)
{
    if (buffer.size() >= FlushSize) {
        std::fwrite(buffer.constData(), 1, size_t(buffer.size()), out);
        buffer.clear();
    }
}

void flush(std::FILE *out, QByteArray &buffer)
{
    std::fwrite(buffer.constData(), 1, size_t(buffer.size()), out);
    buffer.clear();
}

bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
           (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
           (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
}

QByteArray padded(const QString &text, qsizetype width)
{
    QByteArray bytes = text.toUtf8();
    const qsizetype missing = width - CliFormat::displayWidth(text);
    if (missing > 0)
        bytes.append(missing, ' ');
    return bytes;
}

} // namespace

QString CliFormat::statusText(const CliRow &row)
{
    switch (row.status) {
    case CliRow::Status::Rename:
        return QStringLiteral("rename");
    case CliRow::Status::Unchanged:
        return QStringLiteral("unchanged");
    case CliRow::Status::Invalid:
        return QStringLiteral("invalid: ") + row.reason;
    case CliRow::Status::Renamed:
        return QStringLiteral("renamed");
    case CliRow::Status::Failed:
        return QStringLiteral("failed: ") + row.reason;
    }
    return {};
}

QString CliFormat::printable(const QString &text)
{
    // The text itself, shared, where nothing is escaped: a table of a
    // million rows would copy each name twice.
    return TextEscape::needsEscape(text) ? TextEscape::line(text) : text;
}

qsizetype CliFormat::displayWidth(const QString &text)
{
    // Most names are printable ASCII: one column a character.
    if (std::all_of(text.cbegin(), text.cend(),
                    [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7f; }))
        return text.size();
    qsizetype width = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        switch (QChar::category(c)) {
        case QChar::Mark_NonSpacing:
        case QChar::Mark_Enclosing:
        case QChar::Other_Format:
            break;
        default:
            width += isWide(c) ? 2 : 1;
        }
    }
    return width;
}

bool CliFormat::isValidUtf8(const QByteArray &bytes)
{
    return NameCodec::isValidUtf8(bytes);
}

void CliFormat::appendJsonString(QByteArray &out, const QString &text)
{
    // Printable ASCII without a quote or a backslash, most of any listing,
    // goes in unit for byte, without a trip through the UTF-8 encoder.
    const auto *units = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype n = text.size();
    qsizetype plain = 0;
    while (plain < n && units[plain] >= 0x20 && units[plain] < 0x7f && units[plain] != u'"' &&
           units[plain] != u'\\')
        ++plain;
    if (plain == n) {
        const qsizetype at = out.size();
        out.resize(at + n + 2);
        char *to = out.data() + at;
        *to++ = '"';
        for (qsizetype i = 0; i < n; ++i)
            *to++ = char(units[i]);
        *to = '"';
        return;
    }
    out += '"';
    qsizetype plainStart = 0;
    auto copyPlain = [&](qsizetype end) {
        if (end > plainStart)
            out += QStringView(text).sliced(plainStart, end - plainStart).toUtf8();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        const bool lone = QChar::isSurrogate(u);
        if (u >= 0x20 && u != '"' && u != '\\' && !lone)
            continue;
        copyPlain(i);
        plainStart = i + 1;
        switch (u) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            if (lone) {
                out += "\xEF\xBF\xBD";
            } else {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", unsigned(u));
                out += escape;
            }
        }
    }
    copyPlain(text.size());
    out += '"';
}

void CliFormat::writeTable(std::FILE *out, const QList<CliRow> &rows)
{
    const QString oldTitle = QStringLiteral("Old Name");
    const QString newTitle = QStringLiteral("New Name");
    qsizetype oldWidth = displayWidth(oldTitle);
    qsizetype newWidth = displayWidth(newTitle);
    for (const CliRow &row : rows) {
        oldWidth = std::max(oldWidth, std::min(MaxColumnWidth, displayWidth(printable(row.name))));
        newWidth =
            std::max(newWidth, std::min(MaxColumnWidth, displayWidth(printable(row.newName))));
    }
    QByteArray buffer;
    buffer +=
        "   " + padded(oldTitle, oldWidth) + "  " + padded(newTitle, newWidth) + "  Location\n";
    for (const CliRow &row : rows) {
        switch (row.status) {
        case CliRow::Status::Unchanged:
            buffer += "=  ";
            break;
        case CliRow::Status::Invalid:
        case CliRow::Status::Failed:
            buffer += "!  ";
            break;
        default:
            buffer += "   ";
        }
        buffer += padded(printable(row.name), oldWidth);
        buffer += "  ";
        buffer += padded(printable(row.newName), newWidth);
        buffer += "  ";
        buffer += printable(row.path).toUtf8();
        if (!row.reason.isEmpty())
            buffer += "  (" + printable(row.reason).toUtf8() + ')';
        buffer += '\n';
        flushIfFull(out, buffer);
    }
    flush(out, buffer);
}

void CliFormat::writeJson(std::FILE *out, const QList<CliRow> &rows, const CliCounts &counts)
{
    QByteArray buffer;
    buffer += "{\"files\":[";
    bool first = true;
    for (const CliRow &row : rows) {
        buffer += first ? "\n{\"path\":" : ",\n{\"path\":";
        first = false;
        appendJsonString(buffer, row.path);
        buffer += ",\"name\":";
        appendJsonString(buffer, row.name);
        buffer += ",\"newName\":";
        appendJsonString(buffer, row.newName);
        buffer += ",\"status\":";
        appendJsonString(buffer, statusText(row));
        if (row.undecodable) {
            buffer += ",\"undecodable\":true,\"pathBytes\":\"" + row.pathBytes.toBase64() +
                      "\",\"newNameBytes\":\"" + row.newNameBytes.toBase64() + '"';
        }
        buffer += '}';
        flushIfFull(out, buffer);
    }
    buffer += "],\n\"renamed\":" + QByteArray::number(counts.renamed) +
              ",\"failed\":" + QByteArray::number(counts.failed) +
              ",\"unchanged\":" + QByteArray::number(counts.unchanged) + "}\n";
    flush(out, buffer);
}
