// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The engine's tests run in UTC so that local-time display is predictable.
#include <QtTest>
#include <ctime>

#define QV_WORD_TEST_MAIN(TestClass)                                                                                   \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        qputenv("TZ", "UTC");                                                                                          \
        tzset();                                                                                                       \
        QCoreApplication app(argc, argv);                                                                              \
        TestClass tc;                                                                                                  \
        return QTest::qExec(&tc, argc, argv);                                                                          \
    }
