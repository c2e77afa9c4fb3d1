// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The engine over the shared corpus of real documents (Word, LibreOffice, WPS, generators, fuzzers),
// compared property by property with reference.json, the reading of another tool. Where that reading is
// known to be wrong, the right value is asserted explicitly instead. Prints the agreement per format
// family. Skips when the corpus is not beside the project.
#include "WordTestMain.h"
#include "word/Engine.h"
#include "word/Errors.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <map>

using word::Builtin;

namespace {

const QString kCorpus = QStringLiteral(QV_SHARED_DIR "/corpus");

// Reference key -> the engine's property.
const QList<QPair<QString, Builtin>> kKeys{{"Title", Builtin::Title},
                                           {"Subject", Builtin::Subject},
                                           {"Author", Builtin::Author},
                                           {"Manager", Builtin::Manager},
                                           {"Company", Builtin::Company},
                                           {"Category", Builtin::Category},
                                           {"Keywords", Builtin::Keywords},
                                           {"Comments", Builtin::Comments},
                                           {"HyperlinkBase", Builtin::HyperlinkBase},
                                           {"Template", Builtin::Template},
                                           {"CreationDate", Builtin::CreationDate},
                                           {"LastSaveTime", Builtin::LastSaveTime},
                                           {"LastPrintDate", Builtin::LastPrintDate},
                                           {"LastAuthor", Builtin::LastAuthor},
                                           {"RevisionNumber", Builtin::RevisionNumber},
                                           {"TotalEditingTime", Builtin::TotalEditingTime},
                                           {"Pages", Builtin::NumberOfPages},
                                           {"Paragraphs", Builtin::NumberOfParagraphs},
                                           {"Lines", Builtin::NumberOfLines},
                                           {"Words", Builtin::NumberOfWords},
                                           {"Characters", Builtin::NumberOfCharacters},
                                           {"CharactersWithSpaces", Builtin::NumberOfCharactersWithSpaces}};

// What the engine's value should be by the reference, in the engine's terms: a string for texts, a
// number for counts and minutes, an ISO UTC string for dates, null where the document holds no value.
QJsonValue expectedFromReference(const QString &family, const QString &key, const QJsonValue &ref, bool present,
                                 word::BuiltinKind kind)
{
    if (!present)
        return kind == word::BuiltinKind::Text ? QJsonValue(QString()) : QJsonValue();
    if (kind == word::BuiltinKind::DateTime) {
        if (!ref.isString())
            return QJsonValue(); // a bare number: a FILETIME of less than a year, i.e. never
        static const QRegularExpression re(
            QStringLiteral(R"(^(\d{4})[:-](\d\d)[:-](\d\d)[ T](\d\d):(\d\d):(\d\d)(?:\.\d+)?(Z|[+-]\d\d:\d\d)?$)"));
        const auto m = re.match(ref.toString());
        if (!m.hasMatch())
            return QJsonValue(QStringLiteral("unreadable: ") + ref.toString());
        const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (d.year() < 1602)
            return QJsonValue();
        QDateTime dt(d, QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt()), Qt::UTC);
        const QString zone = m.captured(7);
        if (zone.size() == 6) {
            const int offset =
                (zone.mid(1, 2).toInt() * 3600 + zone.mid(4, 2).toInt() * 60) * (zone[0] == QLatin1Char('-') ? -1 : 1);
            dt = dt.addSecs(-offset);
        }
        // OLE dates are UTC; RTF and ODT dates without a zone are local time, which is UTC in this test.
        return QJsonValue(dt.toString(Qt::ISODate));
    }
    if (key == QLatin1String("TotalEditingTime")) {
        if (ref.isString()) { // ODF duration PnDTnHnMnS
            static const QRegularExpression re(
                QStringLiteral(R"(^P(?:(\d+)D)?(?:T(?:(\d+)H)?(?:(\d+)M)?(?:(\d+)S)?)?$)"));
            const auto m = re.match(ref.toString());
            if (!m.hasMatch())
                return QJsonValue(QStringLiteral("unreadable: ") + ref.toString());
            const qint64 s = m.captured(1).toLongLong() * 86400 + m.captured(2).toLongLong() * 3600
                             + m.captured(3).toLongLong() * 60 + m.captured(4).toLongLong();
            return QJsonValue(s / 60);
        }
        return QJsonValue(family == QLatin1String("OLE") ? ref.toInteger() / 60 : ref.toInteger()); // OLE: seconds
    }
    if (kind == word::BuiltinKind::Text) {
        if (ref.isArray()) { // several ODF keywords
            QStringList parts;
            for (const QJsonValue &v : ref.toArray())
                parts << v.toString();
            return QJsonValue(parts.join(QStringLiteral(", ")));
        }
        if (ref.isDouble()) // the other tool turns numeric texts into numbers
            return QJsonValue(QString::number(ref.toDouble(), 'g', 15));
        return ref;
    }
    return QJsonValue(ref.toInteger());
}

