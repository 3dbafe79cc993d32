#include <gtest/gtest.h>

#include "platform/rtl/FormatSettings.h"

namespace {
// Every test starts from the default locale, whatever the previous one did to it.
class LocaleReset : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        vel::FormatSettings() = vel::TFormatSettings::Create("en-US");
    }
};
}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new LocaleReset);
    return RUN_ALL_TESTS();
}
