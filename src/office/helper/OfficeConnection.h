// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>
#include <memory>

namespace office::helper {

// A failure inside the office, in words for the user (without the file's name: the caller adds it).
struct OfficeError {
    QString reason;
    bool connectionLost = false; // the office is gone or no longer answers on this connection
};

// The office's own count of a document's text, after the same forced recount as the layout; -1 where
// it gave none.
struct OfficeTextCounts {
    qint64 words = -1;
    qint64 characters = -1; // without white space
    qint64 charactersWithSpaces = -1;
    qint64 paragraphs = -1;
    bool operator==(const OfficeTextCounts &) const = default;
};

// A document opened for the user, as the office then holds it.
struct NewDocumentState {
    QString title;            // what its window shows, e.g. "Untitled 1"
    bool modified = false;    // closing it asks whether to save
    bool hasLocation = false; // it is tied to a file that a plain save would overwrite
};

struct LayoutCounts {
    int pages = 0;
    int lines = 0;
    OfficeTextCounts text;
};

// How an office listens for us and how we reach it: a private pipe of that name, the UNO remote protocol,
// and the office's component context as the object first asked for. The office takes it after
// --accept=, the client after uno:.
inline QString officeAcceptString(const QString &pipeName)
{
    return QStringLiteral("pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipeName);
}

// The UNO side: the only place that sees UNO types. One object is one connection to one running office.
class OfficeConnection {
public:
    // Sets up this process's UNO runtime from the office's program folder (once per process; later
    // calls must name the same folder). URE_BOOTSTRAP must name its fundamentalrc. Throws OfficeError.
    static void prepareRuntime(const QString &programDir);
    // Connects to the office listening on `pipeName`; nullptr while it does not accept connections yet.
    // Throws OfficeError on any other failure.
    static std::unique_ptr<OfficeConnection> tryConnect(const QString &pipeName);

    ~OfficeConnection();
    OfficeConnection(const OfficeConnection &) = delete;
    OfficeConnection &operator=(const OfficeConnection &) = delete;

    // Opens the document read-only and hidden through the named import filter, lays it out, reads its
    // pages and lines, closes it. Throws OfficeError.
    LayoutCounts measure(const QByteArray &nativePath, const QStringList &filters, const QString &filterOptions);
    // Opens the file in a window the user sees as a new, untitled document built from it (the way the
    // office opens a template) and marks it changed, so closing it asks where to keep it. Loaded into the
    // office's default frame: its start centre is replaced, a window with a document is not. Throws
    // OfficeError.
    NewDocumentState openAsNewDocument(const QByteArray &nativePath);
    // Asks the office to end; false when it refused or could not be asked. Never throws.
    bool terminateOffice() noexcept;

    struct Impl;

private:
    explicit OfficeConnection(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
};

} // namespace office::helper
