#include "app/Form1.h"
#include <QApplication>
int runApplication(int argc, char **argv) { QApplication app(argc, argv); QWidget w; w.show(); return app.exec(); }
