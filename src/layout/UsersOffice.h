#pragma once
#include <QString>
#include <chrono>
#include <functional>

namespace layout {

// Hands a file to the user's own LibreOffice (their profile and running instance, not the private helper
// of the layout) to be opened as a new, untitled and changed document built from it: closing it asks
// where to keep it. Starts the office when it does not run, and waits up to `limit` for it, calling
// `whileWaiting` between tries. An empty text when the document is open, else why it is not.
QString openAsNewInUsersOffice(const QString &path, const std::function<void()> &whileWaiting,
                               std::chrono::milliseconds limit = std::chrono::seconds(60));

} // namespace layout
