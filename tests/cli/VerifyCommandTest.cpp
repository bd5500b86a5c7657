// tallyvault-cli verify on archives of a generated dX card: files and folders,
// standalone and against the card.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "cli/CliRunner.h"
#include "dx/CardCsv.h"
#include "emulator/CardGenerator.h"
#include "emulator/SmcEmulator.h"

namespace tv::test {

class VerifyCommandTest : public CliTest {
protected:
    // Generates a card of two days, four receipts a day, and mounts it at K;
    // the folder of its image.
    std::string MountSmallCard(CardSummary& summary) {
        GetAppContext();
        CardOptions options;
        options.days = 2;
        options.receiptsPerDay = 4;
        const std::string image = TempPath("card");
        std::string error;
        EXPECT_TRUE(GenerateCard(options, image, summary, error)) << error;
        MountEmulatedCard(*platform_, 'K', image);
        return image;
    }
    void TearDown() override {
        platform_->MountCard('K', {}, nullptr);
        CliTest::TearDown();
    }
};

TEST_F(VerifyCommandTest, PrintsOneRowAFileAndTheResult) {
    CardSummary summary;
    const std::string image = MountSmallCard(summary);
    const std::vector<CardBlock> blocks = ReadCardBlocks('K');
    ASSERT_GT(blocks.size(), 10u);
    const std::string identity = "\t" + summary.scaleSerialNumber + "\t" + summary.smcUid + "\n";
    const std::string root = EncodeHex(blocks[0].bytes.data() + blocks[0].paddedLength + 32, 32);

    const std::string folder = TempPath("archives");
    std::filesystem::create_directories(folder);
    const std::string good = Join(folder, "good.csv");
    WriteFile(good, JoinLines(blocks));
    const std::string data = "--data-dir " + DataFolder() + " ";
    const std::string card = "--card-image K=" + image + " ";

    CliRun r = Cli(data + "verify " + good);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1\tgood.csv\tSuccess\tRoot Hash:" + root + identity +
                         "Archive(s) verified successfully.\n");
    r = Cli(data + card + "verify " + good + " --card k");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1\tgood.csv\tSuccess\t" + identity + "Archive(s) verified successfully.\n");
    // Against a card that is not there the file cannot be checked at all.
    r = Cli(data + "verify " + good + " --card Q");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "1\tgood.csv\tFailure\tCheck log file.\t\t\nArchive verification failed.\n");

    std::string text = JoinLines(blocks);
    const size_t t = FindBlock(blocks, 'T');
    size_t at = 0;
    for (size_t i = 0; i < t; ++i) at += blocks[i].line.size();
    text[at + 60] ^= 1;
    const std::string bad = Join(folder, "bad.csv");
    WriteFile(bad, text);
    char remark[64];
    std::snprintf(remark, sizeof remark, "Failed when verifying block %u (%08X)", blocks[t].number,
                  blocks[t].number);
    r = Cli(data + "verify " + bad);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "1\tbad.csv\tFailure\t" + std::string(remark) + identity +
                         "Archive verification failed.\n");

    WriteFile(Join(folder, "readme.txt"), "not an archive");
    r = Cli(data + card + "verify " + folder + " --card K");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\tgood.csv\tSuccess\t" + identity), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\tbad.csv\tFailure\t" + std::string(remark) + identity),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("readme"), std::string::npos);
    EXPECT_NE(r.out.find("\nVerification of one or more archive(s) failed.\n"), std::string::npos);
    std::filesystem::remove(bad);
    r = Cli(data + "verify " + folder);
    EXPECT_EQ(r.status, 0);
    const std::string rows = "1\tgood.csv\tSuccess\tRoot Hash:" + root + identity + "Archive(s) verified successfully.\n";
    EXPECT_EQ(r.out.substr(0, rows.size()), rows);
    // A folder's continuity follows the result, every line marked as such.
    std::istringstream continuity(r.out.substr(std::min(rows.size(), r.out.size())));
    std::string line;
    for (std::string next; std::getline(continuity, next); line = next) EXPECT_EQ(next.rfind("continuity\t", 0), 0u) << next;
    EXPECT_EQ(line, "continuity\tresult\tcomplete");

    r = Cli(data + "verify " + TempPath("none.csv"));
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "1\tnone.csv\tFailure\tFile not found.\t\t\nArchive verification failed.\n");
    EXPECT_NE(ReadFile(Join(DataFolder(), "Tallyvault.log")).find("Verification operation started"),
              std::string::npos);

    EXPECT_EQ(Cli(data + "verify").status, 64);
    EXPECT_EQ(Cli(data + "verify " + good + " " + bad).status, 64);
    EXPECT_EQ(Cli(data + "verify " + good + " --card").status, 64);
    EXPECT_EQ(Cli(data + "verify " + good + " --card KL").status, 64);
}

// A folder of archives is verified in name order, which is the order of time
// their names carry, whatever order the file system lists them in.
TEST_F(VerifyCommandTest, FolderRowsComeInNameOrder) {
    CardSummary summary;
    MountSmallCard(summary);
    const std::string archive = JoinLines(ReadCardBlocks('K'));
    const std::string folder = TempPath("archives");
    std::filesystem::create_directories(folder);
    std::vector<std::string> names;
    for (int month = 1; month <= 9; ++month) {
        names.push_back("20190" + std::to_string(month) + "01080000_20190" + std::to_string(month) +
                        "28200000.csv");
    }
    // Created out of order, so that no file system lists them sorted by chance.
    for (int i : {4, 1, 7, 0, 8, 6, 2, 5, 3}) WriteFile(Join(folder, names[static_cast<size_t>(i)]), archive);

    const CliRun r = Cli("--data-dir " + DataFolder() + " verify " + folder);
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::string> listed;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) {
        const size_t tab = line.find('\t');
        if (tab == std::string::npos || line.rfind("continuity\t", 0) == 0) continue;
        EXPECT_EQ(line.substr(0, tab), std::to_string(listed.size() + 1));
        listed.push_back(line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1));
    }
    EXPECT_EQ(listed, names) << r.out;
}

}  // namespace tv::test
