#pragma once
#include "word/FileDigest.h"
#include <QByteArray>
#include <optional>

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
};

} // namespace word
