// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ProgramFolder.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The window finds its samples and pointer files in a build tree (beside the executable) and in an
// installed tree (executable under libexec/, data under share/).
class TestProgramFolder : public QObject {
    Q_OBJECT

private slots:
    void layouts_data()
    {
        QTest::addColumn<QStringList>("made"); // folders and files made under the root
        QTest::addColumn<QString>("expected"); // the folder chosen, under the root
        const QString exe = QStringLiteral("usr/libexec/quillmere-vantrel");
        const QString data = QStringLiteral("usr/share/quillmere-vantrel");
        QTest::newRow("build tree") << QStringList{exe + "/Samples/", data + "/Samples/"} << exe;
        QTest::newRow("pointer file beside the executable")
            << QStringList{exe + "/", exe + "/HAND-M.CUR", data + "/"} << exe;
        QTest::newRow("installed") << QStringList{exe + "/", data + "/Samples/"} << data;
        QTest::newRow("nothing installed") << QStringList{exe + "/"} << exe;
    }

    void layouts()
    {
        QFETCH(QStringList, made);
        QFETCH(QString, expected);
        QTemporaryDir root;
        for (const QString &path : made) {
            if (path.endsWith(QLatin1Char('/'))) {
                QVERIFY(QDir(root.path()).mkpath(path));
            } else {
                QFile file(root.filePath(path));
                QVERIFY(file.open(QIODevice::WriteOnly));
            }
        }
        const QString exeFolder = root.filePath(QStringLiteral("usr/libexec/quillmere-vantrel"));
        QCOMPARE(programFolder(exeFolder, QStringLiteral("../../share/quillmere-vantrel")), root.filePath(expected));
    }
};

QTEST_MAIN(TestProgramFolder)
#include "tst_ProgramFolder.moc"
