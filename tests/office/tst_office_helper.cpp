// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Pages and lines from the LibreOffice helper program, for documents the test makes with a known shape;
// what it does with documents that try to reach the network; and what it leaves behind.
#include "OfficeTestSupport.h"
#include "WordTestSupport.h"
#include "office/LayoutClient.h"
#include "word/Engine.h"
#include <QtTest>
#include <arpa/inet.h>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>

using namespace std::chrono_literals;
using office::LayoutClient;

namespace {

constexpr auto kGenerous = 120s;
constexpr const char *kNoOffice = "the LibreOffice helper or the office's word processor is not installed";

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

const QByteArray kContentTypes =
    "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
    "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>";
const QByteArray kPackageRels =
    "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
    "officeDocument\" Target=\"word/document.xml\"/></Relationships>";

QByteArray docx(const QByteArray &body, const QByteArray &documentRels = {})
{
    QList<wt::ZipEntry> parts{
        {QStringLiteral("[Content_Types].xml"), kContentTypes},
        {QStringLiteral("_rels/.rels"), kPackageRels},
        {QStringLiteral("word/document.xml"),
         "<?xml version=\"1.0\"?><w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\""
         " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""
         " xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\""
         " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
         " xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><w:body>"
             + body + "</w:body></w:document>"}};
    if (!documentRels.isEmpty())
        parts.push_back({QStringLiteral("word/_rels/document.xml.rels"),
                         "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                         "relationships\">"
                             + documentRels + "</Relationships>"});
    return wt::makeZip(parts);
}

QByteArray docxParagraphs(const QStringList &paragraphs)
{
    QByteArray body;
    for (const QString &p : paragraphs) {
        const bool newPage = p.startsWith(QLatin1Char('\f'));
        body += QByteArray("<w:p>") + (newPage ? "<w:r><w:br w:type=\"page\"/></w:r>" : "") + "<w:r><w:t>"
                + p.mid(newPage ? 1 : 0).toUtf8() + "</w:t></w:r></w:p>";
    }
    return docx(body);
}

// A .docx whose picture is linked from the web server, not stored in the package.
QByteArray docxWithLinkedImage(const QByteArray &server)
{
    return docx("<w:p><w:r><w:t>Linked picture</w:t></w:r><w:r><w:drawing><wp:inline><wp:extent cx=\"952500\" "
                "cy=\"952500\"/><wp:docPr id=\"1\" name=\"Picture 1\"/><a:graphic><a:graphicData "
                "uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><pic:pic><pic:nvPicPr><pic:cNvPr "
                "id=\"1\" name=\"linked.png\"/><pic:cNvPicPr/></pic:nvPicPr><pic:blipFill><a:blip r:link=\"rIdImage\"/>"
                "<a:stretch><a:fillRect/></a:stretch></pic:blipFill><pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext "
                "cx=\"952500\" cy=\"952500\"/></a:xfrm><a:prstGeom prst=\"rect\"/></pic:spPr></pic:pic></a:graphicData>"
                "</a:graphic></wp:inline></w:drawing></w:r></w:p>",
                "<Relationship Id=\"rIdImage\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                "relationships/image\" Target=\""
                    + server + "/linked.png\" TargetMode=\"External\"/>");
}

// An .odt holding an object and a picture linked from the web server.
QByteArray odtWithLinkedObject(const QByteArray &server)
{
    const QByteArray link = "xlink:type=\"simple\" xlink:show=\"embed\" xlink:actuate=\"onLoad\"";
    return wt::makeZip({
        {QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.text", true},
        {QStringLiteral("META-INF/manifest.xml"),
         "<?xml version=\"1.0\"?><manifest:manifest "
         "xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\""
         " manifest:version=\"1.2\"><manifest:file-entry manifest:full-path=\"/\" manifest:media-type=\"application/"
         "vnd.oasis.opendocument.text\"/><manifest:file-entry manifest:full-path=\"content.xml\" "
         "manifest:media-type=\"text/xml\"/></manifest:manifest>"},
        {QStringLiteral("content.xml"),
         "<?xml version=\"1.0\"?><office:document-content "
         "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
         " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" xmlns:draw=\"urn:oasis:names:tc:opendocument:"
         "xmlns:drawing:1.0\" xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\""
         " xmlns:xlink=\"http://www.w3.org/1999/xlink\" office:version=\"1.2\"><office:body><office:text><text:p>"
         "Linked object<draw:frame draw:name=\"Object1\" text:anchor-type=\"as-char\" svg:width=\"5cm\" "
         "svg:height=\"3cm\">"
         "<draw:object xlink:href=\""
             + server + "/object.ods\" " + link
             + "/></draw:frame><draw:frame draw:name="
               "\"Image1\" text:anchor-type=\"as-char\" svg:width=\"2cm\" svg:height=\"2cm\"><draw:image xlink:href=\""
             + server + "/image.png\" " + link
             + "/></draw:frame></text:p></office:text></office:body>"
               "</office:document-content>"},
    });
}

// An HTML page under a Word name, with a style sheet and a picture on the web server.
QByteArray htmlNamedDoc(const QByteArray &server)
{
    return "<html><head><link rel=\"stylesheet\" href=\"" + server
           + "/style.css\"></head><body><p>Hello</p>"
             "<img src=\""
           + server + "/picture.png\"></body></html>\n";
}

// A web server on 127.0.0.1 that counts the connections made to it and answers each with 404.
class ConnectionCounter {
public:
    ConnectionCounter()
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr *>(&address), size) != 0
            || ::listen(m_socket, 16) != 0
            || ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &size) != 0)
            qFatal("no local web server could be started");
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~ConnectionCounter()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_socket);
    }
    QByteArray address() const { return "http://127.0.0.1:" + QByteArray::number(m_port); }
    int connections() const { return m_connections; }

