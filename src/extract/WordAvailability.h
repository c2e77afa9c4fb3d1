// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/UiContext.h"

// Start-up test: can a document engine instance be had at all? When not, explains and ends the
// program. Returns false when it ended the program.
bool CheckWordInstalled(const UiContext &ctx);

QString wordUnavailableMessage();
