#pragma once
// Small components with published properties of every kind, shared by the property and the
// streaming tests.
#include <string>
#include <vector>

#include "platform/classes/Alignment.h"
#include "platform/classes/Collection.h"
#include "platform/classes/ColorNames.h"
#include "platform/classes/Component.h"
#include "platform/classes/PropAccess.h"
#include "platform/classes/Strings.h"
#include "platform/rtl/TSet.h"

namespace vel::testcls {

// The colours the tests use (graphics owns the real constants).
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clWindow = static_cast<TColor>(0xFF000005);
inline constexpr TColor clWindowText = static_cast<TColor>(0xFF000008);
inline constexpr TColor clBtnFace = static_cast<TColor>(0xFF00000F);
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

enum class TCommandType { cmdText, cmdTable, cmdStoredProc };
VEL_DECLARE_ENUM_INFO(TCommandType)
enum class TGridOption { dgEditing, dgTitles, dgIndicator, dgColLines, dgRowLines };
VEL_DECLARE_ENUM_INFO(TGridOption)
using TGridOptions = TSet<TGridOption>;

// A font-like owned sub-object.
class TTestFont : public TPersistent {
    VEL_CLASS(TTestFont)
public:
    const std::string& GetName() const { return FName; }
    void SetName(const std::string& v) { FName = v; }
    int GetSize() const { return FSize; }
    void SetSize(int v) { FSize = v; }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor v) { FColor = v; }
    void Assign(const TPersistent* Source) override;

private:
    std::string FName = "Tahoma";
    int FSize = 8;
    TColor FColor = clWindowText;
};

class TTestDataSet : public TComponent {
    VEL_CLASS(TTestDataSet)
public:
    explicit TTestDataSet(TComponent* AOwner);
    ~TTestDataSet() override;
    const std::string& GetCommandText() const { return FCommandText; }
    void SetCommandText(const std::string& v) { FCommandText = v; }
    TCommandType GetCommandType() const { return FCommandType; }
    void SetCommandType(TCommandType v) { FCommandType = v; }
    bool GetActive() const { return FActive; }
    void SetActive(bool v) { FActive = v; }
    double GetRatio() const { return FRatio; }
    void SetRatio(double v) { FRatio = v; }
    std::int64_t GetMaxRows() const { return FMaxRows; }
    void SetMaxRows(std::int64_t v) { FMaxRows = v; }
    TStringList* GetSQL() const { return FSQL; }
    void SetSQL(TStrings* v) { FSQL->Assign(v); }
    TComponent* GetMasterSource() const { return FMasterSource; }
    void SetMasterSource(TComponent* v);
    int GetRecordCount() const { return 42; }
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::string FCommandText;
    TCommandType FCommandType = TCommandType::cmdText;
    bool FActive = false;
    double FRatio = 0;
    std::int64_t FMaxRows = 0;
    TStringList* FSQL;
    TComponent* FMasterSource = nullptr;
};

class TTestDataSource : public TComponent {
    VEL_CLASS(TTestDataSource)
public:
    using TComponent::TComponent;
    TTestDataSet* GetDataSet() const { return FDataSet; }
    void SetDataSet(TTestDataSet* v);
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool v) { FEnabled = v; }
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TTestDataSet* FDataSet = nullptr;
    bool FEnabled = true;
};

// A control with a parent: nested inside its panel in the form text.
class TTestPanel;
class TTestControl : public TComponent {
    VEL_CLASS(TTestControl)
public:
    explicit TTestControl(TComponent* AOwner) : TComponent(AOwner) {}
    ~TTestControl() override;
    bool HasParent() const override { return FParent != nullptr; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;
    TTestPanel* GetParent() const { return FParent; }
    void SetParent(TTestPanel* Value);
    int GetLeft() const { return FLeft; }
    void SetLeft(int v) { FLeft = v; }
    void Loaded() override;
    int LoadedCount = 0;

private:
    TTestPanel* FParent = nullptr;
    int FLeft = 0;
};

class TTestPanel : public TTestControl {
    VEL_CLASS(TTestPanel)
public:
    using TTestControl::TTestControl;
    ~TTestPanel() override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& v) { FCaption = v; }
    // A character property (#0 by default).
    char32_t GetMark() const { return FMark; }
    void SetMark(char32_t v) { FMark = v; }
    std::vector<TTestControl*> Children;

private:
    std::string FCaption;
    char32_t FMark = 0;
};

