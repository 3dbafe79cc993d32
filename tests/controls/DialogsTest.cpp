// The message dialog answered through the modal responder, and the scripted file dialogs.
#include <fstream>

#include "platform/controls/Dialogs.h"
#include "platform/controls/StdCtrls.h"
#include "tests/controls/ControlsTestUtil.h"
#include "tests/support/TempDir.h"

using namespace vel;

namespace veltest {
namespace {

using enum TMsgDlgBtn;

class DialogsTest : public ControlsTest {
protected:
    ~DialogsTest() override { SetFileDialogResponder(nullptr); }
    // What the dialog showed, and how many times the user was asked.
    std::string Text, Caption;
    std::vector<std::string> ButtonNames;
    int Asked = 0;
    void Record(TCustomForm& f) {
        ++Asked;
        Caption = f.GetCaption();
        auto* label = dynamic_cast<TLabel*>(f.FindComponent("Message"));
        Text = label ? label->GetCaption() : "(no label)";
        ButtonNames.clear();
        for (int i = 0; i < f.ComponentCount(); ++i)
            if (auto* b = dynamic_cast<TButton*>(f.GetComponent(i)))
                ButtonNames.push_back(b->GetName());
    }
    // Answers by pressing a key once; a second call means the key did not end the dialog.
    void AnswerWithKey(unsigned vk) {
        Application().SetModalResponder([this, vk](TCustomForm& f) {
            Record(f);
            if (Asked == 1) InjectKey(vk);
        });
    }
};

TEST_F(DialogsTest, MessageDlgShowsTheTextAndAnswersWithTheButtonPressed) {
    Application().SetModalResponder([this](TCustomForm& f) {
        Record(f);
        static_cast<TButton*>(f.FindComponent("No"))->Click();
    });
    const int r = MessageDlg("Save the changes to\n\"orders.clm\"?", TMsgDlgType::mtConfirmation,
                             mbYesNoCancel, 0);
    EXPECT_EQ(r, mrNo);
    EXPECT_EQ(Text, "Save the changes to\n\"orders.clm\"?");
    EXPECT_EQ(Caption, "Confirm");
    EXPECT_EQ(ButtonNames, (std::vector<std::string>{"Yes", "No", "Cancel"}));
    EXPECT_EQ(Screen().FormCount(), 0) << "the dialog is freed";

    // Every button has its caption and result.
    const std::vector<std::tuple<TMsgDlgBtn, std::string, TModalResult>> all = {
        {mbYes, "&Yes", mrYes},
        {mbNo, "&No", mrNo},
        {mbOK, "OK", mrOk},
        {mbCancel, "Cancel", mrCancel},
        {mbAbort, "&Abort", mrAbort},
        {mbRetry, "&Retry", mrRetry},
        {mbIgnore, "&Ignore", mrIgnore},
        {mbAll, "&All", mrAll},
        {mbNoToAll, "N&o to All", mrNoToAll},
        {mbYesToAll, "Yes to &All", mrYesToAll},
        {mbClose, "&Close", mrClose}};
    for (const auto& [button, caption, result] : all) {
        std::unique_ptr<TForm> f(
            CreateMessageDialog("x", TMsgDlgType::mtInformation, {button, mbHelp}));
        TButton* found = nullptr;
        for (int i = 0; i < f->ComponentCount(); ++i)
            if (auto* x = dynamic_cast<TButton*>(f->GetComponent(i)); x && x->GetName() != "Help")
                found = x;
        ASSERT_TRUE(found);
        EXPECT_EQ(found->GetCaption(), caption);
        EXPECT_EQ(found->GetModalResult(), result);
        EXPECT_EQ(static_cast<TButton*>(f->FindComponent("Help"))->GetModalResult(), mrNone);
        EXPECT_NE(f->FindComponent("Image"), nullptr);
    }
}

TEST_F(DialogsTest, EnterPressesTheDefaultButtonAndEscapeTheCancelButton) {
    AnswerWithKey(VK_RETURN);
    EXPECT_EQ(MessageDlg("Go on?", TMsgDlgType::mtWarning, mbYesNoCancel, 0), mrYes);
    EXPECT_EQ(Asked, 1);
    EXPECT_EQ(Caption, "Warning");
    Asked = 0;
    AnswerWithKey(VK_RETURN);
    EXPECT_EQ(MessageDlg("Retry?", TMsgDlgType::mtError, mbAbortRetryIgnore, 0), mrRetry);
    Asked = 0;
    AnswerWithKey(VK_ESCAPE);
    EXPECT_EQ(MessageDlg("Go on?", TMsgDlgType::mtWarning, mbYesNoCancel, 0), mrCancel);
    Asked = 0;
    AnswerWithKey(VK_ESCAPE);
    EXPECT_EQ(MessageDlg("Go on?", TMsgDlgType::mtWarning, mbYesNo, 0), mrNo) << "No cancels";
    // No answer at all: Cancel.
    Application().SetModalResponder(nullptr);
    EXPECT_EQ(MessageDlg("Hello", TMsgDlgType::mtInformation, {mbOK}, 0), mrCancel);
}

TEST_F(DialogsTest, LayoutFitsTheTextAndPlacesTheDialog) {
    std::unique_ptr<TForm> f(
        CreateMessageDialog(std::string(400, 'w') + " end", TMsgDlgType::mtError, mbOKCancel));
    auto* label = static_cast<TLabel*>(f->FindComponent("Message"));
    auto* ok = static_cast<TButton*>(f->FindComponent("OK"));
    auto* cancel = static_cast<TButton*>(f->FindComponent("Cancel"));
    EXPECT_TRUE(ok->GetDefault());
    EXPECT_TRUE(cancel->GetCancel());
    EXPECT_EQ(f->GetActiveControl(), ok);
    EXPECT_LE(f->GetWidth(), Screen().GetWidth());
    EXPECT_LE(label->GetBoundsRect().Right, f->GetClientWidth());
    EXPECT_GE(ok->GetTop(), label->GetBoundsRect().Bottom);
    EXPECT_LE(cancel->GetBoundsRect().Bottom, f->GetClientHeight());
    EXPECT_EQ(ok->GetTop(), cancel->GetTop());
    EXPECT_LT(ok->GetLeft(), cancel->GetLeft());
    // The message text is shown as it is: no accelerator marks.
    std::unique_ptr<TForm> g(CreateMessageDialog("Fish & Chips", TMsgDlgType::mtCustom, {}));
    EXPECT_EQ(g->FindComponent("Image"), nullptr);
    EXPECT_NE(g->FindComponent("OK"), nullptr) << "no buttons means OK";
    EXPECT_FALSE(static_cast<TLabel*>(g->FindComponent("Message"))->GetShowAccelChar());

    TPoint where;
    Application().SetModalResponder([&](TCustomForm& form) {
        where = form.GetBoundsRect().TopLeft();
        form.SetModalResult(mrOk);
    });
    EXPECT_EQ(MessageDlgPos("here", TMsgDlgType::mtInformation, {mbOK}, 0, 40, 60), mrOk);
    EXPECT_EQ(where, Point(40, 60));
    ShowMessage("centred");
    EXPECT_GT(where.X, 100);
}

TEST_F(DialogsTest, FileDialogsAnswerCancelWithoutAResponder) {
    TOpenDialog open(nullptr);
    open.SetFileName("keep.txt");
    EXPECT_FALSE(open.Execute());
    EXPECT_EQ(open.GetFileName(), "keep.txt");
    TSaveDialog save(nullptr);
    EXPECT_FALSE(save.Execute());
    EXPECT_THROW(open.SetFilter("Text files|*.txt|All"), EInvalidArgument);
    EXPECT_EQ(open.GetFilter(), "");
    open.SetFilter("Text files (*.txt)|*.txt|All files|*.*");
    ASSERT_EQ(open.FilterPairs().size(), 2u);
    EXPECT_EQ(open.FilterPairs()[1], (std::pair<std::string, std::string>{"All files", "*.*"}));
}

TEST_F(DialogsTest, OpenDialogCompletesTheNameAndInsistsOnAnExistingFile) {
    TempDir dir;
    const std::string existing = dir.Path().string() + "/layout.clm";
    WriteFileText(existing, "x");
    TOpenDialog open(nullptr);
    open.SetTitle("Load columns");
    open.SetInitialDir(dir.Path().string());
    open.SetDefaultExt(".clm");
    open.SetOptions({TOpenOption::ofFileMustExist, TOpenOption::ofPathMustExist});
    std::vector<std::string> answers = {"missing", "layout"};
    std::vector<std::string> warnings, titles;
    SetFileDialogResponder([&](TOpenDialog& d) {
        warnings.push_back(d.GetWarning());
        titles.push_back(d.GetTitle());
        if (answers.empty()) return false;
        d.SetFileName(answers.front());
        answers.erase(answers.begin());
        return true;
    });
    ASSERT_TRUE(open.Execute());
    EXPECT_EQ(open.GetFileName(), existing);
    EXPECT_EQ(open.GetFiles(), std::vector<std::string>{existing});
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0], "");
    EXPECT_NE(warnings[1].find("missing.clm"), std::string::npos);
    EXPECT_EQ(titles[0], "Load columns");

