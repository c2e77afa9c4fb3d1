// Placeholder until the engine adapter lands: no instance can be had.
#include "platform/EngineWordFactory.h"
#include "platform/RuntimeError.h"

namespace {
class NoWord : public IWordFactory {
public:
    std::unique_ptr<IWordApplication> create() override
    {
        throw RuntimeError(429, QStringLiteral("The document engine is not available."));
    }
};
} // namespace

std::shared_ptr<IWordFactory> makeEngineWordFactory() { return std::make_shared<NoWord>(); }
