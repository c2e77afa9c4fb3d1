// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// Fixed names of the product and its maker.
namespace product {
inline const QString Name = QStringLiteral("Quillmere Vantrel");
// The window's program, as it is started and as it names itself in messages and folders.
inline constexpr char ProgramName[] = "quillmere-vantrel";
inline const QString SupportAddress = QStringLiteral("support@velkorn.example");
inline const QString HomePage = QStringLiteral("https://velkorn.example/quillmere-vantrel");
// The name of the menu entry, the AppStream component and the icon, under a domain the project owns.
inline const QString DesktopId = QStringLiteral("io.github.quillmere.Vantrel");
} // namespace product
