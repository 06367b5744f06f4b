#include "rename/renamelog.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_RenameLog : public QObject
{
    Q_OBJECT

private slots:
    void displayPath_data();
    void displayPath();
    void lineStaysOneLine_data();
    void lineStaysOneLine();
};

void tst_RenameLog::displayPath_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("UTF-8 kept") << QByteArray("/a/caf\xc3\xa9 \xf0\x9f\x98\x80") << u"/a/café 😀"_s;
    QTest::newRow("Latin-1 byte") << QByteArray("/a/caf\xe9.txt") << u"/a/caf\\xe9.txt"_s;
    QTest::newRow("cut sequence at end") << QByteArray("/a/\xe2\x82") << u"/a/\\xe2\\x82"_s;
    QTest::newRow("overlong slash") << QByteArray("/a/\xc0\xaf") << u"/a/\\xc0\\xaf"_s;
    QTest::newRow("encoded surrogate") << QByteArray("\xed\xa0\x80") << u"\\xed\\xa0\\x80"_s;
    QTest::newRow("newline") << QByteArray("/a/x\ny") << u"/a/x\\x0ay"_s;
    QTest::newRow("escape and DEL") << QByteArray("\x1b[31m\x7f") << u"\\x1b[31m\\x7f"_s;
    QTest::newRow("C1 control") << QByteArray("a\xc2\x85"
                                              "b")
                                << u"a\\x85b"_s;
}

void tst_RenameLog::displayPath()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(RenameLog::displayPath(bytes), expected);
}

// A name can carry what would forge a second line in the log.
void tst_RenameLog::lineStaysOneLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("forged second line") << u"a\rb\nc"_s << u"a\\x0db\\x0ac"_s;
    QTest::newRow("line separator") << u"a\u2028b"_s << u"a\\u2028b"_s;
    QTest::newRow("lone surrogate") << u"a"_s + QChar(0xd83d) + u"b"_s << u"a\\ud83db"_s;
    QTest::newRow("surrogate pair kept") << u"😀"_s << u"😀"_s;
}

void tst_RenameLog::lineStaysOneLine()
{
    QFETCH(QString, line);
    QFETCH(QString, expected);
    QStringList lines;
    const RenameLog::Sink old = RenameLog::setSink([&](const QString &text) { lines << text; });
    RenameLog::write(line);
    RenameLog::setSink(old);
    QCOMPARE(lines, QStringList{expected});
}

QTEST_GUILESS_MAIN(tst_RenameLog)
#include "tst_renamelog.moc"
