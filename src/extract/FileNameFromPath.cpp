#include "extract/FileNameFromPath.h"

QString FileNameFromPath(const QString &path)
{
    const qsizetype last = path.lastIndexOf(QLatin1Char('/'));
    return last < 0 ? path : path.mid(last + 1);
}