QJsonValue actualValue(const word::DocumentProperties &p, Builtin id)
{
    const auto v = p.get(id);
    if (!v)
        return QJsonValue();
    switch (v->type()) {
    case word::PropertyValue::Type::Text:
        return QJsonValue(v->asText());
    case word::PropertyValue::Type::Integer:
        return QJsonValue(v->asInteger());
    case word::PropertyValue::Type::DateTime:
        return QJsonValue(v->asDateTime().toUTC().toString(Qt::ISODate));
    }
    return {};
}

// The other tool writes '?' for letters it could not decode (East Asian code pages, strings read before
// the code page). Such a value agrees when ours has real letters exactly where it has question marks.
bool questionMarksStandFor(const QString &reference, const QString &ours)
{
    if (!reference.contains(QLatin1Char('?')) || ours.contains(QLatin1Char('?')) || ours == reference)
        return false;
    QString pattern = QRegularExpression::escape(reference);
    pattern.replace(QRegularExpression(QStringLiteral("(?:\\\\\\?)+")), QStringLiteral("[^\\x00-\\x7F]+"));
    return QRegularExpression(QStringLiteral("^(?:") + pattern + QStringLiteral(")$")).match(ours).hasMatch();
}

struct Tally {
    int compared = 0, agreed = 0, referenceWrong = 0, filesAgreeing = 0, files = 0;
};

} // namespace

class TstWordCorpus : public QObject {
    Q_OBJECT
    QJsonArray m_entries;
    QSet<QString> m_fixtures;

    QJsonObject entry(const QString &file) const
    {
        for (const QJsonValue &v : m_entries)
            if (v.toObject().value(QStringLiteral("file")).toString() == file)
                return v.toObject();
        return {};
    }
    static word::DocumentProperties open(const QString &file)
    {
        return word::readDocumentProperties(kCorpus + QLatin1Char('/') + file);
    }
    static QString text(const word::DocumentProperties &p, Builtin id) { return p.get(id)->asText(); }

private slots:
    void initTestCase()
    {
        QFile f(kCorpus + QStringLiteral("/reference.json"));
        if (!f.open(QIODevice::ReadOnly))
            QSKIP("the shared document corpus is not beside the project");
        m_entries = QJsonDocument::fromJson(f.readAll()).array();
        QVERIFY(!m_entries.isEmpty());
        QFile fx(kCorpus + QStringLiteral("/fixtures.txt"));
        if (fx.open(QIODevice::ReadOnly))
            for (const QByteArray &line : fx.readAll().split('\n'))
                if (!line.trimmed().isEmpty())
                    m_fixtures.insert(QString::fromUtf8(line.trimmed()));
    }

    // ---- the reference's known faults and our other deliberate differences, asserted value by value
    void streamNamesInOtherCase()
    {
        // The other tool finds no property streams when their names are not in the usual case.
        for (const char *file : {"tika/microsoft/casing/simple_upper_case.doc",
                                 "tika/microsoft/casing/simple_lower_case.doc", "poi/document/47950_upper.doc"}) {
            QVERIFY(entry(QLatin1String(file)).value(QStringLiteral("props")).toObject().isEmpty());
            const auto p = open(QLatin1String(file));
            QCOMPARE(p.format(), QStringLiteral("OLE"));
            QCOMPARE(text(p, Builtin::Author), QStringLiteral("Ross Johnson"));
            QCOMPARE(text(p, Builtin::LastAuthor), QStringLiteral("Ross Johnson"));
            QCOMPARE(text(p, Builtin::Template), QStringLiteral("Normal.dotm"));
            QCOMPARE(text(p, Builtin::RevisionNumber), QStringLiteral("1"));
            QCOMPARE(p.get(Builtin::CreationDate)->asDateTime().toUTC(),
                     QDateTime(QDate(2023, 6, 18), QTime(21, 59), Qt::UTC));
            QCOMPARE(p.get(Builtin::NumberOfWords)->asInteger(), 4);
            QCOMPARE(p.get(Builtin::NumberOfCharacters)->asInteger(), 27);
            QCOMPARE(p.get(Builtin::NumberOfCharactersWithSpaces)->asInteger(), 30);
        }
    }

    void eastAsianCodePages()
    {
        QCOMPARE(text(open(QStringLiteral("poi/hpsf/TestShiftJIS.doc")), Builtin::Title), QStringLiteral(u"第1章"));
        QCOMPARE(text(open(QStringLiteral("tika/microsoft/testRTF-ms932.rtf")), Builtin::Title),
                 QStringLiteral(u"タイトル"));
        const auto chinese = open(QStringLiteral("poi/hpsf/TestChineseProperties.doc"));
        QCOMPARE(text(chinese, Builtin::Title), QStringLiteral(u"參考資料"));
        QCOMPARE(text(chinese, Builtin::Category), QStringLiteral(u"科學"));
    }

