// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

namespace word {

// Decodes bytes written in a Windows code page (as the binary property sets and RTF name them):
// 1200/1201 UTF-16, 65001 UTF-8, 1252 and the other single- and double-byte code pages (through the C
// library's iconv). A code page that is unknown, zero or absent falls back to 1252 (Western). Bytes that
// do not decode become U+FFFD. Stops at nothing: callers cut at the terminating NUL themselves.
QString decodeCodePage(int codePage, const char *data, qsizetype size);

// Whether a byte below 0x80 that begins a character stands for the same ASCII character in this code
// page, so that it may be taken without a decoder: true of the Windows, OEM, ISO 8859, Mac Roman and
// East Asian code pages and UTF-8; false of EBCDIC, UTF-16 and the few that replace ASCII punctuation.
bool isAsciiCompatible(int codePage);

} // namespace word
