// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/TextLineWriter.h"
#include "platform/RuntimeError.h"
#include <QFileDevice>
#include <QIODevice>
#include <QStringDecoder>
#include <langinfo.h>

namespace results {

namespace {
constexpr int ObjectNotSet = 91;
constexpr int DeviceIoError = 57;
} // namespace

QByteArray textFileEncoding()
{
    const QByteArray codeset(nl_langinfo(CODESET));
    if (codeset.isEmpty() || codeset == "ANSI_X3.4-1968" || codeset == "US-ASCII" || codeset == "ASCII")
        return QByteArrayLiteral("UTF-8");
    if (!QStringEncoder(codeset.constData()).isValid())
        return QByteArrayLiteral("UTF-8");
    return codeset;
}

TextLineWriter::TextLineWriter(QIODevice *device, const QByteArray &encoding)
    : m_device(device), m_encoder(encoding.constData(), QStringConverter::Flag::Stateless), m_encoding(encoding)
{
    if (!m_encoder.isValid()) {
        m_encoder = QStringEncoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        m_encoding = QByteArrayLiteral("UTF-8");
    }
    m_isUtf8 = QStringEncoder::encodingForName(m_encoding.constData()) == QStringConverter::Utf8;
}

void TextLineWriter::writeLine(const QString &text)
{
    if (!m_device || !m_device->isOpen())
        throw RuntimeError(ObjectNotSet,
                           QStringLiteral("The text file is not open, so the line could not be written."));
    QByteArray bytes = m_encoder.encode(text);
    // Some encoders put '?' in place of a character they lack without saying so: only a line that
    // reads back unchanged was written faithfully.
    const bool faithful =
        !m_encoder.hasError()
        && (m_isUtf8 ? QStringView(text).isValidUtf16() : QStringDecoder(m_encoding.constData()).decode(bytes) == text);
    if (!faithful) {
        m_encoder.resetState();
        throw RuntimeError(RuntimeError::InvalidProcedureCall,
                           QStringLiteral("The line holds characters that the character set %1 cannot represent.")
                               .arg(QString::fromLatin1(m_encoding)));
    }
    bytes.append("\r\n", 2);
    if (m_device->write(bytes) != bytes.size())
        throw RuntimeError(DeviceIoError,
                           QStringLiteral("The line could not be written: %1").arg(m_device->errorString()));
}

void TextLineWriter::close()
{
    if (!m_device || !m_device->isOpen())
        throw RuntimeError(ObjectNotSet, QStringLiteral("The text file is not open, so it could not be closed."));
    auto *file = qobject_cast<QFileDevice *>(m_device);
    const bool flushed = file ? file->flush() : true;
    m_device->close();
    // A full disk shows only now, when the buffered lines reach the file.
    if (!flushed || (file && file->error() != QFileDevice::NoError))
        throw RuntimeError(DeviceIoError,
                           QStringLiteral("The text file could not be completed: %1").arg(m_device->errorString()));
}

} // namespace results
