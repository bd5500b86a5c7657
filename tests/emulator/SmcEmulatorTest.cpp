// The emulated card as the platform serves it: card files by name, the
// firmware's answers in the command sector, read-only store and info sectors.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <filesystem>

#include "emulator/SmcEmulator.h"
#include "platform/Platform.h"
#include "smc/CardImageBuilder.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

class SmcEmulatorTest : public test::TestEnvironment {
protected:
    void SetUp() override {
        TestEnvironment::SetUp();
        folder_ = TempPath("image");
        test::WriteCardImage(folder_, info_, {5, 3});
    }
    void TearDown() override {
        if (card_) {
            EXPECT_TRUE(test::ImageSnapshot(folder_) == snapshot_) << "the card image was changed";
        }
        TestEnvironment::TearDown();
    }
    SmcEmulator& Mount(EmulatorFaults faults = {}) {
        card_ = MountEmulatedCard(*platform_, 'M', folder_, faults);
        snapshot_ = test::ImageSnapshot(folder_);
        EXPECT_FALSE(snapshot_.empty());
        return *card_;
    }
    std::unique_ptr<File> OpenOnCard(const std::string& name) {
        return platform_->OpenSectorFile(Join(folder_, name));
    }
    static std::string ReadAt(File& file, int64_t offset, size_t n) {
        std::string bytes(n, '\0');
        if (!file.Seek(offset)) return "seek failed";
        const int64_t got = file.Read(bytes.data(), n);
        if (got < 0) return "read failed";
        bytes.resize(static_cast<size_t>(got));
        return bytes;
    }
    static std::string Command(size_t offset, const std::vector<uint8_t>& block) {
        std::string sector(512, '\0');
        std::memcpy(sector.data() + offset, block.data(), block.size());
        return sector;
    }
    static bool WriteAt0(File& file, const std::string& bytes) {
        return file.Seek(0) && file.Write(bytes.data(), bytes.size());
    }

    test::InfoFields info_;
    std::string folder_;
    std::shared_ptr<SmcEmulator> card_;
    std::map<std::string, std::string> snapshot_;
};

TEST_F(SmcEmulatorTest, ServesTheCardFilesByNameWithoutRegardToCase) {
    // An image written by a tool that spells the names in lower case.
    for (const char* name : {"WORMINFO.DAT", "WORMSTO1.DAT"}) {
        std::string lower = name;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::filesystem::rename(Join(folder_, name), Join(folder_, lower));
    }
    SmcEmulator& card = Mount();
    const DriveInfo drive = platform_->GetDrive('m');
    EXPECT_EQ(drive.letter, 'M');
    EXPECT_EQ(drive.root, folder_);
    EXPECT_EQ(drive.type, DriveType::Removable);

    for (const char* name : {"WORMINFO.DAT", "wormcomm.dat", "WormStor.Dat", "WORMSTO1.DAT",
                             "WORMSTOF.DAT"}) {
        EXPECT_TRUE(card.Serves(name)) << name;
    }
    for (const char* name : {"Archive.log", "WORMSTOG.DAT", "WORMSTOR.DAT.bak", ""}) {
        EXPECT_FALSE(card.Serves(name)) << name;
    }

    auto info = OpenOnCard("WORMINFO.DAT");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Size(), 512);
    EXPECT_TRUE(ReadAt(*info, 0, 512) == test::InfoSector(info_));
    auto second = OpenOnCard("wormsto1.DAT");
    ASSERT_TRUE(second);
    EXPECT_EQ(second->Size(), 3 * 512);
    EXPECT_TRUE(ReadAt(*second, 512, 1024) == test::StoreSectors(6, 2));
    EXPECT_EQ(ReadAt(*second, 3 * 512, 512), "");  // the end of the file

    // A store file the image does not hold.
    EXPECT_FALSE(OpenOnCard("WORMSTO2.DAT"));
    EXPECT_EQ(platform_->LastError(), kErrFileNotFound);
}

