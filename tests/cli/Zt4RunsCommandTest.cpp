// tallyvault-cli archive continue and archive date on a generated ZT4 card that
// grows between two runs.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRunner.h"

namespace tv::test {

namespace {
std::vector<std::string> XmlFiles(const std::string& folder) {
    std::vector<std::string> paths;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
        if (e.path().extension() == ".xml") paths.push_back(e.path().string());
    }
    return paths;
}
std::string FileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }
}  // namespace

TEST_F(CliTest, ZT4ContinueAndDateBasedArchives) {
    const std::string data = "--data-dir " + DataFolder() + " ";
    const std::string image = TempPath("zt4");
    ASSERT_EQ(Cli(data + "make-card --family zt4 --out " + image + " --days 3 --start 2016-02-08").status, 0);
    const std::string card = data + "--card-image F=" + image + " ";
    const std::string first = TempPath("first");
    const std::string second = TempPath("second");
    const std::string dated = TempPath("dated");
    for (const auto& f : {first, second, dated}) std::filesystem::create_directories(f);

    ASSERT_EQ(Cli(card + "archive complete --card F --to " + first).status, 0);
    CliRun r = Cli(card + "archive continue --card F --to " + second);
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_NE(r.out.find("No new data found."), std::string::npos) << r.out;

    r = Cli(data + "make-card --extend " + image + " --days 2");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Last date: 2016-02-12"), std::string::npos) << r.out;
    r = Cli(card + "archive continue --card F --to " + second);
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("[Previous archive info: 2016-02-08 to 2016-02-10]"), std::string::npos) << r.out;
    ASSERT_EQ(XmlFiles(second).size(), 1u);
    EXPECT_TRUE(FileName(XmlFiles(second)[0]).starts_with("20160211")) << XmlFiles(second)[0];
    EXPECT_EQ(Cli(data + "validate " + XmlFiles(second)[0]).status, 0);
    EXPECT_EQ(Cli(data + "validate " + Join(image, "Archive.log")).status, 0);

    // The questions carry the wizard's texts; No writes nothing.
    r = Cli(card + "--no archive date --card F --from 2016-02-01 --until 2016-02-09 --to " + dated);
    EXPECT_EQ(r.status, 11);
    EXPECT_NE(r.out.find("Card dates: 2016-02-08 to 2016-02-12"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("question: Transaction not available for the selected start date (2016-2-1). Do you want "
                         "to continue archiving from 2016-02-08? no"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(std::filesystem::is_empty(dated));
    r = Cli(card + "archive date --card F --from 2016-02-09 --until 2016-02-11 --to " + dated);
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    ASSERT_EQ(XmlFiles(dated).size(), 1u);
    EXPECT_TRUE(FileName(XmlFiles(dated)[0]).starts_with("20160209")) << XmlFiles(dated)[0];
    EXPECT_EQ(Cli(data + "validate " + XmlFiles(dated)[0]).status, 0);
    EXPECT_EQ(Cli(data + "validate " + Join(image, "Archive.log")).status, 0);
}

// The card's own Archive.log lists what was archived: a folder holding only the
// first run's files lacks the second's.
TEST_F(CliTest, ZT4FolderComparedWithTheCardsArchiveLog) {
    const std::string data = "--data-dir " + DataFolder() + " ";
    const std::string image = TempPath("zt4");
    ASSERT_EQ(Cli(data + "make-card --family zt4 --out " + image + " --days 2 --start 2016-02-08").status, 0);
    const std::string card = data + "--card-image F=" + image + " ";
    const std::string first = TempPath("first");
    const std::string all = TempPath("all");
    for (const auto& f : {first, all}) std::filesystem::create_directories(f);
    ASSERT_EQ(Cli(card + "archive complete --card F --to " + first).status, 0);
    ASSERT_EQ(Cli(data + "make-card --extend " + image + " --days 2").status, 0);
    ASSERT_EQ(Cli(card + "archive continue --card F --to " + all).status, 0);
    // The first run's folder beside the second's (copied one by one: a folder
    // copied onto an existing one is refused on some systems).
    for (const auto& run : std::filesystem::directory_iterator(first)) {
        std::filesystem::copy(run.path(), std::filesystem::path(all) / run.path().filename(),
                              std::filesystem::copy_options::recursive);
    }

    CliRun r = Cli(card + "validate " + all + " --card F");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("\tArchive.log\tSuccess"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("continuity\tarchive-log\t" + Join(image, "Archive.log") + "\tgiven"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("continuity\tresult\tcomplete"), std::string::npos) << r.out;

    // The files are all valid; the folder is not the whole card.
    r = Cli(card + "validate " + first + " --card F");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("continuity\tnot-in-folder\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("continuity\tresult\tincomplete"), std::string::npos) << r.out;

    // No card, or a card without a log: nothing to compare with.
    EXPECT_EQ(Cli(card + "validate " + all + " --card G").status, 2);
    EXPECT_EQ(Cli(card + "validate " + all + " --card F --archive-log " + Join(image, "Archive.log")).status, 64);
}

}  // namespace tv::test
