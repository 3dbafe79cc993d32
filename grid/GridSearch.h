#pragma once
// TVelDBGridSearch: the grid's search settings, kept and streamed; the grid does not search yet.
#include <functional>

#include "platform/classes/Component.h"
#include "platform/classes/PropAccess.h"
#include "platform/classes/Strings.h"
#include "platform/graphics/Colors.h"
#include "platform/rtl/TSet.h"

namespace vel {

enum class TVelSearchMode { smFirst, smNext, smPrev, smLast };
VEL_DECLARE_ENUM_INFO(TVelSearchMode)
enum class TVelSearchOption {
    soCaseSensitive, soWholeWords, soWrapAround, soSkipMessage, soCurrentCol, soFilterRows
};
VEL_DECLARE_ENUM_INFO(TVelSearchOption)
using TVelSearchOptions = TSet<TVelSearchOption>;

// What a change of the settings asks of the grid.
enum class TSearchChange { scRepaint, scLayout, scFilter, scRebuildPanel, scPanelVisible,
                           scPanelColor };

class TVelDBGridSearch : public TPersistent {
    VEL_CLASS(TVelDBGridSearch)
public:
    using TChangeEvent = std::function<void(TVelDBGridSearch* Sender, TSearchChange Change)>;

    explicit TVelDBGridSearch(TComponent* AGrid = nullptr);
    ~TVelDBGridSearch() override;
    void Assign(const TPersistent* Source) override;

    TComponent* GetGrid() const { return FGrid; }
    bool GetPanelVisible() const { return FPanelVisible; }
    void SetPanelVisible(bool Value);
    bool GetPanelOnTop() const { return FPanelOnTop; }
    void SetPanelOnTop(bool Value);
    bool GetIncremental() const { return FIncremental; }
    void SetIncremental(bool Value);
    bool GetActive() const { return FActive; }
    void SetActive(bool Value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    TStringList* GetHistory() const { return FHistory; }
    int GetListWidth() const { return FListWidth; }
    void SetListWidth(int Value);
    TColor GetPanelColor() const { return FPanelColor; }
    void SetPanelColor(TColor Value);
    const std::string& GetText() const { return FText; }
    void SetText(const std::string& Value);
    TVelSearchOptions GetOptions() const { return FOptions; }
    void SetOptions(TVelSearchOptions Value);
    TVelSearchOptions GetVisibleOptions() const { return FVisibleOptions; }
    void SetVisibleOptions(TVelSearchOptions Value);
    void SwitchOptions(TVelSearchOptions Value, bool On);
    void SwitchVisibleOptions(TVelSearchOptions Value, bool On);

    // Highlighting is on: searching is active or incremental, and there is a text.
    bool GetVisible() const;
    bool GetFilterActive() const;
    // CustomStyle: a custom visual style is active (the panel then stays at the bottom).
    bool GetPanelOnTop(bool CustomStyle) const { return FPanelOnTop && !CustomStyle; }
    // The colours clDefault stands for.
    static TColor DefaultColor() { return 0x0000AAFF; }
    static TColor DefaultPanelColor() { return clBtnFace; }
    static TVelSearchOptions DefaultVisibleOptions();

    // The grid carries the changes out (layout, filter, panel).
    void SetOnChange(TChangeEvent Value) { FOnChange = std::move(Value); }

protected:
    virtual void Changed(TSearchChange Change);

private:
    TComponent* FGrid;
    bool FPanelVisible = false;
    bool FPanelOnTop = false;
    bool FIncremental = false;
    bool FActive = true;
    TColor FColor = clDefault;
    TStringList* FHistory;
    int FListWidth = 104;
    TColor FPanelColor = clDefault;
    std::string FText;
    TVelSearchOptions FOptions;
    TVelSearchOptions FVisibleOptions;
    TChangeEvent FOnChange;
};

}  // namespace vel