TEST_F(SmcEmulatorTest, AnswersTheCommandSectorAsTheFirmware) {
    EmulatorFaults faults;
    faults.busyCycles = 2;
    SmcEmulator& card = Mount(faults);
    auto comm = OpenOnCard("WORMCOMM.DAT");
    ASSERT_TRUE(comm);
    EXPECT_EQ(comm->Size(), 512);
    EXPECT_EQ(ReadAt(*comm, 0, 512), std::string(512, '\0'));  // no command yet

    const std::vector<uint8_t> open = {0x00, 0x02, 0x83, 0x01};
    ASSERT_TRUE(WriteAt0(*comm, Command(2, open)));
    EXPECT_EQ(card.CommandWrites(), 1);
    EXPECT_EQ(card.LastCommand(), open);
    EXPECT_EQ(static_cast<uint8_t>(ReadAt(*comm, 0, 512)[4]), 254);
    EXPECT_EQ(static_cast<uint8_t>(ReadAt(*comm, 0, 512)[4]), 254);
    const std::string answer = ReadAt(*comm, 0, 512);
    EXPECT_EQ(static_cast<uint8_t>(answer[4]), 255);
    EXPECT_EQ(answer.substr(5, 4), std::string("\x00\x02\x00\x00", 4));
    EXPECT_EQ(static_cast<uint8_t>(ReadAt(*comm, 0, 512)[4]), 255);  // the answer stays

    // A command where this card does not expect one (its selector says 2).
    card.Faults().busyCycles = 0;
    ASSERT_TRUE(WriteAt0(*comm, Command(4, open)));
    EXPECT_EQ(static_cast<uint8_t>(ReadAt(*comm, 0, 512)[4]), 1);

    // Unlocking: the right PIN, a wrong one, and an injected answer.
    const std::vector<uint8_t> unlock = {0x00, 0x07, 0x80, 0x00, 0x04, '9', '8', '9', '3'};
    ASSERT_TRUE(WriteAt0(*comm, Command(4, unlock)));
    EXPECT_EQ(ReadAt(*comm, 0, 9).substr(4), std::string("\xFF\x00\x02\x00\x00", 5));
    std::vector<uint8_t> wrong = unlock;
    wrong[8] = '4';
    ASSERT_TRUE(WriteAt0(*comm, Command(4, wrong)));
    EXPECT_EQ(ReadAt(*comm, 0, 9).substr(4), std::string("\xFF\x00\x02\x80\x03", 5));
    card.Faults().unlockStatus = 5;
    card.Faults().unlockLength = 4;
    card.Faults().unlockWord = 0x8001;
    ASSERT_TRUE(WriteAt0(*comm, Command(4, unlock)));
    EXPECT_EQ(ReadAt(*comm, 0, 9).substr(4), std::string("\x05\x00\x04\x80\x01", 5));

    // Other commands end with the configured status; a hung card stays busy.
    card.Faults().commandStatus = 9;
    ASSERT_TRUE(WriteAt0(*comm, Command(2, {0x00, 0x01, 0x42})));
    EXPECT_EQ(static_cast<uint8_t>(ReadAt(*comm, 0, 512)[4]), 9);
    card.Faults().neverReady = true;
    for (int i = 0; i < 50; ++i) EXPECT_EQ(static_cast<uint8_t>(ReadAt(*comm, 0, 8)[4]), 254);

    // A command sector of another size keeps its size on the card.
    test::WriteImageFile(folder_, "WORMCOMM.DAT", std::string(511, '\x11'));
    Mount();
    comm = OpenOnCard("WORMCOMM.DAT");
    ASSERT_TRUE(comm);
    EXPECT_EQ(comm->Size(), 511);
    EXPECT_EQ(ReadAt(*comm, 0, 512), std::string(511, '\x11'));
}

