// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Word binary documents (Word 6 to 2003): an OLE2 compound file with a WordDocument stream. The built-in
// properties live in the two property-set streams; the compound file itself is read through libgsf.
#include "word/CodePage.h"
#include "word/Dates.h"
#include "word/EngineLog.h"
#include "word/Errors.h"
#include "word/Formats.h"
#include "word/Limits.h"
#include "word/MainText.h"
#include "word/OleDirectory.h"
#include "word/PropertySet.h"
#include <QStringList>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>
#include <mutex>
#include <optional>

namespace word {

namespace {

void ignoreLibraryMessage(const gchar *, GLogLevelFlags, const gchar *, gpointer) {}

// libgsf's type system once per process; its warnings about damaged files are ours to report, not its.
void initGsf()
{
    static std::once_flag once;
    std::call_once(once, [] {
        gsf_init();
        // Parts of libgsf log without a domain of their own.
        for (const char *domain :
             {"libgsf", "libgsf:msole", "libgsf:zip", "libgsf:utils", static_cast<const char *>(nullptr)})
            g_log_set_handler(domain,
                              static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE | G_LOG_LEVEL_INFO
                                                          | G_LOG_LEVEL_DEBUG | G_LOG_LEVEL_CRITICAL),
                              ignoreLibraryMessage, nullptr);
    });
}

template <typename T> struct GObjectRef {
    T *p = nullptr;
    explicit GObjectRef(T *ptr) : p(ptr) {}
    ~GObjectRef()
    {
        if (p)
            g_object_unref(p);
    }
    GObjectRef(const GObjectRef &) = delete;
    GObjectRef &operator=(const GObjectRef &) = delete;
};

// Summary information (section FMTID_SummaryInformation).
enum : quint32 {
    PIDSI_TITLE = 2,
    PIDSI_SUBJECT = 3,
    PIDSI_AUTHOR = 4,
    PIDSI_KEYWORDS = 5,
    PIDSI_COMMENTS = 6,
    PIDSI_TEMPLATE = 7,
    PIDSI_LASTAUTHOR = 8,
    PIDSI_REVNUMBER = 9,
    PIDSI_EDITTIME = 10,
    PIDSI_LASTPRINTED = 11,
    PIDSI_CREATE_DTM = 12,
    PIDSI_LASTSAVE_DTM = 13,
    PIDSI_PAGECOUNT = 14,
    PIDSI_WORDCOUNT = 15,
    PIDSI_CHARCOUNT = 16,
    PIDSI_APPNAME = 18,
};
// Document summary information (section FMTID_DocSummaryInformation).
enum : quint32 {
    PIDDSI_CATEGORY = 2,
    PIDDSI_LINECOUNT = 5,
    PIDDSI_PARCOUNT = 6,
    PIDDSI_MANAGER = 14,
    PIDDSI_COMPANY = 15,
    PIDDSI_CCHWITHSPACES = 17,
};

// A stream of the root storage, found by its name as stored, read whole: property sets are small.
QByteArray readStream(GsfInfile *ole, const QString &name, qint64 maxBytes = limits::kMaxPropertyPartBytes)
{
    GsfInput *child = gsf_infile_child_by_name(ole, name.toUtf8().constData());
    if (!child)
        return {};
    GObjectRef<GsfInput> guard(child);
    const gsf_off_t size = gsf_input_size(child);
    if (size <= 0)
        return {};
    if (size > maxBytes) {
        QString shown = name;
        shown.remove(QChar(5));
        throw DamagedContent(
            QStringLiteral("its %1 stream states %2 MiB, more than it can hold").arg(shown).arg(size / (1024 * 1024)));
    }
    QByteArray data(static_cast<qsizetype>(size), Qt::Uninitialized);
    if (!gsf_input_read(child, static_cast<size_t>(size), reinterpret_cast<guint8 *>(data.data()))) {
        noteSkipped(QStringLiteral("its %1 stream has a broken sector chain and is skipped")
                        .arg(QString(name).remove(QChar(5))));
        return {}; // a stream whose sector chain is broken holds nothing we can use
    }
    return data;
}

// A stream of the root storage read by ranges for counting; a directory may claim any size for it, and
// only the ranges asked for are read.
class GsfStream : public RandomAccessStream {
public:
    GsfStream(GsfInfile *ole, const QString &name)
        : m_name(QString(name).remove(QChar(5))), m_input(gsf_infile_child_by_name(ole, name.toUtf8().constData()))
    {
        if (m_input.p)
            m_size = qMax<qint64>(0, gsf_input_size(m_input.p));
    }
    qint64 size() const override { return m_size; }
    QByteArray read(qint64 offset, qint64 length) const override
    {
        if (offset < 0 || length < 0 || offset > m_size || length > m_size - offset)
            throw DamagedContent(QStringLiteral("its %1 stream cannot be read where its text lies").arg(m_name));
        if (length > kBlockBytes)
            return readRange(offset, length);
        // Small reads (the header's fields, pieces of a few characters) come from one block read ahead,
        // as neighbouring pieces usually lie next to each other.
        if (offset < m_blockOffset || offset + length > m_blockOffset + m_block.size()) {
            m_blockOffset = offset;
            m_block = readRange(offset, qMin(kBlockBytes, m_size - offset));
        }
        return m_block.mid(static_cast<qsizetype>(offset - m_blockOffset), static_cast<qsizetype>(length));
    }

private:
    static constexpr qint64 kBlockBytes = 64 * 1024;