private:
    void serve()
    {
        while (!m_stop) {
            pollfd fd{m_socket, POLLIN, 0};
            if (::poll(&fd, 1, 100) <= 0)
                continue;
            const int client = ::accept4(m_socket, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0)
                continue;
            ++m_connections;
            char request[4096];
            pollfd in{client, POLLIN, 0};
            if (::poll(&in, 1, 1000) > 0)
                (void)::read(client, request, sizeof request);
            const char answer[] = "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n";
            (void)::write(client, answer, sizeof answer - 1);
            ::close(client);
        }
    }
    int m_socket = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    std::thread m_thread;
};

bool commandSucceeds(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QString formatOf(const QByteArray &nativePath)
{
    word::ReadOptions read;
    read.nativePath = nativePath;
    return word::readDocumentProperties(QFile::decodeName(nativePath), read).format();
}

} // namespace

class TestOfficeHelper : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QTemporaryDir m_tmp; // the helpers' temporary folder: their offices' profiles go here
    std::unique_ptr<LayoutClient> m_client;

    LayoutClient &client()
    {
        if (!m_client)
            m_client = std::make_unique<LayoutClient>(LayoutClient::Options{officetest::helperProgram(), {}});
        return *m_client;
    }
    QByteArray write(const QString &name, const QByteArray &content)
    {
        return QFile::encodeName(wt::writeFile(m_dir, name, content));
    }

