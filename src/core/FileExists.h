#pragma once
#include <QString>

// True when the file system can report a modification time for the path; never throws.
bool FileExists(const QString &path);
