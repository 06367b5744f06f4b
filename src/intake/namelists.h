// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// Lists of new names typed by hand, read from text as bytes: a name that is
// not UTF-8 keeps its bytes (NameCodec::decode turns them into a name).
namespace NameLists {

// One name a line, lines ended by "\n" (the last line end may be left out).
// Every other byte, "\r" included, is part of the name. Returns 0, or the
// number (from 1) of the first empty line, which makes no name.
qsizetype readLines(QByteArrayView text, QList<QByteArray> *lines);

// A map of files to new names: CSV as RFC 4180 has it, two columns a row,
// the path and the new name. Fields are separated by commas and rows by
// "\r\n" or "\n" (the last one may be left out); a field in double quotes
// may hold commas, line ends and quotes written twice. There is no header
// row. A UTF-8 byte order mark at the start is skipped, since spreadsheets
// write one.
struct MapRow
{
    QByteArray path;
    QByteArray newName;
};

enum class MapFault
{
    None,
    UnclosedQuote,  // a quoted field runs to the end of the text
    TextAfterQuote, // a closing quote followed by more than a comma or a line end
    NotTwoColumns,
    EmptyPath,
    EmptyName,
};

struct Map
{
    QList<MapRow> rows;
    MapFault fault = MapFault::None;
    // The row (from 1, a quoted line end not counted) the fault lies in.
    qsizetype faultRow = 0;
};

Map readMap(QByteArrayView text);

} // namespace NameLists
