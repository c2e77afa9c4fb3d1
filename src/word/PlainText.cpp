// Plain text: no stored properties; its statistics are counted from the text, decoded as a word processor
// opens it: UTF-16 or UTF-8 by their byte order marks, UTF-8 when the bytes are valid UTF-8, otherwise
// Windows-1252. Every line is a paragraph.
#include "word/CodePage.h"
#include "word/Formats.h"
#include "word/Errors.h"
#include "word/Limits.h"
#include "word/MainText.h"
#include <QStringDecoder>

namespace word {

namespace {

QString decodePlainText(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless)(bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE, QStringDecoder::Flag::Stateless)(bytes.mid(2));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
    if (!utf8.hasError())
        return text;
    return decodeCodePage(1252, bytes.constData(), bytes.size());
}

} // namespace

void countPlainText(const FileContent &content, TextCounter &counter)
{
    const qint64 size = content.headIsWhole ? content.head.size() : content.file.size();
    if (size > limits::kMaxPartBytes)
        throw DamagedContent(QStringLiteral("it is larger than the 64 MiB whose text this program counts"));
    const QString text = decodePlainText(content.headIsWhole ? content.head : content.file.read(0, size));
    const QStringView view(text);
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < view.size(); ++i) {
        const QChar c = view[i];
        if (c != u'\r' && c != u'\n')
            continue;
        counter.add(view.mid(lineStart, i - lineStart)); // tabs and page breaks count as blanks there
        counter.paragraphMark();
        if (c == u'\r' && i + 1 < view.size() && view[i + 1] == u'\n')
            ++i; // CR LF ends one line
        lineStart = i + 1;
    }
    counter.add(view.mid(lineStart));
    counter.paragraphMark(); // the last line needs no line end
}

DocumentData readPlainText(const FileContent &content)
{
    DocumentData d;
    d.format = QStringLiteral("TEXT");
    computeMissingStatistics(d, content, [&](TextCounter &c) { countPlainText(content, c); });
    return d;
}

} // namespace word
