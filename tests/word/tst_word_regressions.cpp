// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Replays every input the fuzzer found to break something (tests/data/word/, each named after its
// fault, with one line below stating what the engine makes of it) through the whole automation surface:
// open, every property by number and by name, text in two locales, close. Under the sanitizers a regression shows as a
// crash or a report; here each file must also end in a value or a readable error naming the file.
#include "WordTestMain.h"
#include "word/Application.h"
#include "word/Engine.h"
#include "word/Errors.h"

namespace {

struct Find {
    const char *file;    // named after the fault it found
    const char *outcome; // "opens", or "refused: " and the kind of refusal
};

const Find kFinds[] = {
    {"libgsf-leak-directory-entry-used-twice.doc", "refused: damaged"},
};

QDir findsFolder() { return QDir(QStringLiteral(QV_TEST_DATA_DIR "/word")); }

} // namespace

class TstWordRegressions : public QObject {
    Q_OBJECT

    // What the engine must make of each find: "opens", or "refused: " and the kind of refusal.
    static QString outcomeOf(const QString &path)
    {
        try {
            (void)word::readDocumentProperties(path);
            return QStringLiteral("opens");
        } catch (const word::Error &e) {
            return QStringLiteral("refused: ") + QLatin1String(word::errorKindName(e.kind()));
        }
    }

private slots:
    // One line per find, named after its fault; a find without its line fails below.
    void replay_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("outcome");
        for (const Find &f : kFinds)
            QTest::newRow(f.file) << findsFolder().filePath(QLatin1String(f.file)) << QString::fromLatin1(f.outcome);
    }

    void everyFindHasItsLine()
    {
        QStringList stated;
        for (const Find &f : kFinds)
            stated << QLatin1String(f.file);
        stated.sort();
        QCOMPARE(findsFolder().entryList(QDir::Files, QDir::Name), stated);
    }

    void replay()
    {
        QFETCH(QString, path);
        QFETCH(QString, outcome);
        QCOMPARE(outcomeOf(path), outcome);
        word::Application app;
        try {
            const auto doc = app.open(path);
            for (int number = 0; number <= 31; ++number) {
                try {
                    const word::PropertyValue v = doc->builtinProperty(number);
                    if (v.type() == word::PropertyValue::Type::DateTime)
                        QVERIFY(v.asDateTime().isValid());
                } catch (const word::Error &e) {
                    QVERIFY(!e.description().isEmpty());
                }
            }
            for (const word::BuiltinInfo &p : word::builtinProperties()) {
                try {
                    (void)app.activeDocument()->builtinProperty(QLatin1String(p.name));
                } catch (const word::Error &e) {
                    QCOMPARE(e.fault(), word::Fault::NoValue);
                }
            }
            doc->close(0);
        } catch (const word::Error &e) {
            QVERIFY2(e.description().contains(QFileInfo(path).fileName()), qPrintable(e.description()));
        }
        app.quit();
    }
};

QV_WORD_TEST_MAIN(TstWordRegressions)
#include "tst_word_regressions.moc"
