// SPDX-License-Identifier: GPL-3.0-or-later
#include "../cli/clirun.h"
#include "../diskfiles.h"
#include "meta/metareader.h"

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <utime.h>

using namespace Qt::StringLiterals;

// The reader through the real helper program on media made here, its
// failures through a stand-in helper, and the command line's tokens and date
// sources over the same files. Runs with TZ=Europe/Berlin.
class tst_MetaReader : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void photos_data();
    void photos();
    void movieAndAudio_data();
    void movieAndAudio();
    void secondReadReadsNothing();
    void hostileFilesCostOneFile();
    void crashingAndHangingHelper();
    void commandLine_data();
    void commandLine();
    void applyMovesByTheValues();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    void makeJpeg(const QString &name, const QStringList &tags);
    // The taken date as "wall 2024-03-05 14:07:09", "utc 2023-...Z" or "none".
    static QString takenText(const FileFacts &facts);
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_MetaReader::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_MetaReader::makeJpeg(const QString &name, const QStringList &tags)
{
    QCOMPARE(
        QProcess::execute(QStringLiteral(VELNOR_MAKE_JPEG_BIN), QStringList{path(name)} + tags), 0);
}

QString tst_MetaReader::takenText(const FileFacts &facts)
{
    if (!facts.taken)
        return u"none"_s;
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(*facts.taken, Qt::UTC);
    return facts.takenIsWallClock ? u"wall "_s + when.toString(u"yyyy-MM-dd HH:mm:ss"_s)
                                  : u"utc "_s + when.toString(Qt::ISODate);
}

void tst_MetaReader::photos_data()
{
    QTest::addColumn<QStringList>("tags");
    // Segments put between the start of the JPEG and its Exif block, `padding`
    // bytes of them: ones the parser reads (comments, FE) or skips (APP15, EF);
    // `cut` ends the file that many bytes into the Exif block.
    QTest::addColumn<char>("marker");
    QTest::addColumn<int>("padding");
    QTest::addColumn<int>("cut");
    QTest::addColumn<QString>("taken");
    QTest::addColumn<QString>("model");
    const auto tagged = [](const char *tag, const QStringList &tags, const QString &taken,
                           const QString &model = {}) {
        QTest::newRow(tag) << tags << '\xFE' << 0 << -1 << taken << model;
    };
    const QString shot = u"Exif.Photo.DateTimeOriginal=2024:03:05 14:07:09"_s;
    const QString wall = u"wall 2024-03-05 14:07:09"_s;
    const auto padded = [&](const char *tag, char marker, int padding, int cut = -1) {
        QTest::newRow(tag) << QStringList{shot, u"Exif.Image.Model=EOS R6"_s} << marker << padding
                           << cut << (cut < 0 ? wall : u"none"_s)
                           << (cut < 0 ? u"EOS R6"_s : QString());
    };
    tagged("Exif shot time, camera",
           {shot, u"Exif.Image.Make=Canon"_s, u"Exif.Image.Model=EOS R6"_s}, wall, u"EOS R6"_s);
    tagged("Exif before XMP", {shot, u"Xmp.xmp.CreateDate=2001-01-01T00:00:00"_s}, wall);
    tagged("XMP shot time, zone dropped",
           {u"Xmp.exif.DateTimeOriginal=2021-06-01T08:30:00+09:00"_s},
           u"wall 2021-06-01 08:30:00"_s);
    tagged("XMP creation date", {u"Xmp.xmp.CreateDate=2020-02-02T02:02:02"_s},
           u"wall 2020-02-02 02:02:02"_s);
    tagged("IPTC date and time",
           {u"Iptc.Application2.DateCreated=2019-12-31"_s,
            u"Iptc.Application2.TimeCreated=23:59:59+00:00"_s},
           u"wall 2019-12-31 23:59:59"_s);
    tagged("no date", {u"Exif.Image.Model=Pixel 7"_s}, u"none"_s, u"Pixel 7"_s);
    tagged("a date of zeros is none", {u"Exif.Photo.DateTimeOriginal=0000:00:00 00:00:00"_s},
           u"none"_s);
    padded("Exif across the end of the first read", '\xFE', 4050);
    padded("Exif after comments of 200 KB", '\xFE', 200000);
    padded("Exif after skipped segments of 1 MB", '\xEF', 1000000);
    padded("file ends inside a far Exif block", '\xFE', 100000, 40);
}

