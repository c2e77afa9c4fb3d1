// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "filelist/NormalizeSlashes.h"
#include <QTest>

class tst_NormalizeSlashes : public QObject {
    Q_OBJECT
private slots:
    void rules_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty stays empty") << ""
                                           << "";
        QTest::newRow("plain absolute path unchanged") << "/home/ann/a.doc"
                                                       << "/home/ann/a.doc";
        QTest::newRow("relative path unchanged") << "docs/a.doc"
                                                 << "docs/a.doc";
        QTest::newRow("one doubled separator loses the doubling") << "/home//ann/a.doc"
                                                                  << "/home/ann/a.doc";
        QTest::newRow("doubling after the root folder") << "/"
                                                           "/a.doc"
                                                        << "//a.doc";
        QTest::newRow("three between two folders become two") << "/data/x///y/a.doc"
                                                              << "/data/x//y/a.doc";
        QTest::newRow("four between two folders become two") << "/data/x////y"
                                                             << "/data/x//y";
        QTest::newRow("five become three") << "a/////b"
                                           << "a///b";
        QTest::newRow("network path keeps two leading") << "//server/share/a.doc"
                                                        << "//server/share/a.doc";
        QTest::newRow("network path loses a later doubling") << "//server/share//dir//a.doc"
                                                             << "//server/share/dir/a.doc";
        QTest::newRow("three leading become two") << "///server/a.doc"
                                                  << "//server/a.doc";
        QTest::newRow("five leading become two") << "/////server/x//y"
                                                 << "//server/x/y";
        QTest::newRow("four separators only become two") << "////"
                                                         << "//";
        QTest::newRow("three separators only become two") << "///"
                                                          << "//";
        QTest::newRow("two separators only stay") << "//"
                                                  << "//";
        QTest::newRow("single separator stays") << "/"
                                                << "/";
        QTest::newRow("trailing pair collapses") << "/data/x//"
                                                 << "/data/x/";
        QTest::newRow("backslashes are ordinary characters") << "/a\\\\b"
                                                             << "/a\\\\b";
        QTest::newRow("non-ASCII names survive") << "/Dokumente//Übersicht ü.docx"
                                                 << "/Dokumente/Übersicht ü.docx";
    }
    void rules()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(NormalizeSlashes(path), expected);
    }
};

QTEST_APPLESS_MAIN(tst_NormalizeSlashes)
#include "tst_NormalizeSlashes.moc"
