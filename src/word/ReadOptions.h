// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/BuiltinProperty.h"
#include "word/toolkit/FileDigest.h"
#include <QByteArray>
#include <algorithm>
#include <optional>
#include <vector>

namespace word {

// How a document is read. The defaults read what the file stores and compute only what it lacks.
struct ReadOptions {
    // Count words, characters and paragraphs from the text even where the file stores them, so that
    // stale stored counts (left by programs that change a document without recounting) show.
    bool recount = false;
    // The exact bytes of the file's name, which need not be valid text; empty: the path's own encoding.
    QByteArray nativePath{};
    // Also hash the whole file.
    std::optional<DigestAlgorithm> digest{};
    // The properties the caller will look at (nullopt: any of them). Counting a text costs more than the
    // rest of a read, so the text is counted only when a count among these is missing or recounted.
    std::optional<std::vector<Builtin>> asked{};

    bool asks(Builtin id) const { return !asked || std::find(asked->begin(), asked->end(), id) != asked->end(); }
};

} // namespace word
