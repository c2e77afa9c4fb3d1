// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// quillmere-extract: reads the built-in properties of Word documents with the program's own document
// engine and writes one record per document.
#include "cli/Extract.h"
#include "cli/Options.h"
#include "cli/TerminalText.h"
#include <QCoreApplication>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool isOpen(int fd) { return fcntl(fd, F_GETFD) != -1 || errno != EBADF; }

// A standard stream closed by the caller leaves its number free: the next file opened (a document, or
// one of the library's own event descriptors) would take it, and the output or the error lines would go
// there. Closed input and error output are pointed at /dev/null; a closed output is refused, as no record
// could be written.
bool claimStandardStreams()
{
    const bool errorOpen = isOpen(STDERR_FILENO);
    const bool outputOpen = isOpen(STDOUT_FILENO);
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        if (!isOpen(fd)) {
            const int null = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
            if (null >= 0 && null != fd) {
                dup2(null, fd);
                close(null);
            }
        }
    if (!outputOpen && errorOpen)
        fprintf(stderr, "%s: the output could not be written: the standard output is closed\n", cli::kCommandName);
    return outputOpen;
}

} // namespace

int main(int argc, char **argv)
{
    if (!claimStandardStreams())
        return cli::kExitWriteFailed;
    // Records go out in larger writes than the C library's default block when they go to a file or a
    // pipe; a terminal keeps its line buffering, so each record shows as it is finished.
    // (The C library sizes a buffer it makes itself by the file's block, so the room is given here.)
    static char outputBuffer[64 * 1024];
    if (!isatty(STDOUT_FILENO))
        setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    // The C library re-reads the zone file on every local-time conversion while TZ is unset (the zip
    // library converts every entry's time); naming the same zone explicitly lets it read the file once.
    if (getenv("TZ") == nullptr)
        setenv("TZ", ":/etc/localtime", 0);
    // The command-line parser's option list needs an application object; nothing else runs through it.
    QCoreApplication app(argc, argv);
    // The application object has set the C library's locale from the environment. Numbers written
    // through the C library would then take the locale's decimal comma; every output of this command
    // is read by programs, so numbers keep the C conventions. Qt's own formatting is not affected.
    setlocale(LC_NUMERIC, "C");
    QCoreApplication::setApplicationName(QLatin1String(cli::kCommandName));
    QCoreApplication::setApplicationVersion(QStringLiteral(QV_VERSION));
    return cli::run(argc, argv, stdout, stderr);
}
