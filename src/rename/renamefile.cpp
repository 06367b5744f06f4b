// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/renamerun.h"

#include "posix/filedescriptor.h"
#include "posix/namecodec.h"
#include "posix/nativemove.h"
#include "posix/nativepath.h"
#include "posix/textescape.h"
#include "rename/renamelog.h"

#include <QCoreApplication>

#include <cerrno>
#include <fcntl.h>

namespace {

QString failureReason(int error, const QByteArray &strandedName)
{
    QString text = NativeMove::reason(error);
    if (!strandedName.isEmpty())
        text += QCoreApplication::translate("RenameRun", " (the file was left as “%1”)")
                    .arg(TextEscape::path(strandedName));
    return text;
}

} // namespace

namespace RenameRun {

bool renameFile(const QByteArray &from, const QByteArray &to, QString *error)
{
    const QByteArray fromFolder = NativePath::openableFolder(from);
    const QByteArray fromName = NativePath::name(from).toByteArray();
    const QByteArray toFolder = NativePath::openableFolder(to);
    const QByteArray toName = NativePath::name(to).toByteArray();
    int result = 0;
    QByteArray stranded;
    const FileDescriptor fromDir(::open(fromFolder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!fromDir.isOpen()) {
        result = errno;
    } else {
        FileDescriptor otherDir;
        if (toFolder != fromFolder)
            otherDir.reset(::open(toFolder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        const int toDir = toFolder == fromFolder ? fromDir.get() : otherDir.get();
        if (toDir < 0) {
            result = errno;
        } else {
            result = NativeMove::moveAt(fromDir.get(), fromName.constData(), toDir,
                                        toName.constData(), &stranded);
        }
    }
    if (result == 0)
        return true;
    const QString reason = failureReason(result, stranded);
    RenameLog::write(RenameLog::failureLine(from, NameCodec::decode(toName), reason));
    if (error)
        *error = reason;
    return false;
}

} // namespace RenameRun
