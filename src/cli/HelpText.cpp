// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/HelpText.h"
#include "cli/Record.h"
#include "cli/TerminalText.h"

namespace cli {

namespace {

const char kAbout[] =
    "Usage: %1 [options] PATH...\n"
    "\n"
    "Reads the built-in properties of Word documents (.docx .docm .dotx .dotm, .doc .dot, .rtf, .odt and\n"
    "Word 2003 XML; the format is judged by the content, not the name) and writes one record per document,\n"
    "in the order of the inputs: the paths named on the command line first, then those of the lists.\n"
    "Folders are walked through all their levels in name order, linked folders included (each real folder\n"
    "once); the word processor's lock files (~$name) are left out. Documents are only read, never written.\n"
    "Lists and folders are read while documents are being read, so a run over millions of files starts at\n"
    "once and its memory does not grow with their number.\n";

const char kOutput[] =
    "\n"
    "Output:\n"
    "Each record holds, in this order:\n"
    "  schema       the version of this layout, %1\n"
    "  path         the path as text (bytes that are not UTF-8 replaced by U+FFFD)\n"
    "  path_base64  only when the path had to be altered that way: its exact bytes, in base64\n"
    "  format       what the content is: OOXML, OLE, RTF, ODT, WORDML, TEXT, or for a file that is not\n"
    "               a document what it is, e.g. PDF, XLSX, OOXML-ENCRYPTED; null when unknown\n"
    "  mtime        the file's modification time, in UTC; null when it cannot be read\n"
    "  sha256, md5  with --hash: the file's digest in hexadecimal; null for a file that could not be read\n"
    "  computed     the Word names of the properties written that were computed rather than read from\n"
    "               the file (in csv: one field, the names separated by ;)\n"
    "  properties   the built-in properties by their Word names, \"Title\" to \"Number of Bytes\"\n"
    "or, instead of properties, for a document that could not be read:\n"
    "  error        why, in words, naming the file\n"
    "  error_kind   one of not-found, permission, not-a-document, encrypted, damaged, too-large, io\n"
    "\n"
    "Texts are strings, counts are numbers, null stands for a value the document does not hold (a text\n"
    "it does not hold, as well as a document that was never printed has no \"Last Print Date\"); an empty\n"
    "string is a text held empty. Dates stored with a zone (OOXML, .doc, dates with an offset) are written\n"
    "in UTC with a Z: 2024-01-31T09:30:00Z. Dates stored without a zone (RTF, ODF and Word 2003 XML dates\n"
    "without an offset) are a local reading on the machine that wrote them and are written as stored,\n"
    "without an offset: 2024-01-31T09:30:00. Total Editing Time is in minutes; Number of Bytes is the\n"
    "file's size.\n"
    "\n"
    "Statistics: where a document stores no count of words, characters, characters with spaces or\n"
    "paragraphs, they are counted from its text as the program that wrote it counts: list numbers and\n"
    "bullets included, hidden text left out (also where a style, a hidden section or a hidden-paragraph\n"
    "field hides it), text boxes counted with the body, and for documents written by LibreOffice or\n"
    "OpenOffice also headers, footers and notes; with --recount always, so that comparing a run with and\n"
    "without it shows stale stored counts (--verbose says why a text could not be counted). Pages and\n"
    "lines need a layout: with --layout, those a document does not store come from LibreOffice's layout\n"
    "(the quillmere-office helper, one per job; a new office after a document overran --layout-timeout);\n"
    "without it, or without LibreOffice, they stay null. Stored values win; \"computed\" names those that did not\n"
    "come from the file. A layout's pages follow LibreOffice's layout and fonts, its lines count every\n"
    "laid-out line (headers, footers, notes and tables too), so they can differ from Word's.\n"
    "\n"
    "jsonl writes one JSON object per line; json one array of them; csv one row per document under a\n"
    "header row of the field names above (properties by their Word names), every text quoted, rows ended\n"
    "by CR LF, absent values empty (an empty text is \"\"). Texts are written verbatim, as evidence: a\n"
    "Title that begins with = stays that text. A spreadsheet that evaluates formulas on import would run\n"
    "it, so import with formula evaluation off and every column typed Text (LibreOffice Calc: untick\n"
    "\"Evaluate formulas\" and set the columns to Text).\n"
    "\n"
    "Unless --quiet is given, each document that cannot be read also gets a line on the error output (as\n"
    "does one that could not be laid out), and\n"
    "the run ends with one summary line there: documents read, failed by kind, time taken.\n";

const char kExit[] =
    "\n"
    "Exit status:\n"
    "  0  every document was read (with --ignore-failed-read: every input has its record, read or not)\n"
    "  1  some could not be read (or a list could not be read to its end, also with --ignore-failed-read)\n"
    "  2  wrong usage\n"
    "  3  the output could not be written whole (a full disk, a device error); the run stops there\n";

} // namespace

QString helpText(const QString &parserHelp)
{
    // The parser's own text begins with a usage line naming the executable's path; only its list of
    // options is kept.
    const qsizetype at = parserHelp.indexOf(QLatin1String("Options:"));
    QString options = at >= 0 ? parserHelp.mid(at) : parserHelp;
    const qsizetype args = options.indexOf(QLatin1String("\nArguments:"));
    if (args >= 0)
        options.truncate(args + 1);
    while (options.endsWith(QLatin1String("\n\n")))
        options.chop(1);
    return QString::fromLatin1(kAbout).arg(QLatin1String(kCommandName)) + QLatin1Char('\n') + options
           + QString::fromLatin1(kOutput).arg(kSchemaVersion) + QLatin1String(kExit);
}

} // namespace cli
