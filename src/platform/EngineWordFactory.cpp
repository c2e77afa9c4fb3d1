// The automation surface served by the program's own document engine: each instance is a
// word::Application; documents are the engine's open documents.
#include "platform/EngineWordFactory.h"
#include "word/Application.h"

namespace {

class EngineDocument : public IWordDocument {
public:
    explicit EngineDocument(std::shared_ptr<word::Document> doc) : m_doc(std::move(doc)) {}
    word::PropertyValue builtinProperty(int number) override { return m_doc->builtinProperty(number); }
    word::PropertyValue builtinProperty(const QString &name) override { return m_doc->builtinProperty(name); }
    void close(int saveChanges) override { m_doc->close(saveChanges); }
    const std::shared_ptr<word::Document> &engineDocument() const { return m_doc; }

private:
    std::shared_ptr<word::Document> m_doc;
};

class EngineApplication : public IWordApplication {
public:
    std::shared_ptr<IWordDocument> open(const QString &path) override
    {
        return std::make_shared<EngineDocument>(m_app.open(path));
    }
    std::shared_ptr<IWordDocument> activeDocument() override
    {
        return std::make_shared<EngineDocument>(m_app.activeDocument());
    }
    void quit() override { m_app.quit(); }

private:
    word::Application m_app;
};

class EngineFactory : public IWordFactory {
public:
    std::unique_ptr<IWordApplication> create() override { return std::make_unique<EngineApplication>(); }
};

} // namespace

std::shared_ptr<IWordFactory> makeEngineWordFactory() { return std::make_shared<EngineFactory>(); }
