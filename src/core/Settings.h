// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// One of the user's stored choices: its key and the value it reads as while none is stored.
struct Setting {
    QString key;
    QString defaultValue;
};

// Every choice the program keeps, in one place, so that no two modules can read a key with different
// defaults.
namespace setting {
// The extension last asked for by "Add All Word File(s) In Folder".
inline const Setting Extension{QStringLiteral("Extension"), QStringLiteral("doc")};
// The folder last chosen there.
inline const Setting LastFolder{QStringLiteral("LastFolder"), QString()};
// The recorded sample list, scrambled. While none is stored it reads as the text of a false flag, which
// unscrambles to paths that do not exist.
inline const Setting Snapshot{QStringLiteral("Snapshot"), QStringLiteral("False")};

// Properties that can be chosen for extraction.
constexpr int ColumnCount = 24;
// Whether property `number` (1 to 24) is chosen: "1" or "0"; chosen until the user says otherwise.
inline Setting column(int number) { return {QStringLiteral("Column%1").arg(number), QStringLiteral("1")}; }
} // namespace setting
