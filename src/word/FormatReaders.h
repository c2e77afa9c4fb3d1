// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/Formats.h"
#include <QByteArray>
#include <QString>

namespace word {

// A format the engine reads: how its content is recognised from the first bytes of a file, what the
// content is taken to be (named in an error when the reader finds it damaged), and its reader.
struct FormatReader {
    bool (*recognise)(const QByteArray &head);
    QString (*formatOf)(const QByteArray &head);
    DocumentData (*read)(const FileContent &content);
};

// The reader whose format the head shows, trying them in one fixed order (containers first, plain text
// last); nullptr when no reader takes it. Formats are judged by content, never by a file's name.
const FormatReader *readerFor(const QByteArray &head);

// The refusal of content no reader took: what it is when it is a known format that is not a document,
// or its first bytes.
[[noreturn]] void refuseUnrecognised(const QString &path, const QByteArray &head);

} // namespace word