class TTestTitle : public TPersistent {
    VEL_CLASS(TTestTitle)
public:
    TTestTitle() = default;
    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& v) { FCaption = v; }
    TTestFont* GetFont() const { return const_cast<TTestFont*>(&FFont); }
    void SetFont(TTestFont* v) { FFont.Assign(v); }
    void Assign(const TPersistent* Source) override;

private:
    std::string FCaption;
    TTestFont FFont;
};

class TTestColumn : public TCollectionItem {
    VEL_CLASS(TTestColumn)
public:
    explicit TTestColumn(TCollection* c) : TCollectionItem(c) {}
    const std::string& GetFieldName() const { return FFieldName; }
    void SetFieldName(const std::string& v) { FFieldName = v; }
    int GetWidth() const { return FWidth < 0 ? 64 : FWidth; }
    void SetWidth(int v) { FWidth = v; }
    bool IsWidthStored() const { return FWidth >= 0; }
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool v) { FVisible = v; }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor v) { FColor = v; }
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment v) { FAlignment = v; }
    TTestTitle* GetTitle() const { return const_cast<TTestTitle*>(&FTitle); }
    TComponent* GetPopupMenu() const { return FPopupMenu; }
    // The grid asks for the news of the menu's removal.
    void SetPopupMenu(TComponent* v);
    void Assign(const TPersistent* Source) override;

private:
    std::string FFieldName;
    int FWidth = -1;
    bool FVisible = true;
    TColor FColor = clWindow;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    TTestTitle FTitle;
    TComponent* FPopupMenu = nullptr;  // the grid clears it on removal
};

class TTestGrid : public TTestControl {
    VEL_CLASS(TTestGrid)
public:
    explicit TTestGrid(TComponent* AOwner);
    ~TTestGrid() override;
    TTestDataSource* GetDataSource() const { return FDataSource; }
    void SetDataSource(TTestDataSource* v);
    TCollection* GetColumns() const { return FColumns; }
    void SetColumns(TCollection* v) { FColumns->Assign(v); }
    TTestColumn* Column(int i) const { return static_cast<TTestColumn*>(FColumns->GetItem(i)); }
    TGridOptions GetOptions() const { return FOptions; }
    void SetOptions(TGridOptions v) { FOptions = v; }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor v) { FColor = v; }
    TColor GetFixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor v) { FFixedColor = v; }
    TTestFont* GetFont() const { return FFont; }
    void SetFont(TTestFont* v) { FFont->Assign(v); }
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v) { FReadOnly = v; }
    int GetLinesCount() const { return FLinesCount; }
    void SetLinesCount(int v) { FLinesCount = v; }
    TStrings* GetItems() const { return FItems; }
    void SetItems(TStrings* v) { FItems->Assign(v); }
    // Streamed as defined data, not as published properties.
    std::string OrderFields;
    std::vector<std::uint8_t> Blob;
    void DefineProperties(TFiler& Filer) override;
    TTestGrid* GetMasterGrid() const { return FMasterGrid; }
    void SetMasterGrid(TTestGrid* v);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    bool DataSourceSetAtLoaded = false;

private:
    TTestDataSource* FDataSource = nullptr;
    TTestGrid* FMasterGrid = nullptr;
    TCollection* FColumns;
    TGridOptions FOptions{TGridOption::dgEditing, TGridOption::dgTitles};
    TColor FColor = clWindow;
    TColor FFixedColor = clBtnFace;
    TTestFont* FFont;
    bool FReadOnly = false;
    int FLinesCount = 1;
    TStringList* FItems;
};

class TTestForm : public TComponent {
    VEL_CLASS(TTestForm)
public:
    using TComponent::TComponent;
    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& v) { FCaption = v; }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor v) { FColor = v; }
    void Loaded() override;
    int LoadedCount = 0;

private:
    std::string FCaption;
    TColor FColor = clBtnFace;
};

// Registers every test class for streaming (idempotent).

}  // namespace vel::testcls
