// A run killed at any point: a child process carries out a complete archive and
// ends at once at its N-th changing file operation, for every N of the run. What
// it leaves must be sound, and the next run or start-up must put right what can
// be put right — into a configured archive folder, into the data folder itself
// (the default set-up) and into a folder chosen for the run alone.
//
// The child is this test program again, running the same test in the test's
// folder: told so by its environment, it mounts the card its parent made, sets
// itself up as its parent did and carries out the run that crashes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "app/AppContext.h"
#include "app/PublishRecovery.h"
#include "archive/ArchiveRun.h"
#include "archive/BaseArchiver.h"
#include "dx/VerifierdX.h"
#include "support/Zt4Validation.h"
#include "zt4/ArchiveVerifierZT4.h"
#include "zt4/LogVerifierZT4.h"
#include "messages/MemoryResultList.h"
#include "smc/SmcDiscovery.h"
#include "support/GeneratedCard.h"
#include "support/Process.h"

namespace tv {
namespace {

namespace fs = std::filesystem;
using test::Zt4Validates;

constexpr int kCrashed = 86;
constexpr int kRunFailed = 87;

// In a crashing child: the parent's folder and the operation to crash at.
constexpr const char* kChildFolderVariable = "TALLYVAULT_CRASH_TEST_FOLDER";
constexpr const char* kChildCrashVariable = "TALLYVAULT_CRASH_TEST_AT";

// The operation a crashing child ends at; 0 in the test itself.
int ChildCrashPoint() {
    const char* at = std::getenv(kChildCrashVariable);
    return at != nullptr ? std::atoi(at) : 0;
}

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

// The folder `to` made a copy of `from`. A file the test program itself holds
// open (its log, the folder's lock) cannot be deleted on Windows: what is left
// is overwritten.
void CopyTree(const std::string& from, const std::string& to) {
    test::RemoveFolderTree(to);
    std::error_code ec;
    fs::create_directories(to, ec);
    for (const auto& e : fs::recursive_directory_iterator(from)) {
        const fs::path target = fs::path(to) / fs::relative(e.path(), from);
        if (e.is_directory()) {
            fs::create_directories(target, ec);
            ASSERT_FALSE(ec) << target.string() << ": " << ec.message();
        } else {
            std::ofstream out(target, std::ios::binary | std::ios::trunc);
            out << Slurp(e.path().string());
            ASSERT_TRUE(out.good()) << target.string();
        }
    }
}

class CrashSafetyTest : public test::CardTest {
protected:
    void SetUp() override {
        if (const char* folder = std::getenv(kChildFolderVariable); folder != nullptr && ChildCrashPoint() > 0) {
            givenRoot_ = folder;
        } else {
#ifndef _WIN32
            // Hundreds of runs each flush their files: on a disk that takes minutes.
            if (fs::is_directory("/dev/shm")) tempBase_ = "/dev/shm";
#endif
        }
        CardTest::SetUp();
        ctx_ = &GetAppContext();
        archives_ = TempPath("archives");
        fs::create_directories(archives_);
        ctx_->archivePath = AsFolder(archives_);
        configured_ = ctx_->archivePath;
        ctx_->backupSmcOnArchive = true;
        ctx_->maxArchiveSize = 8 * 1024;
    }
    bool ChooseCard() {
        const SmcList list = ScanSmcDrives(*ctx_);
        return list.entries.size() >= 2 &&
               IdentifySmc(*ctx_, list.entries.at(1), SmcPurpose::Archiving) == SmcIdentity::Accepted;
    }
    // Where the runs publish; the start-up after a kill knows only the
    // configured archive folder (and what the run noted in the data folder).
    enum class Destination { DataFolder, Chosen };
    void PublishTo(Destination destination) {
        if (destination == Destination::DataFolder) {
            archives_ = DataFolder();
            configured_ = AsFolder(DataFolder());
        } else {
            archives_ = TempPath("chosen");
            configured_ = AsFolder(TempPath("configured"));
            fs::create_directories(archives_);
            fs::create_directories(configured_);
        }
    }
    // What the start-up of either program does about an interrupted run, then
    // nothing of the run's own bookkeeping is left behind.
    void Recover() {
        ctx_->archivePath = configured_;
        RecoverInterruptedPublishing(*ctx_);
        EXPECT_FALSE(fs::exists(Join(DataFolder(), "Publishing.journal")));
        if (workFolderEmptied_) {
            EXPECT_TRUE(Contents(RunWorkFolder(*ctx_)).empty()) << "files of the run left in its work folder";
        }
    }
    bool RunArchive() {
        ctx_->archivePath = AsFolder(archives_);
        ui_.answers = {true, true, true, true};
        MemoryResultList results;
        test::RecordingProgress progress;
        test::RecordingStatus status;
        if (!ChooseCard()) return false;
        SetArchiveType(*ctx_, 1);
        return RunCurrentArchiver(*ctx_, &progress, &results, &status).success;
    }
    // Runs the archive in a child process that crashes at operation n.
    test::ChildResult RunCrashingAt(int n) {
        const auto* running = ::testing::UnitTest::GetInstance()->current_test_info();
        test::ChildOptions options;
        options.environment = {{kChildFolderVariable, root_}, {kChildCrashVariable, std::to_string(n)}};
        const std::string filter =
            std::string("--gtest_filter=") + running->test_suite_name() + "." + running->name();
        return test::RunChild(test::CurrentProgramPath(), {filter}, options);
    }
    // What the crashing child does once set up as its parent was: the run,
    // ended at the operation; or, when the run ends before it, the run's outcome.
    [[noreturn]] void CrashAsChild() {
        platform_->CrashAtOperation(ChildCrashPoint(), kCrashed);
        const bool ok = RunArchive();
        std::_Exit(ok ? 0 : kRunFailed);
    }

