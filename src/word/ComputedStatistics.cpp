// Statistics for documents that store none: counted from the text, as the word processor counts on
// opening a document. Stored values win unless a recount was asked for.
#include "word/EngineLog.h"
#include "word/Errors.h"
#include "word/MainText.h"
#include <new>

namespace word {

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
        noteSkipped(QStringLiteral("its text cannot be counted: %1").arg(e.detail()));
        return;
    } catch (const std::bad_alloc &) {
        noteSkipped(QStringLiteral("its text cannot be counted: it is too large to hold"));
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
