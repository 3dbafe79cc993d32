// velgallery: a form with every standard control, captured offscreen to a PNG (or shown in a
// real window with VEL_BACKEND=x11 and a display).
// Usage: velgallery [output file]   (default docs/images/controls.png)
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "apps/velgallery/GalleryProgram.h"
#include "platform/controls/Application.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/CheckLst.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Mask.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/StdEdit.h"
#include "platform/controls/WindowBackend.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Codecs.h"
#include "platform/rtl/SafeFile.h"

using namespace vel;

namespace {

template <class T>
T* Place(TForm& Form, TWinControl* Parent, int Left, int Top, int Width, int Height) {
    auto* c = new T(&Form);
    c->SetBounds(Left, Top, Width, Height);
    c->SetParent(Parent);
    return c;
}

// A 16 x 16 arrow on a fuchsia (transparent) background, in two images: up and disabled.
void MakeArrowGlyph(TBitmap& Glyph) {
    Glyph.SetSize(32, 16);
    TCanvas& c = Glyph.Canvas();
    c.Brush().SetColor(clFuchsia);
    c.FillRect(Rect(0, 0, 32, 16));
    for (int image = 0; image < 2; ++image) {
        const TColor ink = image == 0 ? clNavy : clGray;
        for (int i = 0; i < 6; ++i)
            for (int y = 8 - i; y <= 8 + i; ++y)
                Glyph.Canvas().SetPixel(image * 16 + 5 + i, y, ink);
    }
}

std::unique_ptr<TForm> BuildGallery() {
    auto form = std::make_unique<TForm>(nullptr);
    TForm& f = *form;
    f.SetCaption("VelGrid standard controls");
    f.SetBorderStyle(TFormBorderStyle::bsDialog);
    f.SetBounds(40, 40, 620, 400);
    f.SetClientWidth(600);
    f.SetClientHeight(360);

    auto* top = Place<TPanel>(f, &f, 0, 0, 600, 36);
    top->SetAlign(TAlign::alTop);
    top->SetCaption("TPanel with a raised outer and a lowered inner bevel");
    top->SetBevelInner(TPanelBevel::bvLowered);
    top->SetBorderWidth(2);

    // Left column: labels, buttons, check boxes.
    auto* title = Place<TLabel>(f, &f, 12, 48, 0, 0);
    title->SetCaption("&Labels, buttons and check boxes");
    title->Font().SetStyle({TFontStyle::fsBold});
    auto* wrapped = Place<TLabel>(f, &f, 12, 70, 180, 0);
    wrapped->SetWordWrap(true);
    wrapped->SetCaption("A word-wrapped label keeps its width and grows downwards.");
    auto* disabledLabel = Place<TLabel>(f, &f, 12, 104, 0, 0);
    disabledLabel->SetCaption("Disabled label");
    disabledLabel->SetEnabled(false);

    auto* ok = Place<TButton>(f, &f, 12, 126, 75, 25);
    ok->SetCaption("OK");
    ok->SetDefault(true);
    auto* cancel = Place<TButton>(f, &f, 92, 126, 75, 25);
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    auto* off = Place<TButton>(f, &f, 172, 126, 75, 25);
    off->SetCaption("&Disabled");
    off->SetEnabled(false);

    auto* checked = Place<TCheckBox>(f, &f, 12, 162, 120, 17);
    checked->SetCaption("&Checked");
    checked->SetChecked(true);
    auto* grayed = Place<TCheckBox>(f, &f, 12, 182, 120, 17);
    grayed->SetCaption("Grayed");
    grayed->SetAllowGrayed(true);
    grayed->SetState(TCheckBoxState::cbGrayed);
    auto* unchecked = Place<TCheckBox>(f, &f, 12, 202, 120, 17);
    unchecked->SetCaption("Unchecked");
    auto* disabledBox = Place<TCheckBox>(f, &f, 12, 222, 120, 17);
    disabledBox->SetCaption("Disabled");
    disabledBox->SetChecked(true);
    disabledBox->SetEnabled(false);

    auto* group = Place<TGroupBox>(f, &f, 140, 160, 110, 86);
    group->SetCaption("TGroupBox");
    auto* r1 = Place<TRadioButton>(f, group, 10, 20, 90, 17);
    r1->SetCaption("First");
    auto* r2 = Place<TRadioButton>(f, group, 10, 40, 90, 17);
    r2->SetCaption("Second");
    r2->SetChecked(true);
    auto* r3 = Place<TRadioButton>(f, group, 10, 60, 90, 17);
    r3->SetCaption("Disabled");
    r3->SetEnabled(false);

    // Edits with labels bound to them.
    auto* name = Place<TEdit>(f, &f, 70, 258, 180, 21);
    name->SetText("Edit with a bound label");
    auto* nameLabel = new TBoundLabel(name);
    nameLabel->SetCaption("&Name");
    nameLabel->SetLabelPosition(TLabelPosition::lpLeft);
    auto* date = Place<TMaskEdit>(f, &f, 70, 286, 90, 21);
    date->SetEditMask("!99/99/0000;1;_");
    date->SetText("05122026");
    auto* dateLabel = new TBoundLabel(date);
    dateLabel->SetCaption("&Date");
    dateLabel->SetLabelPosition(TLabelPosition::lpLeft);

    // Middle column: lists.
    auto* listLabel = Place<TLabel>(f, &f, 270, 48, 0, 0);
    listLabel->SetCaption("TListBox (extended selection)");
    auto* list = Place<TListBox>(f, &f, 270, 66, 150, 100);
    list->SetMultiSelect(true);
    for (const char* s : {"Amsterdam", "Berlin", "Copenhagen", "Dublin", "Edinburgh", "Florence",
                          "Geneva", "Helsinki"})
        list->Items().Add(s);
    list->SetSelected(1, true);
    list->SetSelected(2, true);
    list->SetItemIndex(2);

    auto* checksLabel = Place<TLabel>(f, &f, 270, 176, 0, 0);
    checksLabel->SetCaption("TCheckListBox");
    auto* checks = Place<TCheckListBox>(f, &f, 270, 194, 150, 84);
    checks->SetAllowGrayed(true);
    for (const char* s : {"Order date", "Customer", "Amount", "Shipped (disabled)", "Remarks"})
        checks->Items().Add(s);
    checks->SetChecked(0, true);
    checks->SetChecked(2, true);
    checks->SetState(1, TCheckBoxState::cbGrayed);
    checks->SetItemEnabled(3, false);
    checks->SetItemIndex(0);

    // Right column: speed buttons, shapes, bevels, image.
    auto* speedLabel = Place<TLabel>(f, &f, 440, 48, 0, 0);
    speedLabel->SetCaption("TSpeedButton");
    TBitmap arrow;
    MakeArrowGlyph(arrow);
    const char* captions[] = {"", "", "", ""};
    for (int i = 0; i < 4; ++i) {
        auto* b = Place<TSpeedButton>(f, &f, 440 + i * 30, 66, 26, 24);
        b->SetCaption(captions[i]);
        b->SetGlyphObject(&arrow);
        b->SetNumGlyphs(2);
        if (i == 1) {
            b->SetGroupIndex(1);
            b->SetDown(true);
        }
        if (i == 2) b->SetFlat(true);
        if (i == 3) b->SetEnabled(false);
    }
    auto* captioned = Place<TSpeedButton>(f, &f, 440, 96, 120, 24);
    captioned->SetCaption("Glyph and text");
    captioned->SetGlyphObject(&arrow);
    captioned->SetNumGlyphs(2);

    auto* shapesLabel = Place<TLabel>(f, &f, 440, 130, 0, 0);
    shapesLabel->SetCaption("TShape, TBevel, TImage");
    const TShapeType shapes[] = {TShapeType::stRectangle, TShapeType::stRoundRect,
                                 TShapeType::stEllipse, TShapeType::stCircle};
    const TColor fills[] = {clSkyBlue, clMoneyGreen, clYellow, clRed};
    for (int i = 0; i < 4; ++i) {
        auto* s = Place<TShape>(f, &f, 440 + i * 38, 148, 32, 26);
        s->SetShape(shapes[i]);
        s->Brush().SetColor(fills[i]);
    }
    auto* box = Place<TBevel>(f, &f, 440, 184, 60, 40);
    box->SetShape(TBevelShape::bsFrame);
    auto* raised = Place<TBevel>(f, &f, 508, 184, 60, 40);
    raised->SetStyle(TBevelStyle::bsRaised);
    auto* line = Place<TBevel>(f, &f, 440, 232, 150, 2);
    line->SetShape(TBevelShape::bsTopLine);

    auto* image = Place<TImage>(f, &f, 440, 242, 64, 40);
    image->SetStretch(true);
    image->SetProportional(true);
    image->SetCenter(true);
    TBitmap picture(48, 24);
    GradientFillRect(picture.Canvas(), Rect(0, 0, 48, 24), clNavy, clAqua, true);
    image->Picture().SetGraphic(&picture);

    auto* bottom = Place<TPanel>(f, &f, 0, 320, 600, 40);
    bottom->SetAlign(TAlign::alBottom);
    bottom->SetBevelOuter(TPanelBevel::bvNone);
    bottom->SetCaption("");
    auto* close = Place<TButton>(f, bottom, 513, 8, 75, 25);
    close->SetCaption("Close");
    close->SetModalResult(mrOk);
    close->SetAnchors({TAnchorKind::akTop, TAnchorKind::akRight});
    auto* status = Place<TLabel>(f, bottom, 12, 12, 0, 0);
    status->SetCaption("Space, Enter and Escape work as in any dialog.");

    f.SetActiveControl(list);
    return form;
}

}  // namespace

int main(int argc, char** argv) {
    return RunProgram(velgallery::ProgramInfo(), argc, argv,
                      [](const std::vector<std::string>& args) {
                          const std::string file = velgallery::ParseArguments(args);
                          auto form = BuildGallery();
                          if (Backend().CanReceiveInput()) {
                              form->ShowModal();
                              return 0;
                          }
                          form->Show();
                          Application().ProcessMessages();
                          const TBytes png = EncodePng(*form->CaptureImage(), false);
                          WriteFileAtomic(file, std::string_view(
                                                    reinterpret_cast<const char*>(png.data()),
                                                    png.size()));
                          std::printf("wrote %s\n", file.c_str());
                          return 0;
                      });
}