    // Mounts the card and archives it once, so that the crashing runs replace
    // archives (and for ZT4 extend the card's Archive.log); what that run left
    // is what every crashing run starts from.
    void ArchiveOnce(const CardOptions& options, const std::string& extension) {
        if (ChildCrashPoint() > 0) {
            // The card its parent made, as the parent restored it.
            emulators_['E' - 'A'] = MountEmulatedCard(*platform_, 'E', CardFolder('E'));
            return;
        }
        MountCard('E', options);
        ASSERT_TRUE(RunArchive()) << LogText();
        card_ = Contents(CardFolder('E'));
        published_ = Contents(archives_);
        size_t archiveCount = 0;
        for (const auto& [name, content] : published_) archiveCount += name.ends_with(extension) ? 1 : 0;
        ASSERT_GE(archiveCount, 2u) << "the card must split into several archives";
        profile_ = ReadFile(Join(DataFolder(), "SMCProfile.ini"));
        ASSERT_FALSE(profile_.empty());
        savedData_ = TempPath("saved-data");
        savedArchives_ = TempPath("saved-archives");
        CopyTree(DataFolder(), savedData_);
        CopyTree(archives_, savedArchives_);
    }
    // The card as the first run left it: files a run added go, changed ones
    // get their content back.
    void RestoreCard() {
        const std::string folder = CardFolder('E');
        for (const auto& [name, content] : Contents(folder)) {
            if (!card_.count(name)) fs::remove(Join(folder, name));
        }
        for (const auto& [name, content] : card_) {
            if (ReadFile(Join(folder, name)) != content) WriteFile(Join(folder, name), content);
        }
    }
    // Crashes a run at every file operation in turn, until a run gets through;
    // `check` looks at what each crash and the recovery after it left.
    // A run that gets through ends with `completed` (a run meant to fail: kRunFailed).
    void CrashAtEveryOperation(const std::function<void()>& check, int completed = 0) {
        if (ChildCrashPoint() > 0) CrashAsChild();
        int n = 1;
        for (; n < 20000; ++n) {
            SCOPED_TRACE("crash at file operation " + std::to_string(n));
            CopyTree(savedData_, DataFolder());
            CopyTree(savedArchives_, archives_);
            RestoreCard();
            const test::ChildResult child = RunCrashingAt(n);
            const int status = child.status;
            // A run that ended before reaching n is held to the same.
            if (status != completed) {
                ASSERT_EQ(status, kCrashed) << child.out << child.err;
            }
            check();
            // The same card archived again records the same values.
            EXPECT_EQ(ReadFile(Join(DataFolder(), "SMCProfile.ini")), profile_);
            if (HasFailure() || status == completed) break;
        }
        RecordProperty("crash_points", n);
        EXPECT_GT(n, 20) << "the crash point never came into play";
        EXPECT_LT(n, 20000);
    }
    // No temporary file anywhere in the archive folder, every previous archive
    // back under its name, and every copy of a card file the card's own file.
    void ExpectSoundArchiveFolder(const std::string& extension, const std::function<bool(const std::string&)>& valid) {
        const auto after = Contents(archives_);
        for (const auto& [name, content] : after) {
            SCOPED_TRACE(name);
            EXPECT_FALSE(name.ends_with(Platform::kPublishTempSuffix));
            const std::string file = fs::path(name).filename().string();
            if (name.ends_with(extension)) {
                EXPECT_TRUE(valid(Join(archives_, name)));
            } else if (card_.count(file) && file != "Archive.log") {
                EXPECT_EQ(content, card_.at(file));
            }
        }
        for (const auto& [name, content] : published_) {
            if (!name.ends_with(extension)) continue;
            ASSERT_TRUE(after.count(name)) << name;
            EXPECT_TRUE(valid(Join(archives_, name))) << name;
        }
    }

