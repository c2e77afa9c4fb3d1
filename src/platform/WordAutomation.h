// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "word/PropertyValue.h"
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// The word processor's automation surface that the program relies on. Every failure is a RuntimeError
// whose description a user can read.
class IWordDocument {
public:
    virtual ~IWordDocument() = default;
    // BuiltinDocumentProperties by the word processor's item number (14 = page count).
    virtual word::PropertyValue builtinProperty(int number) = 0;
    // BuiltinDocumentProperties by name ("Title", "Number of Pages", ...).
    virtual word::PropertyValue builtinProperty(const QString &name) = 0;
    virtual void close(int saveChanges) = 0;
};

class IWordApplication {
public:
    virtual ~IWordApplication() = default;
    // Documents.Open(path): the opened document becomes the active document.
    virtual std::shared_ptr<IWordDocument> open(const QString &path) = 0;
    // ActiveDocument; throws when no document is open.
    virtual std::shared_ptr<IWordDocument> activeDocument() = 0;
    virtual void quit() = 0;
    // The properties (by name) that will be read from the documents opened from now on, so that what is
    // never read is never computed. Only a hint: any property can still be asked for.
    virtual void willAsk(const QStringList &names) { Q_UNUSED(names); }
};

// What a run asks of a new instance beyond the values documents store.
struct WordInstanceOptions {
    // Lay out the documents that store no page or line count, because Pages or Lines was chosen.
    bool layoutPagesAndLines = false;
    // How the window stays alive while a layout is waited for: processes events for up to the given
    // milliseconds; false once the program has ended.
    std::function<bool(int maxMs)> whileWaiting;
};

class IWordFactory {
public:
    virtual ~IWordFactory() = default;
    // Creates an instance; throws RuntimeError when none can be had.
    std::unique_ptr<IWordApplication> create(const WordInstanceOptions &options = {})
    {
        return createInstance(options);
    }

protected:
    virtual std::unique_ptr<IWordApplication> createInstance(const WordInstanceOptions &options) = 0;
};

// The value as a 32-bit integer, converted as the run-time converts a property value; throws RuntimeError
// (type mismatch or overflow) when it is not one.
qint32 toInt32(const word::PropertyValue &value);
