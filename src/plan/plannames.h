// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// How the plan compares and quotes names, in a folder of the list and in a
// folder the run makes alike.
namespace PlanNames {

QByteArray keyOf(const QString &text, const QByteArray &bytes, bool caseInsensitive);

QString quoted(const QString &name);

} // namespace PlanNames
