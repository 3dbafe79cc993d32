#pragma once
// Search and split helpers over UTF-8 strings.
//
// Positions are 0-based byte offsets and "not found" is std::string::npos, as elsewhere in
// C++; the case-insensitive forms fold UTF-8 letters the way AnsiSameText does.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vel {

// Byte offset of the first sub at or after offset, npos when absent (or sub is empty).
std::size_t Pos(std::string_view sub, std::string_view s, std::size_t offset = 0);
inline std::size_t PosEx(std::string_view sub, std::string_view s, std::size_t offset) {
    return Pos(sub, s, offset);
}

bool StartsStr(std::string_view prefix, std::string_view s);
bool EndsStr(std::string_view suffix, std::string_view s);
bool ContainsStr(std::string_view s, std::string_view sub);
bool StartsText(std::string_view prefix, std::string_view s);
bool EndsText(std::string_view suffix, std::string_view s);
bool ContainsText(std::string_view s, std::string_view sub);

std::string ReplaceStr(std::string_view s, std::string_view from, std::string_view to);
std::string ReplaceText(std::string_view s, std::string_view from, std::string_view to);

// Splits at every byte that is one of delimiters; n delimiters give n + 1 parts.
std::vector<std::string> SplitString(std::string_view s, std::string_view delimiters);

// By code points, clamped to the string.
std::string LeftStr(std::string_view s, std::size_t count);
std::string RightStr(std::string_view s, std::size_t count);
std::string DupeString(std::string_view s, std::size_t count);

}  // namespace vel
