#include "rename/undorun.h"

#include <QCoreApplication>

// Placeholder until the undo engine lands: says that nothing was done.
namespace UndoRun {

QString Report::message() const
{
    return QString();
}

QString Report::informativeText() const
{
    return QString();
}

QString Report::detailedText() const
{
    return QString();
}

Report run(const QString &, Direction, const Progress &, const std::atomic<bool> *)
{
    Report report;
    report.error = QStringLiteral("undo is not built yet");
    return report;
}

} // namespace UndoRun
