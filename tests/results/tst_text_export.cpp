// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "FailDevice.h"
#include "ResultsTestSupport.h"
#include "results/Locations.h"
#include "results/TextExport.h"
#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <clocale>
#include <string>
#include <sys/stat.h>

using namespace results;

namespace {

QList<int> reportedLines(const Harness &h, const QString &location)
{
    QList<int> lines;
    for (const ShownMessage &m : h.reports()) {
        const QString marker = QStringLiteral("in ") + location + QStringLiteral(" at line ");
        const qsizetype at = m.text.indexOf(marker);
        if (at >= 0)
            lines << m.text.mid(at + marker.size()).section(QLatin1Char('\r'), 0, 0).toInt();
    }
    return lines;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

} // namespace

class TestTextExport : public QObject {
    Q_OBJECT

private:
    static QByteArray exported(const ResultsTable &table, Harness &h, const QByteArray &encoding = "UTF-8")
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        Trap t(h.errors, location::TextWriter);
        writeAlignedText(table, buffer, t, {}, encoding);
        return buffer.data();
    }

private slots:
    void bytes_data()
    {
        QTest::addColumn<QStringList>("headers"); // property headers after "Filename"; "-" for no columns at all
        QTest::addColumn<QList<TestRow>>("rows");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("Filename and Pages, one row")
            << QStringList{"Pages"} << QList<TestRow>{{"C:\\ab.doc", {"12"}, true}}
            << QByteArray("Filename \tPages\t\r\nC:\\ab.doc\t12   \t\r\n");
        QTest::newRow("no run yet: CR LF alone") << QStringList{"-"} << QList<TestRow>{} << QByteArray("\r\n");
        QTest::newRow("columns without rows: header alone")
            << QStringList{"Title", "Pages"} << QList<TestRow>{} << QByteArray("Filename\tTitle\tPages\t\r\n");
        QTest::newRow("unchecked row widens but is not written")
            << QStringList{"Title"}
            << QList<TestRow>{{"/a.doc", {"T"}, true}, {"/much/longer/b.doc", {"Long title"}, false}}
            << QByteArray("Filename          \tTitle     \t\r\n/a.doc            \tT         \t\r\n");
        QTest::newRow("empty value is width spaces and TAB")
            << QStringList{"Author", "Pages"} << QList<TestRow>{{"/x.doc", {"", "3"}, true}}
            << QByteArray("Filename\tAuthor\tPages\t\r\n/x.doc  \t      \t3    \t\r\n");
        QTest::newRow("header wider than every value")
            << QStringList{"Characters (with spaces)"} << QList<TestRow>{{"/y", {"42"}, true}, {"/z", {"7"}, true}}
            << QByteArray("Filename\tCharacters (with spaces)\t\r\n"
                          "/y      \t42                      \t\r\n"
                          "/z      \t7                       \t\r\n");
        QTest::newRow("value wider than header") << QStringList{"Pages"} << QList<TestRow>{{"/p", {"1234567"}, true}}
                                                 << QByteArray("Filename\tPages  \t\r\n/p      \t1234567\t\r\n");
        QTest::newRow("widths count UTF-16 characters, not bytes")
            << QStringList{"Title"} << QList<TestRow>{{"/Ünïcødé.doc", {"𝄞"}, true}, {"/b", {"abc"}, true}}
            << QByteArray("Filename    \tTitle\t\r\n/\xc3\x9cn\xc3\xaf"
                          "c\xc3\xb8"
                          "d\xc3\xa9.doc\t\xf0\x9d\x84\x9e   \t\r\n"
                          "/b          \tabc  \t\r\n");
    }
    void bytes()
    {
        QFETCH(QStringList, headers);
        QFETCH(QList<TestRow>, rows);
        QFETCH(QByteArray, expected);
        Harness h;
        ResultsTable table;
        if (headers != QStringList{"-"})
            fillTable(table, headers, rows);
        QCOMPARE(exported(table, h), expected);
        QVERIFY(h.fakes.messages->shown.isEmpty());
    }

