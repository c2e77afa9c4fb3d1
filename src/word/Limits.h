#pragma once
#include <QtGlobal>

namespace word::limits {

// Bounds on everything a document states about its own sizes. A document beyond them is refused as
// damaged rather than believed.
inline constexpr qint64 kMaxPartBytes = 64ll * 1024 * 1024;     // an XML part inflated, a property-set stream
inline constexpr qint64 kMaxRtfScanBytes = 64ll * 1024 * 1024;  // how far into an RTF file the header may reach
inline constexpr qint64 kWholeFileReadBytes = 64ll * 1024; // files up to this size are read in one go
inline constexpr qint64 kMaxZipEntries = 200000;
inline constexpr int kMaxXmlDepth = 256;
inline constexpr int kMaxPropertiesPerSection = 8192;
inline constexpr int kMaxSections = 16;
inline constexpr int kMaxRtfDepth = 4096;
inline constexpr qint64 kMaxTextValueChars = 1024 * 1024;       // a single property's text
// Counting a document's text: the characters a binary document may claim for its main text, the pieces
// of its piece table, and how deeply its fields may nest.
inline constexpr qint64 kMaxCountedChars = 64ll * 1024 * 1024;
inline constexpr qint64 kMaxTextPieces = 1024 * 1024;
inline constexpr int kMaxFieldNesting = 256;

} // namespace word::limits
