#include "grid/ResStrings.h"

#include <map>
#include <utility>

#include "platform/classes/Strings.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

namespace vel {

namespace {

struct TLessText {
    bool operator()(const std::string& A, const std::string& B) const {
        return CompareText(A, B) < 0;
    }
};

// A function-local map: texts register during static initialisation of any unit.
std::multimap<std::string, TResourceString*, TLessText>& Registry() {
    static std::multimap<std::string, TResourceString*, TLessText> map;
    return map;
}

}  // namespace

TResourceString::TResourceString(const char* Name, const char* DefaultText)
    : FName(Name), FDefault(DefaultText), FText(DefaultText) {
    Registry().emplace(Name, this);
}

TResourceString::~TResourceString() {
    auto& map = Registry();
    auto [first, last] = map.equal_range(FName);
    for (auto it = first; it != last; ++it)
        if (it->second == this) {
            map.erase(it);
            break;
        }
}

std::vector<TResourceString*> GetResourceStrings() {
    std::vector<TResourceString*> result;
    for (auto& [name, text] : Registry()) result.push_back(text);
    return result;
}

TResourceString* FindResourceString(const std::string& Name) {
    auto it = Registry().find(Name);
    return it == Registry().end() ? nullptr : it->second;
}

void SetResourceString(const std::string& Name, const std::string& Text) {
    TResourceString* s = FindResourceString(Name);
    if (!s) throw EInvalidArgument("There is no text named '" + Name + "'.");
    s->Set(Text);
}

void LoadResourceStrings(const TStrings& Lines) {
    std::vector<std::pair<TResourceString*, std::string>> pending;
    for (int i = 0; i < Lines.Count(); ++i) {
        std::string line = Lines[i];
        if (Trim(line).empty() || line[0] == ';') continue;
        auto eq = line.find('=');
        if (eq == std::string::npos)
            throw EInvalidArgument("Line " + std::to_string(i + 1) + " '" + line +
                                   "' is not of the form Name=Text.");
        std::string name = Trim(line.substr(0, eq));
        TResourceString* s = FindResourceString(name);
        if (!s)
            throw EInvalidArgument("Line " + std::to_string(i + 1) +
                                   ": there is no text named '" + name + "'.");
        pending.emplace_back(s, line.substr(eq + 1));
    }
    for (auto& [s, text] : pending) s->Set(text);
}

void ResetResourceStrings() {
    for (auto& [name, text] : Registry()) text->Reset();
}

}  // namespace vel
