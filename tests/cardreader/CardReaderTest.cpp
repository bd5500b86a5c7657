// The card reader stand-in as a program sees its mount point: the card files
// answer as the firmware does through unbuffered sector access, everything else
// is the image folder, and a signal unmounts it cleanly.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/Platform.h"
#include "smc/CardImageBuilder.h"

extern char** environ;

namespace tv {
namespace {

namespace fs = std::filesystem;

const std::vector<uint8_t> kOpenChannel = {0x00, 0x02, 0x83, 0x01};

class CardReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (::access("/dev/fuse", R_OK | W_OK) != 0) GTEST_SKIP() << "no FUSE on this machine";
        char pattern[] = "/tmp/tv-cardreader-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        image_ = root_ + "/image";
        mount_ = root_ + "/card";
        fs::create_directories(mount_);
        test::WriteCardImage(image_, info_, {5, 3});
    }

    void TearDown() override {
        if (pid_ > 0) Stop(SIGTERM);
        if (Mounted()) ::umount2(mount_.c_str(), MNT_DETACH);
        if (!root_.empty()) {
            std::error_code ec;
            fs::remove_all(root_, ec);
        }
    }

    // Starts the reader on the image and waits for its mount.
    void Start(std::vector<std::string> options = {}) {
        std::vector<std::string> args = {TV_CARD_READER_PATH};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(image_);
        args.push_back(mount_);
        pid_ = Spawn(args);
        ASSERT_GT(pid_, 0);
        for (int i = 0; i < 200 && !Mounted(); ++i) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                FAIL() << "the reader ended before mounting";
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ASSERT_TRUE(Mounted()) << "no mount after 10 s";
        snapshot_ = test::ImageSnapshot(image_);
    }

