#pragma once
// Code-point work on UTF-8 strings. Malformed bytes decode as U+FFFD one byte at a time, so
// every loop over a damaged string still advances and ends.
#include <cstddef>
#include <string>
#include <string_view>

namespace vel {

constexpr char32_t kReplacementChar = 0xFFFD;

// Decodes the code point at byte offset pos and moves pos past it.
char32_t Utf8Decode(std::string_view s, std::size_t& pos);
void Utf8Append(std::string& out, char32_t cp);
std::string Utf8Encode(char32_t cp);

// Number of code points.
std::size_t Utf8Length(std::string_view s);
// Byte offset of the code point after / before the one at pos (clamped to [0, size]).
std::size_t Utf8Next(std::string_view s, std::size_t pos);
std::size_t Utf8Prev(std::string_view s, std::size_t pos);
// Byte offset of the cpIndex-th code point (size() when past the end).
std::size_t Utf8ByteOffset(std::string_view s, std::size_t cpIndex);
// Code-point index of the code point that starts at or contains byte offset pos.
std::size_t Utf8CharIndex(std::string_view s, std::size_t pos);
// Substring by code points.
std::string Utf8Copy(std::string_view s, std::size_t cpStart, std::size_t cpCount = std::string_view::npos);
bool Utf8IsValid(std::string_view s);

// Simple (one to one) case mapping: ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic.
char32_t UnicodeToUpper(char32_t cp);
char32_t UnicodeToLower(char32_t cp);
std::string Utf8UpperCase(std::string_view s);
std::string Utf8LowerCase(std::string_view s);

// Case-insensitive comparison by folded code points: <0, 0, >0.
int Utf8CompareText(std::string_view a, std::string_view b);
bool Utf8SameText(std::string_view a, std::string_view b);
// Case-sensitive comparison in code-point order (the same as byte order for valid UTF-8).
int Utf8CompareStr(std::string_view a, std::string_view b);

}  // namespace vel
