// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QUrl>

// The desktop's file manager, reached over D-Bus.
namespace FileManager {

// file:// URIs of native paths, byte for byte (bytes that are not valid
// UTF-8 stay percent-encoded).
QStringList fileUris(const QList<QByteArray> &nativePaths);

// The paths of handed-over URLs as the bytes they name: the percent-encoded
// form keeps bytes that are not valid UTF-8, which the decoded form would
// replace. A native panel hands such names over only in its URLs.
QList<QByteArray> nativePathsOfUrls(const QList<QUrl> &urls);

// Brings the file manager forward with these items selected
// (org.freedesktop.FileManager1.ShowItems). Without such a service, opens the
// folder of the first item instead.
void showItems(const QList<QByteArray> &nativePaths);

} // namespace FileManager