    void ArchiveDxOnce(int days) {
        CardOptions options = Small(CardFamily::Dx, days);
        options.receiptsPerDay = 3;
        options.storeFiles = 3;
        ArchiveOnce(options, ".csv");
    }
    void CrashAtEveryOperationOfADxRun() {
        CrashAtEveryOperation([&] {
            EXPECT_EQ(Contents(CardFolder('E')), card_);
            Recover();
            ExpectSoundArchiveFolder(".csv", [](const std::string& path) { return VerifyArchiveFileQuietly(path); });
            // A dX archive of the same card is the same file, byte for byte.
            const auto after = Contents(archives_);
            for (const auto& [name, content] : published_) {
                if (name.ends_with(".csv") && after.count(name)) {
                    EXPECT_EQ(after.at(name), content) << name;
                }
            }
        });
    }

    AppContext* ctx_ = nullptr;
    std::string archives_;   // where the runs publish
    std::string configured_;  // the configured archive folder
    // No run leaves a file in its work folder (one that could not copy its archive does).
    bool workFolderEmptied_ = true;
    std::map<std::string, std::string> card_;
    std::map<std::string, std::string> published_;
    std::string profile_;
    std::string savedData_;
    std::string savedArchives_;
};

TEST_F(CrashSafetyTest, AKillAtAnyFileOperationLosesNothingOfASplitCard) {
    ArchiveDxOnce(4);
    CrashAtEveryOperationOfADxRun();
}

TEST_F(CrashSafetyTest, AKillWhileArchivingIntoTheDataFolderItselfLeavesNoHalfWrittenArchive) {
    PublishTo(Destination::DataFolder);
    ArchiveDxOnce(3);
    CrashAtEveryOperationOfADxRun();
}

TEST_F(CrashSafetyTest, AKillWhileArchivingIntoAChosenFolderIsPutRightByTheNextStartUp) {
    PublishTo(Destination::Chosen);
    ArchiveDxOnce(3);
    CrashAtEveryOperationOfADxRun();
    EXPECT_TRUE(Contents(configured_).empty());
}

// The log without "\r\nDigital Signature:\r\n" and the signature.
std::string Unsigned(const std::string& log) {
    const size_t at = log.rfind("\r\nDigital Signature:\r\n");
    return at == std::string::npos ? log : log.substr(0, at);
}

class Zt4CrashSafetyTest : public CrashSafetyTest {
protected:
    void ArchiveZt4Once(int days = 4) {
        CardOptions options = Small(CardFamily::Zt4, days);
        options.start = {2016, 12, 29};  // a year end inside the range
        options.receiptsPerDay = 3;
        options.storeFiles = 2;
        ArchiveOnce(options, ".xml");
        if (ChildCrashPoint() > 0) return;
        ASSERT_TRUE(card_.count("Archive.log"));
        oldLog_ = card_.at("Archive.log");
        ASSERT_TRUE(Zt4Validates(Join(CardFolder('E'), "Archive.log")));
    }
    // After the recovery of the next start-up and the one of the card's choice:
    // the store files as they were, at most a whole ".err" file added, and the
    // log the old one or a validly signed extension of it.
    void ExpectSoundCard() {
        const std::string folder = CardFolder('E');
        Recover();
        ASSERT_TRUE(ChooseCard()) << LogText();
        const auto now = Contents(folder);
        for (const auto& [name, content] : now) {
            SCOPED_TRACE(name);
            if (name == "Archive.log") continue;
            if (card_.count(name)) {
                EXPECT_EQ(content, card_.at(name));
            } else {
                ASSERT_TRUE(name.ends_with(".err")) << "left on the card";
                EXPECT_TRUE(content.ends_with("may be deleted during the next archive operation."));
            }
        }
        ASSERT_TRUE(now.count("Archive.log"));
        const std::string log = now.at("Archive.log");
        if (log != oldLog_) {
            EXPECT_TRUE(Zt4Validates(Join(folder, "Archive.log")));
            EXPECT_EQ(Unsigned(log).rfind(Unsigned(oldLog_), 0), 0u) << "the new log extends the old one";
        }
    }

