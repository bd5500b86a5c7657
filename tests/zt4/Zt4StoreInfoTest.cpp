// The identity of a ZT4 card read from its first blocks, and the fusing block
// whose XML does not parse.
#include <gtest/gtest.h>

#include "app/AppContext.h"
#include "smc/SmcAccess.h"
#include "smc/SmcDiscovery.h"
#include "support/GeneratedCard.h"
#include "zt4/Zt4StoreInfo.h"

namespace tv {
namespace {

class Zt4StoreInfoTest : public test::CardTest {
protected:
    bool Read(const CardOptions& options, StoreInfo& info) {
        card_ = MountCard('E', options);
        AppContext& ctx = GetAppContext();
        const SmcList list = ScanSmcDrives(ctx);
        EXPECT_EQ(IdentifySmc(ctx, list.entries.at(1), SmcPurpose::Archiving), SmcIdentity::Accepted);
        WormUsage usage;
        EXPECT_TRUE(CheckSmcUsage(ctx, usage));
        return ReadZt4StoreInfo(ctx, usage.nextWriteIndex, info);
    }
    CardSummary card_;
};

TEST_F(Zt4StoreInfoTest, TheFirstBlocksGiveTheCardsIdentity) {
    StoreInfo info;
    ASSERT_TRUE(Read(Small(CardFamily::Zt4, 1), info)) << LogText();
    EXPECT_EQ(info.scaleSerialNumber, card_.scaleSerialNumber);
    EXPECT_EQ(info.smcUid, card_.smcUid);
    EXPECT_EQ(info.publicKey, card_.publicKey);
    EXPECT_EQ(info.scaleTypeText, "ZT4");
}

TEST_F(Zt4StoreInfoTest, AFusingBlockThatDoesNotParseGivesNoIdentity) {
    CardOptions o = Small(CardFamily::Zt4, 1);
    o.damage = CardDamage::FusingXml;
    StoreInfo info;
    EXPECT_FALSE(Read(o, info));
    EXPECT_TRUE(info.scaleSerialNumber.empty());
    EXPECT_NE(LogText().find("Invalid XML format! BlockNum - 1"), std::string::npos);
}

}  // namespace
}  // namespace tv
