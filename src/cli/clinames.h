// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdio>

// What velnor-rename reads for names typed by hand: the bytes of a list
// file, the names of --names-from, and the names edited with --edit. Each
// says what went wrong on standard error and returns false then.
namespace CliNames {

// A line in UTF-8 on `out`; an error on standard error after the program's name.
void printLine(std::FILE *out, const QString &line);
void printError(const QString &message);

// The whole of a file, or of standard input for "-". `option` names the
// option in a message.
bool readSource(const char *option, const QByteArray &source, QByteArray *content);

// One name a line; an empty line is refused with its number.
bool readNameList(const QByteArray &source, QList<QByteArray> *names);

// Writes the names, one a line, to a private temporary file, opens the
// user's editor ($VISUAL, $EDITOR, vi) on it through the shell, and reads
// the lines back into *names. Refused: a name holding a line end (`paths`
// name the files in messages), an editor that fails, a changed number of
// lines, an empty line.
bool editNames(const QList<QByteArray> &paths, QList<QByteArray> *names);

} // namespace CliNames
