// The columns' layout text (settings storage, tool menu) and column files: the columns with
// the grid's OrderFields as form text through TVelColumnsWrapper.
#include <memory>

#include "grid/DBGrid.h"
#include "grid/GridConsts.h"
#include "platform/classes/Streaming.h"
#include "platform/classes/Streams.h"
#include "platform/classes/Strings.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SafeFile.h"
#include "platform/rtl/SysUtils.h"

namespace vel {

VEL_DEFINE_CREATABLE_CLASS(TVelColumnsWrapper, TComponent)

VEL_PUBLISHED(TVelColumnsWrapper) {
    Prop("Columns", &T::GetColumns, &T::SetColumns);
    Prop("OrderFields", &T::GetOrderFields, &T::SetOrderFields);
}

TVelColumnsWrapper::TVelColumnsWrapper(TComponent* AOwner) : TComponent(AOwner) {}

void TVelColumnsWrapper::SetColumns(TVelDBGridColumns* Value) {
    if (FColumns && Value) FColumns->Assign(Value);
}

// ---- Layout text.

TStrings* TVelDBGridColumns::GetSettings() {
    if (!FSettings) FSettings = new TStringList;
    FSettings->BeginUpdate();
    FSettings->Clear();
    const std::string d(1, DefaultDelimiter);
    FSettings->Add("Columns=" + std::to_string(Count()));
    for (int i = 0; i < Count(); ++i) {
        TVelColumn* c = GetColumn(i);
        FSettings->Add("Column" + std::to_string(i + 1) + "=" + c->GetFieldName() + d +
                       std::to_string(c->GetWidthBase()) + d + (c->GetVisible() ? "1" : "0") + d +
                       (c->GetExpanded() ? "1" : "0"));
    }
    if (FGrid && FGrid->GetSettings()->GetOptions().Contains(TVelSettingsOption::soStretchMode))
        FSettings->Add(std::string("StretchMode=") + (FGrid->GetStretchMode() ? "1" : "0"));
    FSettings->EndUpdate();
    return FSettings;
}

void TVelDBGridColumns::SetSettings(const TStrings* Value) {
    if (!FSettings) FSettings = new TStringList;
    if (Value != FSettings) FSettings->Assign(Value);
    ApplySettings();
}

void TVelDBGridColumns::SetSettingsText(const std::string& Text) {
    TStringList lines;
    lines.SetText(Text);
    SetSettings(&lines);
}

void TVelDBGridColumns::ApplySettings() {
    if (FSettings) ApplySettingsLines(FSettings);
}

namespace {
// Fields of one "Column<i>" value, taken one at a time.
struct TFieldReader {
    std::string Text;
    std::size_t Pos = 0;
    bool Done = false;
    std::string Next() {
        if (Done) return {};
        const std::size_t end = Text.find(DefaultDelimiter, Pos);
        std::string field =
            Text.substr(Pos, end == std::string::npos ? std::string::npos : end - Pos);
        if (end == std::string::npos)
            Done = true;
        else
            Pos = end + 1;
        return field;
    }
    // The next field as an integer; Default when it is missing or not a number.
    int NextInt(int Default) {
        const std::string field = Trim(Next());
        int v = 0;
        return TryStrToInt(field, v) ? v : Default;
    }
};
}  // namespace

void TVelDBGridColumns::ApplySettingsLines(const TStrings* Lines) {
    BeginUpdate();
    struct TEnd {
        TVelDBGridColumns* C;
        ~TEnd() { C->EndUpdate(); }
    } end{this};
    int n = 0;
    if (!TryStrToInt(Trim(Lines->GetValue("Columns")), n) || n < 0) n = 0;
    // Lines past the columns there are could not place anything.
    n = std::min(n, Count());
    for (int i = 0; i < n; ++i) {
        const std::string value = Lines->GetValue("Column" + std::to_string(i + 1));
        if (value.empty()) continue;
        TFieldReader fields{value};
        TVelColumn* c = FindColumn(Trim(fields.Next()), i);
        if (!c) continue;
        c->MoveTo(i);
        c->SetWidthBase(fields.NextInt(c->GetWidthBase()));
        c->SetVisible(fields.NextInt(c->GetVisible() ? 1 : 0) == 1);
        c->SetExpanded(fields.NextInt(c->GetExpanded() ? 1 : 0) == 1);
    }
    if (FGrid && FGrid->GetSettings()->GetOptions().Contains(TVelSettingsOption::soStretchMode)) {
        int mode = FGrid->GetStretchMode() ? 1 : 0;
        if (!TryStrToInt(Trim(Lines->GetValue("StretchMode")), mode))
            mode = FGrid->GetStretchMode();
        FGrid->SetStretchMode(mode == 1);
    }
}

// ---- Column files.

namespace {
// While a column file is read or written the grid reads and writes true widths.
struct TColumnsStreamScope {
    TVelCustomDBGrid* Grid;
    TVelCustomDBGrid::TColumnsStream Old;
    TColumnsStreamScope(TVelCustomDBGrid* G, TVelCustomDBGrid::TColumnsStream State)
        : Grid(G), Old(G ? G->GetColumnsStream() : TVelCustomDBGrid::TColumnsStream::None) {
        if (Grid) Grid->SetColumnsStream(State);
    }
    ~TColumnsStreamScope() {
        if (Grid) Grid->SetColumnsStream(Old);
    }
};

// References in a column file name the grid's form ("Form1.PopupMenu1"); the file's own
// root is only the wrapper, so the form is offered by name while it is read.
struct TFormFinderScope {
    int Handle = 0;
    explicit TFormFinderScope(TComponent* Form) {
        if (!Form) return;
        Handle = RegisterFindGlobalComponentProc([Form](std::string_view Name) -> TComponent* {
            if (SameText(std::string(Name), Form->GetName())) return Form;
            return Form->FindComponent(std::string(Name));
        });
    }
    ~TFormFinderScope() {
        if (Handle) UnregisterFindGlobalComponentProc(Handle);
    }
};
}  // namespace

void TVelDBGridColumns::SaveToStream(TStream* Stream) {
    TVelColumnsWrapper wrapper(nullptr);
    wrapper.UseColumns(this);
    if (FGrid) wrapper.SetOrderFields(FGrid->GetOrderFields());
    TColumnsStreamScope scope(FGrid, TVelCustomDBGrid::TColumnsStream::Writing);
    WriteComponent(Stream, &wrapper);
}

void TVelDBGridColumns::LoadFromStream(TStream* Stream) {
    // Read into a fresh collection first: a file that cannot be read changes nothing.
    std::unique_ptr<TVelDBGridColumns> read(FGrid ? FGrid->CreateColumns()
                                                  : new TVelDBGridColumns(nullptr, GetItemClass()));
    TVelColumnsWrapper wrapper(nullptr);
    wrapper.UseColumns(read.get());
    {
        TColumnsStreamScope scope(FGrid, TVelCustomDBGrid::TColumnsStream::Reading);
        TFormFinderScope finder(FGrid ? FGrid->GetOwner() : nullptr);
        ReadComponent(Stream, &wrapper);
        Assign(read.get());
    }
    if (FGrid) FGrid->SetOrderFields(wrapper.GetOrderFields());
}

void TVelDBGridColumns::SaveToFile(const std::string& FileName) {
    TMemoryStream stream;
    SaveToStream(&stream);
    stream.SaveToFile(FileName);
}

void TVelDBGridColumns::LoadFromFile(const std::string& FileName) {
    TStringStream stream(ReadFileBytes(FileName));
    try {
        LoadFromStream(&stream);
    } catch (const EReadError& e) {
        throw EReadError("Column file " + FileName + ": " + e.Message());
    }
}

}  // namespace vel
