// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QtGlobal>

namespace word::limits {

// Bounds on everything a document states about its own sizes. A document beyond them is refused as
// damaged rather than believed.
inline constexpr qint64 kMaxPartBytes = 64ll * 1024 * 1024;    // any other part inflated (a main document)
inline constexpr qint64 kMaxRtfScanBytes = 64ll * 1024 * 1024; // how far into an RTF file the header may reach
inline constexpr qint64 kWholeFileReadBytes = 64ll * 1024;     // files up to this size are read in one go
inline constexpr qint64 kMaxZipEntries = 200000;
inline constexpr int kMaxXmlDepth = 256;
inline constexpr int kMaxPropertiesPerSection = 8192;
inline constexpr int kMaxSections = 16;
inline constexpr int kMaxRtfDepth = 4096;
// A single property's text: eight times what a spreadsheet cell holds, far beyond any real title or
// comment, yet small enough that 24 of them stay a few megabytes.
inline constexpr qint64 kMaxTextValueChars = 256 * 1024;
// A list joined into one value (the keywords of an OpenDocument file), all its items together.
inline constexpr qint64 kMaxJoinedListChars = kMaxTextValueChars;
// The parts and streams that hold properties (core, app, custom and meta XML, Word 2003 XML's property
// block, the two property-set streams) and those that index a package (relationships, content types)
// are kilobytes in real documents, a thumbnail or thousands of parts included.
inline constexpr qint64 kMaxPropertyPartBytes = 8ll * 1024 * 1024;
// Checking duplicate attributes costs the XML reader the square of their number; real elements have a
// dozen or two, namespace declarations included (a Word 2003 XML root has the most, about twenty).
inline constexpr int kMaxXmlAttributesPerElement = 64;
// Namespace declarations in scope at once: real parts declare a few dozen on their root element. Every
// prefixed name is looked up among them.
inline constexpr int kMaxXmlNamespaceBindings = 1024;
// Elements in one part: real main parts average well over 30 bytes an element, so even a main part at its
// size bound has about two million; a part of nothing but empty elements is refused before it costs more
// than a second or so (an element costs the parser about a thousand instructions, whatever its size).
inline constexpr qint64 kMaxXmlElements = 4ll * 1024 * 1024;
// One piece of markup (a start tag and its attributes) held whole by the parser until it ends. Drawings
// keep their largest attribute values (a shape's packed data) in the hundreds of kilobytes.
inline constexpr qint64 kMaxXmlTokenBytes = 4ll * 1024 * 1024;
// Everything the property-set decoder may produce for one document, in bytes of decoded text and blobs.
// Entries that share or overlap one value would otherwise multiply it thousands of times.
inline constexpr qint64 kMaxDecodedPropertyBytes = 16ll * 1024 * 1024;
// The compound-file directory as the container library walks it: it recurses once per sibling or child
// link, so a degenerate tree of tens of thousands of links exhausts the stack, and it keeps each
// storage's children in a sorted list, so very many of them cost the square of their number.
inline constexpr int kMaxOleDirectoryEntries = 16384; // entries reachable from the root
inline constexpr int kMaxOleStorageChildren = 4096;   // streams and storages in one storage
inline constexpr int kMaxOleDirectoryDepth = 2048;    // sibling and child links on any one path
// Counting a document's text: the characters a binary document may claim for its main text, the pieces
// of its piece table, and how deeply its fields may nest.
inline constexpr qint64 kMaxCountedChars = 64ll * 1024 * 1024;
inline constexpr qint64 kMaxTextPieces = 1024 * 1024;
// The parts that define how a text is numbered (OOXML numbering and styles): kilobytes to a few hundred
// in real documents, each read whole.
inline constexpr qint64 kMaxDefinitionPartBytes = 16ll * 1024 * 1024;
// Headers, footers and notes counted besides the main text (where the writer counts them): how many
// parts (each bounded like a main part).
inline constexpr int kMaxOtherStories = 256;
inline constexpr int kMaxFieldNesting = 256;
// A binary document's CLX: a piece table of kMaxTextPieces pieces (12 bytes each) and the formatting
// entries before it, which are kilobytes in real documents.
inline constexpr qint64 kMaxClxBytes = kMaxTextPieces * 12 + 4 + 4 * 1024 * 1024;
// RTF font tables: the definitions remembered for their code pages. Real tables list a few dozen fonts;
// beyond this a hostile table only costs memory, and later fonts fall back to the document's code page.
inline constexpr int kMaxRtfFonts = 4096;
// RTF control words: the letters of a name kept (no real word has more than about 20) and the digits of
// a parameter read; longer ones are read to their end and cut.
inline constexpr int kMaxRtfWordLetters = 32;
inline constexpr int kMaxRtfParamDigits = 18; // the most that fit in 64 bits
// How much of an RTF file is held at once while it is read; how far it is read is bounded above.
inline constexpr qint64 kRtfReadChunkBytes = 256 * 1024;
// How much of a plain-text file is held at once while its text is counted.
inline constexpr qint64 kTextReadChunkBytes = 256 * 1024;
// What format recognition looks at when a file is larger than is read in one go.
inline constexpr qint64 kSniffBytes = 64 * 1024;
// The piece of a large file held at once while its digest is computed.
inline constexpr qint64 kDigestChunkBytes = 1024 * 1024;

} // namespace word::limits
