#pragma once
#include "platform/WordAutomation.h"
#include <memory>

// The automation surface served by the program's own document engine (src/word).
std::shared_ptr<IWordFactory> makeEngineWordFactory();
