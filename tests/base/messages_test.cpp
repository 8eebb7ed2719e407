#include "base/messages.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

class MessagesTest : public ::testing::Test {
  protected:
    void TearDown() override { ResetMessageTexts(); }
};

TEST_F(MessagesTest, FillsPlaceholdersByPosition) {
    EXPECT_EQ(FormatMessage(kMsgSettingReadFailed, {"<EditModeEnabled>"}),
              "Failed to read application setting <EditModeEnabled>.");
    EXPECT_EQ(FormatMessage(kMsgModuleNotSupported, {"AI 4x", "0x1234"}),
              "The selected module is not supported.\nAI 4x (0x1234)");
    EXPECT_EQ(FormatMessage(kMsgModuleNotSupported, {"AI 4x"}),
              "The selected module is not supported.\nAI 4x ()");
    EXPECT_EQ(FormatMessage(kMsgSettingsReadFailed, {"unused"}),
              "Failed to read application settings.");
}

TEST_F(MessagesTest, InstalledTextsReplaceOnlyTheirOwnNumbersUntilReset) {
    InstallMessageTexts({{kMsgSettingWriteFailed, "%2 before %1, 100%% %3"}});
    EXPECT_EQ(FormatMessage(kMsgSettingWriteFailed, {"one", "two"}), "two before one, 100% ");
    EXPECT_EQ(MessageText(kMsgSettingReadFailed), "Failed to read application setting %1.");
    ResetMessageTexts();
    EXPECT_EQ(FormatMessage(kMsgSettingWriteFailed, {"<CrcDisplayFormat>"}),
              "Failed to write application setting <CrcDisplayFormat>.");
    EXPECT_EQ(MessageText(110), "");
}

}  // namespace
}  // namespace norvane
