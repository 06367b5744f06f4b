#include "app/appdelegate.h"
#include "app/apphelp.h"
#include "app/singleinstance.h"
#include "app/translations.h"
#include "posix/nativepath.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

namespace {

// The paths as the shell gave them, made absolute against our folder as the
// command line makes them; their bytes are kept, whatever their encoding.
QList<QByteArray> pathArguments(int argc, char **argv)
{
    QByteArray folder;
    QList<QByteArray> paths;
    for (int i = 1; i < argc; ++i) {
        const QByteArray path(argv[i]);
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
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Velnor"));
    QApplication::setApplicationName(QStringLiteral("Velnor"));
    QApplication::setApplicationVersion(QStringLiteral(VELNOR_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("velnor"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/velnor.png")));
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    Translations::install(&app);

    // QApplication has taken its own options out of argv by now.
    const QList<QByteArray> paths = pathArguments(argc, argv);

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
