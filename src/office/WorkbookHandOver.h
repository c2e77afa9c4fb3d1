// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "office/HelperProcess.h"
#include <QString>

namespace office {

// Hands a file to the user's own LibreOffice (their profile and running instance, not a private office)
// through the helper, to be opened as a new, untitled and changed document built from it: closing it
// asks where to keep it. The office is started when it does not run. `whileWaiting` keeps the window
// alive meanwhile.
struct HandOver {
    QString error;            // empty when the document is open, else why it is not
    QString title;            // what its window shows, e.g. "Untitled 1"
    bool modified = false;    // closing it asks whether to save
    bool hasLocation = false; // it is tied to a file that a plain save would overwrite
};
HandOver openAsNewInUsersOffice(const QString &path, const WaitForEvents &whileWaiting,
                                const QString &helperProgram = HelperProcess::defaultProgram());

} // namespace office
