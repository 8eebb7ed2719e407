// The window when the two CRC routines disagree: message 155 and no CRC, never a stale one.
#include "base/messages.h"
#include "safety/param_stream.h"
#include "window/window_fixture.h"

namespace norvane::testing {
namespace {

uint32_t OffByOne(uint32_t length, uint32_t initial, const uint8_t* data, CrcDirection direction) {
    return SafetyCrc32(length, initial, data, direction) + 1;
}

class CrcRefusalTest : public WindowTest {
  protected:
    void TearDown() override {
        SetTableCrcRoutine(nullptr);
        WindowTest::TearDown();
    }
    void ExpectRefused(CNorvaneCRCToolDlg& window) {
        EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgParametersDoNotFit});
        ASSERT_FALSE(dialogs_.shown.empty());
        EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Critical);
        EXPECT_FALSE(Model().Crc().valid);
        EXPECT_EQ(Model().Crc().value, 0u);
        EXPECT_EQ(Control<QLineEdit>("1019")->text(), "N/A");
    }
};

TEST_F(CrcRefusalTest, CalcCrcShowsNoCrcWhenTheRoutinesDisagree) {
    CNorvaneCRCToolDlg& window = Start();
    AcceptAll();
    ASSERT_TRUE(Control<QPushButton>("1018")->isEnabled());
    SetTableCrcRoutine(&OffByOne);
    Control<QPushButton>("1018")->click();
    ExpectRefused(window);

    // With the routines agreeing again the same press gives the CRC.
    SetTableCrcRoutine(nullptr);
    dialogs_.shown.clear();
    Control<QPushButton>("1018")->click();
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_TRUE(Model().Crc().valid);
    EXPECT_EQ(Control<QLineEdit>("1019")->text(), "299C144A");
}

TEST_F(CrcRefusalTest, AShownCrcIsWithdrawnWhenTheRecomputationDisagrees) {
    CNorvaneCRCToolDlg& window = Start();
    AcceptAll();
    Control<QPushButton>("1018")->click();
    ASSERT_EQ(Control<QLineEdit>("1019")->text(), "299C144A");

    // Accept computes the CRC again while it is valid; that computation is refused.
    SetTableCrcRoutine(&OffByOne);
    dialogs_.shown.clear();
    Select(ItemOf("F_Dest_Add"));
    Type("101");
    Accept();
    ExpectRefused(window);
}

}  // namespace
}  // namespace norvane::testing
