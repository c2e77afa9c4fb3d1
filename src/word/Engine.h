// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/BuiltinProperty.h"
#include "word/DocumentData.h"
#include "word/PropertyValue.h"
#include "word/ReadOptions.h"
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace word {

// What the file system says of a document's file, and its digest when one was asked for.
struct FileFacts {
    QDateTime modified; // UTC
    QByteArray digest;  // raw bytes; empty unless asked for
};

// The built-in properties of one document, read once when it is opened.
class DocumentProperties {
public:
    DocumentProperties(QString path, DocumentData data, FileFacts facts = {})
        : m_path(std::move(path)), m_data(std::move(data)), m_facts(std::move(facts))
    {
    }

    const QString &path() const { return m_path; }
    // What the content is: "OOXML", "OLE", "RTF", "ODT", "WORDML" or "TEXT".
    const QString &format() const { return m_data.format; }

    // The value as the word processor gives it: a text the document does not hold is empty text; a date
    // or count it does not hold is nullopt (reading it raises an error, the "Not set" of the program).
    std::optional<PropertyValue> get(Builtin id) const;
    // The same, raising Error (naming the document and the property) where get() is nullopt.
    PropertyValue value(Builtin id) const;
    // The statistics (words, characters, characters with spaces, paragraphs) that were counted from the
    // text instead of read from the file: those it does not store, or all of them on a recount.
    const QList<Builtin> &computed() const { return m_data.computed; }
    // The value exactly as the document stores it: nullopt for anything it does not hold, texts included.
    const std::optional<PropertyValue> &stored(Builtin id) const { return m_data.value(id); }
    const FileFacts &facts() const { return m_facts; }

private:
    QString m_path;
    DocumentData m_data;
    FileFacts m_facts;
};

// Pages and lines are the two counts only a layout of the document can give. A layout's figure stands in
// only for a count the document does not store: a stored value always wins. The window and the command
// both decide by these two, so a document shows the same figures in both.
bool isLayoutCount(Builtin id);
bool wantsLayout(const DocumentProperties &props, Builtin id);
// The value the layout gives for `id` where it stands in: `layoutCount` is asked (only then) for the
// figure of pages or lines, nullopt where no layout could be made. Nullopt where the stored value wins.
std::optional<PropertyValue> laidOutValue(const DocumentProperties &props, Builtin id,
                                          const std::function<std::optional<int>(Builtin)> &layoutCount);

// Opens the document at `path` read-only, judges its format by its content and reads its built-in
// properties. Throws Error (which also says what the content is) with a description
// naming the file: not found, not readable, not a format the engine reads, protected with a password,
// damaged. Thread-safe: documents may be read on several threads at once.
DocumentProperties readDocumentProperties(const QString &path, const ReadOptions &options = {});

} // namespace word
