#pragma once
// TVelGridStyle: the spacings the grid adds around text, by visual style.
#include <functional>

#include "platform/classes/Component.h"
#include "platform/classes/PropAccess.h"
#include "platform/classes/Strings.h"

namespace vel {

enum class TVisualStyle { vsCustom, vsDefault, vsStandard, vsXPStyle };
VEL_DECLARE_ENUM_INFO(TVisualStyle)

class TVelGridStyle : public TPersistent {
    VEL_CLASS(TVelGridStyle)
public:
    // AGrid is the grid that owns the object (not owned here).
    explicit TVelGridStyle(TComponent* AGrid = nullptr);
    void Assign(const TPersistent* Source) override;

    TComponent* GetGrid() const { return FGrid; }
    int GetDataRowSpace() const { return FDataRowSpace; }
    void SetDataRowSpace(int Value);
    int GetHeaderRowSpace() const { return FHeaderRowSpace; }
    void SetHeaderRowSpace(int Value);
    int GetTitleColMargin() const { return FTitleColMargin; }
    void SetTitleColMargin(int Value);
    int GetTitleRowSpace() const { return FTitleRowSpace; }
    void SetTitleRowSpace(int Value);
    int GetTotalColMargin() const { return FTotalColMargin; }
    void SetTotalColMargin(int Value);
    int GetTotalRowSpace() const { return FTotalRowSpace; }
    void SetTotalRowSpace(int Value);
    TVisualStyle GetVisualStyle() const { return FVisualStyle; }
    // vsDefault picks vsXPStyle or vsStandard from the grid's themed state, every time.
    void SetVisualStyle(TVisualStyle Value);
    bool IsSpacingStored() const { return FVisualStyle == TVisualStyle::vsCustom; }

    // The grid answers whether it is themed (false while nobody answers).
    void SetThemedQuery(std::function<bool()> Query) { FThemedQuery = std::move(Query); }
    // The grid re-lays itself out here.
    const TNotifyEvent& GetOnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }

protected:
    virtual void Changed();

private:
    void LoadStyle(TVisualStyle Style);
    void SetSpacing(int& Field, int Value);

    TComponent* FGrid;
    int FDataRowSpace = 4;
    int FHeaderRowSpace = 8;
    int FTitleColMargin = 1;
    int FTitleRowSpace = 8;
    int FTotalColMargin = 0;
    int FTotalRowSpace = 8;
    TVisualStyle FVisualStyle = TVisualStyle::vsXPStyle;
    std::function<bool()> FThemedQuery;
    TNotifyEvent FOnChange;
};

}  // namespace vel
