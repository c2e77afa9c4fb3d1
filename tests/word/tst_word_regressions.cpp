// Replays every input the fuzzer found to break something (tests/data/word/, each named after its
// fault) through the whole automation surface: open, every property by number and by name, text in two
// locales, close. Under the sanitizers a regression shows as a crash or a report; here each file must
// also end in a value or a readable error naming the file.
#include "WordTestMain.h"
#include "platform/RuntimeError.h"
#include "word/Application.h"
#include "word/Errors.h"

class TstWordRegressions : public QObject {
    Q_OBJECT

private slots:
    void replay_data()
    {
        QTest::addColumn<QString>("path");
        const QDir dir(QStringLiteral(QV_TEST_DATA_DIR "/word"));
        const QStringList files = dir.entryList(QDir::Files, QDir::Name);
        if (files.isEmpty())
            QSKIP("no regression files");
        for (const QString &f : files)
            QTest::newRow(qPrintable(f)) << dir.filePath(f);
    }

    void replay()
    {
        QFETCH(QString, path);
        const QLocale us(QLocale::English, QLocale::UnitedStates), de(QLocale::German, QLocale::Germany);
        word::Application app;
        try {
            const auto doc = app.open(path);
            for (int number = 0; number <= 31; ++number) {
                try {
                    const word::PropertyValue v = doc->builtinProperty(number);
                    (void)v.toText(us);
                    (void)v.toText(de);
                } catch (const RuntimeError &e) {
                    QVERIFY(!e.description().isEmpty());
                }
            }
            for (const word::BuiltinInfo &p : word::builtinProperties()) {
                try {
                    (void)app.activeDocument()->builtinProperty(QLatin1String(p.name)).toText(us);
                } catch (const RuntimeError &e) {
                    QCOMPARE(e.number(), word::err::NoValue);
                }
            }
            doc->close(0);
        } catch (const word::OpenError &e) {
            QVERIFY2(e.description().contains(QFileInfo(path).fileName()), qPrintable(e.description()));
        }
        app.quit();
    }
};

QV_WORD_TEST_MAIN(TstWordRegressions)
#include "tst_word_regressions.moc"
