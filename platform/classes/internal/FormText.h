#pragma once
// Internal: the parsed form text (FormText.cpp parses, Streaming.cpp applies).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vel {

struct TFormProperty;

struct TFormItem {
    std::vector<TFormProperty> Props;
    int Line = 0;
};

struct TFormValue {
    enum class TKind {
        vkInteger,
        vkFloat,
        vkString,
        vkIdent,
        vkSet,
        vkList,
        vkCollection,
        vkBinary
    };
    TKind Kind = TKind::vkInteger;
    std::int64_t Int = 0;
    double Float = 0;
    std::string Str;                 // string text, identifier or binary bytes
    std::vector<std::string> Names;  // set elements
    std::vector<TFormValue> List;
    std::vector<TFormItem> Items;
    int Line = 0;
};

struct TFormProperty {
    std::string Path;
    TFormValue Value;
    int Line = 0;
};

struct TFormObject {
    std::string Name;
    std::string ClassName;
    int Line = 0;
    std::vector<TFormProperty> Props;
    std::vector<TFormObject> Children;
};

// Both raise EReadError "Line N: ..." on malformed text.
TFormObject ParseFormText(std::string_view Text);
// A collection on its own: "< item ... end >".
TFormValue ParseCollectionText(std::string_view Text);

const char* FormValueKindName(TFormValue::TKind Kind);

}  // namespace vel