    QByteArray readRange(qint64 offset, qint64 length) const
    {
        QByteArray data(static_cast<qsizetype>(length), Qt::Uninitialized);
        if (!m_input.p || gsf_input_seek(m_input.p, offset, G_SEEK_SET)
            || !gsf_input_read(m_input.p, static_cast<size_t>(length), reinterpret_cast<guint8 *>(data.data())))
            throw DamagedContent(QStringLiteral("its %1 stream cannot be read where its text lies").arg(m_name));
        return data;
    }

    QString m_name;
    GObjectRef<GsfInput> m_input;
    qint64 m_size = 0;
    mutable QByteArray m_block;
    mutable qint64 m_blockOffset = 0;
};

const OleSection *sectionOf(const std::vector<OleSection> &sections, const std::array<unsigned char, 16> &fmtid,
                            bool firstAsFallback)
{
    for (const OleSection &s : sections)
        if (s.fmtid == fmtid)
            return &s;
    return (firstAsFallback && !sections.empty()) ? &sections.front() : nullptr;
}

void takeText(DocumentData &d, Builtin id, const OleSection &s, quint32 pid)
{
    const OleValue *v = s.isNamed(pid) ? nullptr : s.find(pid);
    if (v && v->kind == OleValue::Kind::Text)
        d.setText(id, v->text);
    else if (v && v->kind == OleValue::Kind::Integer && id == Builtin::RevisionNumber)
        d.setText(id, QString::number(v->integer));
}

void takeInteger(DocumentData &d, Builtin id, const OleSection &s, quint32 pid)
{
    const OleValue *v = s.isNamed(pid) ? nullptr : s.find(pid);
    if (v && v->kind == OleValue::Kind::Integer)
        d.setInteger(id, v->integer);
}

void takeDate(DocumentData &d, Builtin id, const OleSection &s, quint32 pid)
{
    const OleValue *v = s.isNamed(pid) ? nullptr : s.find(pid);
    if (v && v->kind == OleValue::Kind::FileTime)
        d.setInstant(id, fromFileTime(v->fileTime));
}

QString describeOtherCompoundFile(const QStringList &names, QString &format)
{
    auto has = [&](const char *n) { return names.contains(QString::fromLatin1(n).toLower()); };
    if (has("workbook") || has("book")) {
        format = QStringLiteral("XLS");
        return QStringLiteral("it is an Excel workbook");
    }
    if (has("powerpoint document")) {
        format = QStringLiteral("PPT");
        return QStringLiteral("it is a PowerPoint presentation");
    }
    if (has("visiodocument")) {
        format = QStringLiteral("VSD");
        return QStringLiteral("it is a Visio drawing");
    }
    if (has("quill")) {
        format = QStringLiteral("PUB");
        return QStringLiteral("it is a Publisher document");
    }
    for (const QString &n : names)
        if (n.startsWith(QLatin1String("__substg1.0_")) || n == QLatin1String("__nameid_version1.0")) {
            format = QStringLiteral("MSG");
            return QStringLiteral("it is an Outlook message");
        }
    if (has("\x05"
            "hwpsummaryinformation")
        || (has("fileheader") && has("bodytext"))) {
        format = QStringLiteral("HWP");
        return QStringLiteral("it is a Hangul word processor document");
    }
    format = QStringLiteral("OLE");
    QStringList shown;
    for (const QString &n : names) {
        QString printable = n;
        for (QChar &c : printable)
            if (c.unicode() < 0x20)
                c = QLatin1Char('?');
        shown << QLatin1Char('"') + printable + QLatin1Char('"');
        if (shown.size() == 6)
            break;
    }
    return QStringLiteral("it is a compound file without a Word document stream (it holds %1)")
        .arg(shown.isEmpty() ? QStringLiteral("nothing") : shown.join(QStringLiteral(", ")));
}

} // namespace

