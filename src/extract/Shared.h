#pragma once
#include <QString>

class IClock;
class MainWindowState;

// The part of a path after its last separator (all of it when there is none).
QString FileNameFromPath(const QString &path);

// Waits the given seconds while the window keeps processing events, sleeping while none arrive. The
// clock counts seconds since midnight, so a wait that spans midnight still ends. Returns early when the
// program has ended.
void PauseSeconds(double seconds, IClock &clock, const MainWindowState *window);
