// Card lists, fill levels and identification of generated cards.
#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "app/AppContext.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "smc/SmcAccess.h"
#include "smc/SmcDiscovery.h"
#include "smc/WormChannel.h"
#include "support/GeneratedCard.h"
#include "support/NonRegularFile.h"

namespace tv {
namespace {

class SmcDiscoveryTest : public test::CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        ctx_ = &GetAppContext();
        ui_.shown.clear();
    }
    std::string Entry(char letter) {
        for (const std::string& e : ScanSmcDrives(*ctx_).entries) {
            if (DriveOfEntry(e) == letter) return e;
        }
        return {};
    }
    std::string LastShown() { return ui_.shown.empty() ? std::string() : ToNarrow(ui_.shown.back().text); }
    bool Logged(const std::string& text) { return LogText().find(text) != std::string::npos; }
    // Overwrites bytes of a card's info sector, as damage or a foreign writer would.
    void PatchInfo(char letter, size_t offset, const std::string& bytes) {
        const std::string path = Join(CardFolder(letter), "WORMINFO.DAT");
        std::string info = ReadFile(path);
        info.replace(offset, bytes.size(), bytes);
        WriteFile(path, info);
    }
    AppContext* ctx_ = nullptr;
};

TEST_F(SmcDiscoveryTest, ListsCardsInDriveOrderBehindThePlaceholder) {
    SmcList none = ScanSmcDrives(*ctx_);
    EXPECT_FALSE(none.cardFound);
    EXPECT_EQ(none.entries, std::vector<std::string>{"<Insert SMC>"});

    const CardSummary g = MountCard('G', Small(CardFamily::Zt4));
    CardOptions other = Small(CardFamily::Dx);
    other.seed = 2;
    const CardSummary e = MountCard('E', other);
    const SmcList list = ScanSmcDrives(*ctx_);
    EXPECT_TRUE(list.cardFound);
    EXPECT_EQ(list.entries, (std::vector<std::string>{"<Select SMC>", e.printableUid + " (E:)", g.printableUid + " (G:)"}));
    EXPECT_FALSE(ctx_->worm);  // scanning leaves no card open
    EXPECT_EQ(DriveOfEntry(list.entries[2]), 'G');
}

