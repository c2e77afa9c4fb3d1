// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "cli/NativePath.h"
#include "cli/Options.h"
#include "fs/TreeWalk.h"
#include <QByteArray>
#include <cstdio>
#include <memory>
#include <vector>

namespace cli {

// One input: a file to read, or a folder that could not be walked (walkError is the system's error
// number then, and the input is reported as failed without being opened).
struct Input {
    NativePath path;
    int walkError = 0;
    bool tooDeep = false; // a folder the walk did not enter, being too deep below the folder named
};

// The inputs of a run in order, produced one at a time: the paths of the command line, then those of
// the lists, each folder replaced by its files as the walk finds them. Only what is being produced is
// held, never the whole sequence. --shard and --skip are applied here, counting every input (a folder
// that cannot be walked counts as one), so that each input is one line of output.
class InputSource {
public:
    InputSource(const Options &options, FILE *err);
    ~InputSource();

    // The next input for this run; false at the end.
    bool next(Input &input);
    // Whether a list could not be read to its end (said on the error output at the time).
    bool listFailed() const { return m_listFailed; }

private:
    bool nextInput(Input &input);
    bool nextNamed(QByteArray &path);
    bool readListEntry(FILE *list, QByteArray &entry);
    bool wanted(const QByteArray &path) const;

    const Options &m_options;
    FILE *m_err;
    size_t m_nextPath = 0;
    size_t m_nextList = 0;
    std::unique_ptr<fs::TreeWalk> m_walk;
    qint64 m_position = 0; // of the next input, counted over every input
    qint64 m_skipped = 0;
    bool m_listFailed = false;
    std::vector<char> m_line; // the entry being read, as long as the longest one allowed
};

} // namespace cli