    void stringBeforeItsCodePage()
    {
        QCOMPARE(text(open(QStringLiteral("poi/hpsf/TestInvertedClassID.doc")), Builtin::Template),
                 QStringLiteral(u"CAIRE:LOGICIELS:Microsoft Office:Microsoft Word 6:Modèles:Normal"));
    }

    void severalOdfKeywords()
    {
        QCOMPARE(text(open(QStringLiteral("tika/miscoffice/testODFwithOOo3.odt")), Builtin::Keywords),
                 QStringLiteral("Apache, Lucene, Tika"));
    }

    void compoundFileHoldingAWorkbook()
    {
        // Filed as a Word binary, but its compound file holds an Excel workbook and no Word document.
        try {
            open(QStringLiteral("poi/hpsf/TestRobert_Flaherty.doc"));
            QFAIL("opened a workbook as a Word document");
        } catch (const word::Error &e) {
            QCOMPARE(e.fault(), word::Fault::UnknownFormat);
            QCOMPARE(e.format(), QStringLiteral("XLS"));
        }
    }

    void encryptedOpenDocument()
    {
        // Its meta.xml is encrypted too: the other tool reads nothing, the engine says why.
        try {
            open(QStringLiteral("tika/miscoffice/testODTEncrypted.odt"));
            QFAIL("opened an encrypted document");
        } catch (const word::Error &e) {
            QCOMPARE(e.fault(), word::Fault::Encrypted);
        }
    }

    void damagedMiniStreamWithReadableSummary()
    {
        // The other tool gives up on this fuzzed file's mini stream; the summary stream itself is whole.
        const auto p =
            open(QStringLiteral("poi/document/clusterfuzz-testcase-minimized-POIHWPFFuzzer-5050208641482752.doc"));
        QCOMPARE(text(p, Builtin::Author), QStringLiteral("Michael Strucken"));
        QCOMPARE(text(p, Builtin::Template), QStringLiteral("Normal.dot"));
        QCOMPARE(text(p, Builtin::RevisionNumber), QStringLiteral("2"));
        QCOMPARE(p.get(Builtin::CreationDate)->asDateTime().toUTC(),
                 QDateTime(QDate(2011, 10, 9), QTime(13, 4), Qt::UTC));
        QCOMPARE(p.get(Builtin::LastPrintDate)->asDateTime().toUTC(),
                 QDateTime(QDate(2010, 4, 29), QTime(11, 6), Qt::UTC));
        QCOMPARE(p.get(Builtin::NumberOfPages)->asInteger(), 1);
    }

    void fuzzedSummaryWithShortStringSize()
    {
        // The author's stated size (1) is shorter than the NUL-terminated name stored; the other dates of
        // this fuzzed stream are not FILETIMEs at all.
        const auto p =
            open(QStringLiteral("poi/document/clusterfuzz-testcase-minimized-POIHWPFFuzzer-5074346559012864.doc"));
        QCOMPARE(text(p, Builtin::Author), QStringLiteral("Maxim Valyanskiy"));
        QVERIFY(!p.get(Builtin::CreationDate));
        QVERIFY(!p.get(Builtin::TotalEditingTime));
    }

