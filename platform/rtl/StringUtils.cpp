// String, quoting and file-name helpers.
#include <sys/stat.h>
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "platform/rtl/StrUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"

namespace vel {

namespace {

bool IsTrimmed(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}
char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

int Sign(int c) {
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// Case-folded code points with the byte offset each starts at (plus the end offset), so a
// match found among folded code points maps back to bytes of the original.
struct TFolded {
    std::u32string Text;
    std::vector<std::size_t> Offsets;
};

TFolded Fold(std::string_view s) {
    TFolded f;
    f.Text.reserve(s.size());
    f.Offsets.reserve(s.size() + 1);
    std::size_t pos = 0;
    while (pos < s.size()) {
        f.Offsets.push_back(pos);
        f.Text.push_back(UnicodeToLower(Utf8Decode(s, pos)));
    }
    f.Offsets.push_back(s.size());
    return f;
}

}  // namespace

// ---- trimming and case ----------------------------------------------------------------------

std::string Trim(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsTrimmed(s[b])) ++b;
    while (e > b && IsTrimmed(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
}

std::string TrimLeft(std::string_view s) {
    std::size_t b = 0;
    while (b < s.size() && IsTrimmed(s[b])) ++b;
    return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
    std::size_t e = s.size();
    while (e > 0 && IsTrimmed(s[e - 1])) --e;
    return std::string(s.substr(0, e));
}

std::string UpperCase(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = AsciiUpper(c);
    return r;
}

std::string LowerCase(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = AsciiLower(c);
    return r;
}

std::string AnsiUpperCase(std::string_view s) {
    return Utf8UpperCase(s);
}
std::string AnsiLowerCase(std::string_view s) {
    return Utf8LowerCase(s);
}

int CompareStr(std::string_view a, std::string_view b) {
    return Sign(a.compare(b));
}

int CompareText(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(AsciiLower(a[i]));
        const auto y = static_cast<unsigned char>(AsciiLower(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameStr(std::string_view a, std::string_view b) {
    return a == b;
}
bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

int AnsiCompareStr(std::string_view a, std::string_view b) {
    return Utf8CompareStr(a, b);
}
int AnsiCompareText(std::string_view a, std::string_view b) {
    return Utf8CompareText(a, b);
}
bool AnsiSameStr(std::string_view a, std::string_view b) {
    return a == b;
}
bool AnsiSameText(std::string_view a, std::string_view b) {
    return Utf8SameText(a, b);
}

// ---- quoting --------------------------------------------------------------------------------

std::string QuotedStr(std::string_view s) {
    return AnsiQuotedStr(s, '\'');
}

std::string AnsiQuotedStr(std::string_view s, char quote) {
    std::string r;
    r.reserve(s.size() + 2);
    r += quote;
    for (char c : s) {
        r += c;
        if (c == quote) r += quote;
    }
    r += quote;
    return r;
}

std::string AnsiExtractQuotedStr(std::string_view s, std::size_t& pos, char quote) {
    if (pos >= s.size() || s[pos] != quote) return {};
    std::string r;
    std::size_t i = pos + 1;
    while (i < s.size()) {
        if (s[i] == quote) {
            if (i + 1 < s.size() && s[i + 1] == quote) {
                r += quote;
                i += 2;
                continue;
            }
            ++i;  // closing quote
            break;
        }
        r += s[i++];
    }
    pos = i;
    return r;
}

std::string AnsiDequotedStr(std::string_view s, char quote) {
    std::size_t pos = 0;
    if (s.size() < 2 || s.front() != quote || s.back() != quote) return std::string(s);
    std::string r = AnsiExtractQuotedStr(s, pos, quote);
    // Only a string that is quoted as a whole loses its quotes.
    if (pos != s.size()) return std::string(s);
    return r;
}

// ---- search and replace ---------------------------------------------------------------------

std::string StringReplace(std::string_view s, std::string_view oldPattern,
                          std::string_view newPattern, TReplaceFlags flags) {
    if (oldPattern.empty()) return std::string(s);
    const bool all = flags.Contains(TReplaceFlag::rfReplaceAll);
    std::string out;
    if (!flags.Contains(TReplaceFlag::rfIgnoreCase)) {
        std::size_t from = 0;
        for (;;) {
            const std::size_t at = s.find(oldPattern, from);
            if (at == std::string_view::npos) break;
            out.append(s.substr(from, at - from));
            out.append(newPattern);
            from = at + oldPattern.size();
            if (!all) break;
        }
        out.append(s.substr(from));
        return out;
    }
    const TFolded text = Fold(s);
    const TFolded pattern = Fold(oldPattern);
    std::size_t from = 0;    // code-point index
    std::size_t copied = 0;  // byte offset
    for (;;) {
        const std::size_t at = text.Text.find(pattern.Text, from);
        if (at == std::u32string::npos) break;
        out.append(s.substr(copied, text.Offsets[at] - copied));
        out.append(newPattern);
        from = at + pattern.Text.size();
        copied = text.Offsets[from];
        if (!all) break;
    }
    out.append(s.substr(copied));
    return out;
}

std::size_t Pos(std::string_view sub, std::string_view s, std::size_t offset) {
    if (sub.empty() || offset > s.size()) return std::string::npos;
    return s.find(sub, offset);
}

bool StartsStr(std::string_view prefix, std::string_view s) {
    return s.starts_with(prefix);
}
bool EndsStr(std::string_view suffix, std::string_view s) {
    return s.ends_with(suffix);
}
bool ContainsStr(std::string_view s, std::string_view sub) {
    return s.find(sub) != std::string_view::npos;
}

bool StartsText(std::string_view prefix, std::string_view s) {
    const TFolded p = Fold(prefix), t = Fold(s);
    return t.Text.starts_with(p.Text);
}

bool EndsText(std::string_view suffix, std::string_view s) {
    const TFolded p = Fold(suffix), t = Fold(s);
    return t.Text.ends_with(p.Text);
}

bool ContainsText(std::string_view s, std::string_view sub) {
    return Fold(s).Text.find(Fold(sub).Text) != std::u32string::npos;
}

std::string ReplaceStr(std::string_view s, std::string_view from, std::string_view to) {
    return StringReplace(s, from, to, {TReplaceFlag::rfReplaceAll});
}

std::string ReplaceText(std::string_view s, std::string_view from, std::string_view to) {
    return StringReplace(s, from, to, {TReplaceFlag::rfReplaceAll, TReplaceFlag::rfIgnoreCase});
}

std::vector<std::string> SplitString(std::string_view s, std::string_view delimiters) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (delimiters.find(s[i]) != std::string_view::npos) {
            parts.emplace_back(s.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.emplace_back(s.substr(start));
    return parts;
}

std::string LeftStr(std::string_view s, std::size_t count) {
    return Utf8Copy(s, 0, count);
}

std::string RightStr(std::string_view s, std::size_t count) {
    const std::size_t len = Utf8Length(s);
    return count >= len ? std::string(s) : Utf8Copy(s, len - count);
}

std::string DupeString(std::string_view s, std::size_t count) {
    std::string r;
    r.reserve(s.size() * count);
    for (std::size_t i = 0; i < count; ++i) r.append(s);
    return r;
}

// ---- file names -----------------------------------------------------------------------------

namespace {
// Offset just past the last '/', 0 when there is none.
std::size_t NameStart(std::string_view f) {
    const std::size_t p = f.rfind(PathDelim);
    return p == std::string_view::npos ? 0 : p + 1;
}
// Offset of the extension's dot within the name part, npos when none.
std::size_t ExtStart(std::string_view f) {
    const std::size_t name = NameStart(f);
    const std::size_t dot = f.rfind('.');
    return dot == std::string_view::npos || dot < name ? std::string_view::npos : dot;
}
}  // namespace

std::string ChangeFileExt(std::string_view fileName, std::string_view extension) {
    const std::size_t dot = ExtStart(fileName);
    std::string r(fileName.substr(0, dot));
    r.append(extension);
    return r;
}

std::string ExtractFileName(std::string_view fileName) {
    return std::string(fileName.substr(NameStart(fileName)));
}

std::string ExtractFilePath(std::string_view fileName) {
    return std::string(fileName.substr(0, NameStart(fileName)));
}

std::string ExtractFileDir(std::string_view fileName) {
    std::size_t n = NameStart(fileName);
    // Keep the root's own delimiter: the folder of "/x" is "/".
    if (n > 1) --n;
    return std::string(fileName.substr(0, n));
}

std::string ExtractFileExt(std::string_view fileName) {
    const std::size_t dot = ExtStart(fileName);
    return dot == std::string_view::npos ? std::string() : std::string(fileName.substr(dot));
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
    std::string r(path);
    if (r.empty() || r.back() != PathDelim) r += PathDelim;
    return r;
}

std::string ExcludeTrailingPathDelimiter(std::string_view path) {
    std::string r(path);
    while (r.size() > 1 && r.back() == PathDelim) r.pop_back();
    return r;
}

bool DirectoryExists(const std::string& dir) {
    struct stat st;
    return !dir.empty() && ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& dir) {
    if (dir.empty()) return false;
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return DirectoryExists(dir);
}

bool DeleteFile(const std::string& fileName) {
    return FileExists(fileName) && std::remove(fileName.c_str()) == 0;
}

bool RenameFile(const std::string& oldName, const std::string& newName) {
    // The classic routine refuses to replace an existing file.
    struct stat st;
    if (::lstat(newName.c_str(), &st) == 0) return false;
    return std::rename(oldName.c_str(), newName.c_str()) == 0;
}

}  // namespace vel