TEST_F(SmcDiscoveryTest, AcceptedCardsSetTheFamily) {
    MountCard('E', Small(CardFamily::Dx));
    MountCard('F', Small(CardFamily::Zt4));
    EXPECT_EQ(IdentifySmc(*ctx_, Entry('E'), SmcPurpose::Archiving), SmcIdentity::Accepted);
    EXPECT_EQ(ctx_->scaleType, '0');
    EXPECT_TRUE(ctx_->worm);  // left open in data mode
    EXPECT_TRUE(Logged("SMC chosen: " + Entry('E')));
    EXPECT_TRUE(Logged("SMC CustID starts with QX33"));

    EXPECT_EQ(IdentifySmc(*ctx_, Entry('F'), SmcPurpose::Archiving), SmcIdentity::Accepted);
    EXPECT_EQ(ctx_->scaleType, '1');
    EXPECT_EQ(ctx_->archiveLogState, 0);
    EXPECT_TRUE(Logged("Archive.log not found in SMC"));
    EXPECT_EQ(IdentifySmc(*ctx_, Entry('E'), SmcPurpose::Verification), SmcIdentity::Accepted);
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(SmcDiscoveryTest, SplitStoresAndUnknownScalesAtSectorZero) {
    CardOptions split = Small(CardFamily::Dx, 4);
    split.storeFiles = 3;
    MountCard('E', split);
    EXPECT_EQ(IdentifySmc(*ctx_, Entry('E'), SmcPurpose::Archiving), SmcIdentity::Accepted);
    EXPECT_EQ(ctx_->worm->storeFileCount, 3u);

    MountCard('F', Small(CardFamily::Dx));
    std::string store = ReadFile(Join(CardFolder('F'), "WORMSTOR.DAT"));
    store.replace(store.find("Balance type:;"), 14, "Balance kind:;");  // no family at sector 0
    WriteFile(Join(CardFolder('F'), "WORMSTOR.DAT"), store);
    EXPECT_EQ(IdentifySmc(*ctx_, Entry('F'), SmcPurpose::Archiving), SmcIdentity::Refused);
    EXPECT_EQ(LastShown(), "Unsupported scale type in SMC.");
    EXPECT_TRUE(Logged("Unsupported scale type in SMC"));
}

TEST_F(SmcDiscoveryTest, WrongFamilyIsRefusedByConfigurationAndPurpose) {
    MountCard('E', Small(CardFamily::Dx));
    MountCard('F', Small(CardFamily::Zt4));
    ctx_->configuredScaleType = 2;
    EXPECT_EQ(IdentifySmc(*ctx_, Entry('E'), SmcPurpose::Archiving), SmcIdentity::Refused);
    EXPECT_EQ(LastShown(), ToNarrow(GetMessageText(285)));
    ctx_->configuredScaleType = 1;
    EXPECT_EQ(IdentifySmc(*ctx_, Entry('F'), SmcPurpose::Archiving), SmcIdentity::Refused);
    EXPECT_EQ(LastShown(), ToNarrow(GetMessageText(286)));
    ctx_->configuredScaleType = 0;
    EXPECT_EQ(IdentifySmc(*ctx_, Entry('F'), SmcPurpose::Verification), SmcIdentity::Refused);
    EXPECT_EQ(LastShown(), "Feature not available for ZT4.");
    EXPECT_EQ(ctx_->scaleType, '1');
    EXPECT_TRUE(Logged("Verification feature not available for ZT4"));
}

TEST_F(SmcDiscoveryTest, NewCorruptAndForeignCardsAreRefused) {
    struct Case {
        char letter;
        bool fused;
        bool empty;
        std::string custId;
        MessageId shown;
        std::string logged;
    };
    const std::vector<Case> cases = {
        {'E', false, true, "QX33", 189, "New SMC"},
        {'F', false, false, "QX33", 206, "Corrupt SMC"},
        {'G', true, true, "QX33", 206, "Corrupt SMC"},
        {'H', false, true, "AB12", 178, "Unsupported Secure Memory Card. New Tallyvault version needed"},
    };
    for (const Case& c : cases) {
        CardOptions o = Small(CardFamily::Dx);
        o.fused = c.fused;
        o.empty = c.empty;
        o.customisationId = c.custId;
        MountCard(c.letter, o);
        EXPECT_EQ(IdentifySmc(*ctx_, Entry(c.letter), SmcPurpose::Archiving), SmcIdentity::Refused) << c.letter;
        EXPECT_EQ(LastShown(), ToNarrow(GetMessageText(c.shown))) << c.letter;
        EXPECT_TRUE(Logged("SMC: " + Entry(c.letter) + c.logged)) << c.letter;
    }
    EXPECT_TRUE(Logged("SMC is not fused"));
    EXPECT_TRUE(Logged("SMC CustID starts with AB12"));
    EXPECT_EQ(IdentifySmc(*ctx_, Entry('H'), SmcPurpose::Verification), SmcIdentity::Refused);
    EXPECT_TRUE(Logged("Unsupported SMC. New Tallyvault version needed"));
    EXPECT_EQ(IdentifySmc(*ctx_, "nothing (Q:)", SmcPurpose::Archiving), SmcIdentity::Stay);
}

TEST_F(SmcDiscoveryTest, ArchiveLogOfAZt4CardIsCheckedAgainstTheCard) {
    const CardSummary card = MountCard('F', Small(CardFamily::Zt4));
    const std::string log = Join(CardFolder('F'), "Archive.log");
    WriteFile(log, "[" + card.smcUid + "]\r\n\r\nScale serial num             : x\r\n");
    EXPECT_EQ(IdentifySmc(*ctx_, Entry('F'), SmcPurpose::Archiving), SmcIdentity::Accepted);
    EXPECT_EQ(ctx_->archiveLogState, 2);
    EXPECT_TRUE(ui_.shown.empty());

    WriteFile(log, "[00112233445566778899AABBCCDDEEFF]\r\n\r\n");
    EXPECT_EQ(IdentifySmc(*ctx_, Entry('F'), SmcPurpose::Archiving), SmcIdentity::Accepted);
    EXPECT_EQ(ctx_->archiveLogState, 1);
    EXPECT_EQ(LastShown(), "Incorrect Archive.log in SMC open area.");
    EXPECT_TRUE(Logged("SMC's UID mismatches with UID in 'Achive.log'. UID in log - [00112233445566778899AABBCCDDEEFF]"));

    WriteFile(log, "[short");
    ui_.shown.clear();
    EXPECT_EQ(IdentifySmc(*ctx_, Entry('F'), SmcPurpose::Archiving), SmcIdentity::Accepted);
    EXPECT_EQ(ctx_->archiveLogState, 1);
    EXPECT_EQ(ui_.shown.size(), 1u);
}

// Card file systems ignore the case of names; a card whose files are spelled in
// another case than the firmware's is still the same card.
TEST_F(SmcDiscoveryTest, CardFilesAreFoundWhateverTheCaseOfTheirNames) {
    const CardSummary card = MountCard('F', Small(CardFamily::Zt4));
    const std::string folder = CardFolder('F');
    for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
             {"WORMINFO.DAT", "worminfo.dat"}, {"WORMCOMM.DAT", "WormComm.dat"}, {"WORMSTOR.DAT", "wormstor.DAT"}}) {
        std::filesystem::rename(Join(folder, from), Join(folder, to));
    }
    WriteFile(Join(folder, "ARCHIVE.LOG"), "[" + card.smcUid + "]\r\n\r\nScale serial num             : x\r\n");
    EXPECT_EQ(IdentifySmc(*ctx_, Entry('F'), SmcPurpose::Archiving), SmcIdentity::Accepted) << LogText();
    EXPECT_EQ(ctx_->archiveLogState, 2);
    EXPECT_TRUE(ui_.shown.empty());
    WormUsage usage;
    ASSERT_TRUE(CheckSmcUsage(*ctx_, usage));
    EXPECT_EQ(usage.nextWriteIndex, card.sectorsUsed);
}

