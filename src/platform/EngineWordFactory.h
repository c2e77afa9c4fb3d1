#pragma once
#include "platform/RuntimeError.h"
#include "platform/WordAutomation.h"
#include "word/Errors.h"
#include <chrono>
#include <memory>

// How long the run lets the helper office lay out one document before it is ended and replaced: far
// above the few seconds of the longest documents seen, short enough that a run does not hang on one.
inline constexpr std::chrono::milliseconds kLayoutTimeLimit{60000};

// The automation surface served by the program's own document engine (src/word). Where LibreOffice is
// installed, each instance also lays out the documents that store no page or line count, within
// `layoutTimeLimit` per document.
std::shared_ptr<IWordFactory> makeEngineWordFactory(std::chrono::milliseconds layoutTimeLimit = kLayoutTimeLimit);

// The engine's failure as the run-time error the window's error report shows: the number a user of the
// word processor's automation would see for it, and the engine's own text.
RuntimeError runtimeErrorOf(const word::Error &e);
