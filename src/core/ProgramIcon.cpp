#include "core/ProgramIcon.h"

QIcon programIcon()
{
    QIcon icon;
    for (int size : {32, 48, 128, 256})
        icon.addFile(QStringLiteral(":/icons/icon-%1.png").arg(size), QSize(size, size));
    return icon;
}
