// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/Formats.h"
#include "word/toolkit/ZipArchive.h"
#include <QByteArray>
#include <QString>

// The two zip-based formats, read once the package has shown which it is.
namespace word {

// A part that holds properties (core, app, meta, the manifest): a few kilobytes in real documents, so one
// stating megabytes is refused before it is unpacked or parsed. Empty when the package lacks it.
QByteArray readPart(const ZipArchive &zip, const QString &name);

// A relationship target or part name as a zip entry name: percent-decoded, no leading slash, with "."
// and ".." segments resolved against the package root.
QString partNameFromTarget(const QString &target);

// Office Open XML, given its package relationships (_rels/.rels).
DocumentData readOoxml(const FileContent &content, const ZipArchive &zip, const QByteArray &rels);

// OpenDocument, given the type its mimetype part names.
DocumentData readOdf(const FileContent &content, const ZipArchive &zip, const QString &mimeType);

} // namespace word
