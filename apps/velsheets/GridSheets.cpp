#include "apps/velsheets/GridSheets.h"

#include <string>
#include <vector>

#include "grid/VelDBGrids.h"
#include "platform/controls/Application.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/SystemProfile.h"
#include "platform/db/ClientDataSet.h"
#include "platform/db/DataSource.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/ImageList.h"
#include "platform/rtl/SysUtils.h"

using namespace vel;

namespace velsheets {

namespace {

struct TRow {
    const char* Name;
    const char* Country;
    double Price;
    int Qty;
    bool Active;
};

const TRow kRows[] = {{"Anchor chain", "Norway", 412.5, 3, true},   {"Brass lantern", "Portugal", 86.9, 12, false},
                      {"Compass", "Denmark", 149.0, 7, true},       {"Deck brush", "Poland", 12.4, 40, true},
                      {"Echo sounder", "Japan", 980.0, 1, false},   {"Fender", "Germany", 35.5, 16, true},
                      {"Gaff hook", "France", 27.8, 9, false},      {"Hawser", "Netherlands", 211.3, 4, true}};

std::unique_ptr<TClientDataSet> MakeData() {
    auto ds = std::make_unique<TClientDataSet>();
    ds->GetFieldDefs().Add("Name", TFieldType::ftString, 20);
    ds->GetFieldDefs().Add("Country", TFieldType::ftString, 20);
    ds->GetFieldDefs().Add("Price", TFieldType::ftFloat);
    ds->GetFieldDefs().Add("Qty", TFieldType::ftInteger);
    ds->GetFieldDefs().Add("Active", TFieldType::ftBoolean);
    ds->CreateDataSet();
    for (const TRow& r : kRows) {
        ds->Append();
        ds->FieldByName("Name")->SetAsString(r.Name);
        ds->FieldByName("Country")->SetAsString(r.Country);
        ds->FieldByName("Price")->SetAsFloat(r.Price);
        ds->FieldByName("Qty")->SetAsInteger(r.Qty);
        ds->FieldByName("Active")->SetAsBoolean(r.Active);
        ds->Post();
    }
    ds->First();
    return ds;
}

// Nested titles, a shared header band, two sort markers, a check box column, a title image,
// stripes and a total footer.
void Configure(TVelDBGrid& Grid, TDataSource* Source, TCustomImageList* Images, bool Wide) {
    Grid.SetDataSource(Source);
    Grid.GetGradient()->SetActive(false);
    TVelDBGridColumns* cols = Grid.GetColumns();
    cols->SetState(TDBGridColumnsState::csCustomized);
    TVelColumn* group = cols->Add();
    group->SetIndex(0);
    group->GetTitle()->SetCaption("Product");
    group->SetExpandCols(2);
    cols->FindColumn("Name")->SetWidth(Wide ? 110 : 92);
    cols->FindColumn("Country")->SetWidth(Wide ? 90 : 74);
    cols->FindColumn("Country")->GetTitle()->SetImageIndex(0);
    for (const char* f : {"Price", "Qty"}) cols->FindColumn(f)->GetTitle()->SetHeader("Sales");
    cols->FindColumn("Price")->SetWidth(Wide ? 80 : 62);
    cols->FindColumn("Qty")->SetWidth(Wide ? 54 : 40);
    TVelColumn* active = cols->FindColumn("Active");
    active->SetWidth(Wide ? 56 : 46);
    active->SetCheckBox(true);
    active->GetTitle()->SetAlignment(TAlignment::taCenter);
    cols->FindColumn("Name")->GetTitle()->SetMarkerIndex(2);
    cols->FindColumn("Price")->GetTitle()->SetMarkerIndex(5);
    Grid.SetTitleImages(Images);
    Grid.SetStripeColor(RGB(240, 244, 250));
    Grid.SwitchOptionsEx({TVelDBGridOptionEx::dgTotalFooter, TVelDBGridOptionEx::dgTotalFooterBox,
                          TVelDBGridOptionEx::dgTotalDataBoxOnly},
                         true);
    double sum = 0;
    int qty = 0;
    for (const TRow& r : kRows) sum += r.Price * r.Qty, qty += r.Qty;
    const std::string total = Format("%.2f", {sum}), count = std::to_string(qty);
    Grid.SetOnTotalGetText([total, count](TVelColumn* Column, int, std::string& Text, TTextKind) {
        if (Column->GetFieldName() == "Name") Text = "Total";
        if (Column->GetFieldName() == "Price") Text = total;
        if (Column->GetFieldName() == "Qty") Text = count;
    });
}

struct TSample {
    std::string Caption;
    TFixedStyle Style;
    TFixedTheme Theme;
};

// A form of captioned grids, Columns across, captured.
std::unique_ptr<TBitmap> Capture(const std::vector<TSample>& Samples, int Columns, int W, int H,
                                 TDataSource* Source, TCustomImageList* Images) {
    const int rows = int(Samples.size() + Columns - 1) / Columns;
    TForm form(nullptr);
    form.SetBorderStyle(TFormBorderStyle::bsNone);
    form.SetBounds(0, 0, Columns * (W + 12) + 12, rows * (H + 30) + 8);
    // Grids fill their record window once they have a window.
    form.Show();
    for (std::size_t i = 0; i < Samples.size(); ++i) {
        const int x = 12 + int(i % std::size_t(Columns)) * (W + 12);
        const int y = 8 + int(i / std::size_t(Columns)) * (H + 30);
        auto* label = new TLabel(&form);
        label->SetBounds(x, y, W, 16);
        label->SetCaption(Samples[i].Caption);
        label->SetParent(&form);
        auto* grid = new TVelDBGrid(&form);
        grid->SetBounds(x, y + 20, W, H);
        grid->SetParent(&form);
        Configure(*grid, Source, Images, false);
        grid->SetFixedStyle(Samples[i].Style);
        grid->SetFixedTheme(Samples[i].Theme);
        // A custom style's dark rows keep their own stripe.
        if (SystemProfile().CustomStyleActive) grid->SetStripeColor(clDefault);
    }
    Application().ProcessMessages();
    return form.CaptureImage();
}

void Heading(TCanvas& C, int X, int Y, const std::string& Text) {
    C.Font().SetStyle({TFontStyle::fsBold});
    C.Font().SetSize(10);
    C.Brush().SetStyle(TBrushStyle::bsClear);
    C.TextOut(X, Y, Text);
    C.Font().SetStyle({});
    C.Font().SetSize(8);
}

// The grids' data, source and title images.
struct TSheetData {
    std::unique_ptr<TClientDataSet> Data = MakeData();
    TDataSource Source{nullptr};
    TImageList Images{nullptr, 12, 12};
    TSheetData() {
        Source.SetDataSet(Data.get());
        Images.AddResource("VELDBNAVIGATOR");
    }
};

}  // namespace

std::unique_ptr<TBitmap> GridShowcase() {
    TSheetData d;
    TForm form(nullptr);
    form.SetBorderStyle(TFormBorderStyle::bsNone);
    form.SetBounds(0, 0, 470, 262);
    form.Show();
    auto* grid = new TVelDBGrid(&form);
    grid->SetBounds(0, 0, 470, 262);
    grid->SetParent(&form);
    Configure(*grid, &d.Source, &d.Images, true);
    d.Data->MoveBy(2);
    Application().ProcessMessages();
    return form.CaptureImage();
}

std::unique_ptr<TBitmap> GridStylesSheet() {
    TSheetData d;
    const char* styleNames[] = {"fsDefault", "fsSoft", "fsNice", "fsFlat", "fsGreat", "fsGray", "fsFine", "fsMild"};
    std::vector<TSample> classic;
    for (int s = 0; s < 8; ++s) classic.push_back({styleNames[s], TFixedStyle(s), TFixedTheme::ftNone});
    const int W = 352, H = 190;
    TSystemProfileScope profile;
    profile->ThemesEnabled = false;
    profile->CustomStyleActive = false;
    auto plain = Capture(classic, 4, W, H, &d.Source, &d.Images);
    profile->ThemesEnabled = true;
    auto themed = Capture({{"themes on, ftDefault", TFixedStyle::fsDefault, TFixedTheme::ftDefault},
                           {"themes on, ftButtons", TFixedStyle::fsDefault, TFixedTheme::ftButtons},
                           {"themes on, ftTabs", TFixedStyle::fsDefault, TFixedTheme::ftTabs},
                           {"themes on, ftNone (fsNice)", TFixedStyle::fsNice, TFixedTheme::ftNone}},
                          4, W, H, &d.Source, &d.Images);
    profile->ThemesEnabled = false;
    profile->CustomStyleActive = true;
    profile->StyleName = "Carbon";
    auto styled = Capture({{"custom style \"Carbon\"", TFixedStyle::fsDefault, TFixedTheme::ftDefault}}, 1, W, H,
                          &d.Source, &d.Images);

    const int width = std::max(plain->GetWidth(), themed->GetWidth());
    auto sheet = std::make_unique<TBitmap>(width, 3 * 36 + plain->GetHeight() + themed->GetHeight() + styled->GetHeight());
    TCanvas& c = sheet->Canvas();
    c.Font().SetName("Tahoma");
    c.Brush().SetColor(clBtnFace);
    c.FillRect(TRect{0, 0, sheet->GetWidth(), sheet->GetHeight()});
    int y = 10;
    const std::pair<const char*, TBitmap*> parts[] = {{"FixedStyle, themes off", plain.get()},
                                                      {"FixedTheme with the system's themes", themed.get()},
                                                      {"A custom style", styled.get()}};
    for (const auto& [caption, part] : parts) {
        Heading(c, 12, y, caption);
        c.Draw(0, y + 26, *part);
        y += 36 + part->GetHeight();
    }
    return sheet;
}

}  // namespace velsheets
