// SPDX-License-Identifier: GPL-3.0-or-later
#include "scratchdir.h"

#include "meta/contenttype.h"
#include "posix/namecodec.h"
#include "rules/namecomposer.h"

#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// "[X]": the extension the first bytes of a file call for, over real files.
class tst_ContentType : public QObject
{
    Q_OBJECT
private slots:
    void extension_data();
    void extension();
};

namespace {
const QByteArray png = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\1\0\0\0\1\x08\0\0\0\0"_ba;
const QByteArray jpeg = "\xff\xd8\xff\xe0\0\x10JFIF\0\1\1\0\0\1\0\1\0\0"_ba;
const QByteArray pdf = "%PDF-1.4\n1 0 obj\n<<>>\nendobj\ntrailer\n<<>>\n%%EOF\n"_ba;
} // namespace

void tst_ContentType::extension_data()
{
    QTest::addColumn<QByteArray>("name");
    // Null: no file at all; "fifo": a FIFO, which must not hold the read.
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("extTemplate");
    QTest::addColumn<QString>("expected");
    QTest::newRow("a PNG named .jpg") << "photo.jpg"_ba << png << u"[X]"_s << u"photo.png"_s;
    QTest::newRow("a right one stays") << "right.png"_ba << png << u"[X]"_s << u"right.png"_s;
    QTest::newRow("its case stays") << "UP.PNG"_ba << png << u"[X]"_s << u"UP.PNG"_s;
    QTest::newRow("another of its extensions stays")
        << "shot.JPEG"_ba << jpeg << u"[X]"_s << u"shot.JPEG"_s;
    QTest::newRow("a PDF without extension") << "report"_ba << pdf << u"[X]"_s << u"report.pdf"_s;
    QTest::newRow("plain text keeps its own") << "notes.md"_ba
                                              << "hello\n"_ba << u"[X]"_s << u"notes.md"_s;
    QTest::newRow("an empty file keeps its own") << "empty.jpg"_ba
                                                 << ""_ba << u"[X]"_s << u"empty.jpg"_s;
    QTest::newRow("no definite type keeps its own")
        << "blob.bin"_ba
        << "\x01\x02\x03\xfe\xff\x00\x10"_ba << u"[X]"_s << u"blob.bin"_s;
    QTest::newRow("a file that is gone keeps its own")
        << "gone.jpg"_ba << QByteArray() << u"[X]"_s << u"gone.jpg"_s;
    QTest::newRow("a FIFO keeps its own") << "pipe.jpg"_ba
                                          << "fifo"_ba << u"[X]"_s << u"pipe.jpg"_s;
    QTest::newRow("a name that is not UTF-8")
        << "caf\xe9.jpg"_ba << png << u"[X]"_s << u"caf\xDCE9.png"_s;
    QTest::newRow("beside other tokens") << "a.jpg"_ba << png << u"[X].[C]"_s << u"a.png.1"_s;
}

void tst_ContentType::extension()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, extTemplate);
    QFETCH(QString, expected);
    ScratchDir dir;
    QVERIFY(dir.isValid());
    const QByteArray path = dir.path(name);
    if (content == "fifo") {
        QCOMPARE(::mkfifo(path.constData(), 0644), 0);
    } else if (!content.isNull()) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, content.constData(), size_t(content.size())), content.size());
        ::close(fd);
    }
    auto facts = std::make_shared<FileFacts>();
    facts->contentSuffixes = ContentType::suffixesOf(path);
    RenameSettings settings;
    settings.extTemplate = extTemplate;
    const NameComposer composer(settings);
    QVERIFY(composer.readsFacts());
    QCOMPARE(composer.newNameForFile({NameCodec::decode(name), 0, facts}, 0), expected);
}

QTEST_GUILESS_MAIN(tst_ContentType)
#include "tst_contenttype.moc"
