#include "app/SettingsStore.h"
#include "platform/DesktopPlatform.h"
#include "platform/RuntimeError.h"
#include "platform/fakes/FakePlatform.h"
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

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
