#include "grid/GridSettings.h"

#include <filesystem>
#include <system_error>

#include "grid/GridConsts.h"
#include "platform/classes/TypInfo.h"

namespace vel {

VEL_ENUM_INFO(TVelSettingsOption, soLoadLayout, soSaveLayout, soUserSettings, soStretchMode,
              soOrderFields, soLinesCount, soMultiSelect, soSelectedRow, soStripedRows,
              soAutoFilter, soFiltered, soFilters)

VEL_DEFINE_CLASS(TVelDBGridSettings, TPersistent)

VEL_PUBLISHED(TVelDBGridSettings) {
    Prop("Active", &T::GetActive, &T::SetActive, false);
    Prop("ExeName", &T::GetExeName, &T::SetExeName, true);
    Prop("FileName", &T::GetFileName, &T::SetFileName);
    Prop("IniFile", &T::GetIniFile, &T::SetIniFile, false);
    Prop("Layout", &T::GetLayout, &T::SetLayout).Stored(false);
    Prop("Options", &T::GetOptions, &T::SetOptions, TVelDBGridSettings::DefaultOptions());
    Prop("Section", &T::GetSection, &T::SetSection).Stored(&T::IsSectionStored);
}

TVelSettingsOptions TVelDBGridSettings::DefaultOptions() {
    return {TVelSettingsOption::soLoadLayout, TVelSettingsOption::soSaveLayout};
}

TVelDBGridSettings::TVelDBGridSettings(TComponent* AGrid)
    : FGrid(AGrid), FLayout(new TStringList), FOptions(DefaultOptions()) {}

TVelDBGridSettings::~TVelDBGridSettings() { delete FLayout; }

void TVelDBGridSettings::SetLayout(TStrings* Value) { FLayout->Assign(Value); }

std::string TVelDBGridSettings::GetDefaultSection() const {
    if (!FGrid || FGrid->GetName().empty()) return {};
    const TComponent* owner = FGrid->GetOwner();
    if (!owner || owner->GetName().empty()) return FGrid->GetName();
    return owner->GetName() + "." + FGrid->GetName();
}

std::string TVelDBGridSettings::GetSection() const {
    return FSection.empty() ? GetDefaultSection() : FSection;
}

void TVelDBGridSettings::SetSection(const std::string& Value) {
    FSection = Value == GetDefaultSection() ? std::string() : Value;
}

std::string ExecutablePath() {
    std::error_code ec;
    auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : path.string();
}

std::string TVelDBGridSettings::GetDefaultFileName() const {
    const std::filesystem::path exe = ExecutablePath();
    if (FIniFile) {
        if (!DefaultIniFileName.empty()) return DefaultIniFileName;
        return std::filesystem::path(exe).replace_extension(".ini").string();
    }
    std::string key = DefaultRegistryKey;
    static const std::string shipped = "\\Software\\Pimworks\\VelDBGrid";
    if (key == shipped && FExeName && !exe.empty()) {
        const std::string unit = "VelDBGrid";
        key.replace(key.find(unit), unit.size(), exe.stem().string());
    }
    return key;
}

}  // namespace vel
