// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Word 2003 XML (WordprocessingML), a single XML file whose properties are the o:DocumentProperties
// element near the top.
#include "word/Errors.h"
#include "word/Formats.h"
#include "word/MainText.h"
#include "word/SharedProperties.h"
#include "word/toolkit/Limits.h"
#include "word/toolkit/XmlFields.h"

namespace word {

namespace {

constexpr std::string_view kOfficeNs = "urn:schemas-microsoft-com:office:office";

// The o:DocumentProperties elements read here besides those every Office format shares, and whether each
// holds a date.
constexpr struct {
    std::string_view name;
    Builtin id;
    bool isDate;
} kProperties[] = {
    {"Title", Builtin::Title, false},
    {"Subject", Builtin::Subject, false},
    {"Description", Builtin::Comments, false},
    {"Author", Builtin::Author, false},
    {"Keywords", Builtin::Keywords, false},
    {"LastAuthor", Builtin::LastAuthor, false},
    {"Revision", Builtin::RevisionNumber, false},
    {"Category", Builtin::Category, false},
    {"Created", Builtin::CreationDate, true},
    {"LastSaved", Builtin::LastSaveTime, true},
    {"LastPrinted", Builtin::LastPrintDate, true},
};

} // namespace

DocumentData readWordXmlDocument(const FileContent &content)
{
    // The properties are one small block near the top, read from the start of the file; the body is read
    // only when its text is counted.
    const bool isPrefix = !content.headIsWhole && content.file.size() > limits::kMaxPropertyPartBytes;
    const QByteArray xml = content.headIsWhole ? content.head : content.file.read(0, limits::kMaxPropertyPartBytes);
    DocumentData d;
    d.format = QStringLiteral("WORDML");
    bool seen = false;
    walkXmlFields(
        xml, QStringLiteral("the document"), 3,
        [&](const XmlField &f) {
            if (f.parentLocalName != "DocumentProperties" || f.namespaceUri != kOfficeNs)
                return !seen; // the properties come as one block near the top: stop after it
            seen = true;
            const std::string_view n = f.localName;
            if (setApplicationProperty(d, f, XmlText::AsWritten))
                return true;
            for (const auto &[name, id, isDate] : kProperties)
                if (n == name) {
                    if (isDate)
                        d.setW3cDate(id, f.text());
                    else
                        d.setText(id, f.text());
                    break;
                }
            return true;
        },
        isPrefix);
    computeMissingStatistics(d, content, [&](TextCounter &c) { countWordXmlText(content, c); });
    return d;
}

} // namespace word
