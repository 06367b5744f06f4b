// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench.h"

#include "meta/metareader.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <algorithm>

// "[X]" over 10,000 files of mixed types, against `file --mime-type` over the
// same files: the reading of each file's first bytes and the matching.
VELNOR_BENCH(ext_content, 40)
{
    const qint64 count = context.scaled(10000);
    const QString folder = context.workDir + QLatin1String("/content");
    QDir().mkpath(folder);
    const QByteArray heads[] = {
        QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\1\0\0\0\1\x08\0\0\0\0", 29),
        QByteArray("\xff\xd8\xff\xe0\0\x10JFIF\0\1\1\0\0\1\0\1\0\0", 20),
        QByteArray("%PDF-1.4\n1 0 obj\n<<>>\nendobj\n"),
        QByteArray("PK\x03\x04\x14\0\0\0\x08\0", 10),
        QByteArray("\x1f\x8b\x08\0\0\0\0\0\0\x03", 10),
        QByteArray("Plain text, a line of it.\n"),
        QByteArray("<!DOCTYPE html><html><body>x</body></html>\n"),
        QByteArray("ID3\x04\0\0\0\0\0\0", 10),
        QByteArray(),
        QByteArray("\x01\x02\x03\x04\xfe\xff\x00\x10", 8),
    };
    const char *const names[] = {"jpg", "png", "", "bin", "dat", "txt", "htm", "mp3", "e", "x"};
    std::vector<QByteArray> paths;
    QStringList arguments{QStringLiteral("--mime-type"), QStringLiteral("--")};
    for (qint64 i = 0; i < count; ++i) {
        const QString path =
            folder + QStringLiteral("/f%1.%2").arg(i).arg(QLatin1String(names[i % 10]));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return;
        // A few kilobytes each, as the head of a real file would be.
        const QByteArray &head = heads[(i / 10 + i) % 10];
        file.write(head);
        if (!head.isEmpty())
            file.write(QByteArray(4096, char(i % 7 == 0 ? 'a' : 0)));
        paths.push_back(QFile::encodeName(path));
        arguments << path;
    }

    const auto runFile = [&] {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        const double start = benchNow();
        process.start(QStringLiteral("file"), arguments);
        process.waitForFinished(-1);
        return benchNow() - start;
    };
    const auto runOurs = [&] {
        MetaReader reader; // a new cache each time: every file is read
        MetaReader::Request request;
        request.contentType = true;
        const double start = benchNow();
        const auto facts = reader.read(paths, request);
        return benchNow() - start + (facts.size() == paths.size() ? 0 : 1);
    };
    runFile();
    runOurs();
    std::vector<double> ratios;
    double ours = 0;
    double theirs = 0;
    for (int k = 0; k < 3; ++k) {
        const double a = runOurs();
        const double b = runFile();
        ours += a;
        theirs += b;
        ratios.push_back(a / b);
    }
    std::sort(ratios.begin(), ratios.end());
    figure("ext_content_10k_s", ours / 3, "s");
    figure("file_mime_type_10k_s", theirs / 3, "s");
    figure("ext_content_10k_vs_file", ratios[1], "ratio");
}
