// The automation surface served by the program's own document engine: each instance is a
// word::Application; documents are the engine's open documents. The engine speaks of faults; this is the
// one place that turns them into the run-time's numbers.
#include "platform/EngineWordFactory.h"
#include "word/Application.h"

namespace {

// The numbers the word processor and the run-time raise for the same failures.
int runtimeNumberOf(word::Fault fault)
{
    using word::Fault;
    switch (fault) {
    case Fault::NotFound: return 5174;
    case Fault::PermissionDenied: return RuntimeError::PermissionDenied;
    case Fault::FileAccess:
    case Fault::NotAFile: return 75;
    case Fault::UnknownFormat: return 321;
    case Fault::Damaged:
    case Fault::TooLarge: return 5792;
    case Fault::Encrypted: return 5408;
    case Fault::NoValue: return RuntimeError::AutomationError;
    case Fault::NoSuchProperty: return RuntimeError::InvalidProcedureCall;
    case Fault::NoDocument: return 4248;
    case Fault::DocumentClosed: return 5825;
    case Fault::EngineEnded: return 462;
    case Fault::TypeMismatch: return RuntimeError::TypeMismatch;
    case Fault::Overflow: return RuntimeError::Overflow;
    }
    return RuntimeError::AutomationError;
}

// Runs one call into the engine, presenting its failure as a run-time error.
template <class Call>
auto engineCall(Call &&call) -> decltype(call())
{
    try {
        return call();
    } catch (const word::Error &e) {
        throw runtimeErrorOf(e);
    }
}

class EngineDocument : public IWordDocument {
public:
    explicit EngineDocument(std::shared_ptr<word::Document> doc) : m_doc(std::move(doc)) {}
    word::PropertyValue builtinProperty(int number) override
    {
        return engineCall([&] { return m_doc->builtinProperty(number); });
    }
    word::PropertyValue builtinProperty(const QString &name) override
    {
        return engineCall([&] { return m_doc->builtinProperty(name); });
    }
    void close(int saveChanges) override { engineCall([&] { m_doc->close(saveChanges); }); }

private:
    std::shared_ptr<word::Document> m_doc;
};

class EngineApplication : public IWordApplication {
public:
    std::shared_ptr<IWordDocument> open(const QString &path) override
    {
        return std::make_shared<EngineDocument>(engineCall([&] { return m_app.open(path); }));
    }
    std::shared_ptr<IWordDocument> activeDocument() override
    {
        return std::make_shared<EngineDocument>(engineCall([&] { return m_app.activeDocument(); }));
    }
    void quit() override { engineCall([&] { m_app.quit(); }); }

private:
    word::Application m_app;
};

class EngineFactory : public IWordFactory {
public:
    std::unique_ptr<IWordApplication> create() override { return std::make_unique<EngineApplication>(); }
};

} // namespace

RuntimeError runtimeErrorOf(const word::Error &e) { return RuntimeError(runtimeNumberOf(e.fault()), e.description()); }

std::shared_ptr<IWordFactory> makeEngineWordFactory() { return std::make_shared<EngineFactory>(); }

qint32 toInt32(const word::PropertyValue &value)
{
    return engineCall([&] { return value.toInt32(); });
}
