// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The two programs without LibreOffice: neither links it, both run where its program folder is missing;
// and the batch command leaves no helper, office or file behind when a signal ends it during layouts.
#include "OfficeTestSupport.h"
#include "WordTestSupport.h"
#include <QProcess>
#include <QtTest>
#include <csignal>

using namespace std::chrono_literals;

namespace {

const QString kExtract = QStringLiteral(QV_PROGRAM_DIR "/quillmere-extract");
const QString kWindow = QStringLiteral(QV_PROGRAM_DIR "/quillmere-vantrel");

QString output(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(60000);
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

// A shell that can mount over the office's program folder: a mount namespace of its own, through a user
// namespace where this user may not make one directly. Empty where the system allows neither.
QStringList privateMountShell()
{
    for (const QStringList &prefix :
         {QStringList{QStringLiteral("--mount")},
          QStringList{QStringLiteral("--user"), QStringLiteral("--map-root-user"), QStringLiteral("--mount")}}) {
        QProcess p;
        p.start(QStringLiteral("unshare"), prefix
                                               + QStringList{QStringLiteral("sh"), QStringLiteral("-c"),
                                                             QStringLiteral("mount -t tmpfs none /mnt")});
        if (p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
            return prefix;
    }
    return {};
}

QByteArray rtfPages(int pages)
{
    QByteArray out = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Liberation Serif;}}\\f0\\fs24\n";
    for (int i = 0; i < pages; ++i)
        out += (i ? "\\page " : "") + QByteArray("Page ") + QByteArray::number(i + 1) + "\\par\n";
    return out + "}";
}

// The helpers below `parent`, and their offices.
QList<pid_t> descendants(pid_t parent)
{
    QList<pid_t> all;
    for (const pid_t child : officetest::childrenOf(parent))
        all << child << descendants(child);
    return all;
}

} // namespace

class TestOfficePrograms : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void neitherProgramLinksTheOffice()
    {
        for (const QString &program : {kExtract, kWindow}) {
            const QString dynamic = output(QStringLiteral("readelf"), {QStringLiteral("-d"), program});
            QVERIFY2(dynamic.contains(QStringLiteral("(NEEDED)")), qPrintable(program));
            QVERIFY2(!dynamic.contains(QStringLiteral("uno_")) && !dynamic.contains(QStringLiteral("libreoffice")),
                     qPrintable(dynamic));
            const QString libraries = output(QStringLiteral("ldd"), {program});
            QVERIFY2(!libraries.contains(QStringLiteral("libreoffice")), qPrintable(libraries));
        }
        if (QFileInfo::exists(officetest::helperProgram()))
            QVERIFY(output(QStringLiteral("readelf"), {QStringLiteral("-d"), officetest::helperProgram()})
                        .contains(QStringLiteral("uno_")));
    }

    // With the office's program folder hidden (or absent), both programs start and the command reads
    // documents; asked for layouts, it says why there are none and reads them all the same.
    void theProgramsRunWithoutTheOffice()
    {
        const QString doc =
            wt::writeFile(m_dir, QStringLiteral("doc.rtf"), "{\\rtf1{\\info{\\title Without}}Text\\par}");
        QStringList prefix;
        QString hide;
        if (QFileInfo::exists(QStringLiteral("/usr/lib/libreoffice/program"))) {
            prefix = privateMountShell();
            if (prefix.isEmpty())
                QSKIP("the office is installed and this system lets no mount namespace hide it");
            hide = QStringLiteral("mount -t tmpfs none /usr/lib/libreoffice/program && ");
        }
        const auto run = [&](const QString &command) {
            QProcess p;
            p.start(prefix.isEmpty() ? QStringLiteral("sh") : QStringLiteral("unshare"),
                    prefix
                        + QStringList{QStringLiteral("sh"), QStringLiteral("-c"), hide + command}.mid(
                            prefix.isEmpty() ? 1 : 0));
            p.waitForFinished(120000);
            return std::make_pair(p.exitCode(),
                                  QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()));
        };
        const auto [versionStatus, version] = run(QStringLiteral("'%1' --version").arg(kExtract));
        QCOMPARE(versionStatus, 0);
        QVERIFY2(version.contains(QStringLiteral("quillmere-extract")), qPrintable(version));
        const auto [readStatus, read] =
            run(QStringLiteral("'%1' --layout --fields Title,\"Number of Pages\" '%2'").arg(kExtract, doc));
        QCOMPARE(readStatus, 0);
        QVERIFY2(read.contains(QStringLiteral("\"Title\":\"Without\"")) && read.contains(QStringLiteral("no layouts")),
                 qPrintable(read));
        // The window's program starts, shows its window and is ended from outside: it was not refused
        // for a missing library.
        const auto [windowStatus, window] = run(QStringLiteral("QT_QPA_PLATFORM=offscreen timeout -s KILL 5 '%1'; "
                                                               "echo status $?")
                                                    .arg(kWindow));
        QVERIFY2(window.contains(QStringLiteral("status 137")), qPrintable(window));
        Q_UNUSED(windowStatus);
    }

    // SIGINT, SIGTERM or SIGKILL during a two-job run with layouts: every helper and office ends, and
    // neither a profile, a temporary file nor a socket of theirs stays.
    void aSignalLeavesNothingBehind_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGKILL") << int(SIGKILL);
    }
    void aSignalLeavesNothingBehind()
    {
        if (!officetest::officeInstalled())
            QSKIP("the LibreOffice helper or the office's word processor is not installed");
        QFETCH(int, signal);
        QTemporaryDir tmp;
        QStringList documents;
        for (int i = 0; i < 40; ++i)
            documents << wt::writeFile(m_dir, QStringLiteral("long-%1.rtf").arg(i), rtfPages(150));
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), tmp.path());
        run.setProcessEnvironment(env);
        run.setStandardOutputFile(QProcess::nullDevice());
        run.start(kExtract, QStringList{QStringLiteral("-j"), QStringLiteral("2"), QStringLiteral("--layout"),
                                        QStringLiteral("--fields"), QStringLiteral("Number of Pages")}
                                + documents);
        QVERIFY(run.waitForStarted());
        const pid_t command = pid_t(run.processId());
        // Both jobs have their helpers, and an office is laying documents out.
        QTRY_VERIFY_WITH_TIMEOUT(officetest::childrenOf(command).size() == 2 && descendants(command).size() >= 3,
                                 180000);
        const QList<pid_t> started = descendants(command);
        QStringList profiles;
        for (const QString &work : QDir(tmp.path()).entryList({QStringLiteral("qv-layout-*")}, QDir::Dirs))
            profiles << tmp.filePath(work + QStringLiteral("/profile"));
        const QList<pid_t> helpers = officetest::childrenOf(command);

        QCOMPARE(::kill(command, signal), 0);
        QVERIFY(run.waitForFinished(30000));
        const auto anyRunning = [&] {
            return std::any_of(started.begin(), started.end(), [](pid_t p) { return officetest::processExists(p); });
        };
        QTRY_VERIFY_WITH_TIMEOUT(!anyRunning(), 30000);
        QCOMPARE(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
        for (const pid_t helper : helpers)
            for (const QString &profile : profiles)
                QCOMPARE(officetest::officeSockets(QStringLiteral("qvlayout-%1-*").arg(helper), profile),
                         QStringList());
    }
};

QTEST_GUILESS_MAIN(TestOfficePrograms)
#include "tst_office_programs.moc"