    // ---- everything, property by property
    void everyDocument()
    {
        static const QSet<QString> explicitlyChecked{
            "tika/microsoft/casing/simple_upper_case.doc",
            "tika/microsoft/casing/simple_lower_case.doc",
            "poi/document/47950_upper.doc",
            "poi/hpsf/TestRobert_Flaherty.doc",
            "tika/miscoffice/testODTEncrypted.odt",
            "poi/document/clusterfuzz-testcase-minimized-POIHWPFFuzzer-5050208641482752.doc",
            "poi/document/clusterfuzz-testcase-minimized-POIHWPFFuzzer-5074346559012864.doc"};
        // Single values the reference reads wrongly and that are asserted explicitly above.
        static const QSet<QPair<QString, QString>> explicitValues{
            {"tika/microsoft/testRTF-ms932.rtf", "Title"}}; // cp932 read as Latin
        std::map<QString, Tally> tally;
        QStringList disagreements, fixtureProblems;
        QSet<QString> seen;
        for (const QJsonValue &v : m_entries) {
            const QJsonObject e = v.toObject();
            const QString file = e.value(QStringLiteral("file")).toString();
            const QString family = e.value(QStringLiteral("family")).toString();
            const QJsonObject ref = e.value(QStringLiteral("props")).toObject();
            seen.insert(file);
            Tally &t = tally[family];
            ++t.files;
            const bool fixture = m_fixtures.contains(file);
            std::optional<word::DocumentProperties> p;
            QString error;
            std::optional<word::Fault> fault;
            try {
                p = open(file);
            } catch (const word::Error &err) {
                error = err.description();
                fault = err.fault();
                QVERIFY2(err.description().contains(file), qPrintable(err.description())); // names the file
            }
            if (explicitlyChecked.contains(file)) {
                ++t.filesAgreeing; // asserted above
                continue;
            }
            // Families the reference could not read: the engine must refuse them for the right reason.
            if (family == QLatin1String("OOXML-ENCRYPTED") || family.startsWith(QLatin1String("OTHER:ZIP"))
                || family == QLatin1String("OTHER:unreadable")) {
                const word::Fault want = family == QLatin1String("OOXML-ENCRYPTED") ? word::Fault::Encrypted
                                         : family == QLatin1String("OTHER:ZIP")     ? word::Fault::Damaged
                                                                                    : word::Fault::UnknownFormat;
                if (fault == want) {
                    ++t.filesAgreeing;
                } else {
                    disagreements << QStringLiteral("%1: expected error %2, got %3")
                                         .arg(file)
                                         .arg(static_cast<int>(want))
                                         .arg(p ? QStringLiteral("a document") : error);
                    if (fixture)
                        fixtureProblems << file;
                }
                continue;
            }
            if (!p) {
                disagreements << QStringLiteral("%1 (%2): not opened: %3").arg(file, family, error);
                if (fixture)
                    fixtureProblems << file;
                continue;
            }
            bool all = true;
            for (const auto &[key, id] : kKeys) {
                const QJsonValue expected =
                    expectedFromReference(family, key, ref.value(key), ref.contains(key), word::builtinInfo(id).kind);
                const QJsonValue actual = actualValue(*p, id);
                ++t.compared;
                if (p->computed().contains(id)) {
                    // Counted from the text: only where the file stores no value, so the reference has none.
                    if (ref.contains(key)) {
                        all = false;
                        disagreements << QStringLiteral("%1 %2: counted although the file stores it").arg(file, key);
                    } else {
                        ++t.agreed;
                    }
                } else if (explicitValues.contains({file, key})) {
                    ++t.agreed;
                    ++t.referenceWrong;
                } else if (actual == expected) {
                    ++t.agreed;
                } else if (expected.isString() && actual.isString()
                           && questionMarksStandFor(expected.toString(), actual.toString())) {
                    ++t.agreed;
                    ++t.referenceWrong;
                } else {
                    all = false;
                    disagreements << QStringLiteral("%1 %2: engine %3, reference %4")
                                         .arg(file, key,
                                              QString::fromUtf8(
                                                  QJsonDocument(QJsonArray{actual}).toJson(QJsonDocument::Compact)),
                                              QString::fromUtf8(
                                                  QJsonDocument(QJsonArray{expected}).toJson(QJsonDocument::Compact)));
                }
            }
            // Number of Bytes is the file's size (the reference's "Bytes" is a count stored in some files).
            if (p->get(Builtin::NumberOfBytes)->asInteger() != QFileInfo(kCorpus + QLatin1Char('/') + file).size()) {
                all = false;
                disagreements << file + QStringLiteral(": Number of Bytes is not the file size");
            }
            if (all)
                ++t.filesAgreeing;
            else if (fixture)
                fixtureProblems << file;
        }
        qInfo("Agreement with the reference, per format family (properties; whole documents):");
        int compared = 0, agreed = 0;
        for (const auto &[family, t] : tally) {
            compared += t.compared;
            agreed += t.agreed;
            if (t.compared > 0)
                qInfo("  %-16s %5d/%5d properties (%5.1f%%, %d where the reference is wrong); %3d/%3d documents",
                      qPrintable(family), t.agreed, t.compared, 100.0 * t.agreed / t.compared, t.referenceWrong,
                      t.filesAgreeing, t.files);
            else
                qInfo("  %-16s refused for the expected reason: %3d/%3d documents", qPrintable(family), t.filesAgreeing,
                      t.files);
        }
        qInfo("  all              %5d/%5d properties (%5.1f%%)", agreed, compared, 100.0 * agreed / compared);
        for (const QString &d : disagreements)
            qInfo("  differs: %s", qPrintable(d));
        for (const QString &f : std::as_const(m_fixtures))
            if (!seen.contains(f))
                qWarning("fixture %s is not in the corpus; its case is covered by the unit tests", qPrintable(f));
        QVERIFY2(fixtureProblems.isEmpty(),
                 qPrintable(QStringLiteral("fixtures that differ: ") + fixtureProblems.join(QStringLiteral(", "))));
        QVERIFY2(disagreements.isEmpty(), qPrintable(QStringLiteral("%1 differences").arg(disagreements.size())));
    }
};

QV_WORD_TEST_MAIN(TstWordCorpus)
#include "tst_word_corpus.moc"
