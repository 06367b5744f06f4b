// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdio>

// One listed file as the command line reports it.
struct CliRow
{
    enum class Status
    {
        Rename,
        Unchanged,
        Invalid,
        Renamed,
        Failed,
        NotAttempted // a run stopped before it came to the file
    };

    QByteArray path; // the native bytes
    QString name;
    QString newName;
    Status status = Status::Rename;
    QString reason; // why the name is refused or the move failed
    // Set when the path or the new name holds bytes that are not UTF-8: the
    // JSON then carries the exact bytes of both (the new name's while they
    // are short enough to be a name).
    bool undecodable = false;
    QByteArray newNameBytes;
};

struct CliCounts
{
    qsizetype renamed = 0;
    qsizetype failed = 0;
    qsizetype unchanged = 0;
    qsizetype notAttempted = 0; // written only where there are any
};

// The preview table and the JSON object, written straight to a stream.
class CliFormat
{
public:
    static void writeTable(std::FILE *out, const QList<CliRow> &rows);
    static void writeJson(std::FILE *out, const QList<CliRow> &rows, const CliCounts &counts);

    // "rename", "unchanged", "invalid: REASON", "renamed", "failed: REASON".
    static QString statusText(const CliRow &row);

    // One line of text whatever a name holds (TextEscape::line): a newline
    // in a file name cannot forge a row, nor a bidirectional control turn
    // one name into another.
    static QString printable(const QString &text);
    // Columns a terminal gives the text: combining marks take none, wide
    // East Asian characters two.
    static qsizetype displayWidth(const QString &text);
    // A JSON string literal in valid UTF-8: a surrogate without its partner
    // becomes U+FFFD.
    static void appendJsonString(QByteArray &out, const QString &text);
    // Whether bytes are valid UTF-8, as a path's bytes may not be.
    static bool isValidUtf8(const QByteArray &bytes);
};
