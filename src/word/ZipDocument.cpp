// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Zip-based documents: which of the zip formats a package is (OpenDocument names its kind in a first part
// called mimetype; Office Open XML has package relationships), and what a zip that is neither holds.
#include "word/ZipDocument.h"
#include "word/Errors.h"
#include "word/Formats.h"
#include "word/toolkit/Limits.h"
#include <QStringList>

namespace word {

// A part that holds properties (core, app, meta, the manifest): a few kilobytes in real documents, so one
// stating megabytes is refused before it is unpacked or parsed.
QByteArray readPart(const ZipArchive &zip, const QString &name)
{
    const auto index = zip.find(name);
    if (!index)
        return {};
    return zip.read(*index, limits::kMaxPropertyPartBytes);
}

DocumentData readZipDocument(const FileContent &content)
{
    const ZipArchive zip(content);
    const auto rels = zip.find(QStringLiteral("_rels/.rels"));
    // OpenDocument (and EPUB) name their kind in a first part called mimetype.
    if (const auto mimetype = zip.find(QStringLiteral("mimetype"))) {
        const QString type = QString::fromUtf8(zip.read(*mimetype, 4096));
        if (!rels || type.startsWith(QLatin1String("application/vnd.oasis.opendocument.")))
            return readOdf(content, zip, type);
    }
    if (rels)
        return readOoxml(content, zip, zip.read(*rels, limits::kMaxPropertyPartBytes));
    if (zip.find(QStringLiteral("[Content_Types].xml")))
        throw DamagedContent(QStringLiteral("its package relationships (_rels/.rels) are missing"));
    if (zip.find(QStringLiteral("META-INF/MANIFEST.MF")))
        throwUnknownFormat(content.file.path(), QStringLiteral("JAR"), QStringLiteral("it is a Java archive"));
    QStringList names;
    for (qint64 i = 0; i < zip.entryCount() && names.size() < 5; ++i)
        names << QLatin1Char('"') + zip.nameAt(i) + QLatin1Char('"');
    throwUnknownFormat(content.file.path(), QStringLiteral("ZIP"),
                       names.isEmpty() ? QStringLiteral("it is an empty zip archive")
                                       : QStringLiteral("it is a zip archive without a document (it holds %1%2)")
                                             .arg(names.join(QStringLiteral(", ")),
                                                  zip.entryCount() > 5 ? QStringLiteral(", ...") : QString()));
}

} // namespace word
