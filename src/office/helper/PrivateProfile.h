// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

namespace office::helper {

// Writes the settings of the helper's private office into a new profile folder before its first start:
// no content from outside a document (linked images, linked objects, updated links) is fetched, macros
// never run, and the office finds no way out through a proxy. The network namespace already keeps it off
// the network where the system allows one; these settings hold where it does not. False, with the reason
// in `error`, when the file cannot be written.
bool writePrivateProfileSettings(const QString &profileFolder, QString &error);

} // namespace office::helper
