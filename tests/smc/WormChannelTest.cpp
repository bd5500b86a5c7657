// The card channel over emulated cards built by hand: opening, the store file
// table, sector runs, commands, unlocking and the rollback rule.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "emulator/SmcEmulator.h"
#include "platform/Platform.h"
#include "smc/CardImageBuilder.h"
#include "smc/WormChannel.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

class WormChannelTest : public test::TestEnvironment {
protected:
    void SetUp() override {
        TestEnvironment::SetUp();
        folder_ = TempPath("card");
    }
    void TearDown() override {
        handle_.reset();
        if (card_) {
            EXPECT_TRUE(test::ImageSnapshot(folder_) == snapshot_) << "the card image was changed";
        }
        TestEnvironment::TearDown();
    }

    void WriteCard(const test::InfoFields& info = {}, const std::vector<uint32_t>& files = {8}) {
        // The card mounted so far is closed and taken out first: an open file
        // cannot be deleted on every system.
        handle_.reset();
        if (card_) {
            EXPECT_TRUE(test::ImageSnapshot(folder_) == snapshot_) << "the card image was changed";
            platform_->MountCard('K', {}, nullptr);
            card_.reset();
        }
        std::filesystem::remove_all(folder_);
        test::WriteCardImage(folder_, info, files);
    }
    // Mounts the image as drive K; the image must not change from here on.
    SmcEmulator& Mount(EmulatorFaults faults = {}) {
        card_ = MountEmulatedCard(*platform_, 'K', folder_, faults);
        snapshot_ = test::ImageSnapshot(folder_);
        EXPECT_FALSE(snapshot_.empty());
        return *card_;
    }
    WormStatus Open(WormMode mode = WormMode::Data) { return WORM_INIT("K", mode, handle_); }
    WormStatus OpenCard(const test::InfoFields& info, const std::vector<uint32_t>& files,
                        EmulatorFaults faults = {}, WormMode mode = WormMode::Data) {
        WriteCard(info, files);
        Mount(faults);
        return Open(mode);
    }
    // Reads a run into a buffer guarded on both sides.
    WormStatus Read(uint32_t first, uint32_t count, std::string& bytes) {
        std::string buffer(static_cast<size_t>(count) * 512 + 64, '\x5A');
        const WormStatus status =
            WORM_READ_SECTORS(handle_.get(), buffer.data() + 32, first, count);
        EXPECT_EQ(buffer.substr(0, 32), std::string(32, '\x5A'));
        EXPECT_EQ(buffer.substr(buffer.size() - 32), std::string(32, '\x5A'));
        bytes = buffer.substr(32, static_cast<size_t>(count) * 512);
        return status;
    }

    std::string folder_;
    std::shared_ptr<SmcEmulator> card_;
    std::map<std::string, std::string> snapshot_;
    Owned<WormHandle> handle_;
};

