// An INI text of any shape loads without crashing; what was read survives a rewrite (as text
// and rebuilt key by key) unchanged.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/classes/IniFiles.h"
#include "platform/classes/Strings.h"

namespace {

using TView = std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>>;

// Every section with keys, each key once with the value a read returns.
TView Snapshot(vel::TMemIniFile& ini) {
    TView view;
    vel::TStringList sections, keys;
    ini.ReadSections(&sections);
    for (int i = 0; i < sections.Count(); ++i) {
        ini.ReadSection(sections[i], &keys);
        std::vector<std::pair<std::string, std::string>> entries;
        vel::TStringList seen;
        for (int k = 0; k < keys.Count(); ++k) {
            if (seen.IndexOf(keys[k]) >= 0) continue;
            seen.Add(keys[k]);
            entries.emplace_back(keys[k], ini.ReadString(sections[i], keys[k], "\x01missing"));
        }
        if (!entries.empty()) view.emplace_back(sections[i], std::move(entries));
    }
    return view;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    vel::TMemIniFile ini("");
    ini.SetText(text);
    const TView view = Snapshot(ini);

    vel::TMemIniFile reread("");
    reread.SetText(ini.GetText());
    if (Snapshot(reread) != view || reread.GetText() != ini.GetText()) __builtin_trap();

    vel::TMemIniFile rebuilt("");
    for (const auto& [section, entries] : view)
        for (const auto& [key, value] : entries) rebuilt.WriteString(section, key, value);
    vel::TMemIniFile rebuiltReread("");
    rebuiltReread.SetText(rebuilt.GetText());
    if (Snapshot(rebuiltReread) != view) __builtin_trap();
    return 0;
}
