#pragma once

namespace word {

// How a document is read. The defaults read what the file stores and compute only what it lacks.
struct ReadOptions {
    // Count words, characters and paragraphs from the text even where the file stores them, so that
    // stale stored counts (left by programs that change a document without recounting) show.
    bool recount = false;
};

} // namespace word
