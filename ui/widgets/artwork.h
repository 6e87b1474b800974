#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

namespace pelmar::artwork {

// The time clock's background picture and window icon, drawn by the program
// itself so that it ships no image files. The background's clock face shows
// the minute of the day given (0 to 1439).
QPixmap background(const QSize& size, int minuteOfDay);
QIcon windowIcon();
// The light grey behind the clock's windows.
inline const QColor WindowGrey{0xE0, 0xE0, 0xE0};

} // namespace pelmar::artwork
