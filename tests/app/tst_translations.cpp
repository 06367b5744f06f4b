// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/jobbar.h"
#include "app/planmarks.h"
#include "app/translations.h"
#include "files/counttext.h"
#include "files/filelist.h"
#include "rename/renamerun.h"
#include "windowtest.h"

#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

// The translations (German, French, Spanish): complete for every text the
// sources hold now, and the window speaks the user's language. Runs with
// LANG=de_DE.UTF-8 and no LC_ALL, LC_MESSAGES or LANGUAGE (see CMakeLists).
class tst_Translations : public WindowTest
{
    Q_OBJECT

private slots:
    void everySourceTextIsTranslated_data();
    void everySourceTextIsTranslated();
    void germanWindowHasNoEnglish();
    void windowOfTheLocale_data();
    void windowOfTheLocale();
    void countTexts_data();
    void countTexts();
};

// lupdate reads the sources as they are now into a copy of the catalogue: a
// text added without its translation shows up unfinished there.
void tst_Translations::everySourceTextIsTranslated_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("German") << u"de"_s;
    QTest::newRow("French") << u"fr"_s;
    QTest::newRow("Spanish") << u"es"_s;
}

void tst_Translations::everySourceTextIsTranslated()
{
    QFETCH(QString, language);
    ScratchDir dir;
    const QString name = u"velnor_"_s + language + u".ts"_s;
    const QString copy = dir.filePath(name);
    QVERIFY(QFile::copy(QStringLiteral(VELNOR_TS_DIR "/") + name, copy));
    QProcess lupdate;
    lupdate.start(QStringLiteral(VELNOR_LUPDATE),
                  // The include folder, as the build's own lupdate has it: without
                  // it, a tr() in a namespace's struct lands in the wrong context.
                  {u"@"_s + QStringLiteral(VELNOR_LUPDATE_SOURCES), u"-I"_s,
                   QStringLiteral(VELNOR_INCLUDE_DIR), u"-no-obsolete"_s, u"-locations"_s,
                   u"none"_s, u"-ts"_s, copy});
    QVERIFY(lupdate.waitForFinished(60000));
    QVERIFY2(lupdate.exitCode() == 0, lupdate.readAllStandardError().constData());

    QFile file(copy);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString context, source;
    int messages = 0;
    QStringList faults;
    static const QRegularExpression placeholder(u"%\\d"_s);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"name") {
            context = xml.readElementText();
        } else if (xml.name() == u"source") {
            source = xml.readElementText();
            ++messages;
        } else if (xml.name() == u"translation") {
            const QString type = xml.attributes().value(u"type"_s).toString();
            // A numerus text holds one form per plural of the language.
            const QString text =
                xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            auto placeholders = [](const QString &s) {
                QStringList found;
                for (const auto &match : placeholder.globalMatch(s))
                    found << match.captured();
                found.sort();
                // Each plural form of a numerus text names them once.
                found.removeDuplicates();
                return found;
            };
            if (!type.isEmpty() || text.isEmpty())
                faults << context + u": "_s + source + u" ("_s +
                              (type.isEmpty() ? u"empty"_s : type) + u")"_s;
            else if (placeholders(text) != placeholders(source))
                faults << context + u": "_s + source + u" (placeholders differ)"_s;
            // One mnemonic at most (a language may move or drop it to
            // avoid a clash), and no half of an escaped "&amp;": a text
            // pasted twice over itself shows here.
            else if (text.count(u'&') - text.count(u"&&"_s) * 2 > 1 || text.contains(u"amp;"_s))
                faults << context + u": "_s + source + u" (mnemonic doubled)"_s;
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    QVERIFY2(messages >= 80, qPrintable(QString::number(messages))); // it read the catalogue
}

