#pragma once
#include "platform/RuntimeError.h"
#include "platform/WordAutomation.h"
#include "word/Errors.h"
#include <memory>

// The automation surface served by the program's own document engine (src/word).
std::shared_ptr<IWordFactory> makeEngineWordFactory();

// The engine's failure as the run-time error the window's error report shows: the number a user of the
// word processor's automation would see for it, and the engine's own text.
RuntimeError runtimeErrorOf(const word::Error &e);