TEST_F(WormChannelTest, OpensACardAndReadsItsInfoSectorAfresh) {
    test::InfoFields info;
    info.nextWriteIndex = 0x00000100;  // 00 00 01 00 at offset 24
    info.lastWriteIndex = 0x01020304;
    info.flags = 0x80;
    WriteCard(info, {8});
    test::WriteImageFile(folder_, "WORMSTO1.DAT", "");  // never looked for
    SmcEmulator& card = Mount();

    ASSERT_EQ(Open(), kWormOk);
    ASSERT_TRUE(handle_);
    EXPECT_EQ(handle_->drive, "K");
    EXPECT_EQ(handle_->storeFileCount, 1u);
    EXPECT_EQ(handle_->storeSectors[0], 8u);
    EXPECT_EQ(handle_->commandOffset, 2u);
    // The open-channel command, then the unlock with the PIN.
    EXPECT_EQ(card.CommandWrites(), 2);
    EXPECT_EQ(card.LastCommand(),
              (std::vector<uint8_t>{0x00, 0x07, 0x80, 0x00, 0x04, '9', '8', '9', '3'}));

    WormUsage usage;
    ASSERT_TRUE(WORM_GET_USAGE(handle_.get(), usage));
    EXPECT_EQ(usage.nextWriteIndex, 256u);
    EXPECT_EQ(usage.lastWriteIndex, 0x01020304u);
    EXPECT_EQ(usage.totalSectors, 8u);
    int fused = -1;
    EXPECT_EQ(WORM_GET_FUSED_STATE(handle_.get(), fused), kWormOk);
    EXPECT_EQ(fused, 1);
    char custId[4];
    ASSERT_TRUE(WORM_GET_CUST_ID(handle_.get(), custId));
    EXPECT_EQ(std::string(custId, 4), "ZT4A");
    uint8_t uid[16];
    ASSERT_TRUE(WORM_GET_UID(handle_.get(), uid));
    EXPECT_EQ(0, std::memcmp(uid, info.uid.data(), 16));
    char printable[33] = {};
    ASSERT_TRUE(WORM_GET_PRINTABLE_UID(handle_.get(), printable));
    EXPECT_STREQ(printable, "00112233445566778899AABBCCDDEEFF");

    // The getters see the card as it is now: the scale wrote on, and other
    // bits of byte 28 say nothing about fusing.
    info.nextWriteIndex = 7;
    info.flags = 0x7F;
    test::WriteImageFile(folder_, "WORMINFO.DAT", test::InfoSector(info));
    snapshot_ = test::ImageSnapshot(folder_);
    ASSERT_TRUE(WORM_GET_USAGE(handle_.get(), usage));
    EXPECT_EQ(usage.nextWriteIndex, 7u);
    EXPECT_EQ(WORM_GET_FUSED_STATE(handle_.get(), fused), kWormOk);
    EXPECT_EQ(fused, 0);

    // A handle whose drive text is not one letter, or none at all, is refused.
    handle_->drive = "KK";
    EXPECT_FALSE(WORM_GET_USAGE(handle_.get(), usage));
    EXPECT_EQ(WORM_GET_FUSED_STATE(handle_.get(), fused), kWormInvalidArgument);
    EXPECT_FALSE(WORM_GET_UID(handle_.get(), uid));
    EXPECT_FALSE(WORM_GET_CUST_ID(nullptr, custId));
    EXPECT_FALSE(WORM_GET_PRINTABLE_UID(nullptr, printable));
}

TEST_F(WormChannelTest, RefusedOpensLeaveNoHandle) {
    WriteCard();
    Mount();
    ASSERT_EQ(Open(), kWormOk);

    // The drive text is checked before any file is touched, and the card that
    // was open is released in any case.
    const int opensBefore = platform_->Calls(FaultOp::GetAttributes);
    EXPECT_EQ(WORM_INIT("", WormMode::Data, handle_), kWormInvalidArgument);
    EXPECT_FALSE(handle_);
    EXPECT_EQ(WORM_INIT("KL", WormMode::Probe, handle_), kWormInvalidArgument);
    EXPECT_EQ(platform_->Calls(FaultOp::GetAttributes), opensBefore);
    EXPECT_EQ(WORM_INIT(nullptr, WormMode::Data, handle_), kWormInvalidArgument);

    // A letter without a drive behind it.
    EXPECT_EQ(WORM_INIT("Z", WormMode::Data, handle_), kWormFileMissing);
    EXPECT_FALSE(handle_);

    // Each of the three card files missing.
    for (const char* missing : {"WORMCOMM.DAT", "WORMINFO.DAT", "WORMSTOR.DAT"}) {
        WriteCard();
        std::filesystem::remove(Join(folder_, missing));
        Mount();
        EXPECT_EQ(Open(), kWormFileMissing) << missing;
        EXPECT_FALSE(handle_);
    }

    // A file that exists but cannot be opened.
    WriteCard();
    Mount();
    platform_->InjectFault(FaultOp::Open, kErrSharingViolation, "WORMINFO.DAT", 1);
    EXPECT_EQ(Open(), kWormOpenFailed);
    EXPECT_FALSE(handle_);

    // Command-offset selectors: 1 places the command at byte 4 (the emulated
    // card answers a misplaced command with a failure), 2 is not supported.
    test::InfoFields info;
    info.commandSelector = 1;
    EXPECT_EQ(OpenCard(info, {8}), kWormOk);
    EXPECT_EQ(handle_->commandOffset, 4u);
    EXPECT_EQ(card_->LastCommand().size(), 9u);  // the unlock
    EXPECT_EQ(OpenCard(info, {8}, {}, WormMode::Probe), kWormOk);
    info.commandSelector = 2;
    EXPECT_EQ(OpenCard(info, {8}), kWormUnsupported);
    EXPECT_EQ(card_->CommandWrites(), 0);
    EXPECT_FALSE(handle_);

    // A card that ends the open-channel command with a failing status.
    EmulatorFaults failing;
    failing.commandStatus = 0;
    EXPECT_EQ(OpenCard({}, {8}, failing, WormMode::Data), kWormCommandFailed);
    EXPECT_EQ(OpenCard({}, {8}, failing, WormMode::Probe), kWormCommandFailed);
    failing.commandStatus = 3;
    EXPECT_EQ(OpenCard({}, {8}, failing, WormMode::Data), kWormCommandFailed);
    EXPECT_FALSE(handle_);

    // A drive root so long that the card's paths cannot be composed.
    auto longRoot = MountEmulatedCard(*platform_, 'L', TempPath(std::string(300, 'x')));
    EXPECT_EQ(WORM_INIT("L", WormMode::Data, handle_), kWormPathFailed);
    platform_->MountCard('L', "", nullptr);
}

