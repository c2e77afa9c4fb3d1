// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/Engine.h"
#include "word/EngineLog.h"
#include "word/Errors.h"
#include "word/FormatReaders.h"
#include "word/Formats.h"
#include "word/toolkit/InputFile.h"
#include "word/toolkit/Limits.h"
#include <QFile>
#include <new>

namespace word {

namespace {

// The file's digest. A small file is hashed from the bytes already read for its content; a larger one is
// read once more in bounded pieces through the same descriptor, so memory does not grow with its size.
QByteArray digestOf(const InputFile &file, const FileContent &content, DigestAlgorithm algorithm)
{
    FileDigest hash(algorithm);
    if (content.headIsWhole) {
        hash.add(content.head);
        return hash.result();
    }
    qint64 offset = 0;
    while (offset < file.size()) {
        const QByteArray piece = file.read(offset, limits::kDigestChunkBytes);
        if (piece.isEmpty())
            throwChangedWhileRead(file.path());
        hash.add(piece);
        offset += piece.size();
    }
    return hash.result();
}

} // namespace

std::optional<PropertyValue> DocumentProperties::get(Builtin id) const
{
    const std::optional<PropertyValue> &v = m_data.value(id);
    if (v)
        return v;
    if (builtinInfo(id).kind == BuiltinKind::Text)
        return PropertyValue::text(QString());
    return std::nullopt;
}

PropertyValue DocumentProperties::value(Builtin id) const
{
    if (auto v = get(id))
        return *v;
    throw Error(Fault::NoValue, QStringLiteral("The document \"%1\" holds no value for \"%2\".")
                                    .arg(displayPath(m_path), QLatin1String(builtinInfo(id).name)));
}

bool isLayoutCount(Builtin id) { return id == Builtin::NumberOfPages || id == Builtin::NumberOfLines; }

bool wantsLayout(const DocumentProperties &props, Builtin id) { return isLayoutCount(id) && !props.stored(id); }

std::optional<PropertyValue> laidOutValue(const DocumentProperties &props, Builtin id,
                                          const std::function<std::optional<int>(Builtin)> &layoutCount)
{
    if (!wantsLayout(props, id))
        return std::nullopt;
    const std::optional<int> n = layoutCount(id);
    if (!n)
        return std::nullopt;
    return PropertyValue::integer(*n);
}

DocumentProperties readDocumentProperties(const QString &path, const ReadOptions &options)
{
    const LogDocumentScope logScope(path);
    InputFile file(path, options.nativePath.isEmpty() ? QFile::encodeName(path) : options.nativePath);
    const bool whole = file.size() <= limits::kWholeFileReadBytes;
    const FileContent content{file, file.read(0, whole ? file.size() : limits::kSniffBytes), whole, options};
    if (whole && content.head.size() != file.size())
        throwChangedWhileRead(path);
    FileFacts facts{file.modified(), {}};
    if (options.digest)
        facts.digest = digestOf(file, content, *options.digest);
    const QByteArray &head = content.head;

    QString format;
    DocumentData data;
    try {
        const FormatReader *reader = readerFor(head);
        if (!reader)
            refuseUnrecognised(path, head);
        format = reader->formatOf(head);
        data = reader->read(content);
    } catch (const DamagedContent &e) {
        // A file cut while it was read looks damaged; the change is the true reason.
        if (file.changedSinceOpened())
            throwChangedWhileRead(path);
        throwDamaged(path, format, e.detail());
    } catch (const std::bad_alloc &) {
        throwTooLarge(path, format, QStringLiteral("it states sizes too large to read"));
    }
    // Libraries read through streams of their own, and a text counted from part of a file and part of
    // another would be a wrong count: every value must come from one state of the file.
    if (file.changedSinceOpened())
        throwChangedWhileRead(path);
    data.setInteger(Builtin::NumberOfBytes, file.size());
    return DocumentProperties(path, std::move(data), std::move(facts));
}

} // namespace word
