#include "platform/rtl/Utf8.h"

namespace vel {

char32_t Utf8Decode(std::string_view s, std::size_t& pos) {
    if (pos >= s.size()) return 0;
    const auto b0 = static_cast<unsigned char>(s[pos]);
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    int extra;
    char32_t cp;
    char32_t min;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1; cp = b0 & 0x1F; min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2; cp = b0 & 0x0F; min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3; cp = b0 & 0x07; min = 0x10000;
    } else {
        ++pos;
        return kReplacementChar;
    }
    if (pos + extra >= s.size()) {  // truncated sequence
        ++pos;
        return kReplacementChar;
    }
    for (int i = 1; i <= extra; ++i) {
        const auto b = static_cast<unsigned char>(s[pos + i]);
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return kReplacementChar;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return kReplacementChar;
    }
    pos += extra + 1;
    return cp;
}

void Utf8Append(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacementChar;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string Utf8Encode(char32_t cp) {
    std::string s;
    Utf8Append(s, cp);
    return s;
}

std::size_t Utf8Length(std::string_view s) {
    std::size_t n = 0;
    for (std::size_t pos = 0; pos < s.size(); ++n) Utf8Decode(s, pos);
    return n;
}

std::size_t Utf8Next(std::string_view s, std::size_t pos) {
    if (pos >= s.size()) return s.size();
    Utf8Decode(s, pos);
    return pos;
}

std::size_t Utf8Prev(std::string_view s, std::size_t pos) {
    if (pos > s.size()) pos = s.size();
    if (pos == 0) return 0;
    // Step back over at most three continuation bytes, then check that the lead byte really
    // spans up to pos; otherwise the previous "character" is the single byte before pos.
    std::size_t start = pos - 1;
    int back = 0;
    while (start > 0 && back < 3 && (static_cast<unsigned char>(s[start]) & 0xC0) == 0x80) {
        --start;
        ++back;
    }
    std::size_t p = start;
    Utf8Decode(s, p);
    return p == pos ? start : pos - 1;
}

std::size_t Utf8ByteOffset(std::string_view s, std::size_t cpIndex) {
    std::size_t pos = 0;
    for (std::size_t i = 0; i < cpIndex && pos < s.size(); ++i) Utf8Decode(s, pos);
    return pos;
}

std::size_t Utf8CharIndex(std::string_view s, std::size_t pos) {
    std::size_t i = 0;
    std::size_t p = 0;
    while (p < s.size()) {
        std::size_t next = p;
        Utf8Decode(s, next);
        if (pos < next) return i;
        p = next;
        ++i;
    }
    return i;
}

std::string Utf8Copy(std::string_view s, std::size_t cpStart, std::size_t cpCount) {
    const std::size_t begin = Utf8ByteOffset(s, cpStart);
    std::size_t end = begin;
    for (std::size_t i = 0; i < cpCount && end < s.size(); ++i) Utf8Decode(s, end);
    return std::string(s.substr(begin, end - begin));
}

bool Utf8IsValid(std::string_view s) {
    for (std::size_t pos = 0; pos < s.size();) {
        const std::size_t before = pos;
        if (Utf8Decode(s, pos) == kReplacementChar) {
            // A genuine U+FFFD is three bytes long; a decoding failure advances by one.
            if (pos - before != 3) return false;
        }
    }
    return true;
}

char32_t UnicodeToUpper(char32_t c) {
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
    if (c < 0x100) {
        if (c == 0xB5) return 0x39C;
        if (c == 0xFF) return 0x178;
        if (c >= 0xE0 && c != 0xF7) return c - 32;
        return c;
    }
    if (c <= 0x17F) {
        if (c == 0x131) return 'I';
        if (c == 0x17F) return 'S';
        if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return c & ~char32_t{1};
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c : c - 1;
        return c;
    }
    if (c >= 0x3AC && c <= 0x3CE) {
        if (c == 0x3AC) return 0x386;
        if (c >= 0x3AD && c <= 0x3AF) return c - 37;
        if (c == 0x3C2) return 0x3A3;
        if (c >= 0x3B1 && c <= 0x3C9) return c - 32;
        if (c == 0x3CC) return 0x38C;
        if (c == 0x3CD || c == 0x3CE) return c - 63;
        return c;
    }
    if (c >= 0x430 && c <= 0x44F) return c - 32;
    if (c >= 0x450 && c <= 0x45F) return c - 80;
    return c;
}

char32_t UnicodeToLower(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if (c < 0x100) {
        if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
        return c;
    }
    if (c <= 0x17F) {
        if (c == 0x130) return 'i';
        if (c == 0x178) return 0xFF;
        if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return c | 1;
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c + 1 : c;
        return c;
    }
    if (c >= 0x386 && c <= 0x3AB) {
        if (c == 0x386) return 0x3AC;
        if (c >= 0x388 && c <= 0x38A) return c + 37;
        if (c == 0x38C) return 0x3CC;
        if (c == 0x38E || c == 0x38F) return c + 63;
        if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;
        return c;
    }
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

namespace {
template <typename Map>
std::string MapCase(std::string_view s, Map map) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t pos = 0; pos < s.size();) {
        const std::size_t before = pos;
        const char32_t cp = Utf8Decode(s, pos);
        if (cp == kReplacementChar && pos - before != 3) {
            out.append(s.substr(before, pos - before));  // keep malformed bytes as they were
        } else {
            Utf8Append(out, map(cp));
        }
    }
    return out;
}
}  // namespace

std::string Utf8UpperCase(std::string_view s) { return MapCase(s, UnicodeToUpper); }
std::string Utf8LowerCase(std::string_view s) { return MapCase(s, UnicodeToLower); }

int Utf8CompareText(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const unsigned char ca = a[i], cb = b[j];
        char32_t x, y;
        if (ca < 0x80 && cb < 0x80) {  // fast path for ASCII
            x = (ca >= 'A' && ca <= 'Z') ? ca + 32 : ca;
            y = (cb >= 'A' && cb <= 'Z') ? cb + 32 : cb;
            ++i;
            ++j;
        } else {
            x = UnicodeToLower(Utf8Decode(a, i));
            y = UnicodeToLower(Utf8Decode(b, j));
        }
        if (x != y) return x < y ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

bool Utf8SameText(std::string_view a, std::string_view b) { return Utf8CompareText(a, b) == 0; }

int Utf8CompareStr(std::string_view a, std::string_view b) {
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace vel
