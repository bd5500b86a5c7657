// The dX verifier on folders, its progress, the writer's quiet check and the abort.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "dx/VerifierdXFixture.h"

namespace tv::test {
namespace {

using Row = std::vector<std::string>;

TEST_F(VerifierdXTest, FolderVerifiesEveryCsvFileAndGoesOnAfterAFailure) {
    const std::vector<CardBlock> blocks = Card('K', SmallCard(2));
    const std::string root = "Root Hash:" + CurrentHashText(blocks[0]);
    const std::string folder = TempPath("archives");
    std::filesystem::create_directories(Join(folder, "sub.csv"));
    WriteFile(Join(folder, "good.csv"), JoinLines(blocks));
    WriteFile(Join(folder, "second.CSV"), JoinLines(blocks));
    WriteFile(Join(folder, "notes.txt"), "not an archive");
    WriteFile(Join(folder, ".hidden.csv"), "x");
    WriteFile(Join(folder, "good.csv.bak"), JoinLines(blocks));

    VerifyOutcome r = Verify(folder, 0, true);
    EXPECT_TRUE(r.ok) << (r.errors.empty() ? "" : r.errors.front());
    ASSERT_EQ(r.rows.size(), 2u);
    std::map<std::string, Row> byName;
    for (size_t i = 0; i < r.rows.size(); ++i) {
        EXPECT_EQ(r.rows[i][0], std::to_string(i + 1));
        byName[r.rows[i][1]] = r.rows[i];
    }
    EXPECT_EQ(byName["good.csv"], (Row{byName["good.csv"][0], "good.csv", "Success", root,
                                       summary_.scaleSerialNumber, summary_.smcUid}));
    EXPECT_EQ(byName["second.CSV"][2], "Success");
    EXPECT_NE(r.log.find("Verification type: Folder verification"), std::string::npos);
    EXPECT_NE(r.log.find("Verification operation finished"), std::string::npos);
    EXPECT_EQ(r.progress, (std::vector<int32_t>{50, 100, 100}));

    // Against the card, and with a damaged file among the others.
    r = Verify(folder, 'K', true);
    EXPECT_TRUE(r.ok) << (r.errors.empty() ? "" : r.errors.front());
    EXPECT_EQ(r.rows[0][3], "");
    std::string damaged = JoinLines(blocks);
    damaged[100] ^= 1;
    WriteFile(Join(folder, "damaged.csv"), damaged);
    r = Verify(folder, 0, true);
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(r.rows.size(), 3u);
    size_t failures = 0;
    for (const Row& row : r.rows) {
        if (row[1] == "damaged.csv") {
            EXPECT_EQ(row[2], "Failure");
            EXPECT_EQ(row[3].rfind("Failed when verifying block", 0), 0u) << row[3];
            ++failures;
        } else {
            EXPECT_EQ(row[2], "Success");
        }
    }
    EXPECT_EQ(failures, 1u);
    EXPECT_EQ(r.log.find("Verification operation finished"), std::string::npos);
    EXPECT_EQ(r.progress, (std::vector<int32_t>{33, 66, 99, 100}));

    // A folder without archives.
    const std::string empty = TempPath("empty");
    std::filesystem::create_directories(empty);
    WriteFile(Join(empty, "a.txt"), "x");
    r = Verify(empty, 0, true);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.rows.empty());
    EXPECT_EQ(r.errors, (std::vector<std::string>{"Verification failed"}));
    r = Verify(TempPath("no-such-folder"), 0, true);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.errors, (std::vector<std::string>{"Verification failed"}));
}

