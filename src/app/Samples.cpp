// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Samples.h"
#include "core/ErrorLocation.h"
#include "core/ErrorReport.h"
#include "core/FileExists.h"
#include "core/UiContext.h"
#include "filelist/FolderWalk.h"
#include "filelist/InputFileList.h"
#include "platform/RuntimeError.h"
#include <QCoreApplication>

namespace samples {
namespace {

QString samplesFolder(const UiContext &ctx) { return ctx.programFolder + QStringLiteral("/Samples/"); }

int keyCode(QChar c) { return c.unicode() <= 0xFF ? c.unicode() : '?'; }

void checkArguments(qsizetype codes, const QString &key)
{
    if (key.isEmpty())
        throw RuntimeError(RuntimeError::InvalidProcedureCall, QStringLiteral("Invalid procedure call or argument"));
    if (codes > MaxScrambleCodes)
        throw RuntimeError(RuntimeError::Overflow, QStringLiteral("Overflow"));
}

bool yield(const MainWindowState *window)
{
    if (!QCoreApplication::instance())
        return true;
    return processPendingEvents(window);
}

// Shifts each code by the key's letters in turn; direction +1 scrambles, -1 unscrambles.
std::optional<QByteArray> shiftCodes(const QByteArray &codes, const QString &key, int direction,
                                     const MainWindowState *window)
{
    checkArguments(codes.size(), key);
    QByteArray out;
    out.reserve(codes.size());
    qsizetype p = 0;
    for (char byte : codes) {
        if (!yield(window))
            return std::nullopt;
        const int c = static_cast<unsigned char>(byte);
        const int k = keyCode(key[p]);
        p = (p + 1) % key.size();
        int v = c + direction * k;
        if (direction > 0 && v > 255)
            v -= 255;
        if (direction < 0 && v < 1)
            v += 255;
        out.append(static_cast<char>(v & 0xFF));
    }
    return out;
}

QByteArray codesOf(const QString &scrambled)
{
    QByteArray codes;
    codes.reserve(scrambled.size());
    for (QChar c : scrambled)
        codes.append(static_cast<char>(keyCode(c)));
    return codes;
}

} // namespace

std::optional<QString> ScrambleText(const QString &text, const QString &key, const MainWindowState *window)
{
    const std::optional<QByteArray> codes = shiftCodes(text.toUtf8(), key, +1, window);
    if (!codes)
        return std::nullopt;
    return QString::fromLatin1(*codes);
}

std::optional<QString> UnscrambleText(const QString &text, const QString &key, const MainWindowState *window)
{
    checkArguments(text.size(), key);
    const std::optional<QByteArray> codes = shiftCodes(codesOf(text), key, -1, window);
    if (!codes)
        return std::nullopt;
    return QString::fromUtf8(*codes);
}

void addSampleFiles(const UiContext &ctx, InputFileList &list)
{
    Trap t(*ctx.errors, errorLocation::of(QStringLiteral("Form1"), QStringLiteral("PushButton9_Click")));
    t.run(100, [&] { LoadSampleFiles(ctx, list); });
}

} // namespace samples

QString ScrambleText(const QString &text, const QString &key) { return *samples::ScrambleText(text, key, nullptr); }

QString UnscrambleText(const QString &text, const QString &key) { return *samples::UnscrambleText(text, key, nullptr); }

bool ListContainsText(const InputFileList &list, const QString &text)
{
    bool found = false;
    const int n = list.count();
    for (int i = 1; i <= n; ++i)
        if (list.text(i) == text)
            found = true;
    return found;
}

void RecordSampleList(const UiContext &ctx)
{
    const QString folder = samples::samplesFolder(ctx);
    QStringList paths;
    for (const QString &name : filelist::ListFiles(folder, QStringLiteral("*.*"))) {
        // A name holding the separator could not be told apart from two paths when read back.
        if (!name.contains(samples::ListSeparator))
            paths.append(folder + name);
    }
    const QString list = paths.join(samples::ListSeparator);
    const std::optional<QString> scrambled = samples::ScrambleText(list, samples::ScrambleKey, ctx.window);
    if (!scrambled)
        return; // the program ended meanwhile: record again at the next start
    ctx.settings->write(setting::Snapshot, *scrambled);
}

void LoadSampleFiles(const UiContext &ctx, InputFileList &list)
{
    const QString stored = ctx.settings->read(setting::Snapshot);
    const std::optional<QString> recorded = samples::UnscrambleText(stored, samples::ScrambleKey, ctx.window);
    if (!recorded)
        return;
    if (!recorded->isEmpty()) {
        for (const QString &path : recorded->split(samples::ListSeparator)) {
            if (FileExists(path) && !ListContainsText(list, path))
                list.add(path);
        }
    }
    const MsgAnswer answer = ctx.platform.messages->show(ctx.owner, ctx.appTitle, samples::OpenFolderQuestion,
                                                         MsgButtons::YesNo, MsgIcon::None);
    if (answer == MsgAnswer::Yes)
        ctx.platform.shell->openFolder(samples::samplesFolder(ctx));
}
