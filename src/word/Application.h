// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/Engine.h"
#include "word/PropertyValue.h"
#include <QString>
#include <memory>
#include <vector>

namespace word {

class Application;
struct Session;

// An open document: its built-in properties by item number or by name, and Close.
class Document {
public:
    Document(std::weak_ptr<Session> session, DocumentProperties properties);

    // BuiltinDocumentProperties(number): Word's item numbers (1 Title ... 30 Number of Characters (with
    // spaces)). Throws Error for an item the engine does not have, a date or count the document
    // does not hold, and on a closed document.
    PropertyValue builtinProperty(int number) const;
    // BuiltinDocumentProperties(name): the exact item names ("Title", "Last Save Time", ...).
    PropertyValue builtinProperty(const QString &name) const;
    // Close(SaveChanges): the engine never writes a document, whatever is asked.
    void close(int saveChanges = 0);

    bool isClosed() const { return m_closed; }
    const QString &fullName() const { return m_properties.path(); }
    const DocumentProperties &properties() const { return m_properties; }

private:
    void ensureOpen() const;

    std::weak_ptr<Session> m_session;
    DocumentProperties m_properties;
    bool m_closed = false;
};

// One instance of the engine: Documents.Open, ActiveDocument, Quit. Not shared between threads; make one
// per thread instead (they are cheap and hold nothing but their open documents).
class Application {
public:
    Application();
    ~Application();
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    // Documents.Open(path): the opened document becomes the active document. Throws Error.
    std::shared_ptr<Document> open(const QString &path);
    // ActiveDocument: the document opened last that is still open; throws when none is.
    std::shared_ptr<Document> activeDocument() const;
    int documentCount() const;
    // The properties that will be asked of the documents opened from now on (by default any): what is
    // never asked is never computed.
    void setAskedProperties(std::vector<Builtin> asked);
    // Quit: closes every open document; the instance cannot be used afterwards.
    void quit();

private:
    void ensureRunning() const;
    std::shared_ptr<Session> m_session;
};

} // namespace word
