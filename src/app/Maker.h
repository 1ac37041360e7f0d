#pragma once

#include <QString>

namespace wm::maker {

inline const QString kWebAddress = QStringLiteral("https://www.wendemark.example");
inline const QString kWebAddressShown = QStringLiteral("www.wendemark.example");
inline const QString kNoticeLine = QStringLiteral("Wendemark – Zeitnahme und Yardstick-Wertung für Segelclubs");
inline const QString kLogo = QStringLiteral(":/icons/logo.svg");
inline const QString kProgramIcon = QStringLiteral(":/icons/wendemark.svg");

} // namespace wm::maker
