#include "platform/classes/Alignment.h"

#include "platform/classes/PropAccess.h"

namespace vel {

VEL_ENUM_INFO(TAlignment, taLeftJustify, taRightJustify, taCenter)

}  // namespace vel