TEST_F(WormChannelTest, StoreSplitOverContinuationFiles) {
    test::InfoFields info;
    ASSERT_EQ(OpenCard(info, {5, 3}), kWormOk);
    EXPECT_EQ(handle_->storeFileCount, 2u);
    EXPECT_EQ(handle_->storeSectors[0], 5u);
    EXPECT_EQ(handle_->storeSectors[1], 3u);
    std::string bytes;
    // A run from the first file into the second arrives joined in order.
    EXPECT_EQ(Read(3, 4, bytes), kWormOk);
    EXPECT_TRUE(bytes == test::StoreSectors(3, 4));
    EXPECT_EQ(Read(5, 3, bytes), kWormOk);
    EXPECT_TRUE(bytes == test::StoreSectors(5, 3));
    EXPECT_EQ(Read(0, 8, bytes), kWormOk);
    EXPECT_TRUE(bytes == test::StoreSectors(0, 8));

    // Three files: runs over two neighbours are read, a run over three is not.
    ASSERT_EQ(OpenCard(info, {3, 3, 2}), kWormOk);
    EXPECT_EQ(handle_->storeFileCount, 3u);
    EXPECT_EQ(Read(2, 5, bytes), kWormInvalidArgument);
    EXPECT_EQ(Read(2, 4, bytes), kWormOk);
    EXPECT_TRUE(bytes == test::StoreSectors(2, 4));
    EXPECT_EQ(Read(4, 4, bytes), kWormOk);
    EXPECT_TRUE(bytes == test::StoreSectors(4, 4));

    // A continuation file the total calls for is missing, or empty.
    WriteCard(info, {5, 3});
    std::filesystem::remove(Join(folder_, "WORMSTO1.DAT"));
    Mount();
    EXPECT_EQ(Open(), kWormOpenFailed);
    EXPECT_FALSE(handle_);
    WriteCard(info, {5, 0});
    Mount();
    EXPECT_EQ(Open(), kWormStoreInconsistent);
    EXPECT_FALSE(handle_);

    // Files that pass the total keep every entry in the table.
    ASSERT_EQ(OpenCard(info, {5, 5}), kWormOk);
    EXPECT_EQ(handle_->storeFileCount, 16u);
    EXPECT_EQ(Read(9, 1, bytes), kWormOk);
    EXPECT_TRUE(bytes == test::StoreSector(9));

    // Letters name the continuation files after the ninth.
    info.totalSectors = 16;
    ASSERT_EQ(OpenCard(info, std::vector<uint32_t>(16, 1)), kWormOk);
    EXPECT_EQ(handle_->storeFileCount, 16u);
    EXPECT_EQ(Read(14, 2, bytes), kWormOk);
    EXPECT_TRUE(bytes == test::StoreSectors(14, 2));
    for (int k = 0; k < 16; ++k) EXPECT_EQ(StoreFileName(k), test::StoreFile(k));
    EXPECT_EQ(StoreFileName(10), "WORMSTOA.DAT");
    EXPECT_EQ(StoreFileName(15), "WORMSTOF.DAT");
    EXPECT_EQ(StoreFileName(16), "");
    EXPECT_EQ(StoreFileName(-1), "");
}

