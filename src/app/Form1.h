#pragma once
#include <QWidget>
int runApplication(int argc, char **argv);
