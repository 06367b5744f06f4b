#include "rename/renamelog.h"

#include <QByteArray>

#include <cstdio>
#include <syslog.h>

namespace {

RenameLog::Sink &installedSink()
{
    static RenameLog::Sink sink;
    return sink;
}

void appendHex(QString &out, uint value, int digits, QChar prefix)
{
    out += u'\\';
    out += prefix;
    out += QString::number(value, 16).rightJustified(digits, u'0');
}

// C0, DEL and C1 controls, and the line and paragraph separators: anything
// that could break a log line apart or forge a new one.
bool isControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7f && c < 0xa0) || c == 0x2028 || c == 0x2029;
}

void appendEscaped(QString &out, char32_t c)
{
    if (isControl(c) && c > 0xff)
        appendHex(out, uint(c), 4, u'u');
    else if (isControl(c))
        appendHex(out, uint(c), 2, u'x');
    else
        out += QString::fromUcs4(&c, 1);
}

} // namespace

namespace RenameLog {

Sink setSink(Sink sink)
{
    Sink old = std::move(installedSink());
    installedSink() = std::move(sink);
    return old;
}

QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
        } else if (c.isSurrogate()) {
            appendHex(out, c.unicode(), 4, u'u');
        } else {
            appendEscaped(out, c.unicode());
        }
    }
    return out;
}

QString displayPath(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const uchar lead = p[i];
        if (lead < 0x80) {
            appendEscaped(out, lead);
            ++i;
            continue;
        }
        // A well-formed sequence (no overlongs, no surrogates, at most
        // U+10FFFF) is decoded; every other byte is shown as \xNN.
        int length = 0;
        char32_t c = 0;
        char32_t minimum = 0;
        if (lead >= 0xc2 && lead <= 0xdf) {
            length = 2;
            c = lead & 0x1f;
            minimum = 0x80;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            length = 3;
            c = lead & 0x0f;
            minimum = 0x800;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            length = 4;
            c = lead & 0x07;
            minimum = 0x10000;
        }
        bool valid = length > 0 && i + length <= n;
        for (int k = 1; valid && k < length; ++k) {
            if ((p[i + k] & 0xc0) != 0x80)
                valid = false;
            else
                c = (c << 6) | (p[i + k] & 0x3f);
        }
        if (valid && (c < minimum || c > 0x10ffff || (c >= 0xd800 && c <= 0xdfff)))
            valid = false;
        if (valid) {
            appendEscaped(out, c);
            i += length;
        } else {
            appendHex(out, lead, 2, u'x');
            ++i;
        }
    }
    return out;
}

void write(const QString &line)
{
    const QString text = escaped(line);
    if (const Sink &sink = installedSink()) {
        sink(text);
        return;
    }
    const QByteArray bytes = text.toUtf8();
    syslog(LOG_WARNING, "%s", bytes.constData());
    std::fprintf(stderr, "%s\n", bytes.constData());
    std::fflush(stderr);
}

} // namespace RenameLog
