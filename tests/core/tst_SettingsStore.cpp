// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SettingsStore.h"
#include "platform/DesktopPlatform.h"
#include "platform/RuntimeError.h"
#include "platform/fakes/FakePlatform.h"
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

class tst_SettingsStore : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;

    static std::shared_ptr<QSettingsBackend> backend()
    {
        return std::make_shared<QSettingsBackend>(QStringLiteral("Velkorn"), QStringLiteral("Quillmere Vantrel"),
                                                  QStringLiteral("Quillmere Vantrel"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
    }

    void persistsAcrossInstancesInTheConfigFolder()
    {
        {
            SettingsStore writer(backend());
            writer.write(QStringLiteral("Extension"), QStringLiteral("txt"));
            writer.write(QStringLiteral("LastFolder"), QStringLiteral("/home/ann/Dokumente/Verträge"));
        }
        // A second store, as a second copy of the program would have, sees the values at once.
        SettingsStore reader(backend());
        QCOMPARE(reader.read(QStringLiteral("Extension"), QStringLiteral("doc")), QStringLiteral("txt"));
        QCOMPARE(reader.read(QStringLiteral("LastFolder"), QString()), QStringLiteral("/home/ann/Dokumente/Verträge"));
        QVERIFY(QFile::exists(m_config.path() + QStringLiteral("/Velkorn/Quillmere Vantrel.conf")));
    }

    void defaultOnlyForMissingKeys()
    {
        SettingsStore store(backend());
        QCOMPARE(store.read(QStringLiteral("Column7"), QStringLiteral("1")), QStringLiteral("1"));
        store.write(QStringLiteral("Column7"), QString());
        QCOMPARE(store.read(QStringLiteral("Column7"), QStringLiteral("1")), QString());
        QVERIFY(store.contains(QStringLiteral("Column7")));
    }

    void valuesSeenByAnotherStoreWrittenLater()
    {
        SettingsStore first(backend());
        SettingsStore second(backend());
        QCOMPARE(first.read(QStringLiteral("Column3"), QStringLiteral("1")), QStringLiteral("1"));
        second.write(QStringLiteral("Column3"), QStringLiteral("0"));
        QCOMPARE(first.read(QStringLiteral("Column3"), QStringLiteral("1")), QStringLiteral("0"));
    }

    QString settingsFile() const { return m_config.path() + QStringLiteral("/Velkorn/Quillmere Vantrel.conf"); }

    void putFile(const QByteArray &bytes)
    {
        QDir().mkpath(m_config.path() + QStringLiteral("/Velkorn"));
        QFile f(settingsFile());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    void refusalConcernsThatCallOnly_data()
    {
        QTest::addColumn<bool>("readOnlyFile");
        // Root writes through permission bits; a folder where the file belongs refuses everyone.
        QTest::newRow("file made read-only") << true;
        QTest::newRow("folder in the file's place") << false;
    }
    void refusalConcernsThatCallOnly()
    {
        QFETCH(bool, readOnlyFile);
        if (readOnlyFile && ::geteuid() == 0)
            QSKIP("root writes read-only files");
        QFile::remove(settingsFile());
        auto settings = backend(); // one store for the whole session, as the program has
        SettingsStore store(settings);
        store.write(QStringLiteral("Extension"), QStringLiteral("txt"));
        const QString aside = settingsFile() + QStringLiteral(".aside");
        if (readOnlyFile) {
            QVERIFY(QFile::setPermissions(settingsFile(), QFile::ReadOwner | QFile::ReadUser));
        } else {
            QVERIFY(QFile::rename(settingsFile(), aside));
            QVERIFY(QDir().mkdir(settingsFile()));
        }
        QVERIFY_THROWS_EXCEPTION(RuntimeError, store.write(QStringLiteral("Column1"), QStringLiteral("0")));
        if (readOnlyFile) {
            QVERIFY(QFile::setPermissions(settingsFile(), QFile::ReadOwner | QFile::WriteOwner));
        } else {
            QVERIFY(QDir().rmdir(settingsFile()));
            QFile kept(aside);
            QVERIFY(kept.open(QIODevice::ReadOnly));
            putFile(kept.readAll()); // the file is back, written anew
            kept.remove();
            // Same bytes within one tick of the file system's coarse clock would look unchanged to the
            // settings library's cache of the file; a user never puts a file back that fast.
            QFile back(settingsFile());
            QVERIFY(back.open(QIODevice::ReadWrite));
            QVERIFY(back.setFileTime(QDateTime::currentDateTime().addSecs(2), QFileDevice::FileModificationTime));
        }
        QCOMPARE(store.read(QStringLiteral("Extension"), QStringLiteral("doc")), QStringLiteral("txt"));
        store.write(QStringLiteral("Column1"), QStringLiteral("0")); // reaches the disk and is not refused
        QCOMPARE(SettingsStore(backend()).read(QStringLiteral("Column1"), QStringLiteral("1")), QStringLiteral("0"));
    }

    void handEditedListReadsAsItsText()
    {
        putFile("[Quillmere%20Vantrel]\nExtension=doc, txt\nColumn2=1.0\n");
        SettingsStore store(backend());
        QCOMPARE(store.read(QStringLiteral("Extension"), QStringLiteral("doc")), QStringLiteral("doc, txt"));
        QCOMPARE(store.read(QStringLiteral("Column2"), QStringLiteral("1")), QStringLiteral("1.0"));
    }

    void damagedFileIsKeptBeforeAnyWrite_data()
    {
        const QByteArray keys = "[Quillmere%20Vantrel]\nExtension=docx\nLastFolder=/home/ann\n";
        const QByteArray garbage("\xff\xfe\x00\x01[\x80\x9f=\xc3\x28\n\x00\x00\xfe", 14); // ends inside a line
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("extensionAfter"); // what can be read, before and after the file is set aside
        QTest::newRow("garbage first") << garbage + keys << QStringLiteral("doc");
        QTest::newRow("keys first") << keys + garbage << QStringLiteral("docx");
        QTest::newRow("garbage only") << garbage << QStringLiteral("doc");
    }
    void damagedFileIsKeptBeforeAnyWrite()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, extensionAfter);
        QFile::remove(settingsFile() + QStringLiteral(".damaged"));
        putFile(content);
        SettingsStore store(backend());
        // Reading changes nothing and gives what could be read; the damage is told by the first write.
        QCOMPARE(store.read(QStringLiteral("Extension"), QStringLiteral("doc")), extensionAfter);
        QCOMPARE(store.read(QStringLiteral("Column5"), QStringLiteral("1")), QStringLiteral("1"));
        QFile file(settingsFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
        file.close();
        // The first write keeps the damaged file, says where, and writes the new value.
        QString report;
        try {
            store.write(QStringLiteral("Column5"), QStringLiteral("0"));
        } catch (const RuntimeError &e) {
            report = e.description();
        }
        const QString kept = settingsFile() + QStringLiteral(".damaged");
        QVERIFY2(report.contains(kept) && !report.contains(QStringLiteral("could not")), qPrintable(report));
        QFile copy(kept);
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), content);
        QCOMPARE(store.read(QStringLiteral("Column5"), QStringLiteral("1")), QStringLiteral("0"));
        QCOMPARE(store.read(QStringLiteral("Extension"), QStringLiteral("doc")), extensionAfter);
        store.write(QStringLiteral("Column6"), QStringLiteral("0")); // the new file takes writes as usual
    }

    void refusalIsARuntimeError()
    {
        auto fake = std::make_shared<FakeSettings>();
        SettingsStore store(fake);
        fake->refuseReads = true;
        QVERIFY_THROWS_EXCEPTION(RuntimeError, store.read(QStringLiteral("Extension"), QStringLiteral("doc")));
        fake->refuseWrites = true;
        QVERIFY_THROWS_EXCEPTION(RuntimeError, store.write(QStringLiteral("Extension"), QStringLiteral("doc")));
    }
};

QTEST_GUILESS_MAIN(tst_SettingsStore)
#include "tst_SettingsStore.moc"
