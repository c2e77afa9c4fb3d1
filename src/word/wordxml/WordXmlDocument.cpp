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
            if (n == "Title")
                d.setText(Builtin::Title, f.text());
            else if (n == "Subject")
                d.setText(Builtin::Subject, f.text());
            else if (n == "Description")
                d.setText(Builtin::Comments, f.text());
            else if (n == "Author")
                d.setText(Builtin::Author, f.text());
            else if (n == "Keywords")
                d.setText(Builtin::Keywords, f.text());
            else if (n == "LastAuthor")
                d.setText(Builtin::LastAuthor, f.text());
            else if (n == "Revision")
                d.setText(Builtin::RevisionNumber, f.text());
            else if (n == "Category")
                d.setText(Builtin::Category, f.text());
            else if (n == "Created")
                d.setW3cDate(Builtin::CreationDate, f.text());
            else if (n == "LastSaved")
                d.setW3cDate(Builtin::LastSaveTime, f.text());
            else if (n == "LastPrinted")
                d.setW3cDate(Builtin::LastPrintDate, f.text());
            return true;
        },
        isPrefix);
    computeMissingStatistics(d, content, [&](TextCounter &c) { countWordXmlText(content, c); });
    return d;
}

} // namespace word
