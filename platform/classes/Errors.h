#pragma once
// Errors of the component framework: lists, INI files, the registry store, classes, components,
// published properties and form reading.
#include "platform/rtl/Exceptions.h"

namespace vel {

VEL_DECLARE_EXCEPTION(EListError, Exception)
VEL_DECLARE_EXCEPTION(EStringListError, EListError)
VEL_DECLARE_EXCEPTION(EIniFileException, Exception)
VEL_DECLARE_EXCEPTION(ERegistryException, Exception)
VEL_DECLARE_EXCEPTION(EClassNotFound, EReadError)
VEL_DECLARE_EXCEPTION(EComponentError, Exception)
VEL_DECLARE_EXCEPTION(EPropertyError, Exception)

}  // namespace vel
