// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <exception>
#include <string>

namespace word {

// Why a document could not be opened, coarse enough for a script to group failures by.
enum class ErrorKind { NotFound, Permission, NotADocument, Encrypted, Damaged, TooLarge, Io };

// The kind as scripts read it: "not-found", "permission", "not-a-document", "encrypted", "damaged",
// "too-large", "io".
const char *errorKindName(ErrorKind kind);
inline constexpr int kErrorKindCount = 7;

// What exactly went wrong, fine enough for a caller to word its own report (the window's error report
// gives each its own number). The first eight are failures to open a document; the rest come later.
enum class Fault {
    NotFound,         // the file does not exist
    PermissionDenied, // the file may not be read
    FileAccess,       // an I/O failure while reading
    NotAFile,         // a folder, device, pipe or socket where a document was expected
    UnknownFormat,    // not a format the engine reads
    Damaged,          // a known format whose content is broken
    TooLarge,         // stated sizes beyond what the engine is willing to hold
    Encrypted,        // needs a password
    NoValue,          // the document holds no value for the property asked
    NoSuchProperty,   // no built-in property has that number or name
    NoDocument,       // the active document asked for while none is open
    DocumentClosed,   // a closed document used again
    EngineEnded,      // an instance used after it was shut down
    TypeMismatch,     // a value that is not a number asked for as one
    Overflow,         // a number beyond 32 bits asked for as one
};

// The group a fault belongs to; faults after opening are I/O in the sense that no document came of it.
ErrorKind kindOf(Fault fault);

// Every failure the engine reports: what went wrong, a readable text naming the file, and for a document
// that could not be opened what its content was found to be (a short code such as "PDF" or
// "OOXML-ENCRYPTED"; empty when the file could not be read).
class Error : public std::exception {
public:
    Error(Fault fault, QString description, QString format = {})
        : m_fault(fault), m_description(std::move(description)), m_format(std::move(format)),
          m_what(m_description.toStdString())
    {
    }
    Fault fault() const { return m_fault; }
    ErrorKind kind() const { return kindOf(m_fault); }
    const QString &description() const { return m_description; }
    const QString &format() const { return m_format; }
    // True for the faults of opening a document, as opposed to asking an opened one.
    bool isOpenFailure() const { return m_fault <= Fault::Encrypted; }
    const char *what() const noexcept override { return m_what.c_str(); }

private:
    Fault m_fault;
    QString m_description;
    QString m_format;
    std::string m_what;
};

// The path as the user should read it in a message.
QString displayPath(const QString &path);

// The readable failures of Open. Each names the file.
[[noreturn]] void throwNotFound(const QString &path);
[[noreturn]] void throwPermissionDenied(const QString &path);
[[noreturn]] void throwFileAccess(const QString &path, const QString &why);
// The file was cut, grown or rewritten while it was being read: what was read is not one document.
[[noreturn]] void throwChangedWhileRead(const QString &path);
// A folder, device, pipe or socket where a document was expected.
[[noreturn]] void throwNotAFile(const QString &path, const QString &why);
[[noreturn]] void throwUnknownFormat(const QString &path, const QString &format, const QString &what);
[[noreturn]] void throwDamaged(const QString &path, const QString &format, const QString &what);
[[noreturn]] void throwEncrypted(const QString &path, const QString &format);
// A document whose stated sizes exceed what the engine is willing to hold.
[[noreturn]] void throwTooLarge(const QString &path, const QString &format, const QString &what);

// Thrown by the format readers, which do not know the path: what is broken, in a few words
// ("its part word/document.xml fails its checksum"). The engine turns it into throwDamaged.
class DamagedContent : public std::exception {
public:
    explicit DamagedContent(QString what) : m_what(std::move(what)) {}
    const QString &detail() const { return m_what; }
    const char *what() const noexcept override { return "damaged document content"; }

private:
    QString m_what;
};

} // namespace word
