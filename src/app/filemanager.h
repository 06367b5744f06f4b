// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

// The desktop's file manager, reached over D-Bus.
namespace FileManager {

// file:// URIs of native paths, byte for byte (bytes that are not valid
// UTF-8 stay percent-encoded).
QStringList fileUris(const QList<QByteArray> &nativePaths);

// Brings the file manager forward with these items selected
// (org.freedesktop.FileManager1.ShowItems). Without such a service, opens the
// folder of the first item instead.
void showItems(const QList<QByteArray> &nativePaths);

} // namespace FileManager