// The window under the system's locale (German): a menu title, shortcuts in
// tooltips (keys as the German desktop writes them, from Qt's own catalogue)
// and the tutorial's first page; then, over files whose new names clash,
// asked to start and then run: no English word left in its widgets,
// tooltips, the question, the report and Qt's own buttons.
void tst_Translations::germanWindowHasNoEnglish()
{
    QCOMPARE(QLocale::system().uiLanguages().value(0), u"de-DE"_s);
    QVERIFY(Translations::install(qApp));
    m_defaults->setObject(m_root, u"rootlimit"_s);
    VLNWindow *window = makeWindow(false); // the tutorial shows
    Ui::VLNWindow *ui = window->ui();
    const QStringList shown{ui->menuFile->title(), ui->removeButton->toolTip(),
                            ui->clearAllButton->toolTip(), ui->startButton->toolTip(),
                            ui->tutorialTextView->toPlainText()};
    QCOMPARE(shown,
             (QStringList{u"&Datei"_s, u"Die ausgewählten Dateien aus der Liste entfernen (Entf)"_s,
                          u"Die Liste leeren (Strg+Umschalt+Entf)"_s,
                          u"Die Dateien der Liste in ihre neuen Namen umbenennen "
                          u"(Strg+Return)"_s,
                          u"\nDanke, dass Sie Velnor installiert haben, den schnellsten "
                          u"Weg, große Mengen von Dateien umzubenennen.\n\n\nKlicken Sie "
                          u"auf Weiter für eine kurze Einführung in dieses Programm."_s}));
    window->clickSkipTutorial();
    listFiles({"a.txt", "b.txt", "c.txt"});
    setNameTemplate(u"same"_s);
    QTRY_VERIFY(window->tableModel()->plan());

    QStringList texts;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        texts << widget->toolTip();
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            texts << button->text();
        if (auto *label = qobject_cast<QLabel *>(widget))
            texts << label->text();
        if (auto *field = qobject_cast<QLineEdit *>(widget))
            texts << field->placeholderText();
        if (auto *box = qobject_cast<QGroupBox *>(widget))
            texts << box->title();
    }
    for (QAction *action : window->findChildren<QAction *>())
        texts << action->text() << action->toolTip();
    const FileTableModel *model = window->tableModel();
    for (int column = 0; column < model->columnCount(); ++column)
        texts << model->headerData(column, Qt::Horizontal).toString();
    texts
        << model->data(model->index(1, FileTableModel::NewNameColumn), Qt::ToolTipRole).toString();
    window->clickStart();
    QTRY_VERIFY(window->confirmationSheet());
    QMessageBox *sheet = window->confirmationSheet();
    QCOMPARE(sheet->text(),
             u"2 von 3 Dateien können nicht umbenannt werden. Die anderen 1 umbenennen?"_s);
    texts << sheet->informativeText();
    // Qt's own button, in Qt's own German (its mnemonic as Qt places it).
    QCOMPARE(buttonTexts(sheet).join(u'|').remove(u'&'), u"1 Datei umbenennen|Abbrechen"_s);
    press(sheet, {}, QMessageBox::AcceptRole);
    QTRY_VERIFY(window->reportSheet() && !window->isRenaming());
    texts << window->reportSheet()->text() << window->reportSheet()->informativeText()
          << window->reportSheet()->detailedText();

    static const QRegularExpression english(
        u"\\b(the|a|an|of|to|is|and|or|with|file|files|folder|cannot|renamed|rename|add|"
        "remove|clear|show|cancel|search|replace|counter|hidden|extension|undo|new|"
        "taken|same|listed|row|details)\\b"_s,
        QRegularExpression::CaseInsensitiveOption);
    QStringList found;
    for (const QString &text : std::as_const(texts)) {
        // The placeholders of the patterns and the tokens are no words.
        QString plain = text;
        plain.remove(u'&');
        plain.remove(QRegularExpression(u"\\[[^\\]]*\\]|\\*\\.[a-z]+|“[^”]*”|„[^“]*“"_s));
        if (english.match(plain).hasMatch())
            found << text;
    }
    QVERIFY2(found.isEmpty(), qPrintable(found.join(u"\n"_s)));
}

void tst_Translations::windowOfTheLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("problems");
    const QString german = u"Umbenennen &starten"_s, english = u"Start &Renaming"_s;
    QTest::newRow("German") << u"de_DE"_s << true << german << u"2 nicht umbenennbar"_s;
    QTest::newRow("German, Austria: the German catalogue")
        << u"de_AT"_s << true << german << u"2 nicht umbenennbar"_s;
    QTest::newRow("French") << u"fr_FR"_s << true << u"&Lancer le renommage"_s
                            << u"2 fichiers non renommables"_s;
    QTest::newRow("Spanish") << u"es_ES"_s << true << u"&Iniciar el renombrado"_s
                             << u"2 archivos no se pueden renombrar"_s;
    const QString problems = u"2 files cannot be renamed"_s;
    QTest::newRow("English: the source texts") << u"en_GB"_s << false << english << problems;
    QTest::newRow("Italian, not translated: English") << u"it_IT"_s << false << english << problems;
    QTest::newRow("C") << u"C"_s << false << english << problems;
}

// The catalogue of the locale's language, or the source texts where there is
// none (the Start button's text says which). At 1,040 pixels, with names that
// clash and a listing cancelled, the longest texts of the bottom row give way: no control is
// squeezed below what it needs, and none is drawn over another.
void tst_Translations::windowOfTheLocale()
{
    QFETCH(QString, locale);
    QTEST(Translations::install(qApp, QLocale(locale)), "found");
    VLNWindow *window = makeWindow();
    QTEST(window->ui()->startButton->text(), "start");
    window->resize(1040, 680);
    listFiles({"a.txt", "b.txt", "c.txt"});
    setNameTemplate(u"same"_s);
    QTRY_VERIFY(window->problemsButton()->isVisible());
    window->jobBar()->setListingCancelled(50705);
    QTRY_COMPARE(window->width(), 1040);
    QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);

    QVERIFY(window->minimumSizeHint().width() <= 1040);
    QStringList squeezed;
    for (QWidget *widget : window->ui()->centralwidget->findChildren<QWidget *>()) {
        if (widget->isVisible() && !widget->layout() &&
            widget->width() < widget->minimumSizeHint().width())
            squeezed << widget->objectName();
    }
    QVERIFY2(squeezed.isEmpty(), qPrintable(squeezed.join(u", "_s)));
    // Whole in its tooltip, however short the window makes it.
    QTEST(window->problemsButton()->toolTip(), "problems");
}

// Counts are one text with the number in it, in the plural form of the
// language: no English word next to a German number. (The English forms are
// checked where the file list, the run and the window show them.)
void tst_Translations::countTexts_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("problems");
    QTest::addColumn<QString>("report");
    QTest::newRow("none") << 0 << u"Keine Dateien"_s << u"0 nicht umbenennbar"_s
                          << u"Keine Dateien erfolgreich umbenannt."_s;
    QTest::newRow("one") << 1 << u"1 Datei"_s << u"1 nicht umbenennbar"_s
                         << u"1 Datei erfolgreich umbenannt."_s;
    QTest::newRow("many") << 3 << u"3 Dateien"_s << u"3 nicht umbenennbar"_s
                          << u"3 Dateien erfolgreich umbenannt."_s;
}

void tst_Translations::countTexts()
{
    QFETCH(int, count);
    QVERIFY(Translations::install(qApp, QLocale(u"de_DE"_s)));
    QTEST(CountText::files(count), "label");
    QTEST(PlanMarks::problemsText(count), "problems");
    RenameRun::Report run;
    run.renamed = count;
    QTEST(run.message(), "report");
}

QTEST_MAIN(tst_Translations)
#include "tst_translations.moc"
