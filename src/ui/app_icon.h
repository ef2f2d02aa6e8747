// The program's icon, drawn in code: the window icon and the PNG files the
// installer puts into the icon theme.
#pragma once

#include <QImage>
#include <vector>

#include "install/desktop_integration.h"

namespace tunevale {

// The sizes of the icon theme's "<n>x<n>/apps" folders we fill.
inline constexpr int AppIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

QImage AppIconImage(int size);
// "<n>x<n>/apps/tunevale.png" for each size, as PNG bytes.
std::vector<TIconFile> AppIconFiles();

}  // namespace tunevale
