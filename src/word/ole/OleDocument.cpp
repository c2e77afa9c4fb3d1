// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Word binary documents (Word 6 to 2003): an OLE2 compound file with a WordDocument stream. The built-in
// properties live in the two property-set streams (read in OleProperties.cpp); the compound file itself is
// read through libgsf.
#include "word/EngineLog.h"
#include "word/Errors.h"
#include "word/Formats.h"
#include "word/MainText.h"
#include "word/ole/OleDirectory.h"
#include "word/ole/OleProperties.h"
#include "word/ole/PropertySet.h"
#include "word/toolkit/Limits.h"
#include <QStringList>
#include <array>
#include <cstring>
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

// A property-set stream of the root storage, found by its name as stored, read whole (property sets are
// small) and decoded where the library holds its bytes: the decoded values copy what they keep.
std::vector<OleSection> decodeStream(GsfInfile *ole, const QString &name, PropertyBudget &budget)
{
    GsfInput *child = gsf_infile_child_by_name(ole, name.toUtf8().constData());
    if (!child)
        return {};
    GObjectRef<GsfInput> guard(child);
    const gsf_off_t size = gsf_input_size(child);
    if (size <= 0)
        return {};
    if (size > limits::kMaxPropertyPartBytes) {
        QString shown = name;
        shown.remove(QChar(5));
        throw DamagedContent(
            QStringLiteral("its %1 stream states %2 MiB, more than it can hold").arg(shown).arg(size / (1024 * 1024)));
    }
    const guint8 *data = gsf_input_read(child, static_cast<size_t>(size), nullptr);
    if (!data) {
        noteSkipped(QStringLiteral("its %1 stream has a broken sector chain and is skipped")
                        .arg(QString(name).remove(QChar(5))));
        return {}; // a stream whose sector chain is broken holds nothing we can use
    }
    return decodePropertySetStream(
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)), budget);
}

// A stream of the root storage read by ranges for counting; a directory may claim any size for it, and
// only the ranges asked for are read.
//
// Reads are served from blocks at fixed 64 KiB boundaries, the few last used kept: the header's fields,
// the property pages and the pieces of a text are small reads near one another, and a text's pieces,
// read in the order of the text, come from places of the stream visited before. Each block is read from
// the file once while it is kept, instead of once for every read that touches it.
class GsfStream : public RandomAccessStream {
public:
    // The stream is opened when it is first used: of the two table streams only the one the header names is.
    GsfStream(GsfInfile *ole, const QString &name)
        : m_ole(ole), m_storedName(name), m_name(QString(name).remove(QChar(5)))
    {
    }
    qint64 size() const override
    {
        open();
        return m_size;
    }
    QByteArray read(qint64 offset, qint64 length) const override
    {
        open();
        if (offset < 0 || length < 0 || offset > m_size || length > m_size - offset)
            throw DamagedContent(QStringLiteral("its %1 stream cannot be read where its text lies").arg(m_name));
        QByteArray data(static_cast<qsizetype>(length), Qt::Uninitialized);
        for (qint64 done = 0; done < length;) {
            const qint64 at = offset + done;
            const QByteArray *b = block(at / kBlockBytes);
            if (!b) {
                // A block cut short by a damaged file may still hold the bytes asked for.
                readRange(offset, length, data.data());
                break;
            }
            const qint64 from = at % kBlockBytes;
            const qint64 n = qMin(length - done, b->size() - from);
            std::memcpy(data.data() + done, b->constData() + from, static_cast<size_t>(n));
            done += n;
        }
        return data;
    }
    ByteReader view(qint64 offset, qint64 length) const override
    {
        open();
        if (offset < 0 || length < 0 || offset > m_size || length > m_size - offset)
            throw DamagedContent(QStringLiteral("its %1 stream cannot be read where its text lies").arg(m_name));
        // Bytes within one kept block are lent from it; others are copied as read() copies them.
        const qint64 index = offset / kBlockBytes;
        if (length > 0 && (offset + length - 1) / kBlockBytes == index) {
            const qint64 from = offset % kBlockBytes;
            if (const QByteArray *b = block(index); b && length <= b->size() - from)
                return ByteReader(reinterpret_cast<const unsigned char *>(b->constData()) + from, length);
        }
        m_lent = read(offset, length);
        return ByteReader(m_lent);
    }

private:
    static constexpr qint64 kBlockBytes = 64 * 1024;
    static constexpr int kKeptBlocks = 8;