TEST_F(WormChannelTest, ReadsStayInsideTheStore) {
    EmulatorFaults faults;
    faults.readErrorAtSector = 6;
    ASSERT_EQ(OpenCard({}, {5, 3}, faults), kWormOk);
    std::string bytes;
    EXPECT_EQ(Read(0, 0, bytes), kWormOk);
    EXPECT_EQ(Read(6, 1, bytes), kWormReadFailed);
    EXPECT_EQ(Read(7, 1, bytes), kWormOk);  // does not touch sector 6
    EXPECT_TRUE(bytes == test::StoreSector(7));
    card_->Faults().readErrorAtSector.reset();
    EXPECT_EQ(Read(6, 1, bytes), kWormOk);

    // Runs reaching past the last sector of the store are refused, whatever
    // the count, without reading anything.
    EXPECT_EQ(Read(7, 2, bytes), kWormInvalidArgument);
    EXPECT_EQ(Read(8, 1, bytes), kWormInvalidArgument);
    uint8_t sector[512];
    EXPECT_EQ(WORM_READ_SECTORS(handle_.get(), sector, 1, 0xFFFFFFFFu), kWormInvalidArgument);
    EXPECT_EQ(WORM_READ_SECTORS(handle_.get(), sector, 0xFFFFFFFFu, 1), kWormInvalidArgument);
    EXPECT_EQ(WORM_READ_SECTORS(handle_.get(), nullptr, 0, 1), kWormInvalidArgument);
    EXPECT_EQ(WORM_READ_SECTORS(nullptr, sector, 0, 1), kWormInvalidArgument);

    // A read error of the card, in either file of a run.
    card_->Faults().readErrorAtSector = 3;
    EXPECT_EQ(Read(2, 4, bytes), kWormReadFailed);
    EXPECT_EQ(Read(4, 2, bytes), kWormOk);
    card_->Faults().readErrorAtSector = 6;
    EXPECT_EQ(Read(2, 5, bytes), kWormReadFailed);
    EXPECT_EQ(Read(2, 4, bytes), kWormOk);

    // A store file with a tail shorter than a sector: only whole sectors count.
    test::WriteImageFile(folder_, "WORMSTO1.DAT", test::StoreSectors(5, 3) + std::string(100, 'T'));
    Mount();
    ASSERT_EQ(Open(), kWormOk);
    EXPECT_EQ(handle_->storeFileCount, 2u);
    EXPECT_EQ(handle_->storeSectors[1], 3u);
    EXPECT_EQ(Read(8, 1, bytes), kWormInvalidArgument);
}

