// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/renamelog.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_RenameLog : public QObject
{
    Q_OBJECT

private slots:
    void lineStaysOneLine_data();
    void lineStaysOneLine();
};

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
