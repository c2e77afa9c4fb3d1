// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The dates and durations documents store: W3C dates with and without a zone, ISO durations, FILETIMEs
// as moments and as durations, and the years outside which a stored date is taken as not set.
#include "WordTestMain.h"
#include "word/toolkit/Dates.h"

using word::ParsedDateTime;

Q_DECLARE_METATYPE(std::optional<int>)

class TstWordDates : public QObject {
    Q_OBJECT

private slots:
    void w3cDates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<std::optional<int>>("offset"); // absent: a local reading
        const std::optional<int> local;
        QTest::newRow("UTC") << "2024-03-05T14:07:09Z" << true << QDate(2024, 3, 5) << QTime(14, 7, 9)
                             << std::optional<int>(0);
        QTest::newRow("offset") << "2024-03-05T14:07:09+02:00" << true << QDate(2024, 3, 5) << QTime(14, 7, 9)
                                << std::optional<int>(7200);
        QTest::newRow("negative offset") << "2024-03-05T14:07:09-05:30" << true << QDate(2024, 3, 5) << QTime(14, 7, 9)
                                         << std::optional<int>(-19800);
        QTest::newRow("no zone") << "2024-03-05T14:07:09" << true << QDate(2024, 3, 5) << QTime(14, 7, 9) << local;
        QTest::newRow("fraction") << "2024-03-05T14:07:09.75Z" << true << QDate(2024, 3, 5) << QTime(14, 7, 9, 750)
                                  << std::optional<int>(0);
        QTest::newRow("year only") << "2024" << true << QDate(2024, 1, 1) << QTime(0, 0) << local;
        QTest::newRow("not a date") << "yesterday" << false << QDate() << QTime() << local;
        QTest::newRow("empty") << "" << false << QDate() << QTime() << local;
    }
    void w3cDates()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const auto p = word::parseW3cDateTime(text);
        QCOMPARE(p.has_value(), valid);
        if (!valid)
            return;
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        QFETCH(std::optional<int>, offset);
        QCOMPARE(p->date, date);
        QCOMPARE(p->time, time);
        QCOMPARE(p->offsetSeconds, offset);
    }

    void isoDurations_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("minutes"); // -1: not a duration
        QTest::newRow("hours and minutes") << "PT1H35M" << qint64(95);
        QTest::newRow("days") << "P1DT0H" << qint64(1440);
        QTest::newRow("seconds round down") << "PT59S" << qint64(0);
        QTest::newRow("not a duration") << "95 minutes" << qint64(-1);
    }
    void isoDurations()
    {
        QFETCH(QString, text);
        QFETCH(qint64, minutes);
        QCOMPARE(word::parseIsoDurationMinutes(text).value_or(-1), minutes);
    }

    void fileTimes_data()
    {
        QTest::addColumn<quint64>("ticks");
        QTest::addColumn<QDateTime>("moment"); // invalid: "never"
        QTest::newRow("zero is never") << quint64(0) << QDateTime();
        QTest::newRow("1601 is never") << quint64(864000000000ull) << QDateTime();
        QTest::newRow("the Unix epoch") << quint64(116444736000000000ull)
                                        << QDateTime(QDate(1970, 1, 1), QTime(0, 0), Qt::UTC);
        QTest::newRow("2003") << quint64(127074358800000000ull) << QDateTime(QDate(2003, 9, 7), QTime(19, 18), Qt::UTC);
    }
    void fileTimes()
    {
        QFETCH(quint64, ticks);
        QFETCH(QDateTime, moment);
        QCOMPARE(word::fromFileTime(ticks), moment);
    }

    void fileTimeDurations()
    {
        QCOMPARE(word::fileTimeDurationMinutes(95ull * 600000000ull), qint64(95));
        QCOMPARE(word::fileTimeDurationMinutes(95ull * 600000000ull - 1), qint64(94));
    }

    void shownYears_data()
    {
        QTest::addColumn<QDateTime>("utc");
        QTest::addColumn<bool>("never");
        QTest::newRow("last moment of 1601") << QDateTime(QDate(1601, 12, 31), QTime(23, 59, 59), Qt::UTC) << true;
        QTest::newRow("first of 1602") << QDateTime(QDate(1602, 1, 1), QTime(0, 0), Qt::UTC) << false;
        QTest::newRow("last moment of 9999") << QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59), Qt::UTC) << false;
        QTest::newRow("year 10000") << QDateTime(QDate(10000, 1, 1), QTime(0, 0), Qt::UTC) << true;
    }
    void shownYears()
    {
        QFETCH(QDateTime, utc);
        QFETCH(bool, never);
        QCOMPARE(word::isNeverDate(utc), never);
        QCOMPARE(word::isShownYear(utc.date().year()), !never);
    }
};

QV_WORD_TEST_MAIN(TstWordDates)
#include "tst_word_dates.moc"
