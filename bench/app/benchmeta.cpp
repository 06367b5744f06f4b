// SPDX-License-Identifier: GPL-3.0-or-later
#include "benchmeta.h"

#include "app/factsreading.h"
#include "app/metacontrols.h"
#include "app/vlnwindow.h"
#include "model/filetablemodel.h"
#include "ui_vlnwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Counts the paints of the table's viewport.
class Paints : public QObject
{
public:
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

} // namespace

void keystrokeMeta(UserDefaults &defaults, const QString &work, const QString &makeJpeg,
                   qint64 files)
{
    const QByteArray root = QFile::encodeName(work + QStringLiteral("/meta"));
    ::mkdir(root.constData(), 0755);
    for (int i = 0; i < 20; ++i) {
        const QString base = QFile::decodeName(root) + QStringLiteral("/base%1.jpg").arg(i);
        const int made = QProcess::execute(
            makeJpeg, {base,
                       QStringLiteral("Exif.Photo.DateTimeOriginal=2024:03:%1 14:07:09")
                           .arg(i + 1, 2, 10, QLatin1Char('0')),
                       QStringLiteral("Exif.Image.Model=EOS R%1").arg(i)});
        if (made != 0) {
            std::fprintf(stderr, "keystroke_100k_meta: %s failed\n", qPrintable(makeJpeg));
            return;
        }
    }
    for (qint64 i = 0; i < files; ++i) {
        const QByteArray folder = root + "/f" + QByteArray::number(i / 1000);
        if (i % 1000 == 0)
            ::mkdir(folder.constData(), 0755);
        const QByteArray base = root + "/base" + QByteArray::number(i % 20) + ".jpg";
        const QByteArray link =
            folder + "/IMG_" + QByteArray::number(i).rightJustified(6, '0') + ".jpg";
        ::link(base.constData(), link.constData());
    }
    VLNWindow window(&defaults);
    window.resize(1040, 680);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "window not exposed\n");
    QList<QByteArray> folders;
    for (qint64 f = 0; f < (files + 999) / 1000; ++f)
        folders << root + "/f" + QByteArray::number(f);
    window.listInBackground(folders);
    while (window.isListing())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    Ui::VLNWindow *ui = window.ui();
    window.metaControls()->datesFromPopup()->setCurrentIndex(1); // taken, else modified
    ui->nameField->setText(QStringLiteral("[YMD]_[Model]"));
    window.controlTextDidChange();
    QElapsedTimer reading;
    reading.start();
    FileTableModel *model = window.tableModel();
    while (!model->plan())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    std::fprintf(stderr, "# %lld photos read in %.2f s (%lld requests)\n", (long long)files,
                 reading.elapsed() / 1000.0, (long long)window.factsReading()->reader().requests());
    ui->nameField->setFocus();
    QTest::qWait(50);

    Paints paints;
    ui->tableView->viewport()->installEventFilter(&paints);
    std::vector<double> times;
    for (int i = 0; i < 41; ++i) {
        const int before = paints.count;
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(ui->nameField, i % 2 ? Qt::Key_Backspace : Qt::Key_A);
        while (paints.count == before)
            QCoreApplication::processEvents();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::printf("figure keystroke_100k_meta %.3f ms\n", times[times.size() / 2]);
    std::fflush(stdout);
    // Nothing was read again for the keystrokes.
    std::fprintf(stderr, "# requests after the keystrokes: %lld\n",
                 (long long)window.factsReading()->reader().requests());
    window.close();
    QDir(QFile::decodeName(root)).removeRecursively();
}
