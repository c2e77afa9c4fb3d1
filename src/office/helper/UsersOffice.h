// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "office/helper/OfficeConnection.h"
#include <QByteArray>
#include <QString>
#include <chrono>

namespace office::helper {

// Hands a file to the user's own LibreOffice (their profile and running instance, not the private helper
// of the layout) to be opened as a new, untitled and changed document built from it: closing it asks
// where to keep it. Starts the office when it does not run, and waits up to `limit` for it. An empty
// text when the document is open (and `state` says how the office holds it), else why it is not.
QString openAsNewInUsersOffice(const QByteArray &nativePath, NewDocumentState &state,
                               std::chrono::milliseconds limit = std::chrono::seconds(60));

} // namespace office::helper
