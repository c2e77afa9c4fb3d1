// Pages and lines from the office's layout, for documents the test makes with a known shape.
#include "WordTestSupport.h"
#include "layout/LayoutSession.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QtTest>
#include <csignal>
#include <sys/wait.h>

using namespace std::chrono_literals;
using layout::LayoutSession;

namespace {

constexpr auto kGenerous = 120s;
constexpr const char *kNoOffice = "LibreOffice with its word processor is not installed";

// Paragraphs as given; a paragraph starting with '\f' begins a new page.
QByteArray rtf(const QStringList &paragraphs)
{
    QByteArray out = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Liberation Serif;}}\\f0\\fs24\n";
    for (const QString &p : paragraphs) {
        if (p.startsWith(QLatin1Char('\f')))
            out += "\\page ";
        out += p.mid(p.startsWith(QLatin1Char('\f')) ? 1 : 0).toLatin1() + "\\par\n";
    }
    return out + "}";
}

QByteArray flatOdt(const QStringList &paragraphs)
{
    QByteArray body;
    for (const QString &p : paragraphs) {
        const bool newPage = p.startsWith(QLatin1Char('\f'));
        body += QByteArray(newPage ? "<text:p text:style-name=\"Break\">" : "<text:p>")
            + p.mid(newPage ? 1 : 0).toUtf8() + "</text:p>";
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
           " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
           " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
           " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
           " office:version=\"1.2\" office:mimetype=\"application/vnd.oasis.opendocument.text\">"
           "<office:automatic-styles><style:style style:name=\"Break\" style:family=\"paragraph\">"
           "<style:paragraph-properties fo:break-before=\"page\"/></style:style></office:automatic-styles>"
           "<office:body><office:text>"
        + body + "</office:text></office:body></office:document>";
}

QByteArray docx(const QStringList &paragraphs)
{
    QByteArray body;
    for (const QString &p : paragraphs) {
        const bool newPage = p.startsWith(QLatin1Char('\f'));
        body += QByteArray("<w:p>") + (newPage ? "<w:r><w:br w:type=\"page\"/></w:r>" : "")
            + "<w:r><w:t>" + p.mid(newPage ? 1 : 0).toUtf8() + "</w:t></w:r></w:p>";
    }
    return wt::makeZip({
        {QStringLiteral("[Content_Types].xml"),
         "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
         "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
         "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>"},
        {QStringLiteral("_rels/.rels"),
         "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
         "officeDocument\" Target=\"word/document.xml\"/></Relationships>"},
        {QStringLiteral("word/document.xml"),
         "<?xml version=\"1.0\"?><w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
         "<w:body>" + body + "</w:body></w:document>"},
    });
}

// The office is a child of this process: it has ended once it can be waited for, or once the event
// loop has let QProcess collect it.
bool hasEnded(pid_t pid)
{
    siginfo_t info{};
    if (::waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0)
        return errno == ECHILD;
    return info.si_pid == pid;
}

bool processExists(pid_t pid) { return pid > 0 && QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)); }

} // namespace

class TestLayoutSession : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    std::unique_ptr<LayoutSession> m_session;

