#pragma once
#include <QString>

// Fixed names of the product and its maker.
namespace product {
inline const QString Name = QStringLiteral("Quillmere Vantrel");
inline const QString SettingsApplication = QStringLiteral("Velkorn");
inline const QString SettingsSection = QStringLiteral("Quillmere Vantrel");
inline const QString SupportAddress = QStringLiteral("support@velkorn.example");
inline const QString HomePage = QStringLiteral("https://velkorn.example/quillmere-vantrel");
inline const QString LocationPrefix = QStringLiteral("Quillmark2021/08/31.");
} // namespace product
