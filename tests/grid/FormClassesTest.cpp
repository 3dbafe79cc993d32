// Form text creates every class a program links by name: no class needs registering first.
#include <memory>

#include "grid/VelDBGrids.h"
#include "platform/classes/Streaming.h"
#include "platform/controls/Forms.h"
#include "platform/db/sqlite/ADODB.h"
#include "platform/db/sqlite/SQLDataSets.h"

using namespace vel;

TEST(FormClasses, AFormHoldingOneOfEveryCreatableClassReads) {
    const char* classes[] = {
        "TEdit",        "TMaskEdit",    "TButton",        "TLabel",        "TCheckBox",
        "TRadioButton", "TGroupBox",    "TPanel",         "TBevel",        "TShape",
        "TImage",       "TSpeedButton", "TListBox",       "TCheckListBox", "TVelDBGrid",
        "TTimer",       "TPopupMenu",   "TOpenDialog",    "TSaveDialog",   "TBalloonHint",
        "TImageList",   "TDataSource",  "TClientDataSet", "TFDMemTable",   "TSQLiteConnection",
        "TQuery",       "TTable",       "TADOConnection", "TADODataSet",   "TADOQuery",
        "TADOTable"};
    std::string text = "object Form1: TForm\n";
    int n = 0;
    for (const char* c : classes)
        text += "  object C" + std::to_string(++n) + ": " + c + "\n  end\n";
    text += "  object Menu: TPopupMenu\n    object Item1: TMenuItem\n    end\n  end\nend\n";

    std::unique_ptr<TComponent> form(ReadComponentText(text));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->ClassName(), "TForm");
    ASSERT_EQ(form->ComponentCount(), n + 2);
    for (int i = 0; i < n; ++i) EXPECT_EQ(form->GetComponent(i)->ClassName(), classes[i]);
    EXPECT_EQ(form->FindComponent("Item1")->ClassName(), "TMenuItem");
}
