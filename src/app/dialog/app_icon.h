// The program's window icon (icon 128), drawn from the SVG in the resources.
#pragma once

#include <QIcon>

namespace tinta {

QIcon AppIcon();

}  // namespace tinta
