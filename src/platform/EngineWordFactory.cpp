// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The automation surface served by the program's own document engine: each instance is a
// word::Application; documents are the engine's open documents. The engine speaks of faults; this is the
// one place that turns them into the run-time's numbers.
#include "platform/EngineWordFactory.h"
#include "platform/LayoutStatistics.h"
#include "word/Application.h"

namespace {

// The numbers the word processor and the run-time raise for the same failures.
int runtimeNumberOf(word::Fault fault)
{
    using word::Fault;
    switch (fault) {
    case Fault::NotFound:
        return 5174;
    case Fault::PermissionDenied:
        return RuntimeError::PermissionDenied;
    case Fault::FileAccess:
    case Fault::NotAFile:
        return 75;
    case Fault::UnknownFormat:
        return 321;
    case Fault::Damaged:
    case Fault::TooLarge:
        return 5792;
    case Fault::Encrypted:
        return 5408;
    case Fault::NoValue:
        return RuntimeError::AutomationError;
    case Fault::NoSuchProperty:
        return RuntimeError::InvalidProcedureCall;
    case Fault::NoDocument:
        return 4248;
    case Fault::DocumentClosed:
        return 5825;
    case Fault::EngineEnded:
        return 462;
    case Fault::TypeMismatch:
        return RuntimeError::TypeMismatch;
    case Fault::Overflow:
        return RuntimeError::Overflow;
    }
    return RuntimeError::AutomationError;
}

// Runs one call into the engine, presenting its failure as a run-time error.
template <class Call> auto engineCall(Call &&call) -> decltype(call())
{
    try {
        return call();
    } catch (const word::Error &e) {
        throw runtimeErrorOf(e);
    }
}

class EngineDocument : public IWordDocument {
public:
    EngineDocument(std::shared_ptr<word::Document> doc, std::shared_ptr<LayoutStatistics> layouts)
        : m_doc(std::move(doc)), m_layouts(std::move(layouts))
    {
    }
    word::PropertyValue builtinProperty(int number) override
    {
        if (const auto laidOut = fromLayout(word::builtinByNumber(number)))
            return *laidOut;
        return engineCall([&] { return m_doc->builtinProperty(number); });
    }
    word::PropertyValue builtinProperty(const QString &name) override
    {
        if (const auto laidOut = fromLayout(word::builtinByName(name)))
            return *laidOut;
        return engineCall([&] { return m_doc->builtinProperty(name); });
    }
    void close(int saveChanges) override
    {
        engineCall([&] { m_doc->close(saveChanges); });
    }

private:
    // Pages and lines the file does not store, as the word processor would have them after laying the
    // document out. Nothing where no layout can be had: the engine then says the document holds no value.
    std::optional<word::PropertyValue> fromLayout(std::optional<word::Builtin> id) const
    {
        if (!m_layouts || !id || m_doc->isClosed())
            return std::nullopt;
        return word::laidOutValue(m_doc->properties(), *id, [this](word::Builtin count) {
            return count == word::Builtin::NumberOfPages ? m_layouts->pages(m_doc) : m_layouts->lines(m_doc);
        });
    }

    std::shared_ptr<word::Document> m_doc;
    std::shared_ptr<LayoutStatistics> m_layouts;
};

// One instance owns the layout helper of its run when the run asks for pages or lines; quitting or
// destroying the instance ends it.
class EngineApplication : public IWordApplication {
public:
    EngineApplication(const EngineWordOptions &engine, const WordInstanceOptions &options)
    {
        if (options.layoutPagesAndLines)
            m_layouts =
                std::make_shared<LayoutStatistics>(engine.layoutTimeLimit, options.whileWaiting, engine.officeHelper);
    }
    ~EngineApplication() override
    {
        if (m_layouts)
            m_layouts->end();
    }
    std::shared_ptr<IWordDocument> open(const QString &path) override
    {
        return std::make_shared<EngineDocument>(engineCall([&] { return m_app.open(path); }), m_layouts);
    }
    std::shared_ptr<IWordDocument> activeDocument() override
    {
        return std::make_shared<EngineDocument>(engineCall([&] { return m_app.activeDocument(); }), m_layouts);
    }
    void willAsk(const QStringList &names) override
    {
        std::vector<word::Builtin> asked;
        for (const QString &name : names)
            if (const auto id = word::builtinByName(name))
                asked.push_back(*id);
        m_app.setAskedProperties(std::move(asked));
    }
    void quit() override
    {
        if (m_layouts)
            m_layouts->end();
        engineCall([&] { m_app.quit(); });
    }

private:
    word::Application m_app;
    std::shared_ptr<LayoutStatistics> m_layouts;
};

class EngineFactory : public IWordFactory {
public:
    explicit EngineFactory(EngineWordOptions options) : m_options(std::move(options)) {}

protected:
    std::unique_ptr<IWordApplication> createInstance(const WordInstanceOptions &options) override
    {
        return std::make_unique<EngineApplication>(m_options, options);
    }

private:
    EngineWordOptions m_options;
};

} // namespace

RuntimeError runtimeErrorOf(const word::Error &e) { return RuntimeError(runtimeNumberOf(e.fault()), e.description()); }

std::shared_ptr<IWordFactory> makeEngineWordFactory(EngineWordOptions options)
{
    return std::make_shared<EngineFactory>(std::move(options));
}

qint32 toInt32(const word::PropertyValue &value)
{
    return engineCall([&] { return value.toInt32(); });
}