    void textTooLongForItsWidth()
    {
        Harness h;
        ResultsTable table;
        const QString huge(32768, QLatin1Char('x'));
        const QString fits(32767, QLatin1Char('y'));
        fillTable(table, {"Title", "Pages"}, {{"/a", {huge, fits}, true}, {"/b", {"t", "1"}, true}});
        const QByteArray out = exported(table, h);
        // One report for the text that could not be counted; the other column's width is the longest text.
        QCOMPARE(h.reports().size(), 1);
        QCOMPARE(h.reports().first().text, ErrorReporter::text(location::TextWriter, 108, QStringLiteral("Overflow")));
        QCOMPARE(h.reports().first().icon, MsgIcon::Warning);
        // The title column kept its width from the header and "t": 5; the huge text is written unpadded.
        const QByteArray expected = QByteArray("Filename\tTitle\tPages") + QByteArray(32767 - 5, ' ') + "\t\r\n"
                                    + "/a      \t" + huge.toLatin1() + "\t" + fits.toLatin1() + "\t\r\n"
                                    + "/b      \tt    \t1" + QByteArray(32766, ' ') + "\t\r\n";
        QCOMPARE(out.size(), expected.size());
        QCOMPARE(out, expected);
    }

    void everyRefusedLineIsReported()
    {
        Harness h;
        ResultsTable table;
        fillTable(table, {"Pages"}, {{"/a", {"1"}, true}, {"/b", {"2"}, false}, {"/c", {"3"}, true}});
        FailDevice device(0); // the disk is full from the start
        Trap t(h.errors, location::TextWriter);
        QVERIFY(writeAlignedText(table.content(), device, t, {}, "UTF-8"));
        QCOMPARE(reportedLines(h, location::TextWriter), QList<int>({120, 132, 132}));
        QVERIFY(h.reports().first().text.startsWith(
            QStringLiteral("The line could not be written: No space left on device\r\n")));
        QVERIFY(device.written().isEmpty());
    }

    // The disk fills up after line 3: the lines before stay whole, each later one is reported.
    void diskFullAfterLineThree()
    {
        Harness h;
        ResultsTable table;
        fillTable(table, {"Pages"},
                  {{"/a", {"1"}, true}, {"/b", {"2"}, true}, {"/c", {"3"}, true}, {"/d", {"4"}, true}});
        const QByteArray firstThree("Filename\tPages\t\r\n/a      \t1    \t\r\n/b      \t2    \t\r\n");
        FailDevice device(firstThree.size() + 5); // room for part of line 4, never for all of it
        Trap t(h.errors, location::TextWriter);
        QVERIFY(writeAlignedText(table.content(), device, t, {}, "UTF-8"));
        QCOMPARE(device.written(), firstThree);
        QCOMPARE(reportedLines(h, location::TextWriter), QList<int>({132, 132}));
        QVERIFY(h.reports().first().text.startsWith(
            QStringLiteral("The line could not be written: No space left on device\r\n")));
    }

    void lineTheCharsetCannotHoldIsRefused()
    {
        Harness h;
        ResultsTable table;
        fillTable(table, {"Title"}, {{"/a", {"caf\u00e9"}, true}, {"/b", {"5 \u20ac"}, true}, {"/c", {"ok"}, true}});
        const QByteArray out = exported(table, h, "ISO-8859-1");
        QCOMPARE(out, QByteArray("Filename\tTitle\t\r\n/a      \tcaf\xe9 \t\r\n/c      \tok   \t\r\n"));
        QCOMPARE(reportedLines(h, location::TextWriter), QList<int>({132}));
    }

    void brokenUtf16IsRefused()
    {
        Harness h;
        ResultsTable table;
        fillTable(table, {"Title"}, {{"/a", {QString(QChar(0xD800)) + "x"}, true}, {"/b", {"ok"}, true}});
        QCOMPARE(exported(table, h), QByteArray("Filename\tTitle\t\r\n/b      \tok   \t\r\n"));
        QCOMPARE(reportedLines(h, location::TextWriter), QList<int>({132}));
    }

