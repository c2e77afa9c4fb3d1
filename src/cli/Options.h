// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "cli/NativePath.h"
#include "word/BuiltinProperty.h"
#include "word/toolkit/FileDigest.h"
#include <QByteArray>
#include <QList>
#include <QStringList>
#include <chrono>
#include <cstdio>
#include <optional>
#include <vector>

namespace cli {

// Exit statuses, as the manual page and --help describe them.
inline constexpr int kExitAllRead = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitWriteFailed = 3; // the output could not be written whole

// How long one document may take to be laid out before the office is ended and restarted: far above
// the few seconds of the longest documents seen, far below a user's patience with a hung run.
inline constexpr std::chrono::seconds kDefaultLayoutTimeout{60};

enum class OutputFormatKind { JsonLines, JsonArray, Csv };

struct Digest {
    word::DigestAlgorithm algorithm;
    QByteArray name; // its field name: "sha256" or "md5"
};

struct Options {
    std::vector<NativePath> paths; // as given
    std::vector<FILE *> lists;     // opened path lists, read while documents are being read
    bool nulSeparated = false;     // lists separated by NUL rather than line ends
    QStringList extensions;        // empty: every file found in a folder
    bool hidden = true;            // walk hidden folders and take hidden files from folders
    int jobs = 0;                  // 0: one per processor core
    bool quiet = false;            // no progress, no failure lines, no summary on the error output
    bool verbose = false;          // the engine's notes on what it clamped or skipped, on the error output
    OutputFormatKind format = OutputFormatKind::JsonLines;
    std::vector<word::Builtin> fields; // the properties written, in this order
    std::optional<Digest> digest;
    std::optional<NativePath> root; // paths written relative to this folder
    qint64 shardIndex = 0;
    qint64 shardCount = 1;
    qint64 skip = 0;
    bool ignoreFailedRead = false; // unreadable documents are reported but do not fail the run
    bool recount = false;          // count words, characters and paragraphs even where the file stores them
    bool layout = false;           // pages and lines from a layout where the file stores none
    std::chrono::milliseconds layoutTimeout{kDefaultLayoutTimeout};

    Options() = default;
    Options(const Options &) = delete;
    Options &operator=(const Options &) = delete;
    ~Options(); // closes the lists
};

// Parses the command line. Returns -1 when the run should go on; otherwise the exit status, after writing
// the help or version text to `out` or the reason for a usage error to `err`.
int parseArguments(int argc, char **argv, Options &options, FILE *out, FILE *err);

} // namespace cli
