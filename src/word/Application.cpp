// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/Application.h"
#include "word/Errors.h"
#include <algorithm>

namespace word {

struct Session {
    std::vector<std::shared_ptr<Document>> open; // in opening order: the last is the active document
    bool ended = false;
    ReadOptions options; // how the documents opened from now on are read
};

Document::Document(std::weak_ptr<Session> session, DocumentProperties properties)
    : m_session(std::move(session)), m_properties(std::move(properties))
{
}

void Document::ensureOpen() const
{
    if (m_closed)
        throw Error(Fault::DocumentClosed,
                    QStringLiteral("The document \"%1\" has been closed.").arg(displayPath(m_properties.path())));
}

PropertyValue Document::builtinProperty(int number) const
{
    ensureOpen();
    const auto id = builtinByNumber(number);
    if (!id)
        throw Error(Fault::NoSuchProperty,
                    QStringLiteral("There is no built-in document property number %1.").arg(number));
    return m_properties.value(*id);
}

PropertyValue Document::builtinProperty(const QString &name) const
{
    ensureOpen();
    const auto id = builtinByName(name);
    if (!id)
        throw Error(Fault::NoSuchProperty, QStringLiteral("\"%1\" is not a built-in document property.").arg(name));
    return m_properties.value(*id);
}

void Document::close(int)
{
    ensureOpen();
    m_closed = true;
    if (const auto session = m_session.lock()) {
        auto &docs = session->open;
        docs.erase(std::remove_if(docs.begin(), docs.end(), [this](const auto &d) { return d.get() == this; }),
                   docs.end());
    }
}

Application::Application() : m_session(std::make_shared<Session>()) {}

Application::~Application()
{
    if (!m_session->ended)
        quit();
}

void Application::ensureRunning() const
{
    if (m_session->ended)
        throw Error(Fault::EngineEnded, QStringLiteral("The document engine instance has been shut down."));
}

std::shared_ptr<Document> Application::open(const QString &path)
{
    ensureRunning();
    auto doc = std::make_shared<Document>(m_session, readDocumentProperties(path, m_session->options));
    m_session->open.push_back(doc);
    return doc;
}

std::shared_ptr<Document> Application::activeDocument() const
{
    ensureRunning();
    if (m_session->open.empty())
        throw Error(Fault::NoDocument, QStringLiteral("This command is not available because no document is open."));
    return m_session->open.back();
}

void Application::setAskedProperties(std::vector<Builtin> asked) { m_session->options.asked = std::move(asked); }

int Application::documentCount() const { return static_cast<int>(m_session->open.size()); }

void Application::quit()
{
    ensureRunning();
    const auto docs = m_session->open; // close() edits the list
    for (const auto &d : docs)
        d->close();
    m_session->ended = true;
}

} // namespace word
