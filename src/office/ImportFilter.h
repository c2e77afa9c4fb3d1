// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>
#include <optional>

namespace office {

// The office's import filter for a document, named by the format this program's engine recognised in
// it. The office is never left to guess: its type detection would take an HTML page named .doc for a
// web page and fetch what it links to.
struct ImportFilter {
    QString name;    // several, one a line, are tried in turn
    QString options; // for plain text: the character set, as the engine decoded the text
};

// nullopt for a format that is not a word-processing document. `nativePath` is read only for plain text,
// whose character set is judged as the engine judges it.
std::optional<ImportFilter> importFilterFor(const QString &engineFormat, const QByteArray &nativePath);

} // namespace office
