// The automation surface served by the program's own document engine: each instance is a
// word::Application; documents are the engine's open documents.
#include "platform/EngineWordFactory.h"
#include "platform/LayoutStatistics.h"
#include "word/Application.h"

namespace {

class EngineDocument : public IWordDocument {
public:
    EngineDocument(std::shared_ptr<word::Document> doc, std::shared_ptr<LayoutStatistics> layouts)
        : m_doc(std::move(doc)), m_layouts(std::move(layouts)) {}
    word::PropertyValue builtinProperty(int number) override
    {
        if (const auto laidOut = fromLayout(word::builtinByNumber(number)))
            return *laidOut;
        return m_doc->builtinProperty(number);
    }
    word::PropertyValue builtinProperty(const QString &name) override
    {
        if (const auto laidOut = fromLayout(word::builtinByName(name)))
            return *laidOut;
        return m_doc->builtinProperty(name);
    }
    void close(int saveChanges) override { m_doc->close(saveChanges); }
    const std::shared_ptr<word::Document> &engineDocument() const { return m_doc; }

private:
    // Pages and lines the file does not store, as the word processor would have them after laying the
    // document out; stored counts win. Nothing where no layout can be had: the engine then says the
    // document holds no value.
    std::optional<word::PropertyValue> fromLayout(std::optional<word::Builtin> id) const
    {
        if (!m_layouts || !id || (*id != word::Builtin::NumberOfPages && *id != word::Builtin::NumberOfLines) ||
            m_doc->isClosed() || m_doc->properties().stored(*id))
            return std::nullopt;
        const std::optional<int> n = *id == word::Builtin::NumberOfPages ? m_layouts->pages(m_doc) : m_layouts->lines(m_doc);
        if (!n)
            return std::nullopt;
        return word::PropertyValue::integer(*n);
    }

    std::shared_ptr<word::Document> m_doc;
    std::shared_ptr<LayoutStatistics> m_layouts;
};

// One instance owns the helper office of its run (when there can be one); quitting or destroying the
// instance ends it.
class EngineApplication : public IWordApplication {
public:
    explicit EngineApplication(std::chrono::milliseconds layoutTimeLimit)
    {
        if (LayoutStatistics::available())
            m_layouts = std::make_shared<LayoutStatistics>(layoutTimeLimit);
    }
    ~EngineApplication() override
    {
        if (m_layouts)
            m_layouts->end();
    }
    std::shared_ptr<IWordDocument> open(const QString &path) override
    {
        return std::make_shared<EngineDocument>(m_app.open(path), m_layouts);
    }
    std::shared_ptr<IWordDocument> activeDocument() override
    {
        return std::make_shared<EngineDocument>(m_app.activeDocument(), m_layouts);
    }
    void quit() override
    {
        if (m_layouts)
            m_layouts->end();
        m_app.quit();
    }

private:
    word::Application m_app;
    std::shared_ptr<LayoutStatistics> m_layouts;
};

class EngineFactory : public IWordFactory {
public:
    explicit EngineFactory(std::chrono::milliseconds layoutTimeLimit) : m_layoutTimeLimit(layoutTimeLimit) {}
    std::unique_ptr<IWordApplication> create() override
    {
        return std::make_unique<EngineApplication>(m_layoutTimeLimit);
    }

private:
    std::chrono::milliseconds m_layoutTimeLimit;
};

} // namespace

std::shared_ptr<IWordFactory> makeEngineWordFactory(std::chrono::milliseconds layoutTimeLimit)
{
    return std::make_shared<EngineFactory>(layoutTimeLimit);
}