TEST_F(WormChannelTest, ProbeModeWantsACommandSectorOfOneSector) {
    WriteCard();
    test::WriteImageFile(folder_, "WORMCOMM.DAT", std::string(511, '\0'));
    Mount();
    EXPECT_EQ(Open(WormMode::Probe), kWormCommSizeWrong);
    EXPECT_FALSE(handle_);
    EXPECT_EQ(card_->CommandWrites(), 0);
    EXPECT_EQ(Open(WormMode::Data), kWormOk);  // data mode does not look

    test::WriteImageFile(folder_, "WORMCOMM.DAT", std::string(1024, '\0'));
    Mount();
    EXPECT_EQ(Open(WormMode::Probe), kWormCommSizeWrong);

    // A card that takes its time answers in the end; one that never does is
    // given up on.
    EmulatorFaults slow;
    slow.busyCycles = 3;
    ASSERT_EQ(OpenCard({}, {8}, slow, WormMode::Probe), kWormOk);
    EXPECT_EQ(card_->CommandReads(), 8);  // (3 busy + 1 final) for each of two commands
    EmulatorFaults hung;
    hung.neverReady = true;
    EXPECT_EQ(OpenCard({}, {8}, hung, WormMode::Probe), kWormPollTimeout);
    EXPECT_EQ(card_->CommandReads(), static_cast<int>(kWormPollLimit));
    EXPECT_EQ(OpenCard({}, {8}, hung, WormMode::Data), kWormCommandFailed);
    EXPECT_FALSE(handle_);
}

TEST_F(WormChannelTest, UnlockAnswersMapToStatusCodes) {
    struct Case {
        int status;
        uint16_t length;
        uint16_t word;
        const char* pin;
        WormStatus expected;
    };
    const Case cases[] = {
        {255, 2, 0x0000, "9893", kWormOk},
        {255, 2, 0x0003, "9893", kWormUnlockWord0003},
        {255, 2, 0x8000, "9893", kWormUnlockWord8000},
        {255, 2, 0x8001, "9893", kWormUnlockWord8001},
        {255, 2, 0x8003, "9893", kWormUnlockWord8003},
        {255, 2, 0x8004, "9893", kWormUnlockWord8004},
        {255, 2, 0x8002, "9893", kWormUnlockWordOther},
        {255, 2, 0x0001, "9893", kWormUnlockWordOther},
        {255, 2, 0x0000, "1234", kWormUnlockWord8003},  // the card refuses a wrong PIN
        {255, 3, 0x0000, "9893", kWormUnsupported},
        {255, 0, 0x0000, "9893", kWormUnsupported},
        {0, 2, 0x0000, "9893", kWormUnlockStatus0To6},
        {1, 2, 0x0000, "9893", kWormUnlockStatus0To6},
        {4, 2, 0x0000, "9893", kWormUnlockStatus0To6},
        {6, 2, 0x0000, "9893", kWormUnlockStatus0To6},
        {3, 2, 0x0000, "9893", kWormUnlockStatus3},
        {7, 2, 0x0000, "9893", kWormUnlockStatus7To254},
        {253, 2, 0x0000, "9893", kWormUnlockStatus7To254},
        {255, 2, 0x0000, "98", kWormInvalidArgument},
        {255, 2, 0x0000, "98931", kWormInvalidArgument},
        {255, 2, 0x0000, nullptr, kWormInvalidArgument},
    };
    for (const Case& c : cases) {
        EmulatorFaults faults;
        faults.unlockStatus = c.status;
        faults.unlockLength = c.length;
        faults.unlockWord = c.word;
        faults.busyCycles = 2;
        // The open succeeds whatever the card says to the PIN.
        ASSERT_EQ(OpenCard({}, {8}, faults), kWormOk) << c.status << " " << c.word;
        EXPECT_EQ(WORM_UNLOCK(handle_.get(), c.pin), c.expected)
            << "status " << c.status << ", length " << c.length << ", word " << c.word;
    }
    EXPECT_EQ(WORM_UNLOCK(nullptr, kSmcPin), kWormInvalidArgument);

    // A card that stops answering while unlocking.
    card_->Faults().neverReady = true;
    EXPECT_EQ(WORM_UNLOCK(handle_.get(), kSmcPin), kWormPollTimeout);
    // A command sector that cannot be written.
    card_->Faults().neverReady = false;
    platform_->InjectFault(FaultOp::Write, kErrWriteFault, "WORMCOMM.DAT", 1);
    EXPECT_EQ(WORM_UNLOCK(handle_.get(), kSmcPin), kWormWriteFailed);
}

