// Metafiles have no pixel size of their own worth keeping: they are drawn at
// the caller's default size, stretched, and their alpha is inverted so that
// the undrawn background ends up transparent.
#pragma once

#include <QImage>
#include <string_view>

namespace tinta {

// True when the file name's last extension is wmf or emf, in any letter case.
// Folder names and earlier extensions do not count.
bool IsMetafilePath(std::string_view path);

// Draws picture stretched to width x height onto opaque black with
// source-copy compositing (drawn pixels replace the surface's, alpha
// included), then replaces every alpha byte by 255 minus itself. The result
// is non-premultiplied ARGB32; null when the surface cannot be made.
QImage DrawAsMetafile(const QImage& picture, int width, int height);

}  // namespace tinta
