#pragma once

#include <QIcon>
#include <QPixmap>

namespace tvx {

inline constexpr int kToolbarImageCount = 17;
inline constexpr int kToolbarImageWidth = 32;
inline constexpr int kToolbarImageHeight = 22;

// The image of toolbar button `index` (0..15, in toolbar order), 32 x 22 pixels on a transparent
// ground. Any other index gives an empty image of that size.
QPixmap toolbar_image(int index);

// The main window's icon: a small monitor showing a title line.
QIcon application_icon();

}  // namespace tvx
