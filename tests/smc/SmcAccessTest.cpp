// The card operations of the context and the log entries of their failures.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "app/AppContext.h"
#include "emulator/SmcEmulator.h"
#include "log/LogFile.h"
#include "smc/CardImageBuilder.h"
#include "smc/SmcAccess.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

class SmcAccessTest : public test::TestEnvironment {
protected:
    void SetUp() override {
        TestEnvironment::SetUp();
        WriteConfig(ValidConfig());
        folder_ = TempPath("card");
        test::InfoFields info;
        info.nextWriteIndex = 0x00000100;
        info.flags = 0x80;
        test::WriteCardImage(folder_, info, {8});
    }

    AppContext& Context(const std::string& drive) {
        AppContext& ctx = GetAppContext();
        ctx.drive = drive;
        return ctx;
    }

    // The error entries of the core module, message text only.
    std::vector<std::string> CoreErrors() const { return test::LoggedErrors(LogText(), kModCore); }

    std::string folder_;
};

TEST_F(SmcAccessTest, OpeningAndReadingTheChosenCard) {
    auto card = MountEmulatedCard(*platform_, 'K', folder_);
    AppContext& ctx = Context("K");

    WormUsage usage;
    ASSERT_TRUE(CheckSmcUsage(ctx, usage));
    EXPECT_TRUE(ctx.worm);
    EXPECT_EQ(usage.nextWriteIndex, 256u);
    EXPECT_EQ(usage.totalSectors, 8u);
    bool fused = false;
    EXPECT_TRUE(GetSmcFusedState(ctx, fused));
    EXPECT_TRUE(fused);
    std::string sectors(2 * 512, '\0');
    EXPECT_TRUE(GetSmcBlocks(ctx, 2, sectors.data(), 6));
    EXPECT_TRUE(sectors == test::StoreSectors(6, 2));

    // Opening again replaces the open card.
    EXPECT_TRUE(InitSmc(ctx, WormMode::Probe));
    EXPECT_TRUE(ctx.worm);
    EXPECT_EQ(card->CommandWrites(), 4);
    CloseSmc(ctx);
    EXPECT_FALSE(ctx.worm);
    CloseSmc(ctx);  // nothing open: nothing to do
    EXPECT_TRUE(CoreErrors().empty());
}

TEST_F(SmcAccessTest, FailuresAreLoggedWithTheDriveAndCode) {
    auto card = MountEmulatedCard(*platform_, 'K', folder_);
    AppContext& ctx = Context("Z");
    EXPECT_FALSE(InitSmc(ctx, WormMode::Probe));
    EXPECT_FALSE(ctx.worm);
    WormUsage usage;
    EXPECT_FALSE(CheckSmcUsage(ctx, usage));
    bool fused = true;
    EXPECT_FALSE(GetSmcFusedState(ctx, fused));
    char buffer[512];
    EXPECT_FALSE(GetSmcBlocks(ctx, 1, buffer, 0));

    // The card opens, then stops giving its info sector (the open reads it
    // twice and tests the rollback flag once).
    card->Faults().infoReadsBeforeError = 3;
    ctx.drive = "K";
    EXPECT_FALSE(CheckSmcUsage(ctx, usage));
    EXPECT_TRUE(ctx.worm);
    EXPECT_FALSE(GetSmcFusedState(ctx, fused));
    card->Faults().infoReadsBeforeError = -1;
    EXPECT_FALSE(GetSmcBlocks(ctx, 1, buffer, 8));

    ctx.drive = "KK";
    EXPECT_FALSE(InitSmc(ctx, WormMode::Data));

    EXPECT_EQ(CoreErrors(), (std::vector<std::string>{
                                "Drive Z : WORM_INIT failed. (E2)",
                                "Drive Z : WORM_INIT failed. (E2)",
                                "Drive Z : Getting fused state failed. (E1)",
                                "Get block from WORM STORE failed",
                                "Check SMC for current usage failed",
                                "Drive K : Getting fused state failed. (E4)",
                                "Get block from WORM STORE failed",
                                "Drive KK : WORM_INIT failed. (E1)",
                            }));
}

TEST_F(SmcAccessTest, BytesToHexWritesUpperCaseDigits) {
    const uint8_t uid[16] = {0x00, 0x01, 0x9A, 0xBC, 0xDE, 0xF0, 0x7F, 0x80,
                             0xFF, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x0A};
    char text[34];
    std::memset(text, '#', sizeof text);
    ASSERT_TRUE(BytesToHex(uid, 16, text));
    EXPECT_EQ(std::string(text), "00019ABCDEF07F80FF1020304050600A");
    EXPECT_EQ(text[33], '#');
    EXPECT_TRUE(BytesToHex(uid, 0, text));
    EXPECT_STREQ(text, "");
    EXPECT_FALSE(BytesToHex(nullptr, 1, text));
    EXPECT_FALSE(BytesToHex(uid, 1, nullptr));
}

}  // namespace
}  // namespace tv
