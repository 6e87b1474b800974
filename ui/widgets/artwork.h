#pragma once

#include <QIcon>
#include <QPixmap>

namespace pelmar::artwork {

// The time clock's background picture and window icon, drawn by the program
// itself so that it ships no image files.
QPixmap background(const QSize& size);
QIcon windowIcon();

} // namespace pelmar::artwork
