// quillmere-extract: reads the built-in properties of Word documents with the program's own document
// engine and writes one record per document.
#include "cli/Extract.h"
#include <QCoreApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
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
    QCoreApplication::setApplicationName(QStringLiteral("quillmere-extract"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QV_VERSION));
    return cli::run(argc, argv, stdout, stderr);
}