TEST_F(WormChannelTest, PendingRollbackIsClearedBeforeACommand) {
    test::InfoFields info;
    info.rollback = 1;
    ASSERT_EQ(OpenCard(info, {8}), kWormOk);
    EXPECT_EQ(card_->RollbackWrites(), 1);
    EXPECT_EQ(card_->CommandWrites(), 2);
    const uint8_t open[] = {0x00, 0x02, 0x83, 0x01};
    EXPECT_EQ(WORM_SEND_COMMAND(handle_.get(), open, nullptr), kWormOk);
    EXPECT_EQ(card_->RollbackWrites(), 1);  // the card has cleared it

    // A rollback that the card keeps reporting: nothing reaches the command
    // sector.
    EmulatorFaults sticks;
    sticks.rollbackSticks = true;
    EXPECT_EQ(OpenCard(info, {8}, sticks), kWormRollbackPending);
    EXPECT_EQ(card_->RollbackWrites(), 1);
    EXPECT_EQ(card_->CommandWrites(), 0);
    EXPECT_FALSE(handle_);
    // Probe mode makes no rollback test.
    EXPECT_EQ(OpenCard(info, {8}, sticks, WormMode::Probe), kWormOk);
    EXPECT_EQ(card_->RollbackWrites(), 0);

    // An info sector that cannot be read counts as a pending rollback: the
    // open reads it twice, the third read is the rollback test.
    EmulatorFaults unreadable;
    unreadable.infoReadsBeforeError = 2;
    EXPECT_EQ(OpenCard({}, {8}, unreadable), kWormRollbackPending);
    EXPECT_EQ(card_->RollbackWrites(), 1);
    EXPECT_EQ(card_->CommandWrites(), 0);
}

TEST_F(WormChannelTest, CommandsAndTheirAnswers) {
    ASSERT_EQ(OpenCard({}, {8}), kWormOk);
    const uint8_t open[] = {0x00, 0x02, 0x83, 0x01};
    uint8_t response[507];
    std::memset(response, 0xEE, sizeof response);
    EXPECT_EQ(WORM_SEND_COMMAND(handle_.get(), open, response), kWormOk);
    EXPECT_EQ(card_->LastCommand(), std::vector<uint8_t>(open, open + 4));
    EXPECT_EQ(response[0], 0x00);  // the emulated card answers a two-byte status word
    EXPECT_EQ(response[1], 0x02);
    EXPECT_EQ(response[506], 0x00);

    EXPECT_EQ(WORM_SEND_COMMAND(nullptr, open, nullptr), kWormInvalidArgument);
    EXPECT_EQ(WORM_SEND_COMMAND(handle_.get(), nullptr, nullptr), kWormInvalidArgument);
    // A block longer than the sector holds after the command offset.
    const int writes = card_->CommandWrites();
    const uint8_t tooLong[] = {0x01, 0xFD};
    EXPECT_EQ(WORM_SEND_COMMAND(handle_.get(), tooLong, nullptr), kWormInvalidArgument);
    EXPECT_EQ(card_->CommandWrites(), writes);

    card_->Faults().commandStatus = 17;
    EXPECT_EQ(WORM_SEND_COMMAND(handle_.get(), open, response), kWormCommandFailed);
    card_->Faults().commandStatus = 255;
    card_->Faults().neverReady = true;
    EXPECT_EQ(WORM_SEND_COMMAND(handle_.get(), open, response), kWormCommandFailed);
    card_->Faults().neverReady = false;
    platform_->InjectFault(FaultOp::Write, kErrWriteFault, "WORMCOMM.DAT", 1);
    EXPECT_EQ(WORM_SEND_COMMAND(handle_.get(), open, response), kWormWriteFailed);
    EXPECT_EQ(WORM_SEND_COMMAND(handle_.get(), open, response), kWormOk);

    EXPECT_EQ(WORM_CLOSE(handle_), kWormOk);
    EXPECT_FALSE(handle_);
    EXPECT_EQ(WORM_CLOSE(handle_), kWormInvalidArgument);
}

}  // namespace
}  // namespace tv
