// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cliformat.h"

#include "posix/namecodec.h"
#include "posix/textescape.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// Longer names still show in full; they only push their own row out of line.
constexpr qsizetype MaxColumnWidth = 60;

// The output in blocks of 64 KiB, one write each; a field of a few bytes is
// copied in place, with no call into a library.
class Block
{
public:
    explicit Block(std::FILE *out) : m_out(out) {}
    ~Block() { flush(); }
    Block(const Block &) = delete;
    Block &operator=(const Block &) = delete;

    void flush()
    {
        std::fwrite(m_bytes, 1, m_used, m_out);
        m_used = 0;
    }
    // Room for n more bytes, made by writing out what is there; null when no
    // block holds n bytes. commit() counts what was put in.
    char *room(size_t n)
    {
        if (m_used + n > sizeof m_bytes) {
            flush();
            if (n > sizeof m_bytes)
                return nullptr;
        }
        return m_bytes + m_used;
    }
    void commit(size_t n) { m_used += n; }
    void append(const char *data, size_t n)
    {
        if (char *to = room(n)) {
            std::memcpy(to, data, n);
            commit(n);
        } else {
            std::fwrite(data, 1, n, m_out);
        }
    }
    void append(const QByteArray &bytes) { append(bytes.constData(), size_t(bytes.size())); }
    template<size_t N> void literal(const char (&text)[N]) { append(text, N - 1); }
    void spaces(size_t n)
    {
        while (n > 0) {
            static constexpr char blank[] = "                                ";
            const size_t part = std::min(n, sizeof blank - 1);
            append(blank, part);
            n -= part;
        }
    }

private:
    std::FILE *m_out;
    size_t m_used = 0;
    char m_bytes[1 << 16];
};

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

// Printable ASCII, the text of most names: a byte and a column a unit, and
// nothing to escape.
bool isPlainAscii(QStringView text)
{
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7f; });
}

// The same for bytes, eight at a time: no byte with its high bit set, none
// below a space, none a DEL.
bool isPlainAscii(QByteArrayView bytes)
{
    constexpr std::uint64_t ones = 0x0101010101010101;
    constexpr std::uint64_t highs = 0x8080808080808080;
    const auto bad = [](std::uint64_t w) {
        const std::uint64_t del = w ^ (ones * 0x7f);
        return (w | ((w - ones * 0x20) & ~w) | ((del - ones) & ~del)) & highs;
    };
    const char *p = bytes.data();
    qsizetype n = bytes.size();
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        if (bad(w))
            return false;
    }
    return std::all_of(p, p + n, [](char c) { return c >= 0x20 && c < 0x7f; });
}

// Copies text unit for byte where every unit is printable ASCII and, for
// JSON, no quote or backslash; false where one is not.
template<bool Json> bool copyPlain(char *to, QStringView text)
{
    const char16_t *units = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = units[i];
        if (u < 0x20 || u >= 0x7f || (Json && (u == u'"' || u == u'\\')))
            return false;
        to[i] = char(u);
    }
    return true;
}

// The columns the text takes once escaped for a line, at most the column's.
qsizetype shownWidth(const QString &text)
{
    const qsizetype width =
        isPlainAscii(text) ? text.size() : CliFormat::displayWidth(CliFormat::printable(text));
    return std::min(MaxColumnWidth, width);
}

// The text escaped for a line, padded with spaces to `width` columns.
void putPadded(Block &out, const QString &text, qsizetype width)
{
    qsizetype used = text.size();
    if (char *to = out.room(size_t(used)); to && copyPlain<false>(to, text)) {
        out.commit(size_t(used));
    } else {
        const QString shown = CliFormat::printable(text);
        out.append(shown.toUtf8());
        used = CliFormat::displayWidth(shown);
    }
    if (width > used)
        out.spaces(size_t(width - used));
}

