// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// quillmere-office: the helper that owns every use of LibreOffice for the programs. They start it as a
// child and speak to it over its standard input and output (office/Protocol.h); it ends with them.
#include "office/helper/HelperLoop.h"
#include "office/helper/LayoutSession.h"
#include "office/helper/ParentWatch.h"
#include <QCoreApplication>
#include <QUrl>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    // --parent PID: the program that started the helper, so that its end is noticed even when it came
    // before the helper could ask to be told.
    pid_t parent = 0;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--parent") == 0)
            parent = pid_t(std::atoi(argv[i + 1]));
    office::helper::parentWatch::install(parent);

    // The protocol gets the standard output to itself: whatever a library prints goes to the error
    // output instead of into an answer.
    const int answers = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (answers < 0)
        return 1;
    ::dup2(STDERR_FILENO, STDOUT_FILENO);

    // The UNO runtime finds its libraries and type data through this file; it is set here, before any
    // thread exists, since changing the environment later would race with threads that read it.
    const QByteArray bootstrap =
        QUrl::fromLocalFile(office::helper::LayoutSession::defaultOfficeProgramDir() + QStringLiteral("/fundamentalrc"))
            .toString(QUrl::FullyEncoded)
            .toUtf8();
    ::setenv("URE_BOOTSTRAP", bootstrap.constData(), 1);

    QCoreApplication app(argc, argv);
    return office::helper::serveRequests(STDIN_FILENO, answers);
}
