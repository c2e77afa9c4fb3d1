// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// quillmere-extract run as a user runs it: on a folder made by the test, checking the JSON lines, their
// order, the exit codes and that the documents are left as they were.
#include "WordTestMain.h"
#include "WordTestSupport.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QStringList kNames{"Title",
                         "Subject",
                         "Author",
                         "Manager",
                         "Company",
                         "Category",
                         "Keywords",
                         "Comments",
                         "Hyperlink Base",
                         "Template",
                         "Creation Date",
                         "Last Save Time",
                         "Last Print Date",
                         "Last Author",
                         "Revision Number",
                         "Total Editing Time",
                         "Number of Pages",
                         "Number of Paragraphs",
                         "Number of Lines",
                         "Number of Words",
                         "Number of Characters",
                         "Number of Characters (with spaces)",
                         "Number of Bytes"};

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
    QProcessEnvironment m_locale; // added to every run's environment

    Run run(const QStringList &args, const QByteArray &tz = "UTC", const QByteArray &input = {},
            const QString &outputFile = {})
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TZ"), QString::fromLatin1(tz));
        env.insert(m_locale);
        p.setProcessEnvironment(env);
        if (!outputFile.isEmpty())
            p.setStandardOutputFile(outputFile);
        p.start(QStringLiteral(QV_EXTRACT_EXE), args);
        p.write(input);
        p.closeWriteChannel();
        if (!p.waitForFinished(120000))
            qFatal("quillmere-extract did not finish");
        Run r;
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        for (const QByteArray &line : r.out.split('\n')) {
            if (!line.startsWith('{') || r.out.startsWith('['))
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
                                  {"dcterms:created", "2024-03-05T14:07:09Z"},
                                  {"cp:keywords", ""}});
        parts.app = wt::appXml({{"Pages", "4"}, {"TotalTime", "12"}});
        const QByteArray docx = wt::makeDocx(parts);
        QFile::rename(wt::writeFile(m_dir, QStringLiteral("a.docx"), docx), in(QStringLiteral("a.docx")));
        QFile::rename(wt::writeFile(m_dir, QStringLiteral("lock"), docx), in(QStringLiteral("~$a.docx")));
        QFile::rename(wt::writeFile(m_dir, QStringLiteral("c.txt"), "plain\n"), in(QStringLiteral("c.txt")));
        QFile::rename(wt::writeFile(m_dir, QStringLiteral("d.pdf"), "%PDF-1.4\n%\xE2\xE3\xCF\xD3"),
                      in(QStringLiteral("d.pdf")));
        wt::PropertySection s(wt::fmtidSummary(), 1252);
        s.string(2, QStringLiteral("Binary"))
            .fileTime(13, wt::fileTimeOf(QDateTime(QDate(2003, 9, 7), QTime(19, 18), Qt::UTC)))
            .int32(14, 2);
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
        // No progress line when stderr is not a terminal: the failure and the summary only.
        const QList<QByteArray> err = r.err.trimmed().split('\n');
        QCOMPARE(err.size(), 2);
        QVERIFY2(err[0].startsWith("quillmere-extract: ") && err[0].contains("d.pdf"), err[0].constData());
        QVERIFY2(err[1].startsWith("quillmere-extract: 4 read, 1 failed (not-a-document 1) in "), err[1].constData());
        QVERIFY(run({QStringLiteral("--quiet"), m_folder}).err.isEmpty());
    }

    void documentLine()
    {
        const Run r = run({in(QStringLiteral("a.docx"))});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.lines.size(), 1);
        const QJsonObject o = r.lines[0];
        QCOMPARE(o.keys(), QStringList({"computed", "format", "mtime", "path", "properties", "schema"}));
        QCOMPARE(o.value(QStringLiteral("schema")).toInt(), 3);
        // Pages are stored; the counts of the text are not, so they were counted.
        QCOMPARE(o.value(QStringLiteral("computed")).toVariant().toStringList(),
                 QStringList({"Number of Paragraphs", "Number of Words", "Number of Characters",
                              "Number of Characters (with spaces)"}));
        QCOMPARE(o.value(QStringLiteral("mtime")).toString(),
                 QFileInfo(in(QStringLiteral("a.docx"))).lastModified().toUTC().toString(Qt::ISODateWithMs));
        QCOMPARE(o.value(QStringLiteral("format")).toString(), QStringLiteral("OOXML"));
        QVERIFY(!o.contains(QStringLiteral("error")));
        const QJsonObject props = o.value(QStringLiteral("properties")).toObject();
        QCOMPARE(props.size(), 23);
        for (const QString &name : kNames)
            QVERIFY2(props.contains(name), qPrintable(name));
        QCOMPARE(props.value(QStringLiteral("Title")).toString(), QStringLiteral("Report \"Q1\"\nsecond line"));
        QCOMPARE(props.value(QStringLiteral("Author")).toString(), QStringLiteral(u"Zoë"));
        QVERIFY(props.value(QStringLiteral("Company")).isNull());                // text not held
        QCOMPARE(props.value(QStringLiteral("Keywords")).toString(), QString()); // text held empty
        QVERIFY(props.value(QStringLiteral("Keywords")).isString());
        QCOMPARE(props.value(QStringLiteral("Creation Date")).toString(), QStringLiteral("2024-03-05T14:07:09Z"));
        QVERIFY(props.value(QStringLiteral("Last Print Date")).isNull());        // not set
        QCOMPARE(props.value(QStringLiteral("Number of Words")), QJsonValue(0)); // its empty body, counted
        QCOMPARE(props.value(QStringLiteral("Number of Pages")).toInteger(), 4);
        QVERIFY(props.value(QStringLiteral("Number of Pages")).isDouble());
        QCOMPARE(props.value(QStringLiteral("Total Editing Time")).toInteger(), 12);
        QCOMPARE(props.value(QStringLiteral("Number of Bytes")).toInteger(),
                 QFileInfo(in(QStringLiteral("a.docx"))).size());
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
            QCOMPARE(r.lines[0]
                         .value(QStringLiteral("properties"))
                         .toObject()
                         .value(QStringLiteral("Creation Date"))
                         .toString(),
                     QStringLiteral("2024-03-05T14:07:09Z"));
            QCOMPARE(r.lines[1]
                         .value(QStringLiteral("properties"))
                         .toObject()
                         .value(QStringLiteral("Last Save Time"))
                         .toString(),
                     QStringLiteral("2003-09-07T19:18:00Z"));
        }
    }

    void zonelessDatesAreWrittenAsStored()
    {
        const QString rtf = wt::writeFile(m_dir, QStringLiteral("zoneless.rtf"),
                                          "{\\rtf1{\\info{\\creatim\\yr2024\\mo1\\dy31\\hr9\\min30}}}");
        for (const QByteArray tz : {"UTC", "Asia/Tokyo", "America/New_York"}) {
            const Run r = run({rtf}, tz);
            QCOMPARE(r.lines[0]
                         .value(QStringLiteral("properties"))
                         .toObject()
                         .value(QStringLiteral("Creation Date"))
                         .toString(),
                     QStringLiteral("2024-01-31T09:30:00"));
        }
    }

    void failureLine()
    {
        const Run r = run({in(QStringLiteral("d.pdf")), in(QStringLiteral("missing.docx"))});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.lines.size(), 2);
        QCOMPARE(r.lines[0].value(QStringLiteral("error_kind")).toString(), QStringLiteral("not-a-document"));
        QCOMPARE(r.lines[1].value(QStringLiteral("error_kind")).toString(), QStringLiteral("not-found"));
        QVERIFY(r.lines[1].value(QStringLiteral("mtime")).isNull());
        QCOMPARE(r.lines[0].value(QStringLiteral("format")).toString(), QStringLiteral("PDF"));
        QVERIFY(r.lines[0].value(QStringLiteral("error")).toString().contains(QStringLiteral("PDF document")));
        QVERIFY(!r.lines[0].contains(QStringLiteral("properties")));
        QVERIFY(r.lines[1].value(QStringLiteral("format")).isNull());
        QVERIFY(r.lines[1].value(QStringLiteral("error")).toString().contains(in(QStringLiteral("missing.docx"))));
    }

    void filesInArgumentOrder()
    {
        const Run r = run({in(QStringLiteral("sub/b.rtf")), in(QStringLiteral("e.doc")), in(QStringLiteral("a.docx")),
                           in(QStringLiteral("sub/b.rtf"))});
        QCOMPARE(r.exitCode, 0);
        QStringList formats;
        for (const QJsonObject &o : r.lines)
            formats << o.value(QStringLiteral("format")).toString();
        QCOMPARE(formats, QStringList({"RTF", "OLE", "OOXML", "RTF"}));
        QCOMPARE(r.lines[0].value(QStringLiteral("properties")).toObject().value(QStringLiteral("Title")).toString(),
                 QStringLiteral("From RTF"));
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
                                           (in(QStringLiteral("e.doc")) + QStringLiteral("\r\n\n")
                                            + in(QStringLiteral("a.docx")) + QStringLiteral("\n"))
                                               .toUtf8());
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

    // For a scheduler, unreadable documents are data: they keep their records and lines but the run
    // succeeds. Inputs left without a record (a list cut short, output not written) still fail it.
    void ignoreFailedReadStillReports()
    {
        const Run plain = run({m_folder});
        const Run ignoring = run({QStringLiteral("--ignore-failed-read"), m_folder});
        QCOMPARE(ignoring.exitCode, 0);
        QCOMPARE(ignoring.out, plain.out);
        QCOMPARE(ignoring.lines[2].value(QStringLiteral("error_kind")).toString(), QStringLiteral("not-a-document"));
        QVERIFY2(ignoring.err.contains("d.pdf") && ignoring.err.contains(" 4 read, 1 failed (not-a-document 1) in "),
                 ignoring.err.constData());
        const QString list = wt::writeFile(m_dir, QStringLiteral("cut-list.txt"),
                                           in(QStringLiteral("d.pdf")).toUtf8() + '\n' + QByteArray(70000, 'x') + '\n');
        QCOMPARE(run({QStringLiteral("--ignore-failed-read"), QStringLiteral("-@"), list}).exitCode, 1);
        if (QFileInfo::exists(QStringLiteral("/dev/full")))
            QCOMPARE(run({QStringLiteral("--ignore-failed-read"), m_folder}, "UTC", {}, QStringLiteral("/dev/full"))
                         .exitCode,
                     3);
        QCOMPARE(run({QStringLiteral("--ignore-failed-read")}).exitCode, 2);
    }

    void fullDeviceIsAnError()
    {
        if (!QFileInfo::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full on this system");
        for (const char *format : {"jsonl", "csv", "json"}) {
            const Run r = run({QStringLiteral("--format"), QString::fromLatin1(format), m_folder}, "UTC", {},
                              QStringLiteral("/dev/full"));
            QCOMPARE(r.exitCode, 3);
            QVERIFY2(r.err.contains("the output could not be written: No space left on device"), r.err.constData());
        }
    }

    void namesThatAreNotText()
    {
        // A name with bytes that are not UTF-8, made and read by its bytes.
        const QByteArray folder = QFile::encodeName(m_dir.filePath(QStringLiteral("raw")));
        QVERIFY(::mkdir(folder.constData(), 0700) == 0);
        const QByteArray bad = folder + "/caf\xE9.rtf";
        const QByteArray rtf = "{\\rtf1{\\info{\\title Latin-1 name}}}";
        const int fd = ::open(bad.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, rtf.constData(), static_cast<size_t>(rtf.size())), static_cast<ssize_t>(rtf.size()));
        ::close(fd);
        // Walked in a folder, named in a list and named as an argument (QProcess passes texts, so through
        // a shell with the bytes written out).
        const QString list = wt::writeFile(m_dir, QStringLiteral("raw-list"), bad + '\n');
        QProcess shell;
        shell.start(QStringLiteral("/bin/sh"),
                    {QStringLiteral("-c"), QStringLiteral("\"$0\" -q \"$(printf '%s/caf\\351.rtf' \"$1\")\""),
                     QStringLiteral(QV_EXTRACT_EXE), QFile::decodeName(folder)});
        QVERIFY(shell.waitForFinished(60000));
        QCOMPARE(shell.exitCode(), 0);
        const QByteArray direct = shell.readAllStandardOutput();
        Run walked = run({QFile::decodeName(folder), QStringLiteral("-@"), list});
        QCOMPARE(walked.exitCode, 0);
        QCOMPARE(walked.lines.size(), 2);
        walked.lines << QJsonDocument::fromJson(direct).object();
        for (const QJsonObject &o : walked.lines) {
            QCOMPARE(QByteArray::fromBase64(o.value(QStringLiteral("path_base64")).toString().toLatin1()), bad);
            QCOMPARE(o.value(QStringLiteral("path")).toString(), QString::fromUtf8(bad)); // U+FFFD in place of the byte
            QCOMPARE(o.value(QStringLiteral("properties")).toObject().value(QStringLiteral("Title")).toString(),
                     QStringLiteral("Latin-1 name"));
        }
        QVERIFY(!run({in(QStringLiteral("a.docx"))}).lines[0].contains(QStringLiteral("path_base64")));
        ::unlink(bad.constData()); // the temporary folder's clean-up goes by text and cannot name it
    }

    void nulSeparatedListOnStandardInput()
    {
        const QString odd = m_dir.filePath(QStringLiteral("line\nbreak.rtf"));
        QFile::copy(in(QStringLiteral("sub/b.rtf")), odd);
        const QByteArray list = QFile::encodeName(in(QStringLiteral("e.doc"))) + '\0' + QFile::encodeName(odd) + '\0';
        const Run r = run({QStringLiteral("-0"), QStringLiteral("-@"), QStringLiteral("-")}, "UTC", list);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.lines.size(), 2);
        QCOMPARE(r.lines[1].value(QStringLiteral("path")).toString(), odd);
        QCOMPARE(r.lines[1].value(QStringLiteral("format")).toString(), QStringLiteral("RTF"));
    }

    // A list that never ends a line, or never stops separating nothing, or cannot be read, ends the run
    // with a reason and a status that says not everything was read.
    void listsThatCannotBeRead_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("reason");
        QTest::newRow("endless NULs") << QStringList({"-0", "-@", "/dev/zero"})
                                      << QByteArray("more than 65536 NUL bytes in a row");
        QTest::newRow("endless line") << QStringList({"-@", "/dev/zero"})
                                      << QByteArray("an entry longer than 65536 bytes");
        QTest::newRow("folder as a list")
            << QStringList({"-@", m_folder}) << QByteArray("could not be read to its end");
    }
    void listsThatCannotBeRead()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, reason);
        const Run r = run(QStringList{in(QStringLiteral("a.docx"))} + args);
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.lines.size(), 1);
        QVERIFY2(r.err.contains(reason) && r.err.contains("the list is read no further"), r.err.constData());
    }

    // Names holding control characters cannot forge or break the lines on the error output.
    void errorLinesEscapeControlCharacters()
    {
        const QString forged =
            m_dir.filePath(QStringLiteral("x\nquillmere-extract: 7 read, 0 failed in 0.01 s\n\033[2J.pdf"));
        QFile::copy(in(QStringLiteral("d.pdf")), forged);
        const Run r = run({forged});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.lines[0].value(QStringLiteral("path")).toString(), forged); // the record keeps the name exact
        const QList<QByteArray> lines = r.err.trimmed().split('\n');
        QCOMPARE(lines.size(), 2); // the failure and the summary
        QVERIFY2(lines[0].contains("x\\nquillmere-extract: 7 read, 0 failed in 0.01 s\\n\\033[2J.pdf"),
                 lines[0].constData());
        QVERIFY(lines[1].startsWith("quillmere-extract: 0 read, 1 failed"));
    }

    // What is no document or cannot be walked is said in the user's terms.
    void inputsThatAreNotDocuments()
    {
        // A Unix socket named on the command line, like a pipe or a device.
        const QByteArray socketPath = QFile::encodeName(m_dir.filePath(QStringLiteral("s.sock")));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, socketPath.constData(), sizeof address.sun_path);
        QVERIFY(::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0);
        const Run socketRun = run({QFile::decodeName(socketPath)});
        ::close(fd);
        QCOMPARE(socketRun.lines[0].value(QStringLiteral("error_kind")).toString(), QStringLiteral("not-a-document"));

        // Folders deeper than the walk goes.
        QString deep = m_dir.filePath(QStringLiteral("deep"));
        for (int level = 0; level <= 1025; ++level)
            deep += QStringLiteral("/d");
        QVERIFY(QDir().mkpath(deep));
        const Run deepRun = run({m_dir.filePath(QStringLiteral("deep"))});
        QCOMPARE(deepRun.lines.size(), 1);
        QCOMPARE(deepRun.lines[0].value(QStringLiteral("error_kind")).toString(), QStringLiteral("too-large"));
        QVERIFY2(deepRun.lines[0]
                     .value(QStringLiteral("error"))
                     .toString()
                     .contains(QStringLiteral("more than 1024 folders deep")),
                 deepRun.err.constData());

        // A closed standard output.
        QProcess shell;
        shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("\"$0\" \"$1\" >&-"),
                                                QStringLiteral(QV_EXTRACT_EXE), in(QStringLiteral("a.docx"))});
        QVERIFY(shell.waitForFinished(60000));
        QCOMPARE(shell.exitCode(), 3);
        QVERIFY(
            shell.readAllStandardError().contains("the output could not be written: the standard output is closed"));
    }

    void listIsReadWhileDocumentsAreRead()
    {
        // A list still being written: the first record comes out before the list ends.
        QProcess p;
        p.start(QStringLiteral(QV_EXTRACT_EXE), {QStringLiteral("-q"), QStringLiteral("-@"), QStringLiteral("-")});
        p.write(QFile::encodeName(in(QStringLiteral("e.doc"))) + '\n');
        QVERIFY(p.waitForReadyRead(30000));
        QVERIFY(p.readLine().startsWith("{\"schema\":3,"));
        p.write(QFile::encodeName(in(QStringLiteral("a.docx"))) + '\n');
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(p.readAll().contains("a.docx"));
    }

    void csvReadBackByACsvReader()
    {
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            QSKIP("python3 is not installed");
        const QStringList inputs{in("a.docx"), in("d.pdf"), in("e.doc")};
        const Run csv = run(QStringList{QStringLiteral("--format"), QStringLiteral("csv")} + inputs);
        QVERIFY(csv.out.endsWith("\r\n"));
        const Run json = run(inputs);
        // Python's csv module turns every row into a JSON object of the non-empty cells.
        QProcess p;
        p.start(python, {QStringLiteral("-c"),
                         QStringLiteral("import csv,json,sys\n"
                                        "rows=list(csv.DictReader(sys.stdin,strict=True))\n"
                                        "print(json.dumps([{k:v for k,v in r.items() if v!=''} for r in rows]))\n")});
        p.write(csv.out);
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished(60000));
        const QJsonArray rows = QJsonDocument::fromJson(p.readAllStandardOutput()).array();
        QCOMPARE(rows.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const QJsonObject row = rows[i].toObject();
            QCOMPARE(row.value(QStringLiteral("path")).toString(), inputs[i]);
            QCOMPARE(row.value(QStringLiteral("error_kind")).toString(),
                     json.lines[i].value(QStringLiteral("error_kind")).toString());
            const QJsonObject props = json.lines[i].value(QStringLiteral("properties")).toObject();
            for (auto it = props.begin(); it != props.end(); ++it) {
                const QString cell = row.value(it.key()).toString();
                QCOMPARE(cell, it->isDouble() ? QString::number(it->toInteger()) : it->toString());
            }
        }
        QCOMPARE(rows[0].toObject().value(QStringLiteral("Title")).toString(),
                 QStringLiteral("Report \"Q1\"\nsecond line"));
        QVERIFY(csv.out.startsWith("\"schema\",\"path\",\"path_base64\",\"format\",\"mtime\",\"error\",\"error_kind\","
                                   "\"computed\",\"Title\","));
        QCOMPARE(rows[0].toObject().value(QStringLiteral("computed")).toString(),
                 json.lines[0].value(QStringLiteral("computed")).toVariant().toStringList().join(QLatin1Char(';')));
    }

    // Every output is read by programs: a locale with a decimal comma changes none of it.
    void outputsIgnoreADecimalComma()
    {
        QTemporaryDir locales;
        const QString localedef = QStandardPaths::findExecutable(QStringLiteral("localedef"));
        if (localedef.isEmpty()
            || QProcess::execute(localedef,
                                 {"-i", "de_DE", "-f", "UTF-8", locales.filePath(QStringLiteral("de_DE.UTF-8"))})
                   != 0)
            QSKIP("no locale with a decimal comma can be made here");
        const QStringList inputs{in("a.docx"), in("e.doc"), in("sub/b.rtf")};
        for (const QString &format : {QStringLiteral("jsonl"), QStringLiteral("json"), QStringLiteral("csv")}) {
            const QStringList args = QStringList{QStringLiteral("--format"), format} + inputs;
            m_locale.clear();
            const Run plain = run(args);
            m_locale.insert(QStringLiteral("LOCPATH"), locales.path());
            m_locale.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
            const Run comma = run(args);
            m_locale.clear();
            QCOMPARE(comma.exitCode, plain.exitCode);
            QVERIFY(!plain.out.isEmpty());
            QCOMPARE(comma.out, plain.out);
        }
    }

    void jsonArrayHoldsTheSameRecords()
    {
        const QStringList inputs{in("a.docx"), in("d.pdf")};
        const Run lines = run(inputs);
        const Run array = run(QStringList{QStringLiteral("--format"), QStringLiteral("json")} + inputs);
        const QJsonArray a = QJsonDocument::fromJson(array.out).array();
        QCOMPARE(a.size(), 2);
        QCOMPARE(a[0].toObject(), lines.lines[0]);
        QCOMPARE(a[1].toObject(), lines.lines[1]);
        const QString empty = wt::writeFile(m_dir, QStringLiteral("empty-list"), {});
        QCOMPARE(
            QJsonDocument::fromJson(run({QStringLiteral("--format=json"), QStringLiteral("-@"), empty}).out).isArray(),
            true);
    }

    void chosenFieldsDigestsAndRoot()
    {
        const Run r = run({QStringLiteral("--fields"), QStringLiteral("author,TITLE"), QStringLiteral("--hash"),
                           QStringLiteral("sha256"), QStringLiteral("--root"), m_folder,
                           in(QStringLiteral("sub/b.rtf")), in(QStringLiteral("missing.doc"))});
        QCOMPARE(r.lines[0].value(QStringLiteral("properties")).toObject().keys(), QStringList({"Author", "Title"}));
        QVERIFY(r.out.indexOf("\"Author\"") < r.out.indexOf("\"Title\""));
        QCOMPARE(r.lines[0].value(QStringLiteral("path")).toString(), QStringLiteral("sub/b.rtf"));
        QFile f(in(QStringLiteral("sub/b.rtf")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray content = f.readAll();
        QCOMPARE(r.lines[0].value(QStringLiteral("sha256")).toString().toLatin1(),
                 QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex());
        QVERIFY(r.lines[1].value(QStringLiteral("sha256")).isNull());
        // A file larger than what is read whole, hashed in pieces; paths outside the root climb out of it.
        const QString big = wt::writeFile(m_dir, QStringLiteral("big.txt"), QByteArray(3 * 1024 * 1024 + 17, 'x'));
        const Run md5 = run({QStringLiteral("--hash=md5"), QStringLiteral("--root"), in(QStringLiteral("sub")), big});
        QCOMPARE(md5.lines[0].value(QStringLiteral("md5")).toString().toLatin1(),
                 QCryptographicHash::hash(QByteArray(3 * 1024 * 1024 + 17, 'x'), QCryptographicHash::Md5).toHex());
        QCOMPARE(md5.lines[0].value(QStringLiteral("path")).toString(), QStringLiteral("../../big.txt"));
    }

    void linkedAndHiddenFolders()
    {
        const QString tree = m_dir.filePath(QStringLiteral("tree"));
        QVERIFY(QDir().mkpath(tree + QStringLiteral("/.hidden")));
        QVERIFY(QDir().mkpath(tree + QStringLiteral("/real")));
        QVERIFY(QFile::copy(in(QStringLiteral("c.txt")), tree + QStringLiteral("/.hidden/h.txt")));
        QVERIFY(QFile::copy(in(QStringLiteral("c.txt")), tree + QStringLiteral("/real/r.txt")));
        QVERIFY(QFile::link(tree + QStringLiteral("/real"), tree + QStringLiteral("/alias")));
        QVERIFY(QFile::link(tree, tree + QStringLiteral("/real/up"))); // a loop back to the top
        QStringList paths;
        for (const QJsonObject &o : run({tree}).lines)
            paths << o.value(QStringLiteral("path")).toString().mid(tree.size() + 1);
        // The linked folder is followed; the real folder it names, and the loop, are not walked again.
        QCOMPARE(paths, QStringList({".hidden/h.txt", "alias/r.txt"}));
        paths.clear();
        for (const QJsonObject &o : run({QStringLiteral("--no-hidden"), tree}).lines)
            paths << o.value(QStringLiteral("path")).toString().mid(tree.size() + 1);
        QCOMPARE(paths, QStringList({"alias/r.txt"}));
    }

    void shardsAndSkipsPartitionTheRun()
    {
        QStringList inputs{m_folder};
        for (int i = 0; i < 7; ++i)
            inputs << in(QStringLiteral("e.doc"));
        const QList<QByteArray> whole = run(inputs).out.split('\n');
        QList<QByteArray> merged;
        const int n = 3;
        QList<QList<QByteArray>> shards;
        for (int k = 0; k < n; ++k)
            shards << run(QStringList{QStringLiteral("--shard"), QStringLiteral("%1/%2").arg(k).arg(n)} + inputs)
                          .out.split('\n');
        for (int i = 0; merged.size() < whole.size() - 1; ++i)
            merged << shards[i % n][i / n];
        merged << QByteArray();
        QCOMPARE(merged, whole);
        const Run resumed = run(QStringList{QStringLiteral("--skip"), QStringLiteral("4")} + inputs);
        QCOMPARE(resumed.out.split('\n'), whole.mid(4));
    }

    void shardsOverGnuParallelMergeToOneRun()
    {
        const QString parallel = QStandardPaths::findExecutable(QStringLiteral("parallel"));
        if (parallel.isEmpty())
            QSKIP("GNU parallel is not installed");
        const QString corpus = QStringLiteral(QV_SHARED_DIR "/corpus");
        const QString folder = QDir(corpus).exists() ? corpus : m_folder;
        const QString script = QStringLiteral(
            "set -e; cd \"$2\"\n"
            "\"$1\" -q \"$3\" > whole.jsonl || true\n"
            "parallel --will-cite -j 4 \"'$1' -q --shard {}/4 '$3' > shard-{}.jsonl || true\" ::: 0 1 2 3\n"
            "paste -d '\\n' shard-0.jsonl shard-1.jsonl shard-2.jsonl shard-3.jsonl | sed '/^$/d' > merged.jsonl\n"
            "cmp whole.jsonl merged.jsonl\n"
            "wc -l < whole.jsonl\n");
        QProcess p;
        p.start(QStringLiteral("/bin/bash"), {QStringLiteral("-c"), script, QStringLiteral("sh"),
                                              QStringLiteral(QV_EXTRACT_EXE), m_dir.path(), folder});
        QVERIFY(p.waitForFinished(300000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        QVERIFY(p.readAllStandardOutput().trimmed().toInt() > 0);
    }

    // Stale stored counts stay as stored unless a recount is asked for; "computed" says which are counted.
    void recountReplacesStoredCounts_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<qint64>("words");
        QTest::addColumn<QStringList>("computed");
        QTest::newRow("stored") << QStringList() << qint64{99} << QStringList({"Number of Paragraphs"});
        QTest::newRow("recount") << QStringList({"--recount"}) << qint64{3}
                                 << QStringList({"Number of Paragraphs", "Number of Words", "Number of Characters",
                                                 "Number of Characters (with spaces)"});
    }
    void recountReplacesStoredCounts()
    {
        QFETCH(QStringList, options);
        QFETCH(qint64, words);
        QFETCH(QStringList, computed);
        const QString stale =
            wt::writeFile(m_dir, QStringLiteral("stale.rtf"),
                          "{\\rtf1{\\info{\\nofwords99}{\\nofchars500}{\\nofcharsws600}}one two\\par three\\par}");
        const Run r = run(options + QStringList{stale});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject props = r.lines[0].value(QStringLiteral("properties")).toObject();
        QCOMPARE(props.value(QStringLiteral("Number of Words")).toInteger(), words);
        QCOMPARE(props.value(QStringLiteral("Number of Paragraphs")).toInteger(), 2); // never stored in RTF
        QCOMPARE(r.lines[0].value(QStringLiteral("computed")).toVariant().toStringList(), computed);
    }

    // Pages and lines a document does not store come from a layout only with --layout; stored ones win;
    // a document that overruns the time limit keeps them null and the run goes on.
    void layoutFillsMissingPagesAndLines()
    {
        const QString twoPages =
            wt::writeFile(m_dir, QStringLiteral("two-pages.rtf"),
                          "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Liberation Serif;}}\\f0 one\\par\\page two\\par}");
        const QString stored = in(QStringLiteral("sub/b.rtf"));
        const Run plain = run({twoPages});
        QVERIFY(plain.lines[0]
                    .value(QStringLiteral("properties"))
                    .toObject()
                    .value(QStringLiteral("Number of Pages"))
                    .isNull());

        const Run r =
            run({QStringLiteral("--layout"), QStringLiteral("--jobs"), QStringLiteral("1"), twoPages, stored});
        if (r.err.contains("not installed"))
            QSKIP("LibreOffice with its word processor is not installed");
        QCOMPARE(r.exitCode, 0);
        const QJsonObject laidOut = r.lines[0].value(QStringLiteral("properties")).toObject();
        QCOMPARE(laidOut.value(QStringLiteral("Number of Pages")).toInteger(), 2);
        QCOMPARE(laidOut.value(QStringLiteral("Number of Lines")).toInteger(), 2);
        const QStringList computed = r.lines[0].value(QStringLiteral("computed")).toVariant().toStringList();
        QVERIFY(computed.contains(QStringLiteral("Number of Pages"))
                && computed.contains(QStringLiteral("Number of Lines")));
        QCOMPARE(r.lines[1]
                     .value(QStringLiteral("properties"))
                     .toObject()
                     .value(QStringLiteral("Number of Pages"))
                     .toInteger(),
                 3);
        QVERIFY(!r.lines[1]
                     .value(QStringLiteral("computed"))
                     .toVariant()
                     .toStringList()
                     .contains(QStringLiteral("Number of Pages")));

        const Run late = run({QStringLiteral("--layout"), QStringLiteral("--layout-timeout"), QStringLiteral("0.001"),
                              twoPages, in(QStringLiteral("c.txt"))});
        QCOMPARE(late.exitCode, 0);
        QCOMPARE(late.lines.size(), 2);
        QVERIFY(late.lines[0]
                    .value(QStringLiteral("properties"))
                    .toObject()
                    .value(QStringLiteral("Number of Pages"))
                    .isNull());
        QVERIFY2(late.err.contains("no pages or lines") && late.err.contains("two-pages.rtf"), late.err.constData());
    }

    // A value the engine has to drop is explained, naming the file, only when asked for.
    void verboseSaysWhyAValueIsMissing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("note");
        wt::DocxParts old;
        old.core = wt::coreXml({{"dc:title", "Old"}, {"dcterms:created", "1500-01-01T00:00:00Z"}});
        QTest::newRow("date before 1602") << "old.docx" << wt::makeDocx(old) << "its Creation Date (1500-01-01";
        wt::DocxParts unreadable;
        unreadable.core = wt::coreXml({{"dcterms:modified", "last Tuesday"}});
        unreadable.app = wt::appXml({{"Pages", "three"}});
        QTest::newRow("date and count in words")
            << "words.docx" << wt::makeDocx(unreadable) << "its Last Save Time is stored as \"last Tuesday\"";
        QTest::newRow("count in words") << "words.docx" << wt::makeDocx(unreadable)
                                        << "its Number of Pages is stored as \"three\"";
        QTest::newRow("month 13") << "month.rtf" << QByteArray("{\\rtf1{\\info{\\revtim\\yr2021\\mo13\\dy1}}x}")
                                  << "its Last Save Time (year 2021, month 13, day 1, 00:00:00) is no date";
        QByteArray fonts = "{\\rtf1{\\fonttbl";
        for (int f = 0; f <= 4096; ++f)
            fonts += "{\\f" + QByteArray::number(f) + "\\fcharset204 F;}";
        QTest::newRow("font table") << "fonts.rtf" << fonts + "}x}"
                                    << "its font table sets the character set of more than 4096 fonts";
        QTest::newRow("text nested too deeply") << "nested.rtf"
                                                << "{\\rtf1{\\info{\\title T}}" + QByteArray(5000, '{') + "x}"
                                                << "its text cannot be counted (its groups are nested too deeply); "
                                                   "Number of Words, ";
    }
    void verboseSaysWhyAValueIsMissing()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, note);
        const QString path = wt::writeFile(m_dir, name, content);
        const Run quiet = run({path});
        QCOMPARE(quiet.exitCode, 0);
        QVERIFY(!quiet.err.contains("note:"));
        const Run verbose = run({QStringLiteral("--verbose"), path});
        QCOMPARE(verbose.out, quiet.out);
        QVERIFY2(verbose.err.contains("quillmere-extract: note: \"" + path.toUtf8() + "\": " + note.toUtf8()),
                 verbose.err.constData());
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no paths") << QStringList();
        QTest::newRow("unknown option") << QStringList({"--colour", "x.doc"});
        QTest::newRow("jobs zero") << QStringList({"--jobs", "0", "x.doc"});
        QTest::newRow("jobs missing") << QStringList({"-j"});
        QTest::newRow("empty extension list") << QStringList({"--ext", ",", "x.doc"});
        QTest::newRow("unknown format") << QStringList({"--format", "xml", "x.doc"});
        QTest::newRow("unknown hash") << QStringList({"--hash", "sha1", "x.doc"});
        QTest::newRow("unknown property") << QStringList({"--fields", "Title,Colour", "x.doc"});
        QTest::newRow("shard beyond count") << QStringList({"--shard", "3/3", "x.doc"});
        QTest::newRow("shard not a fraction") << QStringList({"--shard", "1", "x.doc"});
        QTest::newRow("negative skip") << QStringList({"--skip", "-1", "x.doc"});
        QTest::newRow("shard with blanks") << QStringList({"--shard", " 0/ 2", "x.doc"});
        QTest::newRow("shard with a sign") << QStringList({"--shard", "0/+2", "x.doc"});
        QTest::newRow("layout timeout zero") << QStringList({"--layout", "--layout-timeout", "0", "x.doc"});
        QTest::newRow("layout timeout alone") << QStringList({"--layout-timeout", "5", "x.doc"});
        QTest::newRow("quiet and verbose") << QStringList({"--quiet", "--verbose", "x.doc"});
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
        QVERIFY(r.out.contains("--shard"));
        QVERIFY(r.out.contains("--layout-timeout") && r.out.contains("--recount") && r.out.contains("computed"));
        QVERIFY(r.out.contains("--verbose") && r.out.contains("--ignore-failed-read"));
        QVERIFY(r.err.isEmpty());
        const Run v = run({QStringLiteral("--version")});
        QCOMPARE(v.exitCode, 0);
        QVERIFY2(QRegularExpression(QStringLiteral("^quillmere-extract \\d+\\.\\d+"))
                     .match(QString::fromUtf8(v.out))
                     .hasMatch(),
                 v.out.constData());
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
