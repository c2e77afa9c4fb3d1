// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// XML parsers on the XML parts of the documents in a folder (by default the shared corpus): every .xml
// and .rels part of every zip package, parsed with namespace processing and every name and text looked
// at, as the engine's readers do. The parsers: Qt's stream reader, bare libexpat, and the engine's own
// reader both ways it reads a part: streamed through expat, and whole (as a pugixml tree where the part
// is plain). Prints bytes, time and megabytes a second for each, for the small parts (properties and
// package indexes) and the main parts apart.
//
//   bench_xml_parsers [FOLDER] [ROUNDS]
#include "word/Errors.h"
#include "word/toolkit/XmlParser.h"
#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QXmlStreamReader>
#include <cstdio>
#include <expat.h>
#include <string_view>
#include <vector>
#include <zip.h>

namespace {

struct Part {
    QByteArray bytes;
    bool main; // a main document part (word/document.xml, content.xml)
};

std::vector<Part> partsOf(const QString &path)
{
    std::vector<Part> parts;
    int error = 0;
    zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!z)
        return parts;
    for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i) {
        const QString name = QString::fromUtf8(zip_get_name(z, static_cast<zip_uint64_t>(i), 0));
        if (!name.endsWith(QLatin1String(".xml")) && !name.endsWith(QLatin1String(".rels")))
            continue;
        zip_stat_t st;
        if (zip_stat_index(z, static_cast<zip_uint64_t>(i), 0, &st) != 0 || st.size > 64 * 1024 * 1024)
            continue;
        zip_file_t *f = zip_fopen_index(z, static_cast<zip_uint64_t>(i), 0);
        if (!f)
            continue;
        QByteArray b(static_cast<qsizetype>(st.size), Qt::Uninitialized);
        const bool ok = zip_fread(f, b.data(), st.size) == static_cast<zip_int64_t>(st.size);
        zip_fclose(f);
        if (ok)
            parts.push_back({b, name == QLatin1String("word/document.xml") || name == QLatin1String("content.xml")});
    }
    zip_discard(z);
    return parts;
}

// What both parsers are made to do: look at every name, namespace, attribute and piece of text.
struct Sink {
    qint64 touched = 0;
};

qint64 parseWithQt(const QByteArray &xml)
{
    QXmlStreamReader r(xml);
    r.setNamespaceProcessing(true);
    qint64 touched = 0;
    while (!r.atEnd()) {
        switch (r.readNext()) {
        case QXmlStreamReader::StartElement:
            touched += r.name().size() + r.namespaceUri().size();
            for (const QXmlStreamAttribute &a : r.attributes())
                touched += a.name().size() + a.value().size();
            break;
        case QXmlStreamReader::EndElement:
            touched += r.name().size();
            break;
        case QXmlStreamReader::Characters:
            touched += r.text().size();
            break;
        default:
            break;
        }
    }
    return touched;
}

qint64 parseWithExpat(const QByteArray &xml)
{
    Sink sink;
    XML_Parser p = XML_ParserCreateNS(nullptr, '\x01');
    XML_SetUserData(p, &sink);
    XML_SetElementHandler(
        p,
        [](void *s, const char *name, const char **atts) {
            auto *k = static_cast<Sink *>(s);
            k->touched += static_cast<qint64>(std::string_view(name).size());
            for (; *atts; atts += 2)
                k->touched += static_cast<qint64>(std::string_view(atts[0]).size() + std::string_view(atts[1]).size());
        },
        [](void *s, const char *name) {
            static_cast<Sink *>(s)->touched += static_cast<qint64>(std::string_view(name).size());
        });
    XML_SetCharacterDataHandler(p, [](void *s, const char *, int n) { static_cast<Sink *>(s)->touched += n; });
    XML_Parse(p, xml.constData(), static_cast<int>(xml.size()), XML_TRUE);
    XML_ParserFree(p);
    return sink.touched;
}

// The engine's reader, with a handler that looks at everything it is told.
class TouchingHandler : public word::XmlHandler {
public:
    qint64 touched = 0;
    void startElement(const word::XmlName &name, const word::XmlAttributes &attributes) override
    {
        touched += static_cast<qint64>(name.local.size() + name.ns.size());
        for (int i = 0; i < attributes.count(); ++i)
            touched += static_cast<qint64>(attributes.nameAt(i).local.size() + attributes.valueAt(i).size());
    }
    void endElement(const word::XmlName &name) override { touched += static_cast<qint64>(name.local.size()); }
    void characters(std::string_view text) override { touched += static_cast<qint64>(text.size()); }
};

qint64 parseWithEngine(const QByteArray &xml, bool whole)
{
    TouchingHandler handler;
    word::XmlParser parser(QStringLiteral("part"), handler);
    try {
        if (whole) {
            parser.parse(xml);
        } else {
            parser.feed(xml.constData(), xml.size());
            parser.finish();
        }
    } catch (const word::DamagedContent &) {
    }
    return handler.touched;
}

struct Parser {
    const char *name;
    qint64 (*parse)(const QByteArray &);
};

const Parser kParsers[] = {
    {"Qt", &parseWithQt},
    {"expat", &parseWithExpat},
    {"engine streamed", [](const QByteArray &x) { return parseWithEngine(x, false); }},
    {"engine whole", [](const QByteArray &x) { return parseWithEngine(x, true); }},
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(QV_SHARED_DIR "/corpus");
    const int rounds = argc > 2 ? atoi(argv[2]) : 5;
    std::vector<Part> parts;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        for (Part &p : partsOf(it.next()))
            parts.push_back(std::move(p));
    for (const bool main : {false, true}) {
        qint64 bytes = 0;
        for (const Part &p : parts)
            if (p.main == main)
                bytes += p.bytes.size();
        constexpr size_t kCount = std::size(kParsers);
        double best[kCount];
        std::fill(best, best + kCount, 1e30);
        qint64 check = 0;
        for (int r = 0; r < rounds; ++r)
            for (size_t which = 0; which < kCount; ++which) {
                QElapsedTimer t;
                t.start();
                for (const Part &p : parts)
                    if (p.main == main)
                        check += kParsers[which].parse(p.bytes);
                best[which] = std::min(best[which], static_cast<double>(t.nsecsElapsed()) / 1e9);
            }
        const double mb = static_cast<double>(bytes) / (1024.0 * 1024.0);
        printf("%s: %.2f MiB%s\n", main ? "main parts" : "other parts", mb, check == 0 ? " (nothing parsed)" : "");
        for (size_t which = 0; which < kCount; ++which)
            printf("  %-16s %7.3f s  %7.1f MiB/s  %5.1fx Qt\n", kParsers[which].name, best[which], mb / best[which],
                   best[0] / best[which]);
    }
    return 0;
}
