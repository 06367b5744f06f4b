// SPDX-License-Identifier: GPL-3.0-or-later
// velnor-make-test-jpeg OUT.jpg [KEY=VALUE...]: a small JPEG drawn with Qt and
// tagged through exiv2 (Exif.*, Xmp.*, Iptc.* keys), for the tests and the
// benchmark. With --bytes N first, the picture is noise sized to about N bytes.
#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QRandomGenerator>

#include <exiv2/exiv2.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char **argv)
{
    int arg = 1;
    long bytes = 0;
    if (argc > 2 && std::strcmp(argv[1], "--bytes") == 0) {
        bytes = std::atol(argv[2]);
        arg = 3;
    }
    if (arg >= argc) {
        std::fputs("usage: velnor-make-test-jpeg [--bytes N] OUT.jpg [KEY=VALUE...]\n", stderr);
        return 2;
    }
    const char *out = argv[arg++];
    // Noise hardly compresses: about 0.95 bytes a pixel at quality 90.
    const int side = bytes > 0 ? int(std::sqrt(double(bytes) / 0.95)) : 16;
    QImage image(side, side, QImage::Format_RGB32);
    if (bytes > 0) {
        QRandomGenerator random{quint32(bytes)};
        for (int y = 0; y < side; ++y) {
            auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
            for (int x = 0; x < side; ++x)
                line[x] = random.generate();
        }
    } else {
        image.fill(Qt::darkCyan);
    }
    if (!image.save(QString::fromLocal8Bit(out), "JPEG", 90))
        return 1;
    try {
        Exiv2::Image::AutoPtr tagged = Exiv2::ImageFactory::open(out);
        tagged->readMetadata();
        for (; arg < argc; ++arg) {
            const char *eq = std::strchr(argv[arg], '=');
            if (!eq)
                return 2;
            const std::string key(argv[arg], size_t(eq - argv[arg]));
            if (key.rfind("Exif.", 0) == 0)
                tagged->exifData()[key] = std::string(eq + 1);
            else if (key.rfind("Xmp.", 0) == 0)
                tagged->xmpData()[key] = std::string(eq + 1);
            else
                tagged->iptcData()[key] = std::string(eq + 1);
        }
        tagged->writeMetadata();
    } catch (const std::exception &error) {
        std::fprintf(stderr, "velnor-make-test-jpeg: %s\n", error.what());
        return 1;
    }
    return 0;
}
