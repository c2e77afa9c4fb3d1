#include "extract/Shared.h"
#include "app/UiContext.h"
#include "platform/Clock.h"

QString FileNameFromPath(const QString &path)
{
    const qsizetype last = path.lastIndexOf(QLatin1Char('/'));
    return last < 0 ? path : path.mid(last + 1);
}

void PauseSeconds(double seconds, IClock &clock, const MainWindowState *window)
{
    constexpr double Day = 86400.0;
    const double start = clock.secondsSinceMidnight();
    for (;;) {
        if (!processPendingEvents(window))
            return;
        double elapsed = clock.secondsSinceMidnight() - start;
        if (elapsed < 0)
            elapsed += Day; // the clock went past midnight
        if (elapsed >= seconds)
            return;
    }
}