    struct Block {
        qint64 index = -1;
        quint64 lastUse = 0;
        QByteArray bytes;
    };

    void open() const
    {
        if (m_opened)
            return;
        m_opened = true;
        m_input.p = gsf_infile_child_by_name(m_ole, m_storedName.toUtf8().constData());
        if (m_input.p)
            m_size = qMax<qint64>(0, gsf_input_size(m_input.p));
    }

    bool tryRead(qint64 offset, qint64 length, char *into) const
    {
        return m_input.p && !gsf_input_seek(m_input.p, offset, G_SEEK_SET)
               && gsf_input_read(m_input.p, static_cast<size_t>(length), reinterpret_cast<guint8 *>(into));
    }

    void readRange(qint64 offset, qint64 length, char *into) const
    {
        if (!tryRead(offset, length, into))
            throw DamagedContent(QStringLiteral("its %1 stream cannot be read where its text lies").arg(m_name));
    }

    // The block of that number, read when it is not kept (in place of the one used longest ago); null
    // when it cannot be read whole.
    const QByteArray *block(qint64 index) const
    {
        ++m_clock;
        Block *oldest = &m_blocks[0];
        for (Block &b : m_blocks) {
            if (b.index == index) {
                b.lastUse = m_clock;
                return &b.bytes;
            }
            if (b.lastUse < oldest->lastUse)
                oldest = &b;
        }
        const qint64 offset = index * kBlockBytes;
        oldest->bytes.resize(static_cast<qsizetype>(qMin(kBlockBytes, m_size - offset)));
        if (!tryRead(offset, oldest->bytes.size(), oldest->bytes.data())) {
            oldest->index = -1;
            return nullptr;
        }
        oldest->index = index;
        oldest->lastUse = m_clock;
        return &oldest->bytes;
    }

    GsfInfile *m_ole;
    QString m_storedName; // as the directory holds it, to open it by
    QString m_name;       // as messages show it
    mutable bool m_opened = false;
    mutable GObjectRef<GsfInput> m_input{nullptr};
    mutable qint64 m_size = 0;
    mutable std::array<Block, kKeptBlocks> m_blocks;
    mutable quint64 m_clock = 0;
    mutable QByteArray m_lent; // the bytes view() last lent when no kept block held them
};

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

// Opens the compound file through libgsf; throws DamagedContent when it cannot.
GsfInfile *openCompoundFile(const FileContent &content, std::optional<GObjectRef<GsfInput>> &input)
{
    initGsf();
    GsfInput *in = nullptr;
    if (content.headIsWhole) {
        in = gsf_input_memory_new(reinterpret_cast<const guint8 *>(content.head.constData()), content.head.size(),
                                  FALSE);
    } else {
        const QByteArray name = content.file.path().toUtf8();
        in = gsf_input_stdio_new_FILE(name.constData(), content.file.openStream(), FALSE);
    }
    if (!in)
        throw DamagedContent(QStringLiteral("its compound-file structure cannot be read"));
    input.emplace(in);
    GError *error = nullptr;
    GsfInfile *ole = gsf_infile_msole_new(in, &error);
    if (!ole) {
        const QString reason = error ? QString::fromUtf8(error->message) : QString();
        g_clear_error(&error);
        throw DamagedContent(reason.isEmpty()
                                 ? QStringLiteral("its compound-file structure cannot be read")
                                 : QStringLiteral("its compound-file structure cannot be read (%1)").arg(reason));
    }
    return ole;
}