    // Cancel keeps the previous name; so does giving up after the same refused name.
    answers = {};
    EXPECT_FALSE(open.Execute());
    EXPECT_EQ(open.GetFileName(), existing);
    answers = {"nope", "nope"};
    EXPECT_FALSE(open.Execute());
    EXPECT_EQ(open.GetFileName(), existing);
    EXPECT_NE(open.GetWarning().find("File not found"), std::string::npos);
}

TEST_F(DialogsTest, SaveDialogAsksBeforeReplacingAFile) {
    TempDir dir;
    const std::string existing = dir.Path().string() + "/settings.ini";
    WriteFileText(existing, "x");
    TSaveDialog save(nullptr);
    save.SetOptions({TOpenOption::ofOverwritePrompt, TOpenOption::ofPathMustExist});
    SetFileDialogResponder([&](TOpenDialog& d) {
        EXPECT_TRUE(d.IsSaveDialog());
        d.SetFileName(existing);
        return true;
    });
    // "No" to replacing: the same name again means the user gave up.
    std::vector<std::string> questions;
    Application().SetModalResponder([&](TCustomForm& f) {
        questions.push_back(static_cast<TLabel*>(f.FindComponent("Message"))->GetCaption());
        f.SetModalResult(mrNo);
    });
    EXPECT_FALSE(save.Execute());
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[0], existing + " already exists.\nDo you want to replace it?");
    Application().SetModalResponder([&](TCustomForm& f) { f.SetModalResult(mrYes); });
    EXPECT_TRUE(save.Execute());
    EXPECT_EQ(save.GetFileName(), existing);
    // A new file needs no question; a missing folder is refused.
    Application().SetModalResponder(nullptr);
    SetFileDialogResponder([&](TOpenDialog& d) {
        d.SetFileName(dir.Path().string() + "/new.ini");
        return true;
    });
    EXPECT_TRUE(save.Execute());
    SetFileDialogResponder([&](TOpenDialog& d) {
        d.SetFileName(dir.Path().string() + "/no/such/folder.ini");
        return true;
    });
    EXPECT_FALSE(save.Execute());
    EXPECT_NE(save.GetWarning().find("does not exist"), std::string::npos);
    EXPECT_EQ(save.GetFileName(), dir.Path().string() + "/new.ini");
}

}  // namespace
}  // namespace veltest
