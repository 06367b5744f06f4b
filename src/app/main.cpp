// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/appdelegate.h"
#include "app/apphelp.h"
#include "app/singleinstance.h"
#include "app/translations.h"
#include "posix/nativepath.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstring>

namespace {

// The paths as the shell gave them, made absolute against our folder as the
// command line makes them; their bytes are kept, whatever their encoding. With
// takeUris, a local file's URI ("file:///photos/a%20b.jpg", as Nemo hands its
// bulk-rename tool the selection) stands for its path; percent escapes carry
// every byte.
QList<QByteArray> pathArguments(int first, int end, char **argv, bool takeUris)
{
    QByteArray folder;
    QList<QByteArray> paths;
    for (int i = first; i < end; ++i) {
        QByteArray path(argv[i]);
        if (takeUris && (path.startsWith("file:///") || path.startsWith("file://localhost/")))
            path = QByteArray::fromPercentEncoding(path.sliced(path.indexOf('/', 7)));
        if (path.isEmpty())
            continue;
        if (!path.startsWith('/') && folder.isEmpty()) {
            folder = NativePath::currentFolder();
            if (folder.isEmpty())
                folder = QByteArrayLiteral("/");
        }
        paths.append(NativePath::absolute(path, folder));
    }
    return paths;
}

} // namespace

int main(int argc, char **argv)
{
    // Answered before the application object, which would need a display.
    if (const QString answer = AppHelp::answer(argc, argv); !answer.isEmpty()) {
        std::fputs(answer.toUtf8().constData(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    // Qt takes its own options ("-reverse", "-style") out of the arguments.
    // What follows "--" is paths, whatever they look like, and Qt never sees it.
    int endOfOptions = argc;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            endOfOptions = i;
            break;
        }
    }
    int qtArgc = endOfOptions;
    QApplication app(qtArgc, argv);
    QApplication::setOrganizationName(QStringLiteral("Velnor"));
    QApplication::setApplicationName(QStringLiteral("Velnor"));
    QApplication::setApplicationVersion(QStringLiteral(VELNOR_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("velnor"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/velnor.png")));
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    Translations::install(&app);

    // QApplication has taken its own options out of argv by now.
    const QList<QByteArray> paths =
        pathArguments(1, qtArgc, argv, true) + pathArguments(endOfOptions + 1, argc, argv, false);

    SingleInstance instance(SingleInstance::defaultServerName());
    if (instance.start(paths) == SingleInstance::Role::HandedOver)
        return 0;

    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    if (!paths.isEmpty())
        delegate.application(paths);
    QObject::connect(&instance, &SingleInstance::openFilesRequested, &delegate,
                     &AppDelegate::handOverReceived);
    return app.exec();
}
