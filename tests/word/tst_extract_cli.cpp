// quillmere-extract run as a user runs it: on a folder made by the test, checking the JSON lines, their
// order, the exit codes and that the documents are left as they were.
#include "WordTestMain.h"
#include "WordTestSupport.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

const QStringList kNames{"Title", "Subject", "Author", "Manager", "Company", "Category", "Keywords", "Comments",
                         "Hyperlink Base", "Template", "Creation Date", "Last Save Time", "Last Print Date",
                         "Last Author", "Revision Number", "Total Editing Time", "Number of Pages",
                         "Number of Paragraphs", "Number of Lines", "Number of Words", "Number of Characters",
                         "Number of Characters (with spaces)", "Number of Bytes"};

struct Run {
    int exitCode = -1;
    QList<QJsonObject> lines;
    QByteArray out, err;
};

} // namespace

class TstExtractCli : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_folder;

    Run run(const QStringList &args, const QByteArray &tz = "UTC")
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TZ"), QString::fromLatin1(tz));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(QV_EXTRACT_EXE), args);
        if (!p.waitForFinished(120000))
            qFatal("quillmere-extract did not finish");
        Run r;
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        for (const QByteArray &line : r.out.split('\n')) {
            if (!line.startsWith('{'))
                continue; // the help text
            QJsonParseError e{};
            const QJsonDocument d = QJsonDocument::fromJson(line, &e);
            if (e.error != QJsonParseError::NoError || !d.isObject())
                qFatal("not a JSON object: %s", line.constData());
            r.lines << d.object();
        }
        return r;
    }
    QString in(const QString &relative) const { return m_folder + QLatin1Char('/') + relative; }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_folder = m_dir.filePath(QStringLiteral("docs"));
        QVERIFY(QDir().mkpath(m_folder + QStringLiteral("/sub")));
        wt::DocxParts parts;
        parts.core = wt::coreXml({{"dc:title", "Report \"Q1\"\nsecond line"},
                                  {"dc:creator", "Zoë"},
                                  {"dcterms:created", "2024-03-05T14:07:09Z"}});
        parts.app = wt::appXml({{"Pages", "4"}, {"TotalTime", "12"}});
        const QByteArray docx = wt::makeDocx(parts);
        QFile::rename(wt::writeFile(m_dir, QStringLiteral("a.docx"), docx), in(QStringLiteral("a.docx")));
        QFile::rename(wt::writeFile(m_dir, QStringLiteral("lock"), docx), in(QStringLiteral("~$a.docx")));
        QFile::rename(wt::writeFile(m_dir, QStringLiteral("c.txt"), "plain\n"), in(QStringLiteral("c.txt")));
        QFile::rename(wt::writeFile(m_dir, QStringLiteral("d.pdf"), "%PDF-1.4\n%\xE2\xE3\xCF\xD3"), in(QStringLiteral("d.pdf")));
        wt::PropertySection s(wt::fmtidSummary(), 1252);
        s.string(2, QStringLiteral("Binary")).fileTime(13, wt::fileTimeOf(QDateTime(QDate(2003, 9, 7), QTime(19, 18), Qt::UTC))).int32(14, 2);
        QFile::rename(wt::writeFile(m_dir, QStringLiteral("e.doc"), wt::makeWordBinary(wt::propertySetStream({s}), {})),
                      in(QStringLiteral("e.doc")));
        QFile::rename(wt::writeFile(m_dir, QStringLiteral("b.rtf"), "{\\rtf1{\\info{\\title From RTF}{\\nofpages3}}}"),
                      in(QStringLiteral("sub/b.rtf")));
    }

    void folderIsWalkedInNameOrder()
    {
        const Run r = run({m_folder});
        QCOMPARE(r.exitCode, 1); // the PDF cannot be read
        QStringList paths;
        for (const QJsonObject &o : r.lines)
            paths << o.value(QStringLiteral("path")).toString();
        QCOMPARE(paths, QStringList({in("a.docx"), in("c.txt"), in("d.pdf"), in("e.doc"), in("sub/b.rtf")}));
        QVERIFY2(r.err.isEmpty(), r.err.constData()); // no progress line when stderr is not a terminal
    }

    void documentLine()
    {
        const Run r = run({in(QStringLiteral("a.docx"))});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.lines.size(), 1);
        const QJsonObject o = r.lines[0];
        QCOMPARE(o.keys().size(), 3);
        QCOMPARE(o.value(QStringLiteral("format")).toString(), QStringLiteral("OOXML"));
        QVERIFY(!o.contains(QStringLiteral("error")));
        const QJsonObject props = o.value(QStringLiteral("properties")).toObject();
        QCOMPARE(props.size(), 23);
        for (const QString &name : kNames)
            QVERIFY2(props.contains(name), qPrintable(name));
        QCOMPARE(props.value(QStringLiteral("Title")).toString(), QStringLiteral("Report \"Q1\"\nsecond line"));
        QCOMPARE(props.value(QStringLiteral("Author")).toString(), QStringLiteral(u"Zoë"));
        QCOMPARE(props.value(QStringLiteral("Company")).toString(), QString()); // text not held: empty
        QVERIFY(props.value(QStringLiteral("Company")).isString());
        QCOMPARE(props.value(QStringLiteral("Creation Date")).toString(), QStringLiteral("2024-03-05T14:07:09Z"));
        QVERIFY(props.value(QStringLiteral("Last Print Date")).isNull()); // not set
        QCOMPARE(props.value(QStringLiteral("Number of Words")), QJsonValue(0)); // its empty body, counted
        QCOMPARE(props.value(QStringLiteral("Number of Pages")).toInteger(), 4);
        QVERIFY(props.value(QStringLiteral("Number of Pages")).isDouble());
        QCOMPARE(props.value(QStringLiteral("Total Editing Time")).toInteger(), 12);
        QCOMPARE(props.value(QStringLiteral("Number of Bytes")).toInteger(), QFileInfo(in(QStringLiteral("a.docx"))).size());
        // Keys in the program's order.
        const QByteArray raw = r.out;
        qsizetype last = -1;
        for (const QString &name : kNames) {
            const qsizetype at = raw.indexOf('"' + name.toUtf8() + "\":");
            QVERIFY2(at > last, qPrintable(name));
            last = at;
        }
    }

    void datesAreUtcWhateverTheZone()
    {
        for (const QByteArray tz : {"UTC", "Asia/Tokyo", "America/New_York"}) {
            const Run r = run({in(QStringLiteral("a.docx")), in(QStringLiteral("e.doc"))}, tz);
            QCOMPARE(r.lines[0].value(QStringLiteral("properties")).toObject().value(QStringLiteral("Creation Date")).toString(),
                     QStringLiteral("2024-03-05T14:07:09Z"));
            QCOMPARE(r.lines[1].value(QStringLiteral("properties")).toObject().value(QStringLiteral("Last Save Time")).toString(),
                     QStringLiteral("2003-09-07T19:18:00Z"));
        }
    }

    void failureLine()
    {
        const Run r = run({in(QStringLiteral("d.pdf")), in(QStringLiteral("missing.docx"))});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.lines.size(), 2);
        QCOMPARE(r.lines[0].value(QStringLiteral("format")).toString(), QStringLiteral("PDF"));
        QVERIFY(r.lines[0].value(QStringLiteral("error")).toString().contains(QStringLiteral("PDF document")));
        QVERIFY(!r.lines[0].contains(QStringLiteral("properties")));
        QVERIFY(r.lines[1].value(QStringLiteral("format")).isNull());
        QVERIFY(r.lines[1].value(QStringLiteral("error")).toString().contains(in(QStringLiteral("missing.docx"))));
    }

    void filesInArgumentOrder()
    {
        const Run r = run({in(QStringLiteral("sub/b.rtf")), in(QStringLiteral("e.doc")), in(QStringLiteral("a.docx")), in(QStringLiteral("sub/b.rtf"))});
        QCOMPARE(r.exitCode, 0);
        QStringList formats;
        for (const QJsonObject &o : r.lines)
            formats << o.value(QStringLiteral("format")).toString();
        QCOMPARE(formats, QStringList({"RTF", "OLE", "OOXML", "RTF"}));
        QCOMPARE(r.lines[0].value(QStringLiteral("properties")).toObject().value(QStringLiteral("Title")).toString(), QStringLiteral("From RTF"));
    }

    void lockFilesAreSkippedOnlyInFolders()
    {
        const Run r = run({in(QStringLiteral("~$a.docx"))});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.lines.size(), 1);
    }

    void extensionFilter()
    {
        const Run r = run({QStringLiteral("--ext"), QStringLiteral("docx,.RTF"), m_folder});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.lines.size(), 2);
        QCOMPARE(r.lines[1].value(QStringLiteral("path")).toString(), in(QStringLiteral("sub/b.rtf")));
    }

    void manyDocumentsInParallelStayInOrder()
    {
        QStringList args{QStringLiteral("-j"), QStringLiteral("2")};
        const QStringList kinds{in("a.docx"), in("e.doc"), in("sub/b.rtf"), in("c.txt")};
        for (int i = 0; i < 400; ++i)
            args << kinds[i % 4];
        const Run r = run(args);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.lines.size(), 400);
        for (int i = 0; i < 400; ++i)
            QCOMPARE(r.lines[i].value(QStringLiteral("path")).toString(), kinds[i % 4]);
    }

    void documentsAreLeftAlone()
    {
        QHash<QString, QPair<QByteArray, QDateTime>> before;
        for (const QString &f : {in("a.docx"), in("e.doc"), in("sub/b.rtf"), in("~$a.docx")}) {
            QFile file(f);
            QVERIFY(file.open(QIODevice::ReadOnly));
            before.insert(f, {file.readAll(), QFileInfo(f).lastModified()});
        }
        const QStringList listing = QDir(m_folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        run({m_folder});
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            QFile file(it.key());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), it.value().first);
            QCOMPARE(QFileInfo(it.key()).lastModified(), it.value().second);
        }
        QCOMPARE(QDir(m_folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), listing);
    }

    void pathsFromAList()
    {
        const QString list = wt::writeFile(m_dir, QStringLiteral("list.txt"),
                                           (in(QStringLiteral("e.doc")) + QStringLiteral("\r\n\n") + in(QStringLiteral("a.docx")) + QStringLiteral("\n")).toUtf8());
        const Run r = run({in(QStringLiteral("sub/b.rtf")), QStringLiteral("-@"), list});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.lines.size(), 3);
        QCOMPARE(r.lines[1].value(QStringLiteral("path")).toString(), in(QStringLiteral("e.doc")));
        const QString empty = wt::writeFile(m_dir, QStringLiteral("empty.txt"), QByteArray());
        const Run none = run({QStringLiteral("--list"), empty});
        QCOMPARE(none.exitCode, 0);
        QVERIFY(none.out.isEmpty());
        QCOMPARE(run({QStringLiteral("--list"), m_dir.filePath(QStringLiteral("no-list.txt"))}).exitCode, 2);
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no paths") << QStringList();
        QTest::newRow("unknown option") << QStringList({"--colour", "x.doc"});
        QTest::newRow("jobs zero") << QStringList({"--jobs", "0", "x.doc"});
        QTest::newRow("jobs missing") << QStringList({"-j"});
        QTest::newRow("empty extension list") << QStringList({"--ext", ",", "x.doc"});
    }

    void usage()
    {
        QFETCH(QStringList, args);
        const Run r = run(args);
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY(r.err.contains("quillmere-extract"));
    }

    void help()
    {
        const Run r = run({QStringLiteral("--help")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.startsWith("Usage: quillmere-extract"));
        QVERIFY(r.err.isEmpty());
    }

    void dashDashEndsOptions()
    {
        const QString odd = m_dir.filePath(QStringLiteral("-odd.txt"));
        QFile f(odd);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
        f.close();
        QDir::setCurrent(m_dir.path());
        const Run r = run({QStringLiteral("--"), QStringLiteral("-odd.txt")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.lines[0].value(QStringLiteral("format")).toString(), QStringLiteral("TEXT"));
    }
};

QV_WORD_TEST_MAIN(TstExtractCli)
#include "tst_extract_cli.moc"
