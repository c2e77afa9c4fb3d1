#pragma once
#include "platform/RuntimeError.h"
#include <QString>

namespace word {

// Error numbers the engine raises (the word processor's own where it has one).
namespace err {
inline constexpr int NotFound = 5174;          // the file does not exist
inline constexpr int PermissionDenied = RuntimeError::PermissionDenied;
inline constexpr int FileAccess = 75;          // a folder, a device, an I/O failure
inline constexpr int UnknownFormat = 321;      // not a format the engine reads
inline constexpr int Damaged = 5792;           // a known format whose content is broken
inline constexpr int Encrypted = 5408;         // needs a password
inline constexpr int NoValue = RuntimeError::AutomationError; // the document holds no value for the item
inline constexpr int InvalidItem = RuntimeError::InvalidProcedureCall;
inline constexpr int NoDocument = 4248;        // ActiveDocument with no document open
inline constexpr int ObjectDeleted = 5825;     // a closed document used again
inline constexpr int InstanceGone = 462;       // an instance used after Quit
} // namespace err

// Why a document could not be opened, coarse enough for a script to group failures by.
enum class ErrorKind { NotFound, Permission, NotADocument, Encrypted, Damaged, TooLarge, Io };

// The kind as scripts read it: "not-found", "permission", "not-a-document", "encrypted", "damaged",
// "too-large", "io".
const char *errorKindName(ErrorKind kind);
inline constexpr int kErrorKindCount = 7;

// A document that could not be opened. Besides number and description it tells what the content was
// found to be (a short code such as "PDF" or "OOXML-ENCRYPTED"; empty when the file could not be read)
// and the kind of failure.
class OpenError : public RuntimeError {
public:
    OpenError(int number, const QString &description, const QString &format = {})
        : RuntimeError(number, description), m_format(format), m_kind(kindOfNumber(number)) {}
    OpenError(ErrorKind kind, int number, const QString &description, const QString &format = {})
        : RuntimeError(number, description), m_format(format), m_kind(kind) {}
    const QString &format() const { return m_format; }
    ErrorKind kind() const { return m_kind; }

private:
    static ErrorKind kindOfNumber(int number);
    QString m_format;
    ErrorKind m_kind;
};

// The path as the user should read it in a message.
QString displayPath(const QString &path);

// The readable failures of Open. Each names the file.
[[noreturn]] void throwNotFound(const QString &path);
[[noreturn]] void throwPermissionDenied(const QString &path);
[[noreturn]] void throwFileAccess(const QString &path, const QString &why);
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
