#pragma once
#include <QString>
#include <QStringList>
#include <cstdio>

namespace cli {

// Exit codes.
inline constexpr int kExitAllRead = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitUsage = 2;

struct Options {
    QStringList paths;
    QStringList extensions; // empty: every file found in a folder
    int jobs = 0;           // 0: one per processor core
    bool progress = true;   // shown only when the error stream is a terminal
};

// Parses the command line; returns kExitUsage after writing the reason to `err` (or 0 after --help, with
// `help` set), -1 when the run should go on.
int parseArguments(int argc, char **argv, Options &options, bool &help, FILE *out, FILE *err);

// The documents named by the arguments, in order: files as given, folders walked (sorted by name, every
// level), the word processor's lock files (~$name) left out. Paths that cannot be walked come back with an
// error text, written out in their place.
struct InputItem {
    QString path;
    QString walkError; // non-empty: this path is reported as failed without being opened
};
QList<InputItem> collectInputs(const Options &options);

// One JSON line (without the line end) for a document: its properties, or the reason it failed.
QByteArray describeDocument(const QString &path, bool &ok);

// The whole command.
int run(int argc, char **argv, FILE *out, FILE *err);

} // namespace cli