private slots:
    void initTestCase() { qputenv("TMPDIR", QFile::encodeName(m_tmp.path())); }
    void cleanupTestCase() { m_client.reset(); }

    void withoutTheHelperThereAreNoLayouts()
    {
        LayoutClient missing(LayoutClient::Options{m_dir.filePath(QStringLiteral("no-helper-here")), {}});
        QVERIFY(missing.unavailableReason().contains(QStringLiteral("not installed")));
        const office::Measurement m =
            missing.measure(write(QStringLiteral("plain.rtf"), rtf({"One"})), "RTF", kGenerous);
        QVERIFY(!m.pages && !m.lines);
        QVERIFY2(m.error.contains(QStringLiteral("plain.rtf")) && m.error.contains(QStringLiteral("not installed")),
                 qPrintable(m.error));
    }

    void countsOfMadeDocuments_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("lines");
        QTest::newRow("rtf, two page breaks")
            << QByteArray("breaks.rtf") << rtf({"Alpha", "Beta", "\fGamma", "Delta", "\fEpsilon"}) << 3 << 5;
        QTest::newRow("docx, one page break")
            << QByteArray("breaks.docx") << docxParagraphs({"One", "Two", "\fThree"}) << 2 << 3;
        // Empty paragraphs hold no line of text.
        QTest::newRow("rtf with empty paragraphs") << QByteArray("empty.rtf") << rtf({"One", "", "", "Two"}) << 1 << 2;
        // A name that is not valid UTF-8 reaches the office byte for byte.
        QTest::newRow("text under a Latin-1 name")
            << QByteArray("caf\xe9.txt") << QByteArray("one\ntwo\nthree\n") << 1 << 3;
    }
    void countsOfMadeDocuments()
    {
        if (!officetest::officeInstalled())
            QSKIP(kNoOffice);
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, content);
        QFETCH(int, pages);
        QFETCH(int, lines);
        // Written by its exact bytes: Qt's own file names are text.
        const QByteArray path = QFile::encodeName(m_dir.path()) + '/' + name;
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        QVERIFY(fd >= 0 && ::write(fd, content.constData(), size_t(content.size())) == content.size());
        ::close(fd);
        const auto remove = qScopeGuard([&] { ::unlink(path.constData()); }); // a name Qt cannot remove
        const office::Measurement m = client().measure(path, formatOf(path), kGenerous);
        QVERIFY2(m.error.isEmpty(), qPrintable(m.error));
        QCOMPARE(m.pages, std::optional<int>(pages));
        QCOMPARE(m.lines, std::optional<int>(lines));
    }

    void unreadableFilesFailWithTheirName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("why");
        QTest::newRow("damaged docx") << "damaged.docx" << QByteArray("PK\x03\x04").append(4000, '\x7f') << "OOXML"
                                      << "";
        QTest::newRow("folder") << "a-folder.docx" << QByteArray() << "OOXML"
                                << "not a regular file";
        QTest::newRow("missing") << "missing.docx" << QByteArray() << "OOXML"
                                 << "does not exist";
        QTest::newRow("spreadsheet") << "book.xls" << QByteArray("x") << "XLS"
                                     << "not a word-processing document";
    }
    void unreadableFilesFailWithTheirName()
    {
        if (!officetest::officeInstalled())
            QSKIP(kNoOffice);
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, format);
        QFETCH(QString, why);
        QString path = m_dir.filePath(name);
        if (name.startsWith(QLatin1String("a-folder")))
            QVERIFY(QDir(m_dir.path()).mkdir(name));
        else if (!content.isEmpty())
            path = wt::writeFile(m_dir, name, content);
        const office::Measurement m = client().measure(QFile::encodeName(path), format, kGenerous);
        QVERIFY(!m.pages && !m.lines && !m.timedOut);
        QVERIFY2(m.error.contains(name) && m.error.contains(why), qPrintable(m.error));
    }

    void timeLimitEndsTheOfficeAndTheNextDocumentIsMeasured()
    {
        if (!officetest::officeInstalled())
            QSKIP(kNoOffice);
        QVERIFY(client().measure(write(QStringLiteral("warm.rtf"), rtf({"One"})), "RTF", kGenerous).error.isEmpty());
        const pid_t first = client().status()->officePid;
        QStringList many;
        for (int i = 0; i < 400; ++i)
            many << QStringLiteral("%1Page %2 of a long document").arg(i ? QStringLiteral("\f") : QString()).arg(i + 1);
        const QByteArray slow = write(QStringLiteral("slow.rtf"), rtf(many));
        const office::Measurement late = client().measure(slow, "RTF", 1ms);
        QVERIFY(late.timedOut && !late.pages && !late.lines);
        QVERIFY2(late.error.contains(QStringLiteral("slow.rtf")) && late.error.contains(QStringLiteral("longer than")),
                 qPrintable(late.error));
        QVERIFY(!officetest::processExists(first));

        const office::Measurement next = client().measure(slow, "RTF", kGenerous);
        QVERIFY2(next.error.isEmpty(), qPrintable(next.error));
        QCOMPARE(next.pages, std::optional<int>(400));
    }

    // An office killed by someone else while it lays a document out is not that document's fault: the
    // document is laid out again in a new office.
    void aDocumentWhoseOfficeWasKilledIsLaidOutAgain()
    {
        if (!officetest::officeInstalled())
            QSKIP(kNoOffice);
        QStringList many;
        for (int i = 0; i < 3000; ++i)
            many << QStringLiteral("%1Page %2").arg(i ? QStringLiteral("\f") : QString()).arg(i + 1);
        const QByteArray doc = write(QStringLiteral("killed.rtf"), rtf(many));
        QVERIFY(client().measure(write(QStringLiteral("start.rtf"), rtf({"One"})), "RTF", kGenerous).error.isEmpty());
        const office::OfficeStatus before = *client().status();
        std::thread killer([pid = before.officePid] {
            std::this_thread::sleep_for(200ms);
            ::kill(pid, SIGKILL);
        });
        const office::Measurement m = client().measure(doc, "RTF", kGenerous);
        killer.join();
        QVERIFY2(m.error.isEmpty(), qPrintable(m.error));
        QCOMPARE(m.pages, std::optional<int>(3000));
        QCOMPARE(client().status()->starts, before.starts + 1);
    }

    // Documents that link content from a web server are laid out without a single request reaching it:
    // the office has no network, and where the system allows no namespace its settings and the named
    // import filter still keep it from fetching.
    void noRequestLeavesDuringALayout_data()
    {
        QTest::addColumn<bool>("namespaceAllowed");
        QTest::newRow("own network namespace") << true;
        QTest::newRow("no namespace allowed") << false;
    }
    void noRequestLeavesDuringALayout()
    {
        if (!officetest::officeInstalled())
            QSKIP(kNoOffice);
        QFETCH(bool, namespaceAllowed);
        if (!namespaceAllowed)
            qputenv("QUILLMERE_OFFICE_NO_NAMESPACE", "1");
        const auto restore = qScopeGuard([] { qunsetenv("QUILLMERE_OFFICE_NO_NAMESPACE"); });
        ConnectionCounter server;
        LayoutClient layouts(LayoutClient::Options{officetest::helperProgram(), {}});
        const QByteArray documents[] = {
            write(QStringLiteral("linked-image.docx"), docxWithLinkedImage(server.address())),
            write(QStringLiteral("linked-object.odt"), odtWithLinkedObject(server.address())),
            write(QStringLiteral("web-page.doc"), htmlNamedDoc(server.address()))};
        const QString formats[] = {QStringLiteral("OOXML"), QStringLiteral("ODT"), QStringLiteral("TEXT")};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(formatOf(documents[i]), formats[i]);
            const office::Measurement m = layouts.measure(documents[i], formats[i], kGenerous);
            QVERIFY2(m.error.isEmpty(), qPrintable(m.error));
        }
        if (namespaceAllowed
            && (commandSucceeds(QStringLiteral("unshare"), {QStringLiteral("--net"), QStringLiteral("true")})
                || commandSucceeds(QStringLiteral("unshare"),
                                   {QStringLiteral("--user"), QStringLiteral("--net"), QStringLiteral("true")})))
            QVERIFY(layouts.status()->isolated);
        QTest::qWait(500); // a request on its way would have arrived
        QCOMPARE(server.connections(), 0);
    }

    void nothingIsLeftBehind()
    {
        if (!officetest::officeInstalled())
            QSKIP(kNoOffice);
        pid_t helper = 0;
        pid_t office = 0;
        QStringList profiles;
        {
            LayoutClient layouts(LayoutClient::Options{officetest::helperProgram(), {}});
            QVERIFY(layouts.measure(write(QStringLiteral("one.rtf"), rtf({"One"})), "RTF", kGenerous).error.isEmpty());
            helper = layouts.helperProcessId();
            office = layouts.status()->officePid;
            QVERIFY(officetest::processExists(helper) && officetest::processExists(office));
            for (const QString &work : QDir(m_tmp.path()).entryList({QStringLiteral("qv-layout-*")}, QDir::Dirs))
                profiles << m_tmp.filePath(work + QStringLiteral("/profile"));
            QVERIFY(!profiles.isEmpty());
        }
        QVERIFY(!officetest::processExists(helper) && !officetest::processExists(office));
        m_client.reset();
        // Neither profiles, temporary files nor sockets stay: the helpers' folder is empty, and no socket
        // of theirs is in /tmp.
        QCOMPARE(QDir(m_tmp.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
        for (const QString &profile : profiles)
            QCOMPARE(officetest::officeSockets(QStringLiteral("qvlayout-%1-*").arg(helper), profile), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestOfficeHelper)
#include "tst_office_helper.moc"
