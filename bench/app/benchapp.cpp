// velnor-bench-app [--quick] [--work DIR]
// The window under load, offscreen: a keystroke in the name field with a
// million files listed, and a drop of a large folder against the core's own
// intake of the same tree.
#include "app/vlnwindow.h"
#include "files/filelist.h"
#include "files/zqfile.h"
#include "intake/fileintake.h"
#include "model/filetablemodel.h"
#include "rename/userdefaults.h"
#include "ui_vlnwindow.h"

#include <QApplication>
#include <QDir>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void figure(const char *name, double value, const char *unit)
{
    std::printf("figure %s %.*f %s\n", name, value < 10 ? 3 : 1, value, unit);
    std::fflush(stdout);
}

double now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Counts the paints of the table's viewport.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void keystroke(UserDefaults &defaults, qint64 records)
{
    VLNWindow window(&defaults);
    window.resize(1040, 680);
    FileList *list = window.fileList();
    for (qint64 i = 0; i < records; ++i) {
        auto file = std::make_unique<ZQFile>();
        const QByteArray name = "IMG_" + QByteArray::number(i).rightJustified(7, '0') + ".JPG";
        file->setNativePath("/home/user/Pictures/" + QByteArray::number(i / 1000) + '/' + name);
        file->setName(QString::fromLatin1(name));
        file->setAttributes(quint64(1000 + i % 5000000), 1700000000000 + i * 1000);
        list->append(std::move(file));
    }
    window.updateResults();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "window not exposed\n");
    Ui::VLNWindow *ui = window.ui();
    ui->nameField->setText(QStringLiteral("Holiday-[YMD]-[C]"));
    window.controlTextDidChange();
    ui->nameField->setFocus();
    QTest::qWait(50);

    PaintCounter counter;
    ui->tableView->viewport()->installEventFilter(&counter);
    std::vector<double> times;
    for (int i = 0; i < 41; ++i) {
        const int before = counter.paints;
        const double start = now();
        QTest::keyClick(ui->nameField, i % 2 ? Qt::Key_Backspace : Qt::Key_A);
        while (counter.paints == before)
            QCoreApplication::processEvents();
        times.push_back((now() - start) * 1000);
    }
    figure("keystroke_1m", median(times), "ms");
    window.close();
}

void makeTree(const QByteArray &root, qint64 files)
{
    ::mkdir(root.constData(), 0755);
    const qint64 perFolder = 1000;
    for (qint64 i = 0; i < files; ++i) {
        const QByteArray folder = root + "/f" + QByteArray::number(i / perFolder);
        if (i % perFolder == 0)
            ::mkdir(folder.constData(), 0755);
        const QByteArray path = folder + "/file" + QByteArray::number(i) + ".txt";
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0)
            ::close(fd);
    }
}

double intakeSeconds(const QByteArray &root)
{
    FileList list;
    FileIntake intake(list);
    const double start = now();
    intake.insertFile(root);
    return now() - start;
}

double dropSeconds(UserDefaults &defaults, const QByteArray &root, qint64 files)
{
    VLNWindow window(&defaults);
    window.resize(1040, 680);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "window not exposed\n");
    QMimeData data;
    data.setUrls({QUrl::fromEncoded("file://" + root.toPercentEncoding("/"))});
    const QString expected = QStringLiteral("%1 files").arg(files);
    const double start = now();
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    QCoreApplication::processEvents(); // the label and the table painted
    const double seconds = now() - start;
    if (window.ui()->totalLabel->text() != expected)
        std::fprintf(stderr, "drop: label reads %s\n", qPrintable(window.ui()->totalLabel->text()));
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    bool quick = false;
    QString work = QDir::tempPath();
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--quick"))
            quick = true;
        else if (args[i] == QLatin1String("--work") && i + 1 < args.size())
            work = args[++i];
    }
    QTemporaryDir scratch(work + QLatin1String("/velnor-bench-app-XXXXXX"));
    UserDefaults defaults(scratch.filePath(QStringLiteral("Velnor.conf")));
    defaults.setBool(true, QStringLiteral("skipTutorial"));

    std::fprintf(stderr, "# keystroke\n");
    keystroke(defaults, quick ? 100000 : 1000000);

    std::fprintf(stderr, "# drop\n");
    const qint64 files = quick ? 10000 : 100000;
    const QByteArray root = QFile::encodeName(scratch.filePath(QStringLiteral("tree")));
    makeTree(root, files);
    intakeSeconds(root); // warm the cache
    std::vector<double> intake, drop;
    for (int i = 0; i < 3; ++i) {
        intake.push_back(intakeSeconds(root));
        drop.push_back(dropSeconds(defaults, root, files));
    }
    figure("drop_100k_ms", median(drop) * 1000, "ms");
    figure("intake_100k_ms", median(intake) * 1000, "ms");
    figure("drop_100k_vs_intake", median(drop) / median(intake), "ratio");
    return 0;
}
