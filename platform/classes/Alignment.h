#pragma once
// Horizontal alignment of text in a control, a field or a grid column.
namespace vel {

struct TEnumInfo;

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
const TEnumInfo* EnumTypeInfo(TAlignment*);

}  // namespace vel