TEST_F(VerifierdXTest, FolderProgressCountsOpenedFiles) {
    // 250 files: the bar moves by 1 after every third file.
    const std::string many = TempPath("many");
    std::filesystem::create_directories(many);
    for (int i = 0; i < 250; ++i) WriteFile(Join(many, "f") + std::to_string(i) + ".csv", "x");
    VerifyOutcome r = Verify(many, 0, true);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.rows.size(), 250u);
    std::vector<int32_t> expected;
    for (int32_t i = 1; i <= 83; ++i) expected.push_back(i);
    expected.push_back(100);
    EXPECT_EQ(r.progress, expected);
    EXPECT_EQ(r.rows[249][0], "250");

    // Up to 100 files: the files handled so far times 100 / count; a file that
    // cannot be opened does not move the bar.
    const std::string few = TempPath("few");
    std::filesystem::create_directories(few);
    for (const char* name : {"a.csv", "b.csv", "c.csv", "d.csv"}) WriteFile(Join(few, name), "x");
    platform_->InjectFault(FaultOp::Open, kErrAccessDenied, "b.csv");
    r = Verify(few, 0, true);
    ASSERT_EQ(r.rows.size(), 4u);
    expected.clear();
    for (int32_t i = 0; i < 4; ++i) {
        if (r.rows[static_cast<size_t>(i)][1] == "b.csv") {
            EXPECT_EQ(r.rows[static_cast<size_t>(i)][3], "Check log file.");
        } else {
            expected.push_back((i + 1) * 25);
        }
    }
    expected.push_back(100);
    EXPECT_EQ(r.progress, expected);
    EXPECT_TRUE(Contains(r.errors, "File open failed(E 5)"));
}

TEST_F(VerifierdXTest, QuietCheckShowsNothingAndLeavesAStandaloneFileInput) {
    const std::vector<CardBlock> blocks = Card('K', SmallCard(1));
    const std::string sound = Archive("sound.csv", JoinLines(blocks));
    std::string text = JoinLines(blocks);
    text[text.size() - 2] = text[text.size() - 2] == '0' ? '1' : '0';
    const std::string damaged = Archive("damaged.csv", text);

    AppContext& ctx = GetAppContext();
    ctx.verificationMode = 1;
    ctx.folderInput = 1;
    EXPECT_TRUE(VerifyArchiveFileQuietly(sound));
    EXPECT_EQ(ctx.folderInput, 0);
    EXPECT_EQ(ctx.verificationMode, 2u);
    EXPECT_FALSE(VerifyArchiveFileQuietly(damaged));
    EXPECT_TRUE(Contains(LoggedErrors(LogText(), 6), "Current hash validation failed"));
    EXPECT_TRUE(ui_.shown.empty());

    // Without quiet the list and the bar are required.
    MemoryResultList list;
    RecordingProgress progress;
    CVerifierdX verifier;
    verifier.path = sound;
    EXPECT_FALSE(verifier.VerifyArchives(nullptr, &list, false));
    EXPECT_FALSE(verifier.VerifyArchives(&progress, nullptr, false));
    EXPECT_EQ(list.ItemCount(), 0);
    EXPECT_TRUE(Contains(LoggedErrors(LogText(), 6), "Invalid input parameters"));
}

TEST_F(VerifierdXTest, AbortEndsTheProgramOnceTheFileIsClosed) {
    const std::vector<CardBlock> blocks = Card('K', SmallCard(1));
    const std::string sound = Archive("sound.csv", JoinLines(blocks));
    GetAppContext().abortRequested = true;
    EXPECT_THROW(VerifyArchiveFileQuietly(sound), ExitRequested);
    const std::string log = LogText();
    // No archive operation to undo is registered.
    EXPECT_TRUE(Contains(LoggedErrors(log, 1), "Archive element not found"));
    EXPECT_NE(log.find("Application aborted"), std::string::npos);

    GetAppContext().abortRequested = true;
    GetAppContext().verificationMode = 2;
    MemoryResultList list;
    RecordingProgress progress;
    CVerifierdX verifier;
    verifier.path = sound;
    EXPECT_THROW(verifier.VerifyArchives(&progress, &list, false), ExitRequested);
    EXPECT_FALSE(verifier.file);
}

}  // namespace
}  // namespace tv::test