// Another card behind the listed drive letter (media came or went since the
// list was made) is not taken for the chosen one.
TEST_F(SmcDiscoveryTest, AnotherCardBehindTheListedLetterIsNotIdentified) {
    MountCard('F', Small(CardFamily::Dx));
    const std::string listed = Entry('F');
    ASSERT_FALSE(listed.empty());
    CardOptions other = Small(CardFamily::Dx);
    other.seed = 7;
    const CardSummary second = MountCard('F', other);
    ASSERT_NE(Entry('F'), listed);
    EXPECT_EQ(IdentifySmc(*ctx_, listed, SmcPurpose::Archiving), SmcIdentity::Stay);
    EXPECT_EQ(LastShown(), ToNarrow(GetMessageText(213)));
    EXPECT_TRUE(Logged("Selected SMC is not available. Drive F: holds SMC " + second.printableUid));
    EXPECT_FALSE(ctx_->worm);
    ui_.shown.clear();
    EXPECT_EQ(IdentifySmc(*ctx_, Entry('F'), SmcPurpose::Archiving), SmcIdentity::Accepted) << LogText();
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(SmcDiscoveryTest, FillLevelAppearsBelow25MiBFree) {
    CardOptions roomy = Small(CardFamily::Dx);
    const CardSummary probe = MountCard('E', roomy);
    roomy.totalSectors = probe.sectorsUsed + 32 + 100000;  // 51,200,000 bytes free
    MountCard('E', roomy);
    SmcFillLevel level;
    ASSERT_TRUE(ShowSmcFillLevel(*ctx_, Entry('E'), level));
    EXPECT_FALSE(level.shown);

    CardOptions tight = roomy;
    tight.totalSectors = probe.sectorsUsed + 32 + 40000;  // 20,480,000 bytes free
    MountCard('E', tight);
    ASSERT_TRUE(ShowSmcFillLevel(*ctx_, Entry('E'), level));
    EXPECT_TRUE(level.shown);
    EXPECT_FALSE(level.full);
    EXPECT_EQ(level.percent, static_cast<int>(uint64_t{probe.sectorsUsed} * 100 / (probe.sectorsUsed + 40000)));

    EXPECT_FALSE(ShowSmcFillLevel(*ctx_, "nothing (Q:)", level));
}

// The printable UID is card text on its way into the card list, SMCProfile.ini,
// the log and the terminal: anything but 32 printable characters is damage.
TEST_F(SmcDiscoveryTest, CardWithoutAPrintableUidIsToldCorruptAndNeverListed) {
    MountCard('E', Small(CardFamily::Dx));
    CardOptions other = Small(CardFamily::Dx);
    other.seed = 2;
    const CardSummary f = MountCard('F', other);
    std::string uid = "AB\r\n[Config]\r\nLanguage=French";
    uid.resize(32, 'C');
    PatchInfo('E', 256, uid);

    const SmcList list = ScanSmcDrives(*ctx_);
    EXPECT_EQ(list.entries, (std::vector<std::string>{"<Select SMC>", f.printableUid + " (F:)"}));
    EXPECT_EQ(list.damaged, std::vector<char>{'E'});
    EXPECT_EQ(LastShown(), "Corrupt Secure Memory Card.");
    EXPECT_TRUE(Logged("SMC: (E:)Corrupt SMC: its printable UID is not 32 printable ASCII characters"));
    EXPECT_EQ(LogText().find("[Config]"), std::string::npos);

    // No reader of the card gets the text.
    ctx_->drive = "E";
    ASSERT_TRUE(InitSmc(*ctx_, WormMode::Data));
    char printable[33] = {};
    EXPECT_EQ(ReadPrintableUid(ctx_->worm.get(), printable), kWormUidNotPrintable);
    EXPECT_FALSE(WORM_GET_PRINTABLE_UID(ctx_->worm.get(), printable));
    EXPECT_STREQ(printable, "");
    CloseSmc(*ctx_);

    // A NUL short of 32 characters is no printable UID either.
    PatchInfo('E', 256, std::string("SHORT\0", 6));
    EXPECT_EQ(ScanSmcDrives(*ctx_).damaged, std::vector<char>{'E'});
}

// A card whose store files do not fit together used to vanish from the list
// as if no card were there.
TEST_F(SmcDiscoveryTest, CardWithADamagedStoreIsToldCorrupt) {
    CardOptions split = Small(CardFamily::Dx, 4);
    split.storeFiles = 3;
    MountCard('E', split);
    std::filesystem::remove(Join(CardFolder('E'), "WORMSTO1.DAT"));
    MountCard('F', split);
    WriteFile(Join(CardFolder('F'), "WORMSTO2.DAT"), "");
    MountCard('G', Small(CardFamily::Dx));
    std::filesystem::resize_file(Join(CardFolder('G'), "WORMSTOR.DAT"), 4096);
    MountCard('H', Small(CardFamily::Dx));
    ASSERT_TRUE(test::PlantNonRegularFile(Join(CardFolder('H'), "WORMSTOR.DAT")));
    MountCard('J', Small(CardFamily::Dx));

    const SmcList list = ScanSmcDrives(*ctx_);
    EXPECT_EQ(list.damaged, (std::vector<char>{'E', 'F', 'G', 'H'}));
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(DriveOfEntry(list.entries[1]), 'J');
    ASSERT_EQ(ui_.shown.size(), 1u);  // one message for the scan
    EXPECT_EQ(LastShown(), "Corrupt Secure Memory Card.");
    for (char letter : {'E', 'F', 'G', 'H'}) {
        EXPECT_TRUE(Logged(std::string("SMC: (") + letter + ":)Corrupt SMC: its card files cannot be opened")) << letter;
    }

    // Only card files make a card: a drive without them is simply no card.
    std::filesystem::remove(Join(CardFolder('E'), "WORMCOMM.DAT"));
    EXPECT_EQ(ScanSmcDrives(*ctx_).damaged, (std::vector<char>{'F', 'G', 'H'}));
}

// Counters that point past the store used to give a fill level of millions of
// percent and a card that was taken.
TEST_F(SmcDiscoveryTest, NextWriteIndexPastTheStoreIsACorruptCard) {
    MountCard('E', Small(CardFamily::Dx));
    PatchInfo('E', 24, std::string("\x7F\xFF\xFF\x00", 4));
    SmcFillLevel level;
    ASSERT_TRUE(ShowSmcFillLevel(*ctx_, Entry('E'), level));
    EXPECT_TRUE(level.shown);
    EXPECT_TRUE(level.full);
    EXPECT_TRUE(level.damaged);
    EXPECT_EQ(level.percent, 100);

    ui_.shown.clear();
    EXPECT_EQ(IdentifySmc(*ctx_, Entry('E'), SmcPurpose::Archiving), SmcIdentity::Refused);
    EXPECT_EQ(LastShown(), "Corrupt Secure Memory Card.");
    EXPECT_TRUE(Logged("SMC: " + Entry('E') + "Corrupt SMC: next write index 2147483392 past the store"));
    EXPECT_FALSE(ctx_->worm);
    EXPECT_EQ(IdentifySmc(*ctx_, Entry('E'), SmcPurpose::Verification), SmcIdentity::Refused);
}

}  // namespace
}  // namespace tv
