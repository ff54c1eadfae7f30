#pragma once
// Device state colours shared by the live table and the tile view.
#include <QColor>

namespace livestate {
inline constexpr QRgb kNormalGreen = qRgb(0, 168, 84);
inline constexpr QRgb kAlarmRed = qRgb(170, 0, 0);
inline constexpr QRgb kOfflineBlue = qRgb(0, 0, 255);
}  // namespace livestate
