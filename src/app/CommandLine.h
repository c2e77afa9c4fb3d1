// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>
#include <cstdio>

// What the window's command line asks for. The desktop's "Open with" hands over files and folders; a
// user in a terminal may also ask for help or the version.
struct CommandLine {
    enum class Request { Start, Help, Version, Refused };
    Request request = Request::Start;
    QString refusedOption; // the first option the program does not know
    QStringList paths;     // the files and folders named, absolute and clean, in the order given
    QStringList missing;   // the names that name nothing, as given

    // `arguments` without the program's name; relative names are taken from `currentFolder`. "--help"
    // wins over "--version", which wins over an unknown option; after "--" every argument is a name.
    static CommandLine parse(const QStringList &arguments, const QString &currentFolder);

    // Answers a request for help or the version (exit status 0), or an unknown option (a usage line on
    // `err`, exit status 2), and reports each missing name on `err`. -1 when the program is to start.
    int answer(FILE *out, FILE *err) const;
};
