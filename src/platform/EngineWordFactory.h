// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "office/HelperProcess.h"
#include "platform/RuntimeError.h"
#include "platform/WordAutomation.h"
#include "word/Errors.h"
#include <QString>
#include <chrono>
#include <memory>

// How long the run lets the helper office lay out one document before it is ended and replaced: far
// above the few seconds of the longest documents seen, short enough that a run does not hang on one.
inline constexpr std::chrono::milliseconds kLayoutTimeLimit{60000};

struct EngineWordOptions {
    std::chrono::milliseconds layoutTimeLimit = kLayoutTimeLimit; // per document
    QString officeHelper = office::HelperProcess::defaultProgram();
};

// The automation surface served by the program's own document engine (src/word). An instance created
// for pages or lines also lays out, through the LibreOffice helper where it is installed, the documents
// that store no page or line count.
std::shared_ptr<IWordFactory> makeEngineWordFactory(EngineWordOptions options = {});

// The engine's failure as the run-time error the window's error report shows: the number a user of the
// word processor's automation would see for it, and the engine's own text.
RuntimeError runtimeErrorOf(const word::Error &e);