// The streams of the root storage that a Word document is read from, by their names as stored.
struct WordStreams {
    QStringList names; // every name of the root, in small letters
    QString wordDocument, summary, docSummary, table0, table1;
    bool encryptionInfo = false, encryptedPackage = false;
};

// A name in small letters: names are ASCII nearly always, and lowering them needs no Unicode tables then.
QString smallLetters(const QString &name)
{
    for (const QChar c : name)
        if (c.unicode() >= 0x80)
            return name.toLower();
    QString lower = name;
    for (QChar &c : lower)
        if (c.unicode() >= 'A' && c.unicode() <= 'Z')
            c = QChar(c.unicode() + ('a' - 'A'));
    return lower;
}

// Stream names compare case-insensitively, as in the compound-file format itself; the first of a name wins.
WordStreams findStreams(const QStringList &rootChildren)
{
    WordStreams w;
    const struct {
        QLatin1String name;
        QString WordStreams::*stream;
    } named[] = {
        {QLatin1String("worddocument"), &WordStreams::wordDocument},
        {QLatin1String("\x05"
                       "summaryinformation"),
         &WordStreams::summary},
        {QLatin1String("\x05"
                       "documentsummaryinformation"),
         &WordStreams::docSummary},
        {QLatin1String("0table"), &WordStreams::table0},
        {QLatin1String("1table"), &WordStreams::table1},
    };
    for (const QString &stored : rootChildren) {
        const QString name = smallLetters(stored);
        w.names << name;
        bool known = false;
        for (const auto &n : named)
            if (name == n.name) {
                known = true;
                if ((w.*n.stream).isEmpty())
                    w.*n.stream = stored;
            }
        if (known)
            continue;
        if (name == QLatin1String("encryptioninfo"))
            w.encryptionInfo = true;
        else if (name == QLatin1String("encryptedpackage"))
            w.encryptedPackage = true;
    }
    return w;
}

// The properties of the two property-set streams; `application` is the program the document names. A
// stream that holds nothing the caller asks for is not opened: each costs the container library a child
// object and a read of its sectors.
DocumentData readPropertySets(GsfInfile *ole, const WordStreams &streams, const ReadOptions &options,
                              QString &application)
{
    DocumentData d;
    d.format = QStringLiteral("OLE");
    PropertyBudget budget;
    if (!streams.summary.isEmpty() && needsSummaryInformation(options))
        application = takeSummaryInformation(d, decodeStream(ole, streams.summary, budget));
    if (!streams.docSummary.isEmpty() && needsDocumentSummaryInformation(options))
        takeDocumentSummaryInformation(d, decodeStream(ole, streams.docSummary, budget));
    return d;
}

} // namespace

DocumentData readOleDocument(const FileContent &content)
{
    // Before the library walks the directory, which it does recursively.
    const QStringList rootChildren = checkOleDirectory(content);
    std::optional<GObjectRef<GsfInput>> input;
    GObjectRef<GsfInfile> ole(openCompoundFile(content, input));

    const WordStreams streams = findStreams(rootChildren);
    if (streams.encryptionInfo && streams.encryptedPackage)
        throwEncrypted(content.file.path(), QStringLiteral("OOXML-ENCRYPTED"));
    if (streams.wordDocument.isEmpty()) {
        QString format;
        const QString what = describeOtherCompoundFile(streams.names, format);
        throwUnknownFormat(content.file.path(), format, what);
    }

    QString application;
    DocumentData d = readPropertySets(ole.p, streams, content.options, application);
    computeMissingStatistics(d, content, [&](TextCounter &c) {
        c.setRules(CountingRules::ofWriter(application));
        const GsfStream text(ole.p, streams.wordDocument);
        std::optional<GsfStream> t0, t1;
        if (!streams.table0.isEmpty())
            t0.emplace(ole.p, streams.table0);
        if (!streams.table1.isEmpty())
            t1.emplace(ole.p, streams.table1);
        countWordBinaryText(text, t0 ? &*t0 : nullptr, t1 ? &*t1 : nullptr, c);
    });
    return d;
}

} // namespace word