    std::string oldLog_;
};

TEST_F(Zt4CrashSafetyTest, AKillAtAnyFileOperationLeavesTheCardLogOldOrSignedNew) {
    ArchiveZt4Once();
    CrashAtEveryOperation([&] {
        ExpectSoundCard();
        ExpectSoundArchiveFolder(".xml", Zt4Validates);
    });
}

TEST_F(Zt4CrashSafetyTest, AKillWhileArchivingIntoTheDataFolderItselfLeavesTheCardLogAndTheArchivesSound) {
    PublishTo(Destination::DataFolder);
    ArchiveZt4Once(3);
    CrashAtEveryOperation([&] {
        ExpectSoundCard();
        ExpectSoundArchiveFolder(".xml", Zt4Validates);
    });
}

TEST_F(Zt4CrashSafetyTest, AKillWhileArchivingIntoAChosenFolderIsPutRightByTheNextStartUp) {
    PublishTo(Destination::Chosen);
    ArchiveZt4Once(3);
    CrashAtEveryOperation([&] {
        ExpectSoundCard();
        ExpectSoundArchiveFolder(".xml", Zt4Validates);
    });
    EXPECT_TRUE(Contents(configured_).empty());
}

TEST_F(Zt4CrashSafetyTest, AKillWhileTheRunSaysOnTheCardThatTheCopyFailedLeavesAWholeErrFileOrNone) {
    ArchiveZt4Once();
    platform_->InjectFault(FaultOp::Copy, kErrAccessDenied, archives_);
    workFolderEmptied_ = false;
    CrashAtEveryOperation(
        [&] {
            ExpectSoundCard();
            ExpectSoundArchiveFolder(".xml", Zt4Validates);
        },
        kRunFailed);
}

}  // namespace
}  // namespace tv
