#pragma once
#include <QIcon>

// The program's multi-size icon (32, 48, 128 and 256 pixels).
QIcon programIcon();