void tst_MetaReader::photos()
{
    QFETCH(QStringList, tags);
    QFETCH(char, marker);
    QFETCH(int, padding);
    QFETCH(int, cut);
    makeJpeg(u"p.jpg"_s, tags);
    if (padding > 0) {
        QByteArray jpeg = readFile(path(u"p.jpg"_s));
        const qsizetype exifAt = jpeg.indexOf("\xFF\xE1");
        QVERIFY(exifAt > 0);
        QByteArray segments;
        for (int left = padding; left > 0;) {
            const int size = std::min(left, 60000);
            segments += QByteArray("\xFF", 1) + marker + char((size + 2) >> 8) +
                        char((size + 2) & 0xFF) + QByteArray(size, 'x');
            left -= size + 4;
        }
        jpeg.insert(exifAt, segments);
        if (cut >= 0)
            jpeg.truncate(exifAt + segments.size() + cut);
        writeFile(path(u"p.jpg"_s), jpeg);
    }

    MetaReader reader;
    const auto facts = reader.read({QFile::encodeName(path(u"p.jpg"_s))}, {true, {}});
    QVERIFY(facts[0] && !facts[0]->unreadable);
    QTEST(takenText(*facts[0]), "taken");
    QTEST(facts[0]->values.value(u"Model"_s), "model");
    if (padding == 0)
        QCOMPARE(facts[0]->values.value(u"Width"_s), u"16"_s);
}

void tst_MetaReader::movieAndAudio_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("ffmpeg");
    QTest::addColumn<QString>("taken");
    QTest::addColumn<QString>("values");
    const QStringList video =
        u"-f lavfi -i color=c=blue:s=32x24:d=0.2 -metadata creation_time=2023-07-01T10:00:00Z"_s
            .split(u' ');
    const QStringList audio = u"-f lavfi -i anullsrc=d=0.2 -metadata artist=AC/DC -metadata "
                              "track=3/12 -metadata date=1980-07-25 -metadata"_s.split(u' ') +
                              QStringList{u"composer=Angus Young"_s};
    QTest::newRow("MP4: container time in UTC")
        << u"v.mp4"_s << video << u"utc 2023-07-01T10:00:00Z"_s << u"|||"_s;
    QTest::newRow("QuickTime") << u"v.mov"_s << video << u"utc 2023-07-01T10:00:00Z"_s << u"|||"_s;
    QTest::newRow("Matroska") << u"v.mkv"_s << video << u"utc 2023-07-01T10:00:00Z"_s << u"|||"_s;
    QTest::newRow("MP3 tags") << u"s.mp3"_s << audio << u"none"_s
                              << u"AC/DC|3/12|1980|Angus Young"_s;
    QTest::newRow("FLAC tags") << u"s.flac"_s << audio << u"none"_s
                               << u"AC/DC|3/12|1980|Angus Young"_s;
}

void tst_MetaReader::movieAndAudio()
{
    QFETCH(QString, name);
    QFETCH(QStringList, ffmpeg);
    if (QStandardPaths::findExecutable(u"ffmpeg"_s).isEmpty())
        QSKIP("ffmpeg is not installed (make deps installs it): movie and audio files untested");
    QCOMPARE(QProcess::execute(u"ffmpeg"_s, QStringList{u"-loglevel"_s, u"error"_s} + ffmpeg +
                                                QStringList{path(name)}),
             0);
    MetaReader reader;
    const auto facts = reader.read({QFile::encodeName(path(name))}, {true, {u"COMPOSER"_s}});
    QTEST(takenText(*facts[0]), "taken");
    const auto &values = facts[0]->values;
    const QString tags = QStringList{values.value(u"Artist"_s), values.value(u"Track"_s),
                                     values.value(u"Year"_s), values.value(u"COMPOSER"_s)}
                             .join(u'|');
    QTEST(tags, "values");
}

