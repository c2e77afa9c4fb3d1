// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WorkbookTemplate.h"
#include "platform/RuntimeError.h"
#include <QDir>
#include <QFile>
#include <zip.h>

namespace {

constexpr const char *ContentTypesPart = "[Content_Types].xml";
constexpr char SheetType[] = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
constexpr char TemplateType[] = "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml";
// The part lists a handful of types; anything near this size is not a package we wrote.
constexpr zip_uint64_t MaxContentTypesBytes = 1024 * 1024;

[[noreturn]] void fail(const QString &path, const QString &why)
{
    throw RuntimeError(
        RuntimeError::AutomationError,
        QStringLiteral("The workbook %1 could not be made a template: %2").arg(QDir::toNativeSeparators(path), why));
}

QString zipText(zip_t *archive) { return QString::fromUtf8(zip_strerror(archive)); }

} // namespace

void markWorkbookAsTemplate(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    int openError = 0;
    zip_t *archive = zip_open(name.constData(), 0, &openError);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, openError);
        const QString why = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        fail(path, why);
    }
    // Until zip_close succeeds nothing reaches the file; zip_discard leaves it as it was.
    const auto discard = [&](const QString &why) {
        zip_discard(archive);
        fail(path, why);
    };

    zip_stat_t stat;
    zip_stat_init(&stat);
    const zip_int64_t index = zip_name_locate(archive, ContentTypesPart, 0);
    if (index < 0 || zip_stat_index(archive, zip_uint64_t(index), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
        discard(QStringLiteral("it has no content types part."));
    if (stat.size > MaxContentTypesBytes)
        discard(QStringLiteral("its content types part is too large."));

    QByteArray types(qsizetype(stat.size), Qt::Uninitialized);
    zip_file_t *file = zip_fopen_index(archive, zip_uint64_t(index), 0);
    const zip_int64_t read = file ? zip_fread(file, types.data(), stat.size) : -1;
    if (file)
        zip_fclose(file);
    if (read != zip_int64_t(stat.size))
        discard(QStringLiteral("its content types part cannot be read: %1").arg(zipText(archive)));
    if (!types.contains(SheetType))
        discard(QStringLiteral("it holds no workbook."));
    types.replace(SheetType, TemplateType);

    // libzip reads the new part from this buffer only when the archive is closed.
    zip_source_t *source = zip_source_buffer(archive, types.constData(), zip_uint64_t(types.size()), 0);
    if (!source)
        discard(zipText(archive));
    if (zip_file_replace(archive, zip_uint64_t(index), source, 0) != 0) {
        zip_source_free(source);
        discard(zipText(archive));
    }
    if (zip_close(archive) != 0)
        discard(zipText(archive));
}
