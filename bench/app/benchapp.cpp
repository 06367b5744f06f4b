// SPDX-License-Identifier: GPL-3.0-or-later
// velnor-bench-app [--quick] [--work DIR]
//                  [--only keystroke|keystroke_meta|drop|drop_100k|drop_1m|run|history]
// The window under load, offscreen: a keystroke in the name field with a
// million files listed, and the longest the event loop stood still until the
// rename plan of that keystroke was shown; drops of large folders against the
// core's own intake of the same tree, with the longest stall meanwhile; Start
// Renaming against the core's run, likewise; and the longest stall while a
// history of 100 MiB is read at start-up and after a run.
#include "benchmeta.h"

#include "app/undocontrol.h"
#include "app/vlnwindow.h"
#include "files/counttext.h"
#include "files/filelist.h"
#include "files/zqfile.h"
#include "intake/fileintake.h"
#include "model/filetablemodel.h"
#include "plan/renameplan.h"
#include "rename/accessgrant.h"
#include "rename/journal.h"
#include "rename/renamerun.h"
#include "rename/runhistory.h"
#include "rename/userdefaults.h"
#include "rules/namecomposer.h"
#include "ui_vlnwindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
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

// A bench that measured nothing must not print a figure.
[[noreturn]] void fail(const char *part, const QString &why)
{
    std::fprintf(stderr, "%s: %s\n", part, qPrintable(why));
    std::exit(1);
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

// The largest gap between the ticks of a 1 ms timer: how long the event
// loop went without turning.
class StallProbe : public QObject
{
public:
    StallProbe()
    {
        m_timer.setInterval(1);
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
    }
    void start()
    {
        m_last = now();
        m_lastCpu = threadCpu();
        m_largestCpu = 0;
        m_largest = 0;
        m_timer.start();
    }
    // Also counts the time since the last tick, for work that ends the wait.
    double stopMs()
    {
        tick();
        m_timer.stop();
        return m_largest * 1000;
    }

private:
    void tick()
    {
        const double t = now();
        const double cpu = threadCpu();
        if (t - m_last > m_largest) {
            m_largest = t - m_last;
            m_largestCpu = cpu - m_lastCpu;
        }
        m_last = t;
        m_lastCpu = cpu;
    }
    static double threadCpu()
    {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
    }

public:
    // How much of the longest gap the event loop's thread spent working; the
    // rest it waited for a processor.
    double largestCpuMs() const { return m_largestCpu * 1000; }

private:
    double m_lastCpu = 0;
    double m_largestCpu = 0;
    QTimer m_timer;
    double m_last = 0;
    double m_largest = 0;
};

// Turns the event loop until `done` holds, sleeping between events as the
// application's own loop does. (processEvents with a time limit drops
// WaitForMoreEvents and would keep a processor busy polling, taken from the
// work being timed.) The timer bounds each wait.
void spinUntil(const std::function<bool()> &done)
{
    QTimer wake;
    wake.start(5);
    while (!done())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

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
    // An odd number of keystrokes, the last one an "a": the preview must show it.
    FileTableModel *model = window.tableModel();
    const QString shown = model->data(model->index(0, FileTableModel::NewNameColumn)).toString();
    if (ui->nameField->text() != QStringLiteral("Holiday-[YMD]-[C]a") ||
        !shown.endsWith(QStringLiteral("a.JPG")))
        fail("keystroke", QStringLiteral("the field reads %1, the first new name %2")
                              .arg(ui->nameField->text(), shown));
    figure("keystroke_1m", median(times), "ms");

    // The plan of each keystroke is made on a worker a moment later: the
    // longest the event loop stands still until it is shown.
    spinUntil([&] { return model->plan() != nullptr; });
    double stall = 0;
    for (int i = 0; i < 5; ++i) {
        StallProbe probe;
        probe.start();
        QTest::keyClick(ui->nameField, i % 2 ? Qt::Key_Backspace : Qt::Key_B);
        // The shown plan goes with the keystroke; the wait is for its successor.
        if (model->plan())
            fail("plan", QStringLiteral("the keystroke left the old plan shown"));
        spinUntil([&] { return model->plan() != nullptr; });
        if (model->plan()->count() != records)
            fail("plan", QStringLiteral("a plan of %1 files").arg(model->plan()->count()));
        const double ms = probe.stopMs();
        std::fprintf(stderr, "plan: longest stall %.1f ms, of which working %.1f ms\n", ms,
                     probe.largestCpuMs());
        stall = std::max(stall, ms);
    }
    figure("stall_plan_1m_ms", stall, "ms");
    {
        // What the machine alone costs the loop: the same wait with nothing to do.
        StallProbe idle;
        idle.start();
        QTest::qWait(2000);
        std::fprintf(stderr, "idle stall over 2 s: %.1f ms\n", idle.stopMs());
    }
    window.close();
}

// A history of about 100 MiB in the runs folder: journals of 20,000 moves
// each, every move done. The number of runs. The runs the parts before made
// in the same scratch state are taken away first, so that the history is
// the same size whichever parts ran.
int makeHistory(const QByteArray &root)
{
    const QString folder = RunHistory::runsFolder();
    QDir(folder).removeRecursively();
    qint64 bytes = 0;
    int run = 0;
    for (; bytes < 100 * 1024 * 1024; ++run) {
        QList<JournalMove> moves;
        for (int i = 0; i < 20000; ++i) {
            const QByteArray name = "IMG_" + QByteArray::number(i).rightJustified(7, '0');
            moves << JournalMove{root + "/folder" + QByteArray::number(i % 100), name + ".JPG",
                                 name + "-renamed.JPG", 1, quint64(1000 + i)};
        }
        JournalWriter writer;
        QString error;
        if (!writer.begin(folder, moves, 1'700'000'000'000 + run * 1000LL, &error))
            fail("history", error);
        for (int i = 0; i < moves.size(); ++i)
            writer.recordOutcome(i, true);
        writer.finish(moves.size(), 0, 0);
        bytes += QFileInfo(writer.path()).size();
    }
    return run;
}

// The longest stall of the event loop while the window reads the history:
// as it opens, and again as after a run.
double historyStall(UserDefaults &defaults, int runs)
{
    double stall = 0;
    VLNWindow window(&defaults);
    UndoControl *undo = window.undoControl();
    {
        // From the window's first paint on: what the history costs, not what
        // a window costs to show.
        window.resize(1040, 680);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            std::fprintf(stderr, "window not exposed\n");
        StallProbe probe;
        probe.start();
        spinUntil([&] { return !undo->isReading(); });
        stall = probe.stopMs();
        std::fprintf(stderr, "start-up %.1f ms\n", stall);
    }
    const auto check = [&] {
        if (undo->history().runs.size() != runs)
            fail("history",
                 QStringLiteral("%1 runs read of %2").arg(undo->history().runs.size()).arg(runs));
    };
    check();
    for (int i = 0; i < 3; ++i) {
        StallProbe probe;
        probe.start();
        undo->refresh();
        if (!undo->isReading())
            fail("history", QStringLiteral("refresh read nothing"));
        spinUntil([&] { return !undo->isReading(); });
        check();
        const double ms = probe.stopMs();
        std::fprintf(stderr, "after a run %.1f ms\n", ms);
        stall = std::max(stall, ms);
    }
    return stall;
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

struct Timed
{
    double seconds = 0;
    double stallMs = 0;
};

// A drop of the tree on the window, until the label reads its count. The
// probe, when asked for, wakes the event loop a thousand times a second and
// takes its share of the processors from the listing.
Timed drop(UserDefaults &defaults, const QByteArray &root, qint64 files, bool probed)
{
    VLNWindow window(&defaults);
    window.resize(1040, 680);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "window not exposed\n");
    QMimeData data;
    data.setUrls({QUrl::fromEncoded("file://" + root.toPercentEncoding("/"))});
    // The count as the label writes it, in the locale's digits.
    const QString expected = QStringLiteral("%1 files").arg(CountText::number(files));
    StallProbe probe;
    if (probed)
        probe.start();
    const double start = now();
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    QLabel *label = window.ui()->totalLabel;
    spinUntil([&] { return label->text() == expected || !window.isListing(); });
    Timed timed;
    timed.seconds = now() - start;
    timed.stallMs = probed ? probe.stopMs() : 0;
    if (probed)
        std::fprintf(stderr, "drop: longest stall %.1f ms, of which working %.1f ms\n",
                     timed.stallMs, probe.largestCpuMs());
    if (label->text() != expected || window.fileList()->count() != files)
        fail("drop", QStringLiteral("the label reads %1, the list holds %2 files")
                         .arg(label->text())
                         .arg(window.fileList()->count()));
    return timed;
}

// The files below root, and how many of them end in `suffix`.
std::pair<qint64, qint64> countNames(const QByteArray &root, const QByteArray &suffix)
{
    FileList list;
    FileIntake intake(list);
    intake.setReadsAttributes(false);
    intake.insertFile(root);
    qint64 ending = 0;
    for (const auto &file : list.contentsArray())
        ending += file->nativePath().endsWith(suffix) ? 1 : 0;
    return {list.count(), ending};
}

// The tree listed in the window, then renamed by Start Renaming with the
// grant already stored, until the report shows. The plan of the template is
// waited for first: Start waits for it too, and that wait is the keystroke's
// cost, not the run's.
Timed windowRun(UserDefaults &defaults, const QByteArray &root, const QString &nameTemplate,
                qint64 files)
{
    VLNWindow window(&defaults);
    window.resize(1040, 680);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "window not exposed\n");
    window.listInBackground({root});
    spinUntil([&] { return !window.isListing(); });
    window.ui()->nameField->setText(nameTemplate);
    window.controlTextDidChange();
    FileTableModel *model = window.tableModel();
    spinUntil([&] { return model->plan() && model->plan()->isComplete(); });
    if (model->plan()->count() != files || model->plan()->problems() != 0)
        fail("run", QStringLiteral("the plan holds %1 files, %2 with a problem")
                        .arg(model->plan()->count())
                        .arg(model->plan()->problems()));
    grantChosenFolder(root, defaults);
    // Each run starts with the writes of the one before it on disk, so
    // that neither the window nor the core pays for the other's.
    ::sync();
    StallProbe probe;
    probe.start();
    const double start = now();
    window.clickStart();
    if (!window.isRenaming())
        fail("run", QStringLiteral("Start did not start the run"));
    spinUntil([&] { return !window.isRenaming(); });
    Timed timed;
    timed.seconds = now() - start;
    // The stall counts on while the run's report is let go after its end.
    const double ended = now();
    spinUntil([&] { return now() - ended > 0.25; });
    timed.stallMs = probe.stopMs();
    std::fprintf(stderr, "run: longest stall %.1f ms, of which working %.1f ms\n", timed.stallMs,
                 probe.largestCpuMs());
    if (!window.reportSheet())
        fail("run", QStringLiteral("no report after the run"));
    std::fprintf(stderr, "run: %s\n", qPrintable(window.reportSheet()->text()));
    window.reportSheet()->accept();
    const QByteArray suffix = QFile::encodeName(nameTemplate.mid(3)) + ".txt";
    const auto [listed, renamed] = countNames(root, suffix);
    if (listed != files || renamed != files)
        fail("run", QStringLiteral("%1 files on disk, %2 of them end in %3, not all %4")
                        .arg(listed)
                        .arg(renamed)
                        .arg(QString::fromLatin1(suffix))
                        .arg(files));
    return timed;
}

