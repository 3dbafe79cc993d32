#pragma once
// Fixtures for the controls tests: a virtual clock, the default system profile and desktop,
// an empty queue, and small controls that record what happens to them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/controls/Application.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Input.h"
#include "platform/controls/SystemProfile.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"

namespace veltest {

class ControlsTest : public ::testing::Test {
protected:
    ControlsTest() { vel::ResetWindowingForTests(); }
    ~ControlsTest() override {
        vel::Application().ProcessMessages();
        vel::ResetWindowingForTests();
    }
    void Process() { vel::Application().ProcessMessages(); }
    vel::TVirtualClockScope FClock;
};

// A windowed control that logs the messages and events it gets.
class TLogControl : public vel::TCustomControl {
public:
    explicit TLogControl(vel::TComponent* owner, std::vector<std::string>* log = nullptr,
                         const std::string& name = "")
        : vel::TCustomControl(owner), FLog(log), FTag(name) {
        SetTabStop(true);
        SetOnEnter([this](vel::TObject*) { Add("enter"); });
        SetOnExit([this](vel::TObject*) { Add("exit"); });
    }
    void Dispatch(vel::TMessage& m) override {
        switch (m.Msg) {
            case vel::WM_SETFOCUS: Add("setfocus"); break;
            case vel::WM_KILLFOCUS: Add("killfocus"); break;
            case vel::CM_CANCELMODE: Add("cancelmode"); break;
            case vel::WM_CANCELMODE: Add("wm_cancelmode"); break;
            default: break;
        }
        vel::TCustomControl::Dispatch(m);
    }
    void Add(const std::string& s) {
        if (FLog) FLog->push_back(FTag + ":" + s);
    }
    int Paints = 0;
    vel::TRect LastClip;
    vel::TColor Fill = vel::clWhite;

protected:
    void Paint() override {
        ++Paints;
        LastClip = Canvas().ClipRect();
        Canvas().Brush().SetColor(Fill);
        Canvas().FillRect(GetClientRect());
    }

private:
    std::vector<std::string>* FLog;
    std::string FTag;
};

inline vel::TColor PixelAt(const vel::TBitmap& b, int x, int y) { return b.GetPixelColor(x, y); }

}  // namespace veltest
