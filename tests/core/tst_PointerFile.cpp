// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/PointerFile.h"
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The one reader of the pointer files shipped beside the program, used by both windows and the list.
class TestPointerFile : public QObject {
    Q_OBJECT

private slots:
    void hotspots()
    {
        const QString program = QStringLiteral(QV_PROGRAM_DIR);
        const std::optional<QCursor> drag = loadPointerFile(program + "/drag.ico");
        QVERIFY(drag);
        QCOMPARE(drag->hotSpot(), QPoint(16, 16)); // an icon has no hotspot: the desktop uses its centre
        const std::optional<QCursor> hand = loadPointerFile(program + "/HAND-M.CUR");
        QVERIFY(hand);
        QCOMPARE(hand->hotSpot(), QPoint(6, 0)); // from the cursor file's header
    }

    void unreadableFilesGiveNothing()
    {
        QTemporaryDir dir;
        QFile garbage(dir.filePath("garbage.ico"));
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray("\0\0\1\0\1\0 not really an icon", 26));
        garbage.close();
        QVERIFY(!loadPointerFile(garbage.fileName()));

        QFile huge(dir.filePath("huge.ico"));
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QFile real(QStringLiteral(QV_PROGRAM_DIR "/drag.ico"));
        QVERIFY(real.open(QIODevice::ReadOnly));
        huge.write(real.readAll());
        huge.write(QByteArray(MaxPointerFileBytes, '\0'));
        huge.close();
        QVERIFY(!loadPointerFile(huge.fileName()));

        QVERIFY(!loadPointerFile(dir.filePath("missing.ico")));
    }
};

QTEST_MAIN(TestPointerFile)
#include "tst_PointerFile.moc"
