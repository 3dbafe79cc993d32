#pragma once
// The standard colour names for streaming and property text ("clBtnFace" <-> 0xFF00000F).
// The colour constants themselves and the colour arithmetic belong to graphics
// (graphics/Colors.h); this table only maps names, so that classes needs no graphics. A colour
// is 0x00BBGGRR, a system colour 0xFF000000 | index, clNone 0x1FFFFFFF, clDefault 0x20000000.
#include <cstdint>
#include <string>
#include <string_view>

namespace vel {

using TColor = std::int32_t;

// The standard name of a colour value; false when it has none.
bool FindColorName(TColor Color, std::string& Name);
// Case-insensitive; false for an unknown name.
bool FindColorValue(std::string_view Name, TColor& Color);

struct TIdentMapInfo;
// Colour names for integer properties (streaming and GetPropText).
const TIdentMapInfo* ColorIdentMap();

}  // namespace vel
