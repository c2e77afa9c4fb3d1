#include "app/UiContext.h"
#include <QCoreApplication>

bool processPendingEvents(const MainWindowState *window)
{
    QCoreApplication::processEvents();
    return !(window && window->hasEnded());
}
