// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "platform/Product.h"
#include <QDir>
#include <QFileInfo>

namespace {

void printUsage(FILE *to)
{
    std::fprintf(to, "Usage: %s [--help] [--version] [FILE|FOLDER]...\n", product::ProgramName);
}

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
        printUsage(out);
        std::fputs(HelpText, out);
        return 0;
    case Request::Version:
        std::fprintf(out, "%s %s\n", product::ProgramName, QV_VERSION);
        return 0;
    case Request::Refused:
        std::fprintf(err, "%s: unknown option %s\n", product::ProgramName, refusedOption.toLocal8Bit().constData());
        printUsage(err);
        return 2;
    case Request::Start:
        break;
    }
    for (const QString &name : missing)
        std::fprintf(err, "%s: %s: no such file or folder\n", product::ProgramName, name.toLocal8Bit().constData());
    return -1;
}
