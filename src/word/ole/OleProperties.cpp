// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The built-in properties of a Word binary's two property-set streams, read from their decoded sections
// by one table.
#include "word/ole/OleProperties.h"
#include "word/toolkit/CodePage.h"
#include "word/toolkit/Dates.h"

namespace word {

namespace {

// How a property set's value becomes a built-in property.
enum class OleRead {
    Text,         // a string
    TextOrNumber, // a string, or a number written as its digits (revision numbers are stored both ways)
    Integer,      // a 4-byte integer
    Moment,       // a FILETIME naming a moment
    Minutes,      // a FILETIME holding a duration, given in whole minutes
};

// The built-in properties of the two property-set streams: one row a property, in the order they are
// read. The section is the Summary Information (PIDSI_*) or the Document Summary Information (PIDDSI_*).
enum class OleSet { Summary, DocSummary };
constexpr struct {
    OleSet set;
    quint32 pid;
    Builtin id;
    OleRead read;
} kOleProperties[] = {
    {OleSet::Summary, 2, Builtin::Title, OleRead::Text},
    {OleSet::Summary, 3, Builtin::Subject, OleRead::Text},
    {OleSet::Summary, 4, Builtin::Author, OleRead::Text},
    {OleSet::Summary, 5, Builtin::Keywords, OleRead::Text},
    {OleSet::Summary, 6, Builtin::Comments, OleRead::Text},
    {OleSet::Summary, 7, Builtin::Template, OleRead::Text},
    {OleSet::Summary, 8, Builtin::LastAuthor, OleRead::Text},
    {OleSet::Summary, 9, Builtin::RevisionNumber, OleRead::TextOrNumber},
    {OleSet::Summary, 10, Builtin::TotalEditingTime, OleRead::Minutes},
    {OleSet::Summary, 11, Builtin::LastPrintDate, OleRead::Moment},
    {OleSet::Summary, 12, Builtin::CreationDate, OleRead::Moment},
    {OleSet::Summary, 13, Builtin::LastSaveTime, OleRead::Moment},
    {OleSet::Summary, 14, Builtin::NumberOfPages, OleRead::Integer},
    {OleSet::Summary, 15, Builtin::NumberOfWords, OleRead::Integer},
    {OleSet::Summary, 16, Builtin::NumberOfCharacters, OleRead::Integer},
    {OleSet::DocSummary, 2, Builtin::Category, OleRead::Text},
    {OleSet::DocSummary, 5, Builtin::NumberOfLines, OleRead::Integer},
    {OleSet::DocSummary, 6, Builtin::NumberOfParagraphs, OleRead::Integer},
    {OleSet::DocSummary, 14, Builtin::Manager, OleRead::Text},
    {OleSet::DocSummary, 15, Builtin::Company, OleRead::Text},
    {OleSet::DocSummary, 17, Builtin::NumberOfCharactersWithSpaces, OleRead::Integer},
};
// The application that wrote the document (PIDSI_APPNAME): whose way of counting the stored counts follow.
constexpr quint32 kPidApplicationName = 18;

const OleSection *sectionOf(const std::vector<OleSection> &sections, const std::array<unsigned char, 16> &fmtid,
                            bool firstAsFallback)
{
    for (const OleSection &s : sections)
        if (s.fmtid == fmtid)
            return &s;
    return (firstAsFallback && !sections.empty()) ? &sections.front() : nullptr;
}

// Sets every built-in property of `set` that the section holds in the type its row reads. An id the
// section's dictionary names is a user-defined property that happens to share the number: not ours.
void takeProperties(DocumentData &d, OleSet set, const OleSection &s)
{
    for (const auto &row : kOleProperties) {
        if (row.set != set || s.isNamed(row.pid))
            continue;
        const OleValue *v = s.find(row.pid);
        if (!v)
            continue;
        switch (row.read) {
        case OleRead::Text:
        case OleRead::TextOrNumber:
            if (v->kind == OleValue::Kind::Text)
                d.setText(row.id, v->text);
            else if (v->kind == OleValue::Kind::Integer && row.read == OleRead::TextOrNumber)
                d.setText(row.id, QString::number(v->integer));
            break;
        case OleRead::Integer:
            if (v->kind == OleValue::Kind::Integer)
                d.setInteger(row.id, v->integer);
            break;
        case OleRead::Moment:
            if (v->kind == OleValue::Kind::FileTime)
                d.setInstant(row.id, fromFileTime(v->fileTime));
            break;
        case OleRead::Minutes:
            if (v->kind == OleValue::Kind::FileTime)
                d.setInteger(row.id, fileTimeDurationMinutes(v->fileTime));
            break;
        }
    }
}

// Hyperlink Base is the user-defined property _PID_LINKBASE: a blob of UTF-16 text, or a string.
void takeHyperlinkBase(DocumentData &d, const OleSection &userDefined)
{
    const auto pid = userDefined.idOfName(QStringLiteral("_PID_LINKBASE"));
    const OleValue *v = pid ? userDefined.find(*pid) : nullptr;
    if (!v)
        return;
    if (v->kind == OleValue::Kind::Blob) {
        QString base = decodeCodePage(1200, v->blob.constData(), v->blob.size());
        const qsizetype nul = base.indexOf(QChar(0));
        if (nul >= 0)
            base.truncate(nul);
        d.setText(Builtin::HyperlinkBase, base);
    } else if (v->kind == OleValue::Kind::Text) {
        d.setText(Builtin::HyperlinkBase, v->text);
    }
}

bool asksFrom(const ReadOptions &options, OleSet set)
{
    for (const auto &row : kOleProperties)
        if (row.set == set && options.asks(row.id))
            return true;
    return false;
}

} // namespace

bool needsSummaryInformation(const ReadOptions &options)
{
    return asksFrom(options, OleSet::Summary) || options.asks(Builtin::NumberOfCharactersWithSpaces)
           || options.asks(Builtin::NumberOfParagraphs);
}

bool needsDocumentSummaryInformation(const ReadOptions &options)
{
    return asksFrom(options, OleSet::DocSummary) || options.asks(Builtin::HyperlinkBase);
}

QString takeSummaryInformation(DocumentData &d, const std::vector<OleSection> &sections)
{
    const OleSection *s = sectionOf(sections, kFmtidSummaryInformation, true);
    if (!s)
        return {};
    takeProperties(d, OleSet::Summary, *s);
    const OleValue *application = s->find(kPidApplicationName);
    return application && application->kind == OleValue::Kind::Text ? application->text : QString();
}

void takeDocumentSummaryInformation(DocumentData &d, const std::vector<OleSection> &sections)
{
    if (const OleSection *s = sectionOf(sections, kFmtidDocSummaryInformation, true))
        takeProperties(d, OleSet::DocSummary, *s);
    if (const OleSection *u = sectionOf(sections, kFmtidUserDefined, false))
        takeHyperlinkBase(d, *u);
}

} // namespace word
