// A run killed at any point: a child process carries out a complete archive and
// ends at once at its N-th changing file operation, for every N of the run. What
// it leaves must be sound, and the next run or start-up must put right what can
// be put right.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "app/AppContext.h"
#include "app/PublishRecovery.h"
#include "archive/ArchiveRun.h"
#include "archive/BaseArchiver.h"
#include "dx/VerifierdX.h"
#include "messages/MemoryResultList.h"
#include "smc/SmcDiscovery.h"
#include "support/GeneratedCard.h"

namespace tv {
namespace {

namespace fs = std::filesystem;

constexpr int kCrashed = 86;
constexpr int kRunFailed = 87;

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every file under a folder with its content, by path relative to the folder.
std::map<std::string, std::string> Contents(const std::string& folder) {
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(folder, ec)) {
        if (e.is_regular_file()) {
            files[fs::relative(e.path(), folder).string()] = Slurp(e.path().string());
        }
    }
    return files;
}

void CopyTree(const std::string& from, const std::string& to) {
    std::error_code ec;
    fs::permissions(to, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(to, ec);
    fs::copy(from, to, fs::copy_options::recursive, ec);
    ASSERT_FALSE(ec) << ec.message();
}

class CrashSafetyTest : public test::CardTest {
protected:
    void SetUp() override {
        // Hundreds of runs each flush their files: on a disk that takes minutes.
        if (fs::is_directory("/dev/shm")) tempBase_ = "/dev/shm";
        CardTest::SetUp();
        ctx_ = &GetAppContext();
        archives_ = TempPath("archives");
        fs::create_directories(archives_);
        ctx_->archivePath = archives_ + "/";
        ctx_->backupSmcOnArchive = true;
        ctx_->maxArchiveSize = 8 * 1024;
    }
    bool RunArchive() {
        ui_.answers = {true, true, true, true};
        MemoryResultList results;
        test::RecordingProgress progress;
        test::RecordingStatus status;
        const SmcList list = ScanSmcDrives(*ctx_);
        if (list.entries.size() < 2 || IdentifySmc(*ctx_, list.entries.at(1), SmcPurpose::Archiving) != SmcIdentity::Accepted) {
            return false;
        }
        SetArchiveType(*ctx_, 1);
        return RunCurrentArchiver(*ctx_, &progress, &results, &status).success;
    }
    // Runs the archive in a child process that crashes at operation n; the
    // child's exit status.
    int RunCrashingAt(int n) {
        const pid_t child = ::fork();
        if (child == 0) {
            platform_->CrashAtOperation(n, kCrashed);
            const bool ok = RunArchive();
            std::_Exit(ok ? 0 : kRunFailed);
        }
        int status = 0;
        if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
        return WEXITSTATUS(status);
    }

    AppContext* ctx_ = nullptr;
    std::string archives_;
};

TEST_F(CrashSafetyTest, AKillAtAnyFileOperationLosesNothingOfASplitCard) {
    CardOptions options = Small(CardFamily::Dx, 4);
    options.receiptsPerDay = 3;
    options.storeFiles = 3;
    MountCard('E', options);
    const auto card = Contents(CardFolder('E'));

    // The previous run, whose archives the crashing runs replace.
    ASSERT_TRUE(RunArchive()) << LogText();
    const auto published = Contents(archives_);
    size_t archiveCount = 0;
    for (const auto& [name, content] : published) archiveCount += name.ends_with(".csv") ? 1 : 0;
    ASSERT_GE(archiveCount, 2u) << "the card must split into several archives";
    const std::string profile = ReadFile(DataFolder() + "/SMCProfile.ini");
    ASSERT_FALSE(profile.empty());
    const std::string savedData = TempPath("saved-data");
    const std::string savedArchives = TempPath("saved-archives");
    CopyTree(DataFolder(), savedData);
    CopyTree(archives_, savedArchives);

    int n = 1;
    for (; n < 20000; ++n) {
        SCOPED_TRACE("crash at file operation " + std::to_string(n));
        CopyTree(savedData, DataFolder());
        CopyTree(savedArchives, archives_);
        const int status = RunCrashingAt(n);
        if (status == 0) break;  // the run completed before reaching n
        ASSERT_EQ(status, kCrashed);

        EXPECT_EQ(Contents(CardFolder('E')), card);
        RecoverInterruptedPublishing(*ctx_);
        const auto after = Contents(archives_);
        for (const auto& [name, content] : after) {
            SCOPED_TRACE(name);
            EXPECT_FALSE(name.ends_with(Platform::kPublishTempSuffix));
            if (name.ends_with(".csv")) {
                EXPECT_TRUE(VerifyArchiveFileQuietly(archives_ + "/" + name));
            } else if (name.ends_with(".DAT")) {
                // A copy of the card's files is the card's file or missing.
                const std::string file = fs::path(name).filename().string();
                EXPECT_EQ(content, card.at(file));
            }
        }
        // Every previous archive is back under its name, whole.
        for (const auto& [name, content] : published) {
            if (!name.ends_with(".csv")) continue;
            ASSERT_TRUE(after.count(name)) << name;
            EXPECT_EQ(after.at(name), content) << name;
        }
        // The same card archived again records the same values.
        EXPECT_EQ(ReadFile(DataFolder() + "/SMCProfile.ini"), profile);
        if (HasFailure()) break;
    }
    RecordProperty("crash_points", n);
    EXPECT_GT(n, 20) << "the crash point never came into play";
    EXPECT_LT(n, 20000);
}

}  // namespace
}  // namespace tv
