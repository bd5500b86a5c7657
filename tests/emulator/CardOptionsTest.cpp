// The arguments of the make-card command.
#include <gtest/gtest.h>

#include "emulator/CardOptions.h"

namespace tv {
namespace {

bool Parse(const std::vector<std::string>& args, CardOptions& o, std::string& out,
           std::string& error) {
    o = CardOptions{};
    return ParseCardArguments(args, o, out, error);
}

TEST(CardOptionsTest, ArgumentsFillTheOptions) {
    CardOptions o;
    std::string out, error;
    ASSERT_TRUE(Parse({"--family",
                       "zt4",
                       "--out",
                       "img",
                       "--seed",
                       "18446744073709551615",
                       "--start",
                       "2016-02-28",
                       "--days",
                       "3",
                       "--receipts-per-day",
                       "7",
                       "--multi-sector",
                       "50",
                       "--unclosed-tail",
                       "--split-store",
                       "--not-fused",
                       "--cust-id",
                       "AB12",
                       "--damage",
                       "signature",
                       "--total-sectors",
                       "9000"},
                      o, out, error))
        << error;
    EXPECT_EQ(out, "img");
    EXPECT_EQ(o.family, CardFamily::Zt4);
    EXPECT_EQ(o.seed, 18446744073709551615ULL);
    EXPECT_EQ(o.start, (CalendarDate{2016, 2, 28}));
    EXPECT_EQ(o.days, 3u);
    EXPECT_EQ(o.receiptsPerDay, 7u);
    EXPECT_EQ(o.multiSectorPercent, 50u);
    EXPECT_EQ(o.unclosedTailReceipts, 3u);
    EXPECT_EQ(o.storeFiles, 3u);
    EXPECT_FALSE(o.fused);
    EXPECT_EQ(o.customisationId, "AB12");
    EXPECT_EQ(o.damage, CardDamage::Signature);
    EXPECT_EQ(o.totalSectors, 9000u);

    ASSERT_TRUE(Parse(
        {"--unclosed-tail", "12", "--family", "dx", "--store-files", "5", "--out", "x", "--empty"},
        o, out, error))
        << error;
    EXPECT_EQ(o.unclosedTailReceipts, 12u);
    EXPECT_EQ(o.storeFiles, 5u);
    EXPECT_TRUE(o.empty);
    EXPECT_EQ(o.family, CardFamily::Dx);
    EXPECT_EQ(o.originIncident, 0);
    EXPECT_EQ(o.closureSectors, 1u);
    EXPECT_FALSE(o.incidentAfterClosures);

    // The shapes of real scales.
    ASSERT_TRUE(Parse({"--family", "dx", "--out", "x", "--origin-incident", "R", "--closure-sectors", "4",
                       "--incident-after-closures"},
                      o, out, error))
        << error;
    EXPECT_EQ(o.originIncident, 'R');
    EXPECT_EQ(o.closureSectors, 4u);
    EXPECT_TRUE(o.incidentAfterClosures);
}

TEST(CardOptionsTest, UsageErrorsAreRefusedWithTheirReason) {
    CardOptions o;
    std::string out, error;
    const std::vector<std::string> base = {"--family", "dx", "--out", "x"};
    const auto refused = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = base;
        args.insert(args.end(), extra.begin(), extra.end());
        error.clear();
        const bool ok = Parse(args, o, out, error);
        return !ok && !error.empty();
    };
    EXPECT_TRUE(refused({"--days"}));
    EXPECT_TRUE(refused({"--days", "-1"}));
    EXPECT_TRUE(refused({"--days", "36601"}));
    EXPECT_TRUE(refused({"--seed", "18446744073709551616"}));
    EXPECT_TRUE(refused({"--start", "2015-02-29"}));
    EXPECT_TRUE(refused({"--start", "2015-2-28"}));
    EXPECT_TRUE(refused({"--multi-sector", "101"}));
    EXPECT_TRUE(refused({"--store-files", "0"}));
    EXPECT_TRUE(refused({"--cust-id", "QX333"}));
    EXPECT_TRUE(refused({"--damage", "hash"}));
    EXPECT_TRUE(refused({"--damage", "ds-version", "--family", "zt4"}));
    EXPECT_TRUE(refused({"--damage", "closure-incident", "--family", "dx"}));
    EXPECT_TRUE(refused({"--damage", "fusing-xml", "--family", "dx"}));
    EXPECT_TRUE(refused({"--empty", "--damage", "chain"}));
    EXPECT_TRUE(refused({"--origin-incident", "W"}));
    EXPECT_TRUE(refused({"--origin-incident", "CF"}));
    EXPECT_TRUE(refused({"--origin-incident"}));
    EXPECT_TRUE(refused({"--closure-sectors", "0"}));
    EXPECT_TRUE(refused({"--closure-sectors", "5"}));
    EXPECT_TRUE(refused({"--bogus", "1"}));
    EXPECT_TRUE(refused({"stray"}));
    EXPECT_FALSE(Parse({"--out", "x"}, o, out, error));
    EXPECT_NE(error.find("--family"), std::string::npos);
    EXPECT_FALSE(Parse({"--family", "dx"}, o, out, error));
    EXPECT_NE(error.find("--out"), std::string::npos);
    EXPECT_FALSE(Parse({"--family", "nv", "--out", "x"}, o, out, error));

    // The names of the damage kinds read back.
    for (CardDamage d :
         {CardDamage::Payload, CardDamage::Chain, CardDamage::Signature, CardDamage::DsVersion,
          CardDamage::ClosureIncident, CardDamage::FusingXml}) {
        CardDamage back = CardDamage::None;
        EXPECT_TRUE(ParseDamageName(DamageName(d), back));
        EXPECT_EQ(back, d);
    }
}

TEST(CardOptionsTest, CalendarDatesStepOverMonthsYearsAndLeapDays) {
    CalendarDate d;
    ASSERT_TRUE(CalendarDate::Parse("2016-02-28", d));
    EXPECT_EQ(d.NextDay().Text(), "2016-02-29");
    EXPECT_TRUE(d.NextDay().IsLastOfMonth());
    EXPECT_EQ(d.NextDay().NextDay().Text(), "2016-03-01");
    ASSERT_TRUE(CalendarDate::Parse("2015-12-31", d));
    EXPECT_TRUE(d.IsLastOfYear());
    EXPECT_EQ(d.NextDay().Text(), "2016-01-01");
    EXPECT_EQ(d.TextAt(20 * 3600 + 5 * 60 + 9), "2015-12-31 20:05:09");
    EXPECT_FALSE(CalendarDate::Parse("1900-02-29", d));
    EXPECT_TRUE(CalendarDate::Parse("2000-02-29", d));
    EXPECT_FALSE(CalendarDate::Parse("2015-13-01", d));
    EXPECT_FALSE(CalendarDate::Parse("2015-12-01x", d));
}

}  // namespace
}  // namespace tv
