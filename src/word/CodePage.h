#pragma once
#include <QString>

namespace word {

// Decodes bytes written in a Windows code page (as the binary property sets and RTF name them):
// 1200/1201 UTF-16, 65001 UTF-8, 1252 and the other single- and double-byte code pages (through the C
// library's iconv). A code page that is unknown, zero or absent falls back to 1252 (Western). Bytes that
// do not decode become U+FFFD. Stops at nothing: callers cut at the terminating NUL themselves.
QString decodeCodePage(int codePage, const char *data, qsizetype size);

} // namespace word
