#pragma once
// Errors of the graphics layer: undecodable pictures and canvas misuse.
#include "platform/rtl/Exceptions.h"

namespace vel {

VEL_DECLARE_EXCEPTION(EInvalidGraphic, Exception)
VEL_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception)
VEL_DECLARE_EXCEPTION(EOutOfResources, Exception)

}  // namespace vel
