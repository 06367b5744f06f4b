// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Which new names a folder can hold. The rules of every Linux folder, and
// the stricter ones of file systems made for Windows (vfat, exFAT, NTFS,
// CIFS/SMB), which a user cannot see until a rename fails or, worse, until
// the stick is read on another computer.
namespace NameRules {

// Why a new name cannot be used anywhere, or an empty text when it can:
// empty, ".", "..", longer than 255 bytes, a "/" or NUL character, half a
// surrogate pair. `bytes` is the name as written (NameCodec::encode).
QString refusalReason(const QString &newName, const QByteArray &bytes);
// The same from the number of bytes the name takes (NameCodec::encodedSize).
QString refusalReason(const QString &newName, qsizetype byteCount);
QString refusalReason(const QString &newName);

// The same for a new name whose "/" are folder boundaries below the file's
// own folder: each part must be a name that refusalReason accepts, so that a
// leading "/", an empty part, "." and ".." are refused and the file never
// leaves the tree of its folder.
QString folderPathReason(const QString &newName);

// Why a folder of a Windows file system (named `fileSystem` in the text)
// cannot hold the name, or an empty text: one of < > : " \ | ? * or a
// control character, a trailing dot or space, a reserved device name (CON,
// PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, with or without an extension), more
// than 255 UTF-16 units.
QString windowsReason(const QString &newName, const QString &fileSystem);

} // namespace NameRules