private slots:
    void cleanupTestCase() { m_session.reset(); }

    void withoutTheOfficeNothingStarts()
    {
        LayoutSession::Options options;
        options.officeProgramDir = m_dir.filePath(QStringLiteral("no-office-here"));
        QVERIFY(!LayoutSession::available(options.officeProgramDir));
        LayoutSession session(options);
        const QString doc = wt::writeFile(m_dir, QStringLiteral("plain.rtf"), rtf({QStringLiteral("One")}));
        const layout::Measurement m = session.measure(doc, kGenerous);
        QVERIFY(!m.pages && !m.lines);
        QVERIFY2(m.error.contains(QStringLiteral("plain.rtf")) && m.error.contains(QStringLiteral("LibreOffice")),
                 qPrintable(m.error));
        QCOMPARE(session.officeStarts(), 0);
    }

    void countsOfMadeDocuments_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("lines");
        const QStringList fivePara{QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("\fGamma"),
                                   QStringLiteral("Delta"), QStringLiteral("\fEpsilon")};
        QTest::newRow("rtf, two page breaks") << "breaks.rtf" << rtf(fivePara) << 3 << 5;
        QTest::newRow("flat odt, one page break") << "breaks.fodt"
                                                  << flatOdt({QStringLiteral("One"), QStringLiteral("\fTwo"),
                                                              QStringLiteral("Three"), QStringLiteral("Four")})
                                                  << 2 << 4;
        QTest::newRow("docx, one page break") << "breaks.docx"
                                              << docx({QStringLiteral("One"), QStringLiteral("Two"),
                                                       QStringLiteral("\fThree")})
                                              << 2 << 3;
        // Empty paragraphs hold no line of text.
        QTest::newRow("rtf with empty paragraphs") << "empty.rtf"
                                                   << rtf({QStringLiteral("One"), QString(), QString(),
                                                           QStringLiteral("Two")})
                                                   << 1 << 2;
    }

    void countsOfMadeDocuments()
    {
        if (!LayoutSession::available())
            QSKIP(kNoOffice);
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(int, pages);
        QFETCH(int, lines);
        if (!m_session)
            m_session = std::make_unique<LayoutSession>();
        const layout::Measurement m = m_session->measure(wt::writeFile(m_dir, name, content), kGenerous);
        QVERIFY2(m.error.isEmpty(), qPrintable(m.error));
        QCOMPARE(m.pages, std::optional<int>(pages));
        QCOMPARE(m.lines, std::optional<int>(lines));
    }

    void unreadableFilesFailWithTheirName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("damaged docx") << "damaged.docx" << QByteArray("PK\x03\x04").append(4000, '\x7f');
        QTest::newRow("compound file without streams")
            << "empty-ole.doc" << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1").append(4000, '\0');
        QTest::newRow("folder") << "a-folder.docx" << QByteArray();
        QTest::newRow("missing") << "missing.docx" << QByteArray();
    }

    void unreadableFilesFailWithTheirName()
    {
        if (!LayoutSession::available())
            QSKIP(kNoOffice);
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QString path = m_dir.filePath(name);
        if (name.startsWith(QLatin1String("a-folder")))
            QVERIFY(QDir(m_dir.path()).mkdir(name));
        else if (!content.isEmpty())
            path = wt::writeFile(m_dir, name, content);
        if (!m_session)
            m_session = std::make_unique<LayoutSession>();
        const layout::Measurement m = m_session->measure(path, kGenerous);
        QVERIFY(!m.pages && !m.lines && !m.timedOut);
        QVERIFY2(m.error.contains(name), qPrintable(m.error));
    }

    void timeLimitEndsTheOfficeAndTheNextDocumentIsMeasured()
    {
        if (!LayoutSession::available())
            QSKIP(kNoOffice);
        if (!m_session)
            m_session = std::make_unique<LayoutSession>();
        QVERIFY2(m_session->start().isEmpty(), "the office did not start");
        const pid_t first = m_session->officeProcessId();
        // Long enough that its load and layout cannot finish within a millisecond.
        QStringList many;
        for (int i = 0; i < 400; ++i)
            many << QStringLiteral("%1Page %2 of a long document").arg(i ? QStringLiteral("\f") : QString()).arg(i + 1);
        const QString slow = wt::writeFile(m_dir, QStringLiteral("slow.rtf"), rtf(many));
        const layout::Measurement late = m_session->measure(slow, 1ms);
        QVERIFY(late.timedOut && !late.pages && !late.lines);
        QVERIFY2(late.error.contains(QStringLiteral("slow.rtf")) && late.error.contains(QStringLiteral("longer than")),
                 qPrintable(late.error));
        QVERIFY(!processExists(first));
        // The killed office's socket is cleared away with it.
        QCOMPARE(QDir(QStringLiteral("/tmp"))
                     .entryList({QStringLiteral("OSL_PIPE_*_qvlayout-%1-*").arg(QCoreApplication::applicationPid())},
                                QDir::System)
                     .size(),
                 0);

        const layout::Measurement next = m_session->measure(slow, kGenerous);
        QVERIFY2(next.error.isEmpty(), qPrintable(next.error));
        QCOMPARE(next.pages, std::optional<int>(400));
    }

    void anOfficeKilledBetweenDocumentsIsReplaced()
    {
        if (!LayoutSession::available())
            QSKIP(kNoOffice);
        if (!m_session)
            m_session = std::make_unique<LayoutSession>();
        const QString doc = wt::writeFile(m_dir, QStringLiteral("two.rtf"), rtf({QStringLiteral("One"), QStringLiteral("Two")}));
        QVERIFY(m_session->measure(doc, kGenerous).error.isEmpty());
        const pid_t pid = m_session->officeProcessId();
        QCOMPARE(::kill(pid, SIGKILL), 0);
        QTRY_VERIFY(hasEnded(pid));
        const layout::Measurement m = m_session->measure(doc, kGenerous);
        QVERIFY2(m.error.isEmpty(), qPrintable(m.error));
        QCOMPARE(m.lines, std::optional<int>(2));
        QVERIFY(m_session->officeProcessId() != pid);
    }

    void nothingIsLeftRunningAfterTheSession()
    {
        if (!LayoutSession::available())
            QSKIP(kNoOffice);
        const auto leftovers = [] {
            return QDir(QStringLiteral("/tmp"))
                .entryList({QStringLiteral("OSL_PIPE_*"), QStringLiteral("lu*.tmp"), QStringLiteral("qv-layout-*")},
                           QDir::AllEntries | QDir::System | QDir::Hidden);
        };
        const QStringList before = leftovers();
        pid_t pid = 0;
        {
            LayoutSession session;
            const layout::Measurement m = session.measure(
                wt::writeFile(m_dir, QStringLiteral("one.rtf"), rtf({QStringLiteral("One")})), kGenerous);
            QVERIFY2(m.error.isEmpty(), qPrintable(m.error));
            pid = session.officeProcessId();
            QVERIFY(processExists(pid));
        }
        QVERIFY(!processExists(pid));
        // Neither its profile, its temporary files nor its sockets stay behind.
        QStringList added = leftovers();
        for (const QString &name : before)
            added.removeAll(name);
        QVERIFY2(added.isEmpty(), qPrintable(added.join(QLatin1Char(' '))));
    }
};

QTEST_GUILESS_MAIN(TestLayoutSession)
#include "tst_layout_session.moc"
