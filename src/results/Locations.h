#pragma once
#include "app/Product.h"
#include <QString>

// Where the error report says a trapped error happened.
namespace results::location {
inline const QString ClearResults = product::LocationPrefix + QStringLiteral("Form1.PushButton5_Click");
inline const QString TextButton = product::LocationPrefix + QStringLiteral("Form1.PushButton1_Click");
inline const QString TextWriter =
    product::LocationPrefix + QStringLiteral("Main.SaveListviewProperlySpacedWithoutProgressBar");
inline const QString WorkbookButton = product::LocationPrefix + QStringLiteral("Form1.PushButton13_Click");
inline const QString ClipboardButton = product::LocationPrefix + QStringLiteral("Form1.PushButton2_Click");
} // namespace results::location