// A second read asks the helper only for what it has not read; the file
// modified long before it was made reads its birth time, not confused with
// the modification time.
void tst_MetaReader::secondReadReadsNothing()
{
    for (const QString &name : {u"a.jpg"_s, u"b.jpg"_s, u"c.jpg"_s})
        makeJpeg(name, {u"Exif.Image.Model="_s + name});
    const std::vector<QByteArray> paths{QFile::encodeName(path(u"a.jpg"_s)),
                                        QFile::encodeName(path(u"b.jpg"_s)),
                                        QFile::encodeName(path(u"c.jpg"_s))};
    MetaReader reader;
    reader.read(paths, {true, {}});
    QCOMPARE(reader.requests(), 3);
    // Another template over the same list, named values only: nothing read.
    const auto again = reader.read(paths, {true, {}});
    QCOMPARE(reader.requests(), 3);
    QCOMPARE(again[1]->values.value(u"Model"_s), u"b.jpg"_s);
    // A further key, or a file changed since, is read again.
    reader.read({paths[0]}, {true, {u"Exif.Photo.FNumber"_s}});
    QCOMPARE(reader.requests(), 4);
    const struct utimbuf earlier = {1000000000, 1000000000};
    QCOMPARE(::utime(paths[2].constData(), &earlier), 0);
    const auto changed = reader.read(paths, {true, {}});
    QCOMPARE(reader.requests(), 5);
    struct statx info = {};
    QCOMPARE(::statx(AT_FDCWD, paths[2].constData(), 0, STATX_BTIME, &info), 0);
    if (info.stx_mask & STATX_BTIME) {
        QVERIFY(changed[2]->created);
        QCOMPARE(*changed[2]->created,
                 qint64(info.stx_btime.tv_sec) * 1000 + info.stx_btime.tv_nsec / 1000000);
    }
}

void tst_MetaReader::hostileFilesCostOneFile()
{
    makeJpeg(u"good.jpg"_s, {u"Exif.Image.Model=Good"_s});
    const QByteArray jpeg = readFile(path(u"good.jpg"_s));
    // A JPEG whose Exif block is TIFF "II*" with IFD0 at 8 and `entries`.
    const auto exifJpeg = [](const QByteArray &ifd) {
        const QByteArray tiff = QByteArray("II*\0\x08\0\0\0", 8) + ifd;
        const QByteArray app1 = QByteArray("Exif\0\0", 6) + tiff;
        const int size = int(app1.size()) + 2;
        return QByteArray("\xFF\xD8\xFF\xE1", 4) + char(size >> 8) + char(size & 0xFF) + app1 +
               QByteArray("\xFF\xD9", 2);
    };
    const QList<std::pair<QString, QByteArray>> hostile{
        {u"truncated.jpg"_s, jpeg.left(jpeg.size() / 2)},
        // IFD0's Exif pointer and its next-IFD link both lead back to IFD0.
        {u"loop.jpg"_s,
         exifJpeg(QByteArray("\x01\0\x69\x87\x04\0\x01\0\0\0\x08\0\0\0\x08\0\0\0", 18))},
        // Make, ASCII, 2^31 characters.
        {u"count.jpg"_s,
         exifJpeg(QByteArray("\x01\0\x0F\x01\x02\0\0\0\0\x80\x1A\0\0\0\0\0\0\0", 18))},
        // An mdat box of 4 GiB in a file of a few bytes, then a moov that
        // claims nearly as much.
        {u"huge.mp4"_s, QByteArray("\0\0\0\x10"
                                   "ftypisom\0\0\0\0"
                                   "\0\0\0\x01"
                                   "mdat\0\0\0\x01\0\0\0\0"
                                   "\xFF\xFF\xFF\xF0"
                                   "moov\0\0\0\0",
                                   44)},
        {u"empty.mov"_s, QByteArray()},
    };
    // Inputs the fuzzer found that make a parser abort or fail.
    QVERIFY(QFile::copy(QStringLiteral(VELNOR_HOSTILE_DIR "/matroska-assert.mkv"),
                        path(u"matroska-assert.mkv"_s)));
    std::vector<QByteArray> paths{QFile::encodeName(path(u"matroska-assert.mkv"_s))};
    for (const auto &[name, bytes] : hostile) {
        writeFile(path(name), bytes);
        paths.push_back(QFile::encodeName(path(name)));
    }
    paths.push_back(QFile::encodeName(path(u"good.jpg"_s)));
    MetaReader reader;
    const auto facts = reader.read(paths, {true, {u"Exif.Image.Make"_s}});
    for (const auto &one : facts) {
        QVERIFY(one);
        QVERIFY(!one->taken);
    }
    QCOMPARE(facts.back()->values.value(u"Model"_s), u"Good"_s);
    QVERIFY(facts.front()->unreadable);

    // The command line names the good file and refuses the others.
    const CliResult cli = runCli(
        {"--json", "--name", "[Model]", "--sort", "old-name", QFile::encodeName(m_dir->path())});
    QCOMPARE(cli.exitCode, 0);
    const QJsonArray files = jsonFiles(cli.out);
    QCOMPARE(files.size(), 7);
    QCOMPARE(files[2][u"newName"_s].toString(), u"Good.jpg"_s);
    QCOMPARE(files[0][u"status"_s].toString(), u"invalid: no Model"_s);
    QCOMPARE(files[5][u"status"_s].toString(), u"invalid: metadata could not be read"_s);
}

