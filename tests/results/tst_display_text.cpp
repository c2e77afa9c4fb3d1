// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// How the engine's values read in the user's locale, in the table, its text exports and beside the
// workbook's typed cells.
#include "results/DisplayPatterns.h"
#include "word/PropertyValue.h"
#include <QRegularExpression>
#include <QtTest>

using namespace results;
using word::PropertyValue;

class TestDisplayText : public QObject {
    Q_OBJECT

private slots:
    void integersHaveNoGrouping()
    {
        const PropertyValue v = PropertyValue::integer(1234567);
        QCOMPARE(displayText(v, QLocale(QLocale::English, QLocale::UnitedStates)), QStringLiteral("1234567"));
        QCOMPARE(displayText(v, QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("1234567"));
        QCOMPARE(displayText(PropertyValue::integer(-5), QLocale(QLocale::German, QLocale::Germany)),
                 QStringLiteral("-5"));
    }

    void dateTimesFollowTheLocale()
    {
        const PropertyValue v = PropertyValue::dateTime(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::UTC));
        QCOMPARE(displayText(v, QLocale(QLocale::English, QLocale::UnitedStates)),
                 QStringLiteral("3/5/2024 2:07:09 PM"));
        QCOMPARE(displayText(v, QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("05.03.2024 14:07:09"));
    }

    void midnightShowsTheDateAlone()
    {
        const PropertyValue v = PropertyValue::dateTime(QDateTime(QDate(2024, 3, 6), QTime(0, 0), Qt::UTC));
        QCOMPARE(displayText(v, QLocale(QLocale::English, QLocale::UnitedStates)), QStringLiteral("3/6/2024"));
        QCOMPARE(displayText(v, QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("06.03.2024"));
    }

    void dateTimesReadWellInEveryLocale()
    {
        // An afternoon time, so that a 12-hour clock without its day period cannot read back right.
        const QDateTime afternoon(QDate(2024, 1, 15), QTime(19, 30, 45));
        const QDateTime midnight(QDate(2024, 1, 15), QTime(0, 0));
        // Qt writes any unquoted ASCII letter that is no field of its own as the letter itself.
        static const QRegularExpression quoted(QStringLiteral("'[^']*'"));
        static const QRegularExpression fields(QStringLiteral("AP|ap|[dMyhHms]"));
        static const QRegularExpression emptyBrackets(QStringLiteral("\\(\\s*\\)|\\[\\s*\\]|\\x{FF08}\\s*\\x{FF09}"));
        QStringList faults;
        for (const QLocale &locale :
             QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
            const DisplayPatterns p = displayPatterns(locale);
            const QString text = displayText(PropertyValue::dateTime(afternoon), locale);
            const QString dateOnly = displayText(PropertyValue::dateTime(midnight), locale);
            QString letters = p.dateTime();
            letters.remove(quoted).remove(fields);
            QStringList wrong;
            if (letters.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))))
                wrong << QStringLiteral("pattern letters left");
            if (text.contains(emptyBrackets))
                wrong << QStringLiteral("empty brackets");
            if (!p.date.contains(QLatin1String("yyyy")) || p.date.contains(QLatin1String("yyyyy")))
                wrong << QStringLiteral("no four-digit year");
            // Qt 6.4 cannot read digits outside the 16-bit range, nor some day-period texts, even in its
            // own short formats; the read-back proves nothing in those locales.
            const bool qtReadsItsOwnTexts =
                locale.toDate(locale.toString(afternoon.date(), QLocale::ShortFormat), QLocale::ShortFormat).isValid()
                && locale.toTime(locale.toString(afternoon.time(), QLocale::ShortFormat), QLocale::ShortFormat)
                       .isValid();
            if (qtReadsItsOwnTexts && locale.toDateTime(text, p.dateTime()) != afternoon)
                wrong << QStringLiteral("reads back as ") + locale.toDateTime(text, p.dateTime()).toString(Qt::ISODate);
            if (dateOnly != locale.toString(midnight.date(), p.date)
                || (qtReadsItsOwnTexts && locale.toDate(dateOnly, p.date) != midnight.date()))
                wrong << QStringLiteral("midnight is not the date alone");
            if (!wrong.isEmpty())
                faults << locale.name() + QStringLiteral(" \"") + text + QStringLiteral("\": ")
                              + wrong.join(QStringLiteral(", "));
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }
};

QTEST_APPLESS_MAIN(TestDisplayText)
#include "tst_display_text.moc"
