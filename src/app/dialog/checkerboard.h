// Pictures for the preview: scaled to fit a room, transparent areas shown
// over a checkerboard.
#pragma once

#include <QImage>
#include <QSize>

namespace tinta {

// Side of one checkerboard square, in pixels.
inline constexpr int kCheckerSquare = 8;

// The largest size with the picture's aspect ratio that fits inside room
// (at least 1 x 1); an empty size for an empty picture or room.
QSize FitInside(QSize picture, QSize room);

// picture scaled to size (smoothly when it shrinks, pixel by pixel when it
// grows, so small pictures stay sharp) and laid over a light and dark grey
// checkerboard, which shows where the picture is transparent. Opaque result.
QImage OnCheckerboard(const QImage& picture, QSize size);

}  // namespace tinta
