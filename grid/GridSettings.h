#pragma once
// TVelDBGridSettings: where and what of the grid's layout is persisted.
#include "platform/classes/Component.h"
#include "platform/classes/PropAccess.h"
#include "platform/classes/Strings.h"
#include "platform/rtl/TSet.h"

namespace vel {

enum class TVelSettingsOption {
    soLoadLayout, soSaveLayout, soUserSettings, soStretchMode, soOrderFields, soLinesCount,
    soMultiSelect, soSelectedRow, soStripedRows, soAutoFilter, soFiltered, soFilters
};
VEL_DECLARE_ENUM_INFO(TVelSettingsOption)
using TVelSettingsOptions = TSet<TVelSettingsOption>;

class TVelDBGridSettings : public TPersistent {
    VEL_CLASS(TVelDBGridSettings)
public:
    explicit TVelDBGridSettings(TComponent* AGrid = nullptr);
    ~TVelDBGridSettings() override;

    TComponent* GetGrid() const { return FGrid; }
    bool GetActive() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    bool GetExeName() const { return FExeName; }
    void SetExeName(bool Value) { FExeName = Value; }
    bool GetIniFile() const { return FIniFile; }
    void SetIniFile(bool Value) { FIniFile = Value; }
    const std::string& GetFileName() const { return FFileName; }
    void SetFileName(const std::string& Value) { FFileName = Value; }
    TVelSettingsOptions GetOptions() const { return FOptions; }
    void SetOptions(TVelSettingsOptions Value) { FOptions = Value; }
    // FSection, else the default; the default itself is not stored so it follows renames.
    std::string GetSection() const;
    void SetSection(const std::string& Value);
    bool IsSectionStored() const { return !FSection.empty(); }
    // The last layout text built or read.
    TStringList* GetLayout() const { return FLayout; }
    void SetLayout(TStrings* Value);

    // "Owner.Grid", the grid's name alone, or empty for a grid without a name.
    std::string GetDefaultSection() const;
    // INI: DefaultIniFileName or the executable with ".ini"; registry: DefaultRegistryKey,
    // made specific to the executable when it is the shipped key and ExeName is on.
    std::string GetDefaultFileName() const;
    static TVelSettingsOptions DefaultOptions();

private:
    TComponent* FGrid;
    TStringList* FLayout;
    TVelSettingsOptions FOptions;
    bool FActive = false;
    bool FExeName = true;
    bool FIniFile = false;
    std::string FFileName;
    std::string FSection;
};

// The running program's full path (empty when it cannot be found).
std::string ExecutablePath();

}  // namespace vel
