#pragma once
#include <QString>

// The part of a path after its last separator (all of it when there is none).
QString FileNameFromPath(const QString &path);