DocumentData readOleDocument(const FileContent &content)
{
    // Before the library walks the directory, which it does recursively.
    const QStringList rootChildren = checkOleDirectory(content);
    initGsf();
    GsfInput *input = nullptr;
    if (content.headIsWhole) {
        input = gsf_input_memory_new(reinterpret_cast<const guint8 *>(content.head.constData()), content.head.size(),
                                     FALSE);
    } else {
        const QByteArray name = content.file.path().toUtf8();
        input = gsf_input_stdio_new_FILE(name.constData(), content.file.openStream(), FALSE);
    }
    if (!input)
        throw DamagedContent(QStringLiteral("its compound-file structure cannot be read"));
    GObjectRef<GsfInput> inputGuard(input);
    GError *error = nullptr;
    GsfInfile *ole = gsf_infile_msole_new(input, &error);
    if (!ole) {
        const QString reason = error ? QString::fromUtf8(error->message) : QString();
        g_clear_error(&error);
        throw DamagedContent(reason.isEmpty()
                                 ? QStringLiteral("its compound-file structure cannot be read")
                                 : QStringLiteral("its compound-file structure cannot be read (%1)").arg(reason));
    }
    GObjectRef<GsfInfile> oleGuard(ole);

    // Stream names compare case-insensitively, as in the compound-file format itself.
    QStringList names;
    QString wordDocument, summary, docSummary, table0, table1;
    bool encryptionInfo = false, encryptedPackage = false;
    for (const QString &stored : rootChildren) {
        const QString name = stored.toLower();
        names << name;
        if (name == QLatin1String("worddocument") && wordDocument.isEmpty())
            wordDocument = stored;
        else if (name
                     == QLatin1String("\x05"
                                      "summaryinformation")
                 && summary.isEmpty())
            summary = stored;
        else if (name
                     == QLatin1String("\x05"
                                      "documentsummaryinformation")
                 && docSummary.isEmpty())
            docSummary = stored;
        else if (name == QLatin1String("0table") && table0.isEmpty())
            table0 = stored;
        else if (name == QLatin1String("1table") && table1.isEmpty())
            table1 = stored;
        else if (name == QLatin1String("encryptioninfo"))
            encryptionInfo = true;
        else if (name == QLatin1String("encryptedpackage"))
            encryptedPackage = true;
    }
    if (encryptionInfo && encryptedPackage)
        throwEncrypted(content.file.path(), QStringLiteral("OOXML-ENCRYPTED"));
    if (wordDocument.isEmpty()) {
        QString format;
        const QString what = describeOtherCompoundFile(names, format);
        throwUnknownFormat(content.file.path(), format, what);
    }

    DocumentData d;
    d.format = QStringLiteral("OLE");
    PropertyBudget budget;
    QString application;
    if (!summary.isEmpty()) {
        const auto sections = decodePropertySetStream(readStream(ole, summary), budget);
        if (const OleSection *s = sectionOf(sections, kFmtidSummaryInformation, true)) {
            takeText(d, Builtin::Title, *s, PIDSI_TITLE);
            takeText(d, Builtin::Subject, *s, PIDSI_SUBJECT);
            takeText(d, Builtin::Author, *s, PIDSI_AUTHOR);
            takeText(d, Builtin::Keywords, *s, PIDSI_KEYWORDS);
            takeText(d, Builtin::Comments, *s, PIDSI_COMMENTS);
            takeText(d, Builtin::Template, *s, PIDSI_TEMPLATE);
            takeText(d, Builtin::LastAuthor, *s, PIDSI_LASTAUTHOR);
            if (const OleValue *v = s->find(PIDSI_APPNAME); v && v->kind == OleValue::Kind::Text)
                application = v->text; // whose way of counting the stored counts follow
            takeText(d, Builtin::RevisionNumber, *s, PIDSI_REVNUMBER);
            if (const OleValue *v = s->find(PIDSI_EDITTIME); v && v->kind == OleValue::Kind::FileTime)
                d.setInteger(Builtin::TotalEditingTime, fileTimeDurationMinutes(v->fileTime));
            takeDate(d, Builtin::LastPrintDate, *s, PIDSI_LASTPRINTED);
            takeDate(d, Builtin::CreationDate, *s, PIDSI_CREATE_DTM);
            takeDate(d, Builtin::LastSaveTime, *s, PIDSI_LASTSAVE_DTM);
            takeInteger(d, Builtin::NumberOfPages, *s, PIDSI_PAGECOUNT);
            takeInteger(d, Builtin::NumberOfWords, *s, PIDSI_WORDCOUNT);
            takeInteger(d, Builtin::NumberOfCharacters, *s, PIDSI_CHARCOUNT);
        }
    }
    if (!docSummary.isEmpty()) {
        const auto sections = decodePropertySetStream(readStream(ole, docSummary), budget);
        if (const OleSection *s = sectionOf(sections, kFmtidDocSummaryInformation, true)) {
            takeText(d, Builtin::Category, *s, PIDDSI_CATEGORY);
            takeInteger(d, Builtin::NumberOfLines, *s, PIDDSI_LINECOUNT);
            takeInteger(d, Builtin::NumberOfParagraphs, *s, PIDDSI_PARCOUNT);
            takeText(d, Builtin::Manager, *s, PIDDSI_MANAGER);
            takeText(d, Builtin::Company, *s, PIDDSI_COMPANY);
            takeInteger(d, Builtin::NumberOfCharactersWithSpaces, *s, PIDDSI_CCHWITHSPACES);
        }
        if (const OleSection *u = sectionOf(sections, kFmtidUserDefined, false)) {
            if (const auto pid = u->idOfName(QStringLiteral("_PID_LINKBASE"))) {
                if (const OleValue *v = u->find(*pid)) {
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
            }
        }
    }
    computeMissingStatistics(d, content, [&](TextCounter &c) {
        c.setRules(CountingRules::ofWriter(application));
        const GsfStream text(ole, wordDocument);
        std::optional<GsfStream> t0, t1;
        if (!table0.isEmpty())
            t0.emplace(ole, table0);
        if (!table1.isEmpty())
            t1.emplace(ole, table1);
        countWordBinaryText(text, t0 ? &*t0 : nullptr, t1 ? &*t1 : nullptr, c);
    });
    return d;
}

} // namespace word