void tst_MetaReader::crashingAndHangingHelper()
{
    const QStringList names{u"a"_s, u"crash"_s, u"b"_s, u"hang"_s, u"c"_s};
    std::vector<QByteArray> paths;
    for (const QString &name : names) {
        writeFile(path(name), {});
        paths.push_back(QFile::encodeName(path(name)));
    }
    MetaReader reader(QStringLiteral(VELNOR_STANDIN_READER_BIN));
    reader.setWorkers(1);
    reader.setTimeout(1000);
    const auto facts = reader.read(paths, {true, {}});
    QStringList got;
    for (const auto &one : facts)
        got << (one->unreadable ? u"unreadable"_s : one->values.value(u"Model"_s));
    QCOMPARE(got, (QStringList{u"a"_s, u"unreadable"_s, u"b"_s, u"unreadable"_s, u"c"_s}));
    QCOMPARE(reader.restarts(), 2);
    // What could not be read is tried again.
    reader.read({paths[1]}, {true, {}});
    QCOMPARE(reader.requests(), 6);
}

// The command line's date sources over the facts read: the date taken, as
// its wall clock reads, and one falling back to the next. (Which date each
// chain picks, and a missing value, are the composer's to test.)
void tst_MetaReader::commandLine_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("expected"); // "name status" per file, in order
    QTest::newRow("by date taken")
        << u"--date-from taken --sort date --24-hour --name"_s.split(u' ') +
               QStringList{u"[YMD]-[hms] [Model|?]"_s}
        << u"19991231-235959 ?.jpg rename|20240305-140709 X-T5.jpg rename|none.jpg invalid: no "
           "date taken"_s;
    QTest::newRow("taken, else modified (2001-09-09 03:46:40 in Berlin)")
        << u"--date-from taken,modified --sort date --name [YMD]"_s.split(u' ')
        << u"19991231.jpg rename|20010909.jpg rename|20240305.jpg rename"_s;
}

void tst_MetaReader::commandLine()
{
    QFETCH(QStringList, options);
    makeJpeg(u"new.jpg"_s, {u"Exif.Photo.DateTimeOriginal=1999:12:31 23:59:59"_s});
    makeJpeg(u"old.jpg"_s, {u"Exif.Photo.DateTimeOriginal=2024:03:05 14:07:09"_s,
                            u"Exif.Image.Make=FUJIFILM"_s, u"Exif.Image.Model=X-T5"_s});
    makeJpeg(u"none.jpg"_s, {});
    const struct utimbuf modified = {1000000000, 1000000000};
    QCOMPARE(::utime(QFile::encodeName(path(u"none.jpg"_s)).constData(), &modified), 0);
    CliOptions berlin;
    berlin.env = {"TZ=Europe/Berlin"};
    QByteArrayList arguments;
    for (const QString &option : std::as_const(options))
        arguments << option.toUtf8();
    const CliResult cli =
        runCli(arguments + QByteArrayList{"--json", QFile::encodeName(m_dir->path())}, berlin);
    QCOMPARE(cli.exitCode, 0);
    QStringList rows;
    for (const QJsonValue &file : jsonFiles(cli.out))
        rows << file[u"newName"_s].toString() + u' ' + file[u"status"_s].toString();
    QTEST(rows.join(u'|'), "expected");
}

void tst_MetaReader::applyMovesByTheValues()
{
    makeJpeg(u"a.jpg"_s, {u"Exif.Image.Model=X-T5"_s});
    makeJpeg(u"b.jpg"_s, {});
    const QByteArray bytes = readFile(path(u"a.jpg"_s));
    const CliResult cli =
        runCli({"--apply", "--no-journal", "--name", "[Model]", QFile::encodeName(m_dir->path())});
    QCOMPARE(cli.exitCode, 1);
    QCOMPARE(cli.err,
             QByteArray("Cannot rename “" + QFile::encodeName(path(u"b.jpg"_s)) + "”: no Model\n"));
    QCOMPARE(namesIn(QFile::encodeName(m_dir->path())), (QByteArrayList{"X-T5.jpg", "b.jpg"}));
    QCOMPARE(readFile(path(u"X-T5.jpg"_s)), bytes);
}

QTEST_GUILESS_MAIN(tst_MetaReader)
#include "tst_metareader.moc"
