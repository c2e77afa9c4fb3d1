// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RuntimeError.h"
#include "results/CellRules.h"
#include <QtTest>

using namespace results;
using Kind = SheetCell::Kind;

Q_DECLARE_METATYPE(SheetCell::Kind)

// How a results text goes into a workbook cell: as a number, a date, a date-time or text.
class TestCellRules : public QObject {
    Q_OBJECT

private slots:
    void typedAsTheSpreadsheetReadsThem_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<double>("number");
        QTest::addColumn<QDateTime>("when");
        const auto at = [](int y, int mo, int d, int h = 0, int mi = 0, int sec = 0) {
            return QDateTime(QDate(y, mo, d), QTime(h, mi, sec));
        };
        const auto text = [](const char *row, const char *locale, const char *t) {
            QTest::newRow(row) << locale << t << Kind::Text << 0.0 << QDateTime();
        };
        const auto number = [](const char *row, const char *locale, const char *t, double n) {
            QTest::newRow(row) << locale << t << Kind::Number << n << QDateTime();
        };
        number("whole number", "C", "12", 12.0);
        number("negative", "C", "-3", -3.0);
        number("zero", "C", "0", 0.0);
        number("fraction", "C", "1.5", 1.5);
        number("fifteen digits", "C", "123456789012345", 123456789012345.0);
        text("sixteen digits stay text", "C", "1234567890123456");
        text("leading zeros stay text", "C", "007");
        text("trailing fraction zero stays text", "C", "1.50");
        text("minus zero stays text", "C", "-0");
        text("exponent stays text", "C", "1e5");
        text("blank after stays text", "C", "12 ");
        text("Not set", "C", "Not set");
        text("formula text stays text", "C", "=1+2");
        text("empty", "C", "");
        QTest::newRow("date and time") << "C"
                                       << "7 Dec 2026 14:05:33" << Kind::DateTime << 0.0 << at(2026, 12, 7, 14, 5, 33);
        QTest::newRow("date alone") << "C"
                                    << "2 Jan 2025" << Kind::Date << 0.0 << at(2025, 1, 2);
        text("midnight written out stays text", "C", "2 Jan 2025 00:00:00");
        text("impossible date", "C", "31 Feb 2026");
        text("impossible time", "C", "7 Dec 2026 25:05:33");
        text("unknown month", "C", "7 Foo 2026");
        text("trailing text", "C", "7 Dec 2026 14:05:33 x");
        text("before 1900", "C", "1 Jan 1850");
        number("German decimal comma", "de_DE", "1,5", 1.5);
        text("German: a point is text", "de_DE", "1.5");
        QTest::newRow("German date") << "de_DE"
                                     << "07.12.2026 14:05:33" << Kind::DateTime << 0.0 << at(2026, 12, 7, 14, 5, 33);
        text("German date, unpadded day is text", "de_DE", "7.12.2026");
        text("German unpadded month is text", "de_DE", "07.1.2026 14:05:33");
        QTest::newRow("US afternoon") << "en_US"
                                      << "12/7/2026 2:05:33 PM" << Kind::DateTime << 0.0 << at(2026, 12, 7, 14, 5, 33);
        QTest::newRow("US after midnight")
            << "en_US"
            << "12/7/2026 12:05:33 AM" << Kind::DateTime << 0.0 << at(2026, 12, 7, 0, 5, 33);
        QTest::newRow("US noon") << "en_US"
                                 << "12/7/2026 12:00:00 PM" << Kind::DateTime << 0.0 << at(2026, 12, 7, 12);
        text("US padded month is text", "en_US", "12/07/2026 2:05:33 PM");
        text("US small pm is text", "en_US", "12/7/2026 2:05:33 pm");
        text("US hour 0 is text", "en_US", "12/7/2026 0:05:33 AM");
    }
    void typedAsTheSpreadsheetReadsThem()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(Kind, kind);
        QFETCH(double, number);
        QFETCH(QDateTime, when);
        const CellReader reader(locale == "C" ? QLocale::c() : QLocale(locale));
        const SheetCell cell = reader.read(text);
        QCOMPARE(cell.text, text); // the text the user sees is kept for fitting the column
        QCOMPARE(cell.kind, kind);
        if (kind == Kind::Number)
            QCOMPARE(cell.number, number);
        if (kind == Kind::Date || kind == Kind::DateTime)
            QCOMPARE(QDateTime(cell.date, cell.time), when);
    }

    // A cell holds at most 32,767 characters: one more is refused with the spreadsheet's error.
    void longestCell()
    {
        const CellReader reader(QLocale::c());
        QCOMPARE(reader.read(QString(32767, QLatin1Char('z'))).kind, Kind::Text);
        try {
            reader.read(QString(32768, QLatin1Char('y')));
            QFAIL("a text longer than a cell must be refused");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), 1004);
            QVERIFY2(e.description().contains(QStringLiteral("32,767")), qPrintable(e.description()));
        }
    }
};

QTEST_APPLESS_MAIN(TestCellRules)
#include "tst_cell_rules.moc"
