// make-card, cards and identify from the command line, on emulated cards.
#include <gtest/gtest.h>

#include "cli/CliRunner.h"

namespace tv::test {

TEST_F(CliTest, GeneratedCardsAreListedAndIdentified) {
    const std::string data = "--data-dir " + DataFolder() + " ";
    CliRun r = Cli(data + "make-card --family dx --out " + TempPath("dx") + " --days 2 --seed 5");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Family: dX\n"), std::string::npos);
    ASSERT_EQ(Cli(data + "make-card --family zt4 --out " + TempPath("zt4") + " --days 2 --split-store").status, 0);
    ASSERT_EQ(Cli(data + "make-card --family dx --out " + TempPath("new") + " --empty --not-fused").status, 0);
    EXPECT_EQ(Cli(data + "make-card --family abc --out " + TempPath("x")).status, 64);
    EXPECT_EQ(Cli(data + "make-card --family dx").status, 64);

    const std::string cards = data + "--card-image e=" + TempPath("dx") + " --card-image G=" + TempPath("zt4") +
                              " --card-image H=" + TempPath("new") + " ";
    r = Cli(cards + "cards");
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = r.out.find('\n', at)) != std::string::npos; at = end + 1) {
        lines.push_back(r.out.substr(at, end - at));
    }
    ASSERT_EQ(lines.size(), 3u) << r.out;
    EXPECT_NE(lines[0].find(" (E:)\tdX\t"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find(" (G:)\tZT4\t"), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find(" (H:)\t"), std::string::npos) << lines[2];

    r = Cli(cards + "identify --card E");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("accepted: "), std::string::npos);
    r = Cli(cards + "identify --card G --purpose verify");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Feature not available for ZT4."), std::string::npos);
    r = Cli(cards + "identify --card H");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("New Secure Memory Card."), std::string::npos);
    EXPECT_EQ(Cli(cards + "identify --card Q").status, 1);
    EXPECT_EQ(Cli(cards + "identify").status, 64);
    EXPECT_EQ(Cli(cards + "identify --card E --purpose both").status, 64);

    r = Cli(data + "cards");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("<Insert SMC>"), std::string::npos);
}

}  // namespace tv::test
