// The question before a run replaces existing archives: it names every archive
// the run replaces, No leaves them all as they were, and Yes leaves only the new
// archive of the range, the old ones staying until the run has published it.
#include <filesystem>
#include <map>

#include "archive/RunFixture.h"
#include "zt4/ArchiveVerifierZT4.h"

namespace tv {
namespace {

namespace fs = std::filesystem;

struct FileState {
    std::string content;
    fs::file_time_type written;
    bool operator==(const FileState&) const = default;
};

class ReplaceQuestionTest : public test::RunFixture {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        folder_ = UseFolder("replaced");
    }
    // Every file below the folder with its content and time of writing.
    std::map<std::string, FileState> Snapshot(const std::string& folder) const {
        std::map<std::string, FileState> files;
        for (const auto& e : fs::recursive_directory_iterator(folder)) {
            if (e.is_regular_file()) files[e.path().string()] = {ReadFile(e.path().string()), fs::last_write_time(e.path())};
        }
        return files;
    }
    static std::vector<std::string> Archives(const std::string& folder, const std::string& extension) {
        std::vector<std::string> paths;
        for (const auto& e : fs::recursive_directory_iterator(folder)) {
            if (e.is_regular_file() && e.path().string().ends_with(extension)) paths.push_back(e.path().string());
        }
        std::sort(paths.begin(), paths.end());
        return paths;
    }
    std::vector<std::string> Questions() const {
        std::vector<std::string> texts;
        for (const auto& m : ui_.shown) {
            if ((m.style & 0xF) == kMbYesNo) texts.push_back(ToNarrow(m.text));
        }
        return texts;
    }
    // A complete archive of a card that the maximum size cuts into parts; the parts.
    std::vector<std::string> ArchiveInParts(CardFamily family, const std::string& extension) {
        ctx_->maxArchiveSize = family == CardFamily::Zt4 ? 16 * 1024 : 24 * 1024;
        CardOptions o = Small(family, 8);
        o.start = {2016, 2, 8};
        o.receiptsPerDay = 6;
        card_ = MountCard('E', o);
        EXPECT_TRUE(Complete().success) << LogText();
        return Archives(folder_, extension);
    }
    ArchiveRunOutcome Answer(bool yes) {
        ui_.shown.clear();
        ui_.answers = {yes};
        return Complete();
    }
    static bool Validates(const std::string& path) {
        MemoryResultList rows;
        test::RecordingProgress progress;
        return CArchiveVerifierZT4(path).Verify(&progress, &rows);
    }
    // The run asked once, naming each of the files.
    void ExpectOneQuestionNaming(const std::vector<std::string>& files) {
        const auto questions = Questions();
        ASSERT_EQ(questions.size(), 1u);
        for (const std::string& path : files) {
            EXPECT_NE(questions[0].find(fs::path(path).filename().string()), std::string::npos)
                << questions[0] << " / " << path;
        }
    }

    std::string folder_;
};

TEST_F(ReplaceQuestionTest, ASplitZt4RunAsksAboutEveryPartItReplaces) {
    struct Case {
        const char* name;
        uint64_t secondSize;  // the maximum size of the run that replaces the parts
    };
    for (const Case& c : {Case{"the same parts", 16 * 1024}, Case{"one file instead of the parts", 1024 * 1024}}) {
        SCOPED_TRACE(c.name);
        test::RemoveFolderTree(folder_);
        fs::create_directories(folder_);
        CloseSmc(*ctx_);
        RemoveCard('E');
        const std::vector<std::string> parts = ArchiveInParts(CardFamily::Zt4, ".xml");
        ASSERT_GE(parts.size(), 3u);
        const auto before = Snapshot(folder_);
        const std::string cardLog = ReadFile(Join(CardFolder('E'), "Archive.log"));

        ctx_->maxArchiveSize = c.secondSize;
        const ArchiveRunOutcome refused = Answer(false);
        EXPECT_FALSE(refused.success);
        EXPECT_EQ(refused.result, kArchiveRefused);
        ExpectOneQuestionNaming(parts);
        EXPECT_EQ(Snapshot(folder_), before);
        EXPECT_EQ(ReadFile(Join(CardFolder('E'), "Archive.log")), cardLog);

        ASSERT_TRUE(Answer(true).success) << LogText();
        ExpectOneQuestionNaming(parts);
        const std::vector<std::string> now = Archives(folder_, ".xml");
        EXPECT_EQ(now.size() == parts.size(), c.secondSize == 16 * 1024);
        for (const std::string& path : now) EXPECT_TRUE(Validates(path)) << path;
        EXPECT_TRUE(Archives(folder_, ".bak").empty());
    }
}

TEST_F(ReplaceQuestionTest, YesToReplacingTheArchivesADxRunCoversLeavesOnlyTheNewArchive) {
    const std::vector<std::string> parts = ArchiveInParts(CardFamily::Dx, ".csv");
    ASSERT_GE(parts.size(), 2u);
    const auto before = Snapshot(folder_);

    // One file now: the parts' names are not its own.
    ctx_->maxArchiveSize = 1024 * 1024;
    EXPECT_EQ(Answer(false).result, kArchiveRefused);
    ExpectOneQuestionNaming(parts);
    EXPECT_EQ(Snapshot(folder_), before);

    // A run that fails after Yes leaves them as they were.
    emulators_['E' - 'A']->Faults().readErrorAtSector = card_.sectorsUsed / 2;
    EXPECT_FALSE(Answer(true).success);
    emulators_['E' - 'A']->Faults().readErrorAtSector.reset();
    EXPECT_EQ(Snapshot(folder_), before);

    ASSERT_TRUE(Answer(true).success) << LogText();
    ExpectOneQuestionNaming(parts);
    const std::vector<std::string> now = Archives(folder_, ".csv");
    ASSERT_EQ(now.size(), 1u);
    EXPECT_TRUE(VerifyArchiveFileQuietly(now[0]));
    for (const std::string& part : parts) EXPECT_FALSE(fs::exists(part)) << part;
    EXPECT_TRUE(Archives(folder_, ".bak").empty());
}

}  // namespace
}  // namespace tv
