#pragma once
// Pictures of the data grid drawn offscreen: one grid showing everything its fixed cells can
// (docs/images/grid.png) and the same grid in every fixed style, with the system's themes off
// and on and under a custom style (docs/images/grid-styles.png).
#include <memory>

#include "platform/graphics/Bitmap.h"

namespace velsheets {

std::unique_ptr<vel::TBitmap> GridShowcase();
std::unique_ptr<vel::TBitmap> GridStylesSheet();

}  // namespace velsheets