// A path's bytes escaped for a line: plain ASCII as it is.
void putPath(Block &out, const QByteArray &path)
{
    if (isPlainAscii(path))
        out.append(path);
    else
        out.append(CliFormat::printable(NameCodec::decode(path)).toUtf8());
}

void putJsonString(Block &out, const QString &text)
{
    const auto n = size_t(text.size());
    if (char *to = out.room(n + 2); to && copyPlain<true>(to + 1, text)) {
        to[0] = '"';
        to[n + 1] = '"';
        out.commit(n + 2);
        return;
    }
    QByteArray literal;
    CliFormat::appendJsonString(literal, text);
    out.append(literal);
}

// A path's bytes as a JSON string literal: plain ASCII without a quote or a
// backslash as it is.
void putJsonPath(Block &out, const QByteArray &path)
{
    if (isPlainAscii(path) && !path.contains('"') && !path.contains('\\')) {
        out.literal("\"");
        out.append(path);
        out.literal("\"");
    } else {
        putJsonString(out, NameCodec::decode(path));
    }
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
    case CliRow::Status::NotAttempted:
        return QStringLiteral("not attempted");
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
    return isPlainAscii(bytes) || NameCodec::isValidUtf8(bytes);
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
        oldWidth = std::max(oldWidth, shownWidth(row.name));
        newWidth = std::max(newWidth, shownWidth(row.newName));
    }
    Block block(out);
    block.literal("   ");
    putPadded(block, oldTitle, oldWidth);
    block.literal("  ");
    putPadded(block, newTitle, newWidth);
    block.literal("  Location\n");
    for (const CliRow &row : rows) {
        switch (row.status) {
        case CliRow::Status::Unchanged:
            block.literal("=  ");
            break;
        case CliRow::Status::Invalid:
        case CliRow::Status::Failed:
            block.literal("!  ");
            break;
        default:
            block.literal("   ");
        }
        putPadded(block, row.name, oldWidth);
        block.literal("  ");
        putPadded(block, row.newName, newWidth);
        block.literal("  ");
        putPath(block, row.path);
        if (!row.reason.isEmpty()) {
            block.literal("  (");
            block.append(printable(row.reason).toUtf8());
            block.literal(")");
        }
        block.literal("\n");
    }
}

void CliFormat::writeJson(std::FILE *out, const QList<CliRow> &rows, const CliCounts &counts)
{
    Block block(out);
    block.literal("{\"files\":[");
    bool first = true;
    for (const CliRow &row : rows) {
        if (first)
            block.literal("\n{\"path\":");
        else
            block.literal(",\n{\"path\":");
        first = false;
        putJsonPath(block, row.path);
        block.literal(",\"name\":");
        putJsonString(block, row.name);
        block.literal(",\"newName\":");
        putJsonString(block, row.newName);
        switch (row.status) {
        case CliRow::Status::Rename:
            block.literal(",\"status\":\"rename\"");
            break;
        case CliRow::Status::Unchanged:
            block.literal(",\"status\":\"unchanged\"");
            break;
        case CliRow::Status::Renamed:
            block.literal(",\"status\":\"renamed\"");
            break;
        case CliRow::Status::Invalid:
        case CliRow::Status::Failed:
        case CliRow::Status::NotAttempted:
            block.literal(",\"status\":");
            putJsonString(block, statusText(row));
        }
        if (row.undecodable) {
            block.literal(",\"undecodable\":true,\"pathBytes\":\"");
            block.append(row.path.toBase64());
            block.literal("\",\"newNameBytes\":\"");
            block.append(row.newNameBytes.toBase64());
            block.literal("\"");
        }
        block.literal("}");
    }
    block.append("],\n\"renamed\":" + QByteArray::number(counts.renamed) +
                 ",\"failed\":" + QByteArray::number(counts.failed) +
                 ",\"unchanged\":" + QByteArray::number(counts.unchanged) +
                 (counts.notAttempted > 0
                      ? ",\"notAttempted\":" + QByteArray::number(counts.notAttempted)
                      : QByteArray()) +
                 "}\n");
}
