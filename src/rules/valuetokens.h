// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/rulefile.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

// The tokens whose values come from inside the file ("[Model]", "[Artist]",
// "[meta:Exif.Photo.FNumber]") and the date in any pattern ("[date:yyyy-MM]").
// A token may carry a fallback after a bar ("[Artist|Unknown]", "[Album|]"),
// given where the file lacks the value; without one, the name cannot be made.
namespace ValueTokens {

// The date the tokens use, or none.
struct Date
{
    bool have = false;
    qint64 msecs = 0;
    bool wallClock = false; // msecs hold the fields as if UTC
};

// The keys of FileFacts::values that the value tokens of a template read, in
// order of first use, each once; "[date:...]" needs none.
QStringList keysIn(const QString &text);
// Whether the key is that of a named token ("Model"), which every read of a
// file's tags gives, rather than a further key ("Exif.Photo.FNumber").
bool isNamedKey(QStringView key);
// Whether the template holds any value token or "[date:...]".
bool anyIn(const QString &text);

// A value as it may stand in a name: "/" becomes "_" (as music taggers do),
// control characters are dropped and spaces at either end trimmed. A track
// or disc number "3/12" keeps its number, a track at least two digits ("03").
QString cleanValue(const QString &key, const QString &value);

// Whether the template holds "[P]", "[P2]", ...: the name of the file's
// folder, of the folder above it, and so on.
bool anyParentIn(const QString &text);
// The name of the folder `level` steps above the file at `path` (1 its own
// folder), empty above the root.
QByteArrayView parentName(QByteArrayView path, int level);

// Expands every value token of text in one pass, so that no value inserted is
// expanded again; with `parents`, the folder tokens of the file at `path` in
// the same pass. False when
// a token without a fallback has no value; then *missing names it ("Artist",
// "date") and text is left unfinished. A folder above the root is empty,
// never missing.
bool expand(QString &text, const FileFacts *facts, const Date &date, QString *missing,
            bool parents = false, QByteArrayView path = {});

} // namespace ValueTokens

// A name the composer could not make stands for itself as a NUL character
// followed by why. No file system takes a NUL in a name, so a caller that
// knows nothing of this still refuses it.
namespace ComposedName {
QString refused(const QString &why);
bool isRefused(QStringView name);
QString reason(QStringView name);
} // namespace ComposedName
