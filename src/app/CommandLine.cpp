// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include <QDir>
#include <QFileInfo>

const char *const CommandLine::Usage = "Usage: quillmere-vantrel [--help] [--version] [FILE|FOLDER]...\n";

namespace {

const char HelpText[] =
    "Opens the window that reads the built-in properties of Word documents in bulk and exports them.\n"
    "\n"
    "Each FILE or FOLDER named is added to the list of documents as dropping it on the list would add it:\n"
    "a file as it is, a folder with every file in it and in its subfolders. Names are taken from the\n"
    "current folder; a name that names nothing is reported on standard error and left out.\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "  --         every argument after it is a name, also one that begins with a dash\n";

} // namespace

CommandLine CommandLine::parse(const QStringList &arguments, const QString &currentFolder)
{
    CommandLine line;
    bool help = false;
    bool version = false;
    bool namesOnly = false;
    const QDir current(currentFolder);
    for (const QString &argument : arguments) {
        if (!namesOnly && argument == QLatin1String("--")) {
            namesOnly = true;
        } else if (!namesOnly && argument == QLatin1String("--help")) {
            help = true;
        } else if (!namesOnly && argument == QLatin1String("--version")) {
            version = true;
        } else if (!namesOnly && argument.size() > 1 && argument.startsWith(QLatin1Char('-'))) {
            if (line.refusedOption.isEmpty())
                line.refusedOption = argument;
        } else if (!argument.isEmpty()) {
            // A drop names each item by its full path, without "." or ".." steps; so does this.
            const QString path = QDir::cleanPath(current.absoluteFilePath(argument));
            // exists() follows links: a link to nothing names nothing.
            if (QFileInfo::exists(path))
                line.paths << path;
            else
                line.missing << argument;
        }
    }
    if (help)
        line.request = Request::Help;
    else if (version)
        line.request = Request::Version;
    else if (!line.refusedOption.isEmpty())
        line.request = Request::Refused;
    return line;
}

int CommandLine::answer(FILE *out, FILE *err) const
{
    switch (request) {
    case Request::Help:
        std::fputs(Usage, out);
        std::fputs(HelpText, out);
        return 0;
    case Request::Version:
        std::fputs("quillmere-vantrel " QV_VERSION "\n", out);
        return 0;
    case Request::Refused:
        std::fprintf(err, "quillmere-vantrel: unknown option %s\n", refusedOption.toLocal8Bit().constData());
        std::fputs(Usage, err);
        return 2;
    case Request::Start:
        break;
    }
    for (const QString &name : missing)
        std::fprintf(err, "quillmere-vantrel: %s: no such file or folder\n", name.toLocal8Bit().constData());
    return -1;
}
