#pragma once
#include "core/UiContext.h"

// Start-up test: can a document engine instance be had at all? When not, explains and ends the
// program. Returns false when it ended the program.
bool CheckWordInstalled(const UiContext &ctx);

QString wordUnavailableMessage();