    void fileThatCannotBeCreated()
    {
        Harness h;
        ResultsTable table;
        fillTable(table, {"Pages"}, {{"/a", {"1"}, true}, {"/b", {"2"}, false}, {"/c", {"3"}, true}});
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("no such folder/out.txt"));
        SaveListviewProperlySpacedWithoutProgressBar(h.ctx, table, path);
        // The creation, the header line, each checked row's line, the closing; and no file.
        QCOMPARE(reportedLines(h, location::TextWriter), QList<int>({112, 120, 132, 132, 134}));
        QVERIFY(h.reports().first().text.startsWith(QStringLiteral("Path not found: ")));
        QVERIFY(!QFile::exists(path));
    }

    void onlyRegularFilesAreReplaced_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder") << "folder";
        QTest::newRow("named pipe") << "fifo";
    }
    void onlyRegularFilesAreReplaced()
    {
        QFETCH(QString, kind);
        Harness h;
        ResultsTable table;
        fillTable(table, {"Pages"}, {{"/a", {"1"}, true}});
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("target"));
        if (kind == "folder")
            QVERIFY(QDir().mkpath(path));
        else
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        SaveListviewProperlySpacedWithoutProgressBar(h.ctx, table, path); // must not wait for a reader
        QCOMPARE(reportedLines(h, location::TextWriter), QList<int>({112, 120, 132, 134}));
        QVERIFY(h.reports().first().text.startsWith(QStringLiteral("Path/File access error: ")));
    }

    void existingFileIsReplaced()
    {
        Harness h;
        ResultsTable table;
        fillTable(table, {"Pages"}, {{"/a", {"1"}, true}});
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("results"));
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(QByteArray(1000, 'z'));
        }
        SaveListviewProperlySpacedWithoutProgressBar(h.ctx, table, path);
        QVERIFY(h.reports().isEmpty());
        QCOMPARE(readFile(path), QByteArray("Filename\tPages\t\r\n/a      \t1    \t\r\n"));
    }

    void listedDocumentIsNeverOverwritten()
    {
        Harness h;
        QTemporaryDir dir;
        const QString doc = dir.filePath(QStringLiteral("report.docx"));
        {
            QFile f(doc);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("PK original");
        }
        ResultsTable table;
        fillTable(table, {"Pages"}, {{doc, {"1"}, true}});
        SaveListviewProperlySpacedWithoutProgressBar(h.ctx, table, dir.path() + QStringLiteral("/./report.docx"));
        QCOMPARE(readFile(doc), QByteArray("PK original"));
        QCOMPARE(reportedLines(h, location::TextWriter).first(), 112);
        QVERIFY(h.reports().first().text.contains(QStringLiteral("is one of the documents in the results table")));
    }

    void buttonAsksThenWritesUnderBusyPointer()
    {
        Harness h;
        ResultsTable table;
        fillTable(table, {"Pages"}, {{"C:\\ab.doc", {"12"}, true}});
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("typed without extension"));
        h.fakes.dialogs->saveAnswers.push_back(path);
        saveResultsAsText(h.ctx, table);
        QCOMPARE(h.fakes.dialogs->calls.size(), 1);
        QCOMPARE(h.fakes.dialogs->calls.first().kind, QStringLiteral("save"));
        QCOMPARE(h.fakes.dialogs->calls.first().title, QStringLiteral("Save"));
        QCOMPARE(h.fakes.dialogs->calls.first().filter, QStringLiteral("Text Files (*.txt);;All Files (*)"));
        QCOMPARE(h.window.pointerHistory, QList<int>({pointer::Busy, pointer::Default}));
        QCOMPARE(readFile(path), QByteArray("Filename \tPages\t\r\nC:\\ab.doc\t12   \t\r\n"));
        QVERIFY(h.fakes.messages->shown.isEmpty()); // no message on success
    }

    void cancelWritesNothing()
    {
        Harness h;
        ResultsTable table;
        fillTable(table, {"Pages"}, {{"/a", {"1"}, true}});
        saveResultsAsText(h.ctx, table); // the dialog answers empty
        QCOMPARE(h.fakes.dialogs->calls.size(), 1);
        QVERIFY(h.window.pointerHistory.isEmpty());
        QVERIFY(h.fakes.messages->shown.isEmpty());
    }

    void tableChangedWhileWriting()
    {
        // "Clear Results" runs while the export lets events through: the file still holds the table as
        // it was when the export began, and nothing fails.
        Harness h;
        ResultsTable table;
        fillTable(table, {"Pages"}, {{"/a", {"1"}, true}, {"/b", {"2"}, true}});
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.txt"));
        h.fakes.dialogs->saveAnswers.push_back(path);
        QTimer::singleShot(0, &table, [&table] { table.clearRows(); });
        saveResultsAsText(h.ctx, table);
        QCOMPARE(table.rows(), 0);
        QVERIFY(h.reports().isEmpty());
        QCOMPARE(readFile(path), QByteArray("Filename\tPages\t\r\n/a      \t1    \t\r\n/b      \t2    \t\r\n"));
    }

    void stopsWhenTheProgramEnds()
    {
        Harness h;
        ResultsTable table;
        fillTable(table, {"Pages"}, {{"/a", {"1"}, true}, {"/b", {"2"}, true}});
        QTemporaryDir dir;
        h.fakes.dialogs->saveAnswers.push_back(dir.filePath(QStringLiteral("out.txt")));
        QTimer::singleShot(0, &table, [&h] { h.window.ended = true; });
        saveResultsAsText(h.ctx, table);
        QCOMPARE(h.window.pointerHistory, QList<int>({pointer::Busy})); // nothing runs after the end
        QVERIFY(h.fakes.messages->shown.isEmpty());
    }

    void localeCharset_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QByteArray>("encoding");
        QTest::addColumn<QByteArray>("cafe"); // "café" as the file holds it
        QTest::newRow("UTF-8") << QByteArray("C.UTF-8") << QByteArray("UTF-8") << QByteArray("caf\xc3\xa9");
        QTest::newRow("Latin-1") << QByteArray("de_DE.ISO-8859-1") << QByteArray("ISO-8859-1") << QByteArray("caf\xe9");
    }
    void localeCharset()
    {
        QFETCH(QByteArray, locale);
        QFETCH(QByteArray, encoding);
        QFETCH(QByteArray, cafe);
        // A single-byte locale is made for the test, so that a fallback to UTF-8 cannot pass for it.
        QTemporaryDir locales;
        if (!locale.startsWith("C.")) {
            qputenv("LOCPATH", locales.path().toLocal8Bit());
            const QString localedef = QStandardPaths::findExecutable(QStringLiteral("localedef"));
            if (localedef.isEmpty()
                || QProcess::execute(localedef,
                                     {"-i", "de_DE", "-f", "ISO-8859-1", locales.filePath(QString::fromLatin1(locale))})
                       != 0) {
                qunsetenv("LOCPATH");
                QSKIP("no locale with a single-byte charset can be made here");
            }
        }
        const std::string previous = ::setlocale(LC_CTYPE, nullptr);
        QVERIFY(::setlocale(LC_CTYPE, locale.constData()));
        const QByteArray chosen = textFileEncoding();
        ::setlocale(LC_CTYPE, previous.c_str());
        qunsetenv("LOCPATH");
        QCOMPARE(chosen, encoding);
        Harness h;
        ResultsTable table;
        fillTable(table, {"Title"}, {{"/a", {"caf\u00e9"}, true}});
        QVERIFY(exported(table, h, chosen).contains("\t" + cafe + " \t"));
    }
};

QTEST_MAIN(TestTextExport)
#include "tst_text_export.moc"