TEST_F(SmcEmulatorTest, StoreAndInfoSectorsAreReadOnlyImageContent) {
    EmulatorFaults faults;
    faults.readErrorAtSector = 6;  // the second sector of WORMSTO1.DAT
    info_.rollback = 1;
    test::WriteImageFile(folder_, "WORMINFO.DAT", test::InfoSector(info_));
    SmcEmulator& card = Mount(faults);

    auto first = OpenOnCard("WORMSTOR.DAT");
    auto second = OpenOnCard("WORMSTO1.DAT");
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(ReadAt(*first, 0, 5 * 512) == test::StoreSectors(0, 5));
    EXPECT_EQ(ReadAt(*second, 0, 512), test::StoreSector(5));
    EXPECT_EQ(ReadAt(*second, 0, 1024), "read failed");
    EXPECT_EQ(ReadAt(*second, 1024, 512), test::StoreSector(7));
    EXPECT_FALSE(WriteAt0(*first, std::string(512, 'W')));
    EXPECT_FALSE(first->Truncate(0));
    EXPECT_TRUE(first->SeekEnd());
    EXPECT_EQ(first->Tell(), 5 * 512);

    // The rollback sector clears the flag in the card, not in the image.
    auto info = OpenOnCard("WORMINFO.DAT");
    ASSERT_TRUE(info);
    EXPECT_EQ(ReadAt(*info, 30, 1), "\x01");
    ASSERT_TRUE(WriteAt0(*info, std::string(512, 'X')));  // ignored by the card
    EXPECT_EQ(ReadAt(*info, 0, 512), test::InfoSector(info_));
    std::string rollback(512, '\0');
    std::memcpy(rollback.data(), "ROLLBACK!", 10);
    ASSERT_TRUE(WriteAt0(*info, rollback));
    EXPECT_EQ(card.RollbackWrites(), 1);
    EXPECT_EQ(ReadAt(*info, 30, 1), std::string(1, '\0'));
    EXPECT_EQ(ReadAt(*OpenOnCard("WORMINFO.DAT"), 0, 512).substr(28, 3), std::string("\0\0\0", 3));
    EXPECT_EQ(test::ReadImageFile(folder_, "WORMINFO.DAT")[30], '\x01');

    // A card whose rollback flag does not clear; an info sector that fails.
    EmulatorFaults sticky;
    sticky.rollbackSticks = true;
    sticky.infoReadsBeforeError = 2;
    SmcEmulator& stuck = Mount(sticky);
    info = OpenOnCard("WORMINFO.DAT");
    ASSERT_TRUE(WriteAt0(*info, rollback));
    EXPECT_EQ(stuck.RollbackWrites(), 1);
    EXPECT_EQ(ReadAt(*info, 30, 1), "\x01");
    EXPECT_EQ(ReadAt(*info, 0, 512), test::InfoSector(info_));
    EXPECT_EQ(ReadAt(*info, 0, 512), "read failed");
}

TEST_F(SmcEmulatorTest, CountsTheReadsItServedOfTheStoreByRequestByteAndSector) {
    EmulatorFaults faults;
    faults.readErrorAtSector = 7;  // the last sector of WORMSTO1.DAT
    SmcEmulator& card = Mount(faults);
    card.SetLatency(CardLatency{0.001, 0});
    auto first = OpenOnCard("WORMSTOR.DAT");
    auto second = OpenOnCard("WORMSTO1.DAT");
    auto info = OpenOnCard("WORMINFO.DAT");
    ASSERT_TRUE(first && second && info);
    card.ResetReadCounters();

    // 512 bytes from the middle of a sector touch two sectors; a read past the
    // end of a store file is served up to its end.
    EXPECT_EQ(ReadAt(*first, 256, 512).size(), 512u);
    EXPECT_EQ(ReadAt(*first, 4 * 512, 4096).size(), 512u);
    EXPECT_EQ(ReadAt(*second, 0, 1), test::StoreSector(5).substr(0, 1));
    // Nothing is served at the end of the file or from a bad sector.
    EXPECT_EQ(ReadAt(*first, 5 * 512, 512), "");
    EXPECT_EQ(ReadAt(*second, 512, 1024), "read failed");
    EXPECT_EQ(ReadAt(*info, 0, 512).size(), 512u);

    const CardReadCounters reads = card.ReadCounters();
    EXPECT_EQ(reads.storeRequests, 3u);
    EXPECT_EQ(reads.storeBytes, 512u + 512u + 1u);
    EXPECT_EQ(reads.storeSectors, 2u + 1u + 1u);
    EXPECT_EQ(reads.requests, 4u);
    EXPECT_NEAR(reads.modelledSeconds, 0.004, 1e-12);

    card.ResetReadCounters();
    EXPECT_EQ(card.ReadCounters().requests, 0u);
    EXPECT_EQ(card.ReadCounters().storeSectors, 0u);
    EXPECT_EQ(card.ReadCounters().modelledSeconds, 0.0);
}

}  // namespace
}  // namespace tv