// The core's run over the same tree, as run_100k_vs_renameat2 times it.
double coreRun(const QByteArray &root, const QString &nameTemplate)
{
    FileList list;
    FileIntake intake(list);
    intake.setReadsAttributes(false);
    intake.insertFile(root);
    RenameSettings settings;
    settings.nameTemplate = nameTemplate;
    settings.extTemplate = QStringLiteral("[E]");
    const NameComposer composer(settings);
    ::sync(); // as before the window's run

    const double start = now();
    // With its journal, as the window's run keeps one for undo; in a folder
    // of its own, so that the window's history does not grow with the core's.
    RenameRun::JournalChoice journal;
    journal.keep = true;
    journal.folder = QFile::decodeName(root) + QStringLiteral("-core-runs");
    RenameRun::clickStart(list, composer, nullptr, nullptr, {}, nullptr, journal);
    return now() - start;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    bool quick = false;
    // One part alone, for a profiler.
    QString only;
    QString work = QDir::tempPath();
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--quick"))
            quick = true;
        else if (args[i] == QLatin1String("--work") && i + 1 < args.size())
            work = args[++i];
        else if (args[i] == QLatin1String("--only") && i + 1 < args.size())
            only = args[++i];
    }
    QTemporaryDir scratch(work + QLatin1String("/velnor-bench-app-XXXXXX"));
    // The journals of the runs go with the rest of the scratch.
    qputenv("XDG_STATE_HOME", QFile::encodeName(scratch.path()));
    UserDefaults defaults(scratch.filePath(QStringLiteral("Velnor.conf")));
    defaults.setBool(true, QStringLiteral("skipTutorial"));

    const auto wanted = [&only](const char *part) {
        return only.isEmpty() || only == QLatin1String(part);
    };
    if (wanted("keystroke")) {
        std::fprintf(stderr, "# keystroke\n");
        keystroke(defaults, quick ? 100000 : 1000000);
    }
    if (wanted("keystroke_meta")) {
        std::fprintf(stderr, "# keystroke_meta\n");
        keystrokeMeta(defaults, scratch.path(), QStringLiteral(VELNOR_MAKE_JPEG_BIN),
                      quick ? 10000 : 100000);
    }

    for (const bool large : {false, true}) {
        // drop_100k at a tenth of the size of the quick run, as before.
        const qint64 files = (large ? 1000000 : 100000) / (quick ? 10 : 1);
        const char *const size = large ? "1m" : "100k";
        // "drop" for both, or "drop_100k" or "drop_1m" alone.
        if (!wanted("drop") && only != QLatin1String("drop_") + QLatin1String(size))
            continue;
        std::fprintf(stderr, "# drop %s\n", size);
        const QByteArray root =
            QFile::encodeName(scratch.filePath(QStringLiteral("tree-%1").arg(QLatin1String(size))));
        makeTree(root, files);
        intakeSeconds(root); // warm the cache
        std::vector<double> intake, dropped, stalls;
        // The small drop is over in a tenth of a second, where a busy moment
        // of the machine weighs much: seven pairs, and the medians. The large
        // one in three pairs: one pair alone varied by a sixth between runs
        // on a shared machine. The small drop's stall is not a figure, so it
        // goes without the probe, as it did before the listing ran in the
        // background.
        for (int i = 0; i < (large ? 3 : 7); ++i) {
            intake.push_back(intakeSeconds(root));
            const Timed timed = drop(defaults, root, files, large);
            dropped.push_back(timed.seconds);
            stalls.push_back(timed.stallMs);
        }
        const std::string name = std::string("drop_") + size;
        figure((name + "_ms").c_str(), median(dropped) * 1000, "ms");
        figure((std::string("intake_") + size + "_ms").c_str(), median(intake) * 1000, "ms");
        figure((name + "_vs_intake").c_str(), median(dropped) / median(intake), "ratio");
        if (large)
            figure("stall_drop_1m_ms", *std::max_element(stalls.begin(), stalls.end()), "ms");
        QDir(QFile::decodeName(root)).removeRecursively();
    }

    if (wanted("run")) {
        std::fprintf(stderr, "# run\n");
        // 100 folders, as run_100k_vs_renameat2.
        const qint64 files = quick ? 10000 : 100000;
        const QByteArray root = QFile::encodeName(scratch.filePath(QStringLiteral("run")));
        ::mkdir(root.constData(), 0755);
        for (qint64 i = 0; i < files; ++i) {
            const QByteArray folder = root + "/f" + QByteArray::number(i % 100);
            if (i < 100)
                ::mkdir(folder.constData(), 0755);
            const QByteArray path = folder + "/file" + QByteArray::number(i) + ".txt";
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd >= 0)
                ::close(fd);
        }
        intakeSeconds(root); // warm the cache
        // Each run renames every file once more, alternating window and core.
        std::vector<double> core, window, stalls;
        for (int i = 0; i < 2; ++i) {
            core.push_back(coreRun(root, QStringLiteral("[N]a")));
            const auto [listed, renamed] = countNames(root, "a.txt");
            if (listed != files || renamed != files)
                fail("run",
                     QStringLiteral("the core renamed %1 of %2 files").arg(renamed).arg(listed));
            const Timed timed = windowRun(defaults, root, QStringLiteral("[N]b"), files);
            window.push_back(timed.seconds);
            stalls.push_back(timed.stallMs);
        }
        figure("run_100k_window_ms", median(window) * 1000, "ms");
        figure("run_100k_core_ms", median(core) * 1000, "ms");
        figure("run_100k_window_vs_core", median(window) / median(core), "ratio");
        figure("stall_run_100k_ms", *std::max_element(stalls.begin(), stalls.end()), "ms");
    }

    if (wanted("history")) {
        std::fprintf(stderr, "# history\n");
        const int runs = makeHistory(QFile::encodeName(scratch.path()));
        figure("stall_history_ms", historyStall(defaults, runs), "ms");
    }
    return 0;
}
