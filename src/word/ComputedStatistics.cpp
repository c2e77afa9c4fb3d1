// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Statistics for documents that store none: counted from the text, as the word processor counts on
// opening a document. Stored values win unless a recount was asked for.
#include "word/EngineLog.h"
#include "word/Errors.h"
#include "word/MainText.h"
#include <new>

namespace word {

namespace {

// The one place that says why counts are missing, whichever format's counter gave up.
void noteUncounted(const DocumentData &d, const QList<Builtin> &wanted, const QString &why)
{
    QStringList unset, kept;
    for (const Builtin id : wanted)
        (d.has(id) ? kept : unset) << QLatin1String(builtinInfo(id).name);
    QString what = QStringLiteral("its text cannot be counted (%1)").arg(why);
    if (!unset.isEmpty())
        what += QStringLiteral("; %1 stay unset").arg(unset.join(QStringLiteral(", ")));
    if (!kept.isEmpty())
        what += QStringLiteral("; %1 stay as the file stores them").arg(kept.join(QStringLiteral(", ")));
    noteSkipped(what);
}

} // namespace

void computeMissingStatistics(DocumentData &d, const FileContent &content,
                              const std::function<void(TextCounter &)> &extract)
{
    static constexpr Builtin kCounted[] = {Builtin::NumberOfWords, Builtin::NumberOfCharacters,
                                           Builtin::NumberOfCharactersWithSpaces, Builtin::NumberOfParagraphs};
    QList<Builtin> wanted;
    for (const Builtin id : kCounted)
        if (content.options.asks(id) && (content.options.recount || !d.has(id)))
            wanted << id;
    if (wanted.isEmpty())
        return; // nothing to count: the text is not even read
    TextCounter counter;
    try {
        extract(counter);
    } catch (const DamagedContent &e) {
        noteUncounted(d, wanted, e.detail());
        return;
    } catch (const std::bad_alloc &) {
        noteUncounted(d, wanted, QStringLiteral("its text needs more memory than there is"));
        return;
    }
    const TextStatistics &s = counter.statistics();
    for (const Builtin id : wanted) {
        const qint64 n = id == Builtin::NumberOfWords                  ? s.words
                         : id == Builtin::NumberOfCharacters           ? s.characters
                         : id == Builtin::NumberOfCharactersWithSpaces ? s.charactersWithSpaces
                                                                       : s.paragraphs;
        d.setInteger(id, n);
        if (!d.computed.contains(id))
            d.computed << id;
    }
}

} // namespace word
