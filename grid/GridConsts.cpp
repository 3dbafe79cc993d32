#include "grid/GridConsts.h"

namespace vel {

// Each tunable with its shipped value, written once: the definitions and the reset use it.
#define VEL_GRID_TUNABLES(X)                             \
    X(DelayInterval, 200)                                \
    X(MaxDropDownRows, 20)                               \
    X(MaxDropDownWidth, 800)                             \
    X(ListDropDownDelay, 8)                              \
    X(ListMouseTracking, true)                           \
    X(DefPickTextFormat, "%1:s - %0:s")                  \
    X(DefaultDelimiter, ',')                             \
    X(DefAutoNumberFormat, "%d.")                        \
    X(DefAutoNumberTitle, "No.")                         \
    X(DefAutoSelectTitle, "Select")                      \
    X(DefAutoExpandTitle, "Expand")                      \
    X(NullValueString, "")                               \
    X(DefaultIniFileName, "")                            \
    X(DefaultRegistryKey, "\\Software\\Pimworks\\VelDBGrid")

#define VEL_DEFINE_TUNABLE(Name, Value) decltype(Name) Name = Value;
#define VEL_RESET_TUNABLE(Name, Value) Name = Value;

VEL_GRID_TUNABLES(VEL_DEFINE_TUNABLE)

void ResetGridTunables() { VEL_GRID_TUNABLES(VEL_RESET_TUNABLE) }

}  // namespace vel