    // Sends the signal and returns the reader's exit status (-1 for a crash).
    int Stop(int signal) {
        ::kill(pid_, signal);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    static pid_t Spawn(const std::vector<std::string>& args) {
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        pid_t pid = -1;
        if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
        return pid;
    }

    static int ExitStatusOf(const std::vector<std::string>& args) {
        const pid_t pid = Spawn(args);
        int status = 0;
        if (pid <= 0 || ::waitpid(pid, &status, 0) != pid) return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    bool Mounted() const {
        struct stat card {}, parent {};
        return ::stat(mount_.c_str(), &card) == 0 && ::stat(root_.c_str(), &parent) == 0 &&
               card.st_dev != parent.st_dev;
    }

    // A card file opened the way the engine opens it (unbuffered, write-through).
    std::unique_ptr<File> OpenOnCard(const std::string& name) {
        return platform_->OpenSectorFile(mount_ + "/" + name);
    }
    static std::string ReadSector(File& file) {
        std::string bytes(512, '\0');
        if (!file.Seek(0) || file.Read(bytes.data(), bytes.size()) != 512) return "read failed";
        return bytes;
    }
    static bool WriteSector(File& file, const std::string& sector) {
        return file.Seek(0) && file.Write(sector.data(), sector.size());
    }
    static std::string CommandSector(size_t offset, const std::vector<uint8_t>& block) {
        std::string sector(512, '\0');
        std::memcpy(sector.data() + offset, block.data(), block.size());
        return sector;
    }
    static std::vector<uint8_t> Unlock(const char* pin) {
        std::vector<uint8_t> block = {0x00, 0x07, 0x80, 0x00, 0x04};
        block.insert(block.end(), pin, pin + 4);
        return block;
    }
    static int Status(const std::string& sector) { return static_cast<uint8_t>(sector[4]); }
    static int Word(const std::string& sector) {
        return static_cast<uint8_t>(sector[7]) << 8 | static_cast<uint8_t>(sector[8]);
    }
    void ExpectImageUnchanged() { EXPECT_TRUE(test::ImageSnapshot(image_) == snapshot_) << "the image was changed"; }

    std::unique_ptr<Platform> platform_ = CreateSystemPlatform();
    test::InfoFields info_;
    std::string root_, image_, mount_;
    pid_t pid_ = -1;
    std::map<std::string, std::string> snapshot_;
};

TEST_F(CardReaderTest, CommandSectorIsAnsweredAsTheFirmwareAnswersIt) {
    Start();
    auto comm = OpenOnCard("WORMCOMM.DAT");
    ASSERT_TRUE(comm);
    EXPECT_EQ(comm->Size(), 512);
    EXPECT_EQ(ReadSector(*comm), std::string(512, '\0')) << "no answer before the first command";

    ASSERT_TRUE(WriteSector(*comm, CommandSector(4, Unlock("9893"))));
    std::string answer = ReadSector(*comm);
    EXPECT_EQ(Status(answer), 255);
    EXPECT_EQ(Word(answer), 0x0000);

    ASSERT_TRUE(WriteSector(*comm, CommandSector(4, Unlock("1234"))));
    answer = ReadSector(*comm);
    EXPECT_EQ(Status(answer), 255);
    EXPECT_EQ(Word(answer), 0x8003) << "a wrong PIN";

    ASSERT_TRUE(WriteSector(*comm, CommandSector(2, kOpenChannel)));
    EXPECT_EQ(Status(ReadSector(*comm)), 255);
    // The answer is the card's, not one open file's: a second opening reads it too.
    auto again = OpenOnCard("WORMCOMM.DAT");
    ASSERT_TRUE(again);
    EXPECT_EQ(Status(ReadSector(*again)), 255);

    ASSERT_TRUE(WriteSector(*comm, std::string(512, '\0')));
    EXPECT_EQ(Status(ReadSector(*comm)), 1) << "a sector without a command block is refused";
    comm.reset();
    again.reset();
    ExpectImageUnchanged();
}

TEST_F(CardReaderTest, BusyCardIsPolledUntilItAnswers) {
    Start({"--busy-cycles", "2"});
    auto comm = OpenOnCard("WORMCOMM.DAT");
    ASSERT_TRUE(comm);
    ASSERT_TRUE(WriteSector(*comm, CommandSector(2, kOpenChannel)));
    EXPECT_EQ(Status(ReadSector(*comm)), 254);
    EXPECT_EQ(Status(ReadSector(*comm)), 254);
    EXPECT_EQ(Status(ReadSector(*comm)), 255);
}

TEST_F(CardReaderTest, InfoAndStoreSectorsComeFromTheImageWhichNeverChanges) {
    info_.rollback = 1;
    test::WriteCardImage(image_, info_, {5, 3});
    Start();
    auto info = OpenOnCard("WORMINFO.DAT");
    ASSERT_TRUE(info);
    EXPECT_EQ(ReadSector(*info), test::InfoSector(info_));

    auto store = OpenOnCard("WORMSTO1.DAT");
    ASSERT_TRUE(store);
    std::string bytes(3 * 512, '\0');
    ASSERT_TRUE(store->Seek(0));
    ASSERT_EQ(store->Read(bytes.data(), bytes.size()), 3 * 512);
    EXPECT_EQ(bytes, test::StoreSectors(5, 3));
    EXPECT_FALSE(WriteSector(*store, std::string(512, 'x'))) << "the store is written by the scale only";

    // The rollback sector clears the card's flag, not the image's.
    std::string rollback(512, '\0');
    std::memcpy(rollback.data(), "ROLLBACK!", 10);
    ASSERT_TRUE(WriteSector(*info, rollback));
    EXPECT_EQ(ReadSector(*info)[30], '\0');
    info.reset();
    store.reset();
    ExpectImageUnchanged();
}

TEST_F(CardReaderTest, CardFilesCannotBeRemovedRenamedCutOrMade) {
    Start();
    const std::string comm = mount_ + "/WORMCOMM.DAT";
    errno = 0;
    EXPECT_NE(::unlink(comm.c_str()), 0);
    EXPECT_EQ(errno, EACCES);
    EXPECT_NE(::rename((mount_ + "/WORMSTOR.DAT").c_str(), (mount_ + "/OLD.DAT").c_str()), 0);
    EXPECT_NE(::truncate((mount_ + "/WORMINFO.DAT").c_str(), 0), 0);
    std::ofstream(mount_ + "/other.txt") << "x";
    EXPECT_NE(::rename((mount_ + "/other.txt").c_str(), comm.c_str()), 0);
    EXPECT_LT(::open((mount_ + "/WORMSTO5.DAT").c_str(), O_CREAT | O_WRONLY, 0644), 0)
        << "a store file the card does not have";
    EXPECT_FALSE(fs::exists(image_ + "/WORMSTO5.DAT"));
    fs::remove(mount_ + "/other.txt");
    ExpectImageUnchanged();
}

TEST_F(CardReaderTest, OpenAreaIsTheImageFolderItself) {
    Start();
    std::ofstream(mount_ + "/Archive.log", std::ios::binary) << "first\r\n";
    std::ofstream(mount_ + "/Archive.log", std::ios::binary | std::ios::app) << "second\r\n";
    EXPECT_EQ(test::ReadImageFile(image_, "Archive.log"), "first\r\nsecond\r\n");
    EXPECT_EQ(fs::file_size(mount_ + "/Archive.log"), 15u);

    fs::rename(mount_ + "/Archive.log", mount_ + "/Archive.err");
    EXPECT_FALSE(fs::exists(image_ + "/Archive.log"));
    EXPECT_TRUE(fs::exists(image_ + "/Archive.err"));
    ASSERT_EQ(::chmod((mount_ + "/Archive.err").c_str(), 0444), 0);
    EXPECT_EQ(fs::status(image_ + "/Archive.err").permissions(),
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    // What appears in the image folder beside the mount is seen at once.
    test::WriteImageFile(image_, "later.err", "x");
    EXPECT_TRUE(fs::exists(mount_ + "/later.err"));

    fs::create_directory(mount_ + "/sub");
    std::ofstream(mount_ + "/sub/a.txt") << "a";
    EXPECT_EQ(test::ReadImageFile(image_ + "/sub", "a.txt"), "a");
    EXPECT_EQ(fs::remove_all(mount_ + "/sub"), 2u);
    EXPECT_FALSE(fs::exists(image_ + "/sub"));
    fs::remove(mount_ + "/Archive.err");
    EXPECT_FALSE(fs::exists(image_ + "/Archive.err"));

    std::set<std::string> seen, there;
    for (const auto& e : fs::directory_iterator(mount_)) seen.insert(e.path().filename());
    for (const auto& e : fs::directory_iterator(image_)) there.insert(e.path().filename());
    EXPECT_EQ(seen, there);

    // The card's free space is that of the image's file system.
    struct statvfs card {}, folder {};
    ASSERT_EQ(::statvfs(mount_.c_str(), &card), 0);
    ASSERT_EQ(::statvfs(image_.c_str(), &folder), 0);
    EXPECT_EQ(card.f_blocks * card.f_frsize, folder.f_blocks * folder.f_frsize);
    EXPECT_EQ(card.f_files, folder.f_files);
}

TEST_F(CardReaderTest, SignalsUnmountCleanly) {
    for (int signal : {SIGTERM, SIGINT}) {
        Start();
        auto comm = OpenOnCard("WORMCOMM.DAT");
        ASSERT_TRUE(comm);
        comm.reset();
        EXPECT_EQ(Stop(signal), 0) << "signal " << signal;
        EXPECT_FALSE(Mounted()) << "signal " << signal;
        ExpectImageUnchanged();
    }
}

TEST_F(CardReaderTest, WrongUseIsToldWithoutMounting) {
    EXPECT_EQ(ExitStatusOf({TV_CARD_READER_PATH, root_ + "/none", mount_}), 2);
    EXPECT_EQ(ExitStatusOf({TV_CARD_READER_PATH, image_}), 2);
    EXPECT_EQ(ExitStatusOf({TV_CARD_READER_PATH, "--busy-cycles", "x", image_, mount_}), 2);
    EXPECT_EQ(ExitStatusOf({TV_CARD_READER_PATH, image_, root_ + "/none"}), 1);
    EXPECT_FALSE(Mounted());
}

}  // namespace
}  // namespace tv
