// The dX archive writer on generated cards: the checks before writing, the name
// of a run, signature blocks, block lines, and whole runs with splits.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AppContext.h"
#include "app/PublishRecovery.h"
#include "crypto/Digest.h"
#include "dx/ArchiverdX.h"
#include "dx/DxLineFormat.h"
#include "log/LogFile.h"
#include "messages/MemoryResultList.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "smc/SmcAccess.h"
#include "store/BlockDecoder.h"
#include "store/StoreText.h"
#include "support/GeneratedCard.h"

namespace tv {
namespace {

struct CardBlock {
    uint32_t number;
    char type;
    uint32_t sectors;
};

// The writer with a plain walk over the card's framing for its boundaries (so
// that blocks the decoder refuses are walked over too).
class TestArchiver : public CArchiverdX {
public:
    using CArchiverdX::CArchiverdX;
    bool Run(ProgressView*, int&, ResultList*, StatusView*) override { return false; }
    bool VerifyBoundaryBlocks(uint32_t lastIndex, int&) override {
        std::vector<uint8_t> s(512);
        for (uint32_t b = 0; b <= lastIndex && GetSmcBlocks(ctx, 1, s.data(), b);) {
            const uint32_t length =
                (uint32_t{s[0]} << 24) | (uint32_t{s[1]} << 16) | (uint32_t{s[2]} << 8) | s[3];
            const uint64_t padded = length != 0
                                        ? LongFormPaddedLength(length)
                                        : ShortFormPaddedLength(static_cast<uint16_t>(s[4] << 8 | s[5]));
            const CardBlock k{b, static_cast<char>(length != 0 ? s[8] : s[6]),
                              static_cast<uint32_t>(SectorCountFor(padded))};
            if (firstBlock == 0 && (k.type == 'E' || k.type == 'T' || k.type == 'U')) firstBlock = b;
            if (k.type == 'E') lastClosure = b;
            if (k.type == 'W' && lastIncident <= lastClosure) lastIncident = b;
            if (k.type == 'S' && lastIncident > lastClosure) lastBlock = b;
            blocks.push_back(k);
            b += k.sectors;
        }
        return true;
    }
    bool VerifyWrittenArchive(const std::string& path) override {
        verified.push_back(path);
        return CArchiverdX::VerifyWrittenArchive(path);
    }

    std::vector<CardBlock> blocks;
    std::vector<std::string> verified;
    uint32_t lastBlock = 0;
};

class ArchiverdXTest : public test::CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        ctx_ = &GetAppContext();
        archiveFolder_ = TempPath("archive");
        std::filesystem::create_directories(archiveFolder_);
        ctx_->archivePath = AsFolder(archiveFolder_);
    }

    // Generates and opens a card; damage changes its image before it is opened.
    void Open(const CardOptions& options, const std::function<void()>& damage = {}) {
        std::filesystem::remove(Join(DataFolder(), "Tallyvault.log"));
        card_ = MountCard('E', options);
        if (damage) damage();
        ctx_->drive = "E";
        ASSERT_TRUE(InitSmc(*ctx_, WormMode::Data));
        ASSERT_TRUE(CheckSmcUsage(*ctx_, usage_));
    }
    // Changes bytes of a block in the card image; with rehash its current hash
    // matches again, so that only its chain or signature is wrong.
    void PatchBlock(uint32_t number, size_t offset, const std::string& bytes, bool rehash) {
        const std::string path = Join(CardFolder('E'), "WORMSTOR.DAT");
        std::string store = ReadFile(path);
        auto* at = reinterpret_cast<uint8_t*>(store.data()) + size_t{number} * 512;
        WormBlock header;
        ASSERT_TRUE(DecodeBlockHeader(at, ScaleFamily::Dx, number, header));
        std::copy(bytes.begin(), bytes.end(), at + offset);
        const DigestBytes d = HashBuffer(at, size_t{header.paddedLength} + 32);
        if (rehash) std::copy(d.begin(), d.end(), at + header.paddedLength + 32);
        WriteFile(path, store);
        // Written sectors of a real card never change: the open card forgets what
        // it read ahead before this change behind its back.
        if (ctx_->worm) {
            ctx_->worm->readAhead.Reset();
            WormUsage usage;
            ASSERT_TRUE(WORM_GET_USAGE(ctx_->worm.get(), usage));
        }
    }

    // An archiver that has checked the card and found its boundaries.
    std::unique_ptr<TestArchiver> Checked() {
        auto a = std::make_unique<TestArchiver>(*ctx_);
        a->ResetFields();
        int result = 11;
        EXPECT_TRUE(a->CheckPublicKeyIntegrity(usage_.nextWriteIndex));
        EXPECT_TRUE(a->VerifyBoundaryBlocks(usage_.lastWriteIndex, result));
        return a;
    }
    // A complete run from block 0 to the last signature block.
    bool Archive(TestArchiver& a, int& result, ProgressView* progress) {
        return a.InitArchive(result, progress, &results_, &status_) &&
               a.CreateArchive(a.lastBlock + 1, usage_.lastWriteIndex, 0, result, progress, &results_,
                               &status_);
    }

    std::string LineOf(uint32_t number) {
        WormBlock b;
        std::string line;
        EXPECT_TRUE(ReadBlock(*ctx_, ScaleFamily::Dx, number, b));
        EXPECT_EQ(FormatDxBlockLine(b, "01.00", line), DxLineStatus::Ok);
        return line;
    }
    std::string LinesOf(const TestArchiver& a, uint32_t first, uint32_t last) {
        std::string text;
        for (const CardBlock& k : a.blocks) {
            if (k.number >= first && k.number <= last) text += LineOf(k.number);
        }
        return text;
    }
    // The blocks whose lines make up a file, in order; empty when a part of the
    // file is no block's line.
    std::vector<CardBlock> BlocksOfFile(const TestArchiver& a, const std::string& content) {
        std::vector<std::string> lines;
        for (const CardBlock& k : a.blocks)
            lines.push_back(LineOf(k.number));
        std::vector<CardBlock> found;
        for (size_t at = 0; at < content.size();) {
            size_t i = 0;
            while (i < lines.size() && content.compare(at, lines[i].size(), lines[i]) != 0)
                ++i;
            if (i == lines.size()) return {};
            found.push_back(a.blocks[i]);
            at += lines[i].size();
        }
        return found;
    }
    std::string CompactDateOf(uint32_t number) {
        WormBlock b;
        BlockDate date;
        EXPECT_TRUE(ReadBlock(*ctx_, ScaleFamily::Dx, number, b));
        EXPECT_TRUE(ExtractBlockDate(b.bytes.data(), b.recordType, date));
        return date.compact;
    }
    std::vector<std::string> ModuleErrors() const { return test::LoggedErrors(LogText(), kModArchiverDx); }
    bool Logged(const std::string& text) const { return LogText().find(text) != std::string::npos; }
    std::string Cell(int row, int column) const { return ToNarrow(results_.Cell(row, column)); }
    size_t ArchiveFileCount() const {
        return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(archiveFolder_),
                                                 std::filesystem::directory_iterator()));
    }

    AppContext* ctx_ = nullptr;
    CardSummary card_;
    WormUsage usage_;
    std::string archiveFolder_;
    MemoryResultList results_;
    test::RecordingProgress progress_;
    test::RecordingStatus status_;
};

TEST_F(ArchiverdXTest, TheNameOfARunAndItsRefusals) {
    Open(Small(CardFamily::Dx, 3));
    auto a = Checked();
    EXPECT_EQ(a->storeInfo.smcUid, card_.smcUid);
    EXPECT_EQ(a->storeInfo.publicKey, card_.publicKey);
    EXPECT_EQ(a->scaleTypeText, "dX");
    EXPECT_EQ(a->currentHash, BlockHash{});  // cleared for the run
    int result = 11;
    ASSERT_TRUE(a->MakeDxArchiveName(result));
    auto digits = [](std::string text) {
        text.erase(std::remove(text.begin(), text.end(), '-'), text.end());
        return text;
    };
    EXPECT_EQ(a->startDateText, card_.firstDate);
    EXPECT_EQ(a->endDateText, card_.lastDate);
    EXPECT_EQ(a->startDate.substr(0, 8), digits(card_.firstDate));
    EXPECT_EQ(a->endDate.substr(0, 8), digits(card_.lastDate));
    const std::string base =
        card_.scaleSerialNumber + "_" + card_.smcUid + "_" + a->startDate + "_" + a->endDate;
    // Written in the run's work folder, never under the archive's own name.
    EXPECT_EQ(a->tempArchivePath, Join(RunWorkFolder(*ctx_), base + ".csv"));
    EXPECT_EQ(a->cleanupArchivePath, a->tempArchivePath);
    std::string folderName;
    EXPECT_FALSE(a->GetArchiveFolderName(folderName));
    EXPECT_EQ(folderName, base);
    EXPECT_TRUE(Logged("Start date:" + card_.firstDate + " End date:" + card_.lastDate));
    EXPECT_TRUE(ModuleErrors().empty());

    const uint32_t first = a->firstBlock;
    const uint32_t closure = a->lastClosure;
    a->firstBlock = 3;  // a signature incident block
    EXPECT_FALSE(a->MakeDxArchiveName(result));
    a->firstBlock = first;
    a->lastClosure = first;  // a transaction: only a date-based run may end there
    EXPECT_FALSE(a->MakeDxArchiveName(result));
    a->endIsNotClosure = true;
    EXPECT_TRUE(a->MakeDxArchiveName(result));
    a->lastClosure = closure;
    a->firstBlock = 900000;  // beyond the store
    EXPECT_FALSE(a->MakeDxArchiveName(result));
    a->firstBlock = first;
    EXPECT_EQ(result, 11);
    const StoreInfo sound = a->storeInfo;
    a->storeInfo.smcUid[5] = 'G';
    EXPECT_FALSE(a->MakeDxArchiveName(result));
    EXPECT_EQ(result, 2);
    a->storeInfo = sound;
    a->storeInfo.scaleSerialNumber[2] = '-';
    result = 11;
    EXPECT_FALSE(a->MakeDxArchiveName(result));
    EXPECT_EQ(result, 2);
    a->storeInfo.scaleSerialNumber = std::string(240, 'A');
    EXPECT_FALSE(a->MakeDxArchiveName(result));
    EXPECT_EQ(result, 10);
    EXPECT_TRUE(Logged("File name : " + Join(RunWorkFolder(*ctx_), std::string(240, 'A')) + "_"));
    // Dates become file names: a date that is not all digits is refused.
    a->storeInfo = sound;
    PatchBlock(first, 23, "/", false);
    EXPECT_FALSE(a->MakeDxArchiveName(result));
    EXPECT_EQ(ModuleErrors(), (std::vector<std::string>{
                                  "Incorrect Data Found! File name creation for archive failed",
                                  "Incorrect Data Found! Filename creation failed",
                                  "FileName creation for archivefailed",
                                  "SMC serial number is not in hexadecimal format",
                                  "Scale serial number is not in expected (alphanumeric) format",
                                  "Archive file path length exceeded",
                                  "Incorrect Data Found! File name creation for archive failed",
                              }));
}

TEST_F(ArchiverdXTest, PublicKeyIntegrityOfTheLeadingBlocks) {
    // Blocks 0-2 origin of trust, 3 W, 4 S, 5 W, 6 S.
    struct Case {
        const char* what;
        std::function<void()> damage;
        std::vector<std::string> errors;  // of the writer
        std::string alsoLogged;
    };
    const std::string failed = "Public key integrity verification failed";
    const std::string hashFailed = "Hash verification failed. Complete archive operation failed";
    const std::vector<Case> cases = {
        {"sound", [] {}, {}, ""},
        {"origin payload", [&] { PatchBlock(0, 1050, "#", false); }, {failed}, hashFailed},
        {"chain", [&] { PatchBlock(3, 48, "\x01", true); }, {failed}, hashFailed},
        {"signature",
         [&] {
             const bool zero = ReadFile(Join(CardFolder('E'), "WORMSTOR.DAT"))[4 * 512 + 40] == '0';
             PatchBlock(4, 40, zero ? "1" : "0", true);  // a digit of r
         },
         {"Signature verification failed", failed},
         ""},
        {"not an origin",
         [&] { PatchBlock(0, 8, "T", true); },
         {"First Block is not 'Origin of Trust Block'. Public key integrity verification failed"},
         ""},
        {"DS version", [&] { PatchBlock(4, 10, "\x03", true); }, {failed}, "Invalid DS version found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Open(Small(CardFamily::Dx, 2), c.damage);
        TestArchiver a(*ctx_);
        EXPECT_EQ(a.CheckPublicKeyIntegrity(usage_.nextWriteIndex), c.errors.empty());
        EXPECT_EQ(ModuleErrors(), c.errors);
        EXPECT_TRUE(c.alsoLogged.empty() || Logged(c.alsoLogged));
        EXPECT_EQ(a.lastCurrentHash, BlockHash{});
    }
    TestArchiver a(*ctx_);
    EXPECT_TRUE(a.CheckPublicKeyIntegrity(3));  // sectors used up before a signature block
    EXPECT_FALSE(a.CheckPublicKeyIntegrity(0));
}

TEST_F(ArchiverdXTest, SignatureBlocksAreCheckedWithTheCardsKey) {
    Open(Small(CardFamily::Dx, 2));
    auto a = Checked();
    WormBlock s;
    ASSERT_TRUE(ReadBlock(*ctx_, ScaleFamily::Dx, 4, s));
    int result = 11;
    EXPECT_TRUE(a->VerifySignatureBlock(s, result));
    EXPECT_EQ(result, 11);

    std::vector<WormBlock> refused(6, s);
    refused[0].previousHash[0] ^= 1;  // the message: another block's hash
    refused[1].bytes[30] = '4';       // r of 67 bytes
    refused[1].bytes[31] = '3';
    refused[2].bytes[31] = 'G';
    refused[3].paddedLength = 100;  // s runs past the block's end
    refused[4].bytes.resize(20);
    refused[5].recordType = 'S';
    refused[5].paddedLength = 0;
    for (const WormBlock& bad : refused) {
        result = 11;
        EXPECT_FALSE(a->VerifySignatureBlock(bad, result));
        EXPECT_EQ(result, 2);
    }
    a->storeInfo.publicKey[100] = a->storeInfo.publicKey[100] == '0' ? '1' : '0';  // another key
    EXPECT_FALSE(a->VerifySignatureBlock(s, result));
    const std::vector<std::string> errors = ModuleErrors();
    EXPECT_EQ(std::count(errors.begin(), errors.end(), "Signature verification failed"), 7);
    EXPECT_EQ(
        std::count(errors.begin(), errors.end(), "Signature in signature block is not in expected format"),
        5);
}

TEST_F(ArchiverdXTest, BlockLinesAreAppendedThroughOneOpenFile) {
    Open(Small(CardFamily::Dx, 2));
    auto a = Checked();
    int result = 11;
    ASSERT_TRUE(a->MakeDxArchiveName(result));
    WormBlock origin;
    WormBlock signature;
    ASSERT_TRUE(ReadBlock(*ctx_, ScaleFamily::Dx, 0, origin));
    ASSERT_TRUE(ReadBlock(*ctx_, ScaleFamily::Dx, 4, signature));
    const int opensBefore = platform_->Calls(FaultOp::Open);
    uint64_t size = 0;
    ASSERT_TRUE(a->WriteBlockLine(origin, size));
    EXPECT_EQ(a->publishState, kPublishWriting);
    ASSERT_TRUE(a->WriteBlockLine(signature, size));
    EXPECT_EQ(a->lastSignatureLineEnd, size);
    const std::string written = LineOf(0) + LineOf(4);
    EXPECT_EQ(size, written.size());
    // One open for the file; the lines are in it once it is flushed.
    EXPECT_EQ(platform_->Calls(FaultOp::Open), opensBefore + 1);
    ASSERT_TRUE(a->FlushArchiveFile());
    EXPECT_EQ(ReadFile(a->tempArchivePath), written);
    EXPECT_TRUE(a->FlushArchiveFile());

    // Nothing is written for data the format cannot hold, nor when the file fails.
    WormBlock odd = signature;
    odd.recordType = 'X';
    EXPECT_FALSE(a->WriteBlockLine(odd, size));
    odd = origin;
    odd.paddedLength = 1040;
    EXPECT_FALSE(a->WriteBlockLine(odd, size));
    platform_->InjectFault(FaultOp::Open, kErrAccessDenied, ".csv", 1);
    EXPECT_FALSE(a->WriteBlockLine(signature, size));
    platform_->InjectFault(FaultOp::Write, kErrDiskFull, ".csv", 1);
    ASSERT_TRUE(a->WriteBlockLine(signature, size));
    EXPECT_EQ(size, written.size() + LineOf(4).size());
    EXPECT_FALSE(a->FlushArchiveFile());
    EXPECT_EQ(ReadFile(a->tempArchivePath), written);
    // A file reopened after a failure goes on from what it holds.
    ASSERT_TRUE(a->WriteBlockLine(signature, size));
    EXPECT_EQ(size, written.size() + LineOf(4).size());
    ASSERT_TRUE(a->FlushArchiveFile());
    EXPECT_EQ(ReadFile(a->tempArchivePath), written + LineOf(4));
    EXPECT_EQ(ModuleErrors(), (std::vector<std::string>{
                                  "Invalid data in SMC",
                                  "Write block into archive failed",
                                  "Origin of trust block does not reach its third sector",
                                  "Writing Origin of trust block into archive failed",
                                  "Write block into archive failed",
                                  "Archive file open failed.Write block into archive failed",
                                  "Write block into archive failed",
                              }));
}

// A buffer's worth of lines goes out while the run writes; a file of several
// buffers holds every line in order.
TEST_F(ArchiverdXTest, LinesBeyondOneBufferReachTheFileInOrder) {
    Open(Small(CardFamily::Dx, 2));
    auto a = Checked();
    int result = 11;
    ASSERT_TRUE(a->MakeDxArchiveName(result));
    WormBlock signature;
    ASSERT_TRUE(ReadBlock(*ctx_, ScaleFamily::Dx, 4, signature));
    const std::string line = LineOf(4);
    const size_t count = 3 * 1024 * 1024 / line.size() + 1;
    uint64_t size = 0;
    for (size_t i = 0; i < count; ++i) ASSERT_TRUE(a->WriteBlockLine(signature, size));
    EXPECT_EQ(size, count * line.size());
    // Whole buffers are out already; the rest waits for the flush.
    const size_t onDisk = ReadFile(a->tempArchivePath).size();
    EXPECT_GE(onDisk, 2u * 1024 * 1024);
    EXPECT_LT(onDisk, count * line.size());
    ASSERT_TRUE(a->FlushArchiveFile());
    std::string expected;
    for (size_t i = 0; i < count; ++i) expected += line;
    EXPECT_EQ(ReadFile(a->tempArchivePath), expected);
}

TEST_F(ArchiverdXTest, ACompleteRunIsWrittenCheckedAndPublished) {
    Open(Small(CardFamily::Dx, 3));
    auto a = Checked();
    int result = 11;
    ASSERT_TRUE(Archive(*a, result, &progress_)) << LogText();
    const std::string published = Join(archiveFolder_, a->archiveBaseName) + ".csv";
    EXPECT_EQ(ArchiveFileCount(), 1u);
    EXPECT_EQ(ReadFile(published), LinesOf(*a, 0, a->lastBlock));
    uint32_t attributes = 0;
    ASSERT_TRUE(platform_->GetAttributes(published, attributes));
    EXPECT_TRUE(attributes & kAttrReadOnly);
    EXPECT_FALSE(FileExists(a->tempArchivePath));
    EXPECT_TRUE(FileExists(AsFolder(Join(DataFolder(), "LastArchiveBackup")) + a->archiveBaseName + ".csv.bak"));
    EXPECT_EQ(a->verified, std::vector<std::string>{a->tempArchivePath});
    ASSERT_EQ(results_.ItemCount(), 1);
    EXPECT_EQ(Cell(0, 0), "1");
    EXPECT_EQ(Cell(0, 1), published);
    EXPECT_EQ(progress_.Last(), 100);
    EXPECT_EQ(a->publishState, kPublishIdle);
    EXPECT_EQ(result, 11);
    EXPECT_TRUE(ModuleErrors().empty());
}

TEST_F(ArchiverdXTest, ARunPastTheMaximumSizeIsSplitAfterCompleteClosureGroups) {
    Open(Small(CardFamily::Dx, 8));
    auto a = Checked();
    const std::string leading = LinesOf(*a, 0, 4);  // O, W, S
    ctx_->maxArchiveSize = 12000;
    int result = 11;
    ASSERT_TRUE(Archive(*a, result, &progress_)) << LogText();
    ASSERT_GE(results_.ItemCount(), 3);
    EXPECT_EQ(ArchiveFileCount(), static_cast<size_t>(results_.ItemCount()));
    EXPECT_EQ(a->verified.size(), ArchiveFileCount());
    uint32_t expectedNext = 0;  // the first block after the leading ones
    for (int row = 0; row < results_.ItemCount(); ++row) {
        SCOPED_TRACE(row);
        const std::string path = Cell(row, 1);
        const std::string content = ReadFile(path);
        EXPECT_LE(content.size(), ctx_->maxArchiveSize);
        EXPECT_EQ(content.compare(0, leading.size(), leading), 0);
        const std::vector<CardBlock> blocks = BlocksOfFile(*a, content);
        ASSERT_GT(blocks.size(), 6u);
        // The leading blocks, then consecutive blocks up to a signature block.
        const size_t body = row == 0 ? 0 : 3;
        EXPECT_EQ(blocks[body].number, expectedNext);
        for (size_t i = body + 1; i < blocks.size(); ++i) {
            EXPECT_EQ(blocks[i].number, blocks[i - 1].number + blocks[i - 1].sectors);
        }
        const size_t n = blocks.size();
        EXPECT_EQ(blocks[n - 1].type, 'S');
        if (row > 0) {  // named from its first transaction
            const auto t = std::find_if(blocks.begin() + 3, blocks.end(),
                                        [](const CardBlock& k) { return k.type == 'T'; });
            ASSERT_NE(t, blocks.end());
            EXPECT_EQ(path.substr(path.size() - 29, 12), CompactDateOf(t->number));
        }
        if (row + 1 < results_.ItemCount()) {
            // Cut after a closure group and named up to its closure; the next
            // part repeats the group's W and S.
            EXPECT_EQ((std::string{blocks[n - 3].type, blocks[n - 2].type}), "EW");
            EXPECT_EQ(path.substr(path.size() - 16, 12), CompactDateOf(blocks[n - 3].number));
            EXPECT_EQ(Cell(row, 2), "Success");
            expectedNext = blocks[n - 2].number;
        } else {
            EXPECT_EQ(blocks[n - 1].number, a->lastBlock);
            EXPECT_EQ(path.substr(path.size() - 16), a->endDate + ".csv");
        }
        const std::string name = path.substr(archiveFolder_.size() + 1);
        EXPECT_TRUE(FileExists(AsFolder(Join(DataFolder(), "LastArchiveBackup")) + name + ".bak"));
    }
    EXPECT_EQ(progress_.Last(), 100);
    EXPECT_TRUE(ModuleErrors().empty());
}

TEST_F(ArchiverdXTest, NoCompleteClosureGroupWithinTheMaximumSizeFails) {
    Open(Small(CardFamily::Dx, 2));
    auto a = Checked();
    ctx_->maxArchiveSize = 3000;
    int result = 11;
    EXPECT_FALSE(Archive(*a, result, nullptr));
    EXPECT_EQ(ModuleErrors(),
              std::vector<std::string>{
                  "Closure / Signature incident block number is not present.Try increasing \"Max. "
                  "file size\" in \"Settings\" menu.Create archive process failed"});
    EXPECT_EQ(results_.Cell(0, 3), GetMessageText(228));
    EXPECT_EQ(ArchiveFileCount(), 0u);
    EXPECT_EQ(a->publishState, kPublishWriting);  // left for the clean-up
    a->AbortCleanup();
    EXPECT_FALSE(FileExists(a->tempArchivePath));
}

// A cut after the last closure group leaves only incident blocks for the next
// part: there is no transaction to name it by, and the run says why it stops.
TEST_F(ArchiverdXTest, OnlyIncidentBlocksAfterTheLastClosureGroupFailWithAReason) {
    Open(Small(CardFamily::Dx, 2));
    auto a = Checked();
    int result = 11;
    ASSERT_TRUE(a->InitArchive(result, nullptr, &results_, &status_)) << LogText();
    results_.InsertRow(0, u"1");
    uint32_t lastClosure = 0;
    uint32_t incident = 0;
    for (const CardBlock& k : a->blocks) {
        if (k.type == 'E') lastClosure = k.number;
        if (k.type == 'W' && lastClosure != 0 && incident <= lastClosure) incident = k.number;
    }
    ASSERT_GT(incident, lastClosure);
    std::string completed;
    std::string next;
    EXPECT_FALSE(a->MakeSplitNames(lastClosure, incident, usage_.lastWriteIndex, completed, next, &results_));
    ASSERT_EQ(ModuleErrors().size(), 1u);
    EXPECT_NE(ModuleErrors()[0].find("Only incident blocks follow the last closure"), std::string::npos);
    EXPECT_EQ(results_.Cell(0, 3), GetMessageText(228));
}

TEST_F(ArchiverdXTest, DamagedJournalsStopTheRun) {
    struct Case {
        CardDamage damage;
        int result;
        std::vector<std::string> errors;
        std::string alsoLogged;
    };
    const std::string failed = "Create archive process failed";
    const std::vector<Case> cases = {
        {CardDamage::Payload, 2, {failed}, "Hash verification failed. Complete archive operation failed"},
        {CardDamage::Chain, 2, {failed}, "Hash verification failed. Complete archive operation failed"},
        {CardDamage::Signature, 2, {"Signature verification failed", failed}, ""},
        {CardDamage::DsVersion, 2, {failed}, "Invalid DS version found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(DamageName(c.damage));
        CardOptions options = Small(CardFamily::Dx, 3);
        options.damage = c.damage;
        Open(options);
        auto a = Checked();  // the damage is past the leading blocks
        int result = 11;
        ASSERT_TRUE(a->MakeDxArchiveName(result));
        EXPECT_FALSE(
            a->CreateArchive(a->lastBlock + 1, usage_.lastWriteIndex, 0, result, nullptr, nullptr, nullptr));
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(ModuleErrors(), c.errors);
        EXPECT_TRUE(c.alsoLogged.empty() || Logged(c.alsoLogged));
        EXPECT_EQ(ArchiveFileCount(), 0u);
        a->AbortCleanup();
    }
}

TEST_F(ArchiverdXTest, ARunFromASignatureIncidentBlockStartsWithTheLeadingBlocks) {
    Open(Small(CardFamily::Dx, 4));
    auto a = Checked();
    // From the signature incident block of the first closure group.
    const auto w = std::find_if(a->blocks.begin(), a->blocks.end(),
                                [](const CardBlock& k) { return k.type == 'W' && k.number > 6; });
    ASSERT_NE(w, a->blocks.end());
    const uint32_t start = w->number;
    a->firstBlock =
        std::find_if(w, a->blocks.end(), [](const CardBlock& k) { return k.type == 'T'; })->number;
    int result = 11;
    ASSERT_TRUE(a->InitArchive(result, nullptr, &results_, &status_));
    ASSERT_TRUE(a->WriteOriginOfTrustInfo(usage_.nextWriteIndex));
    ASSERT_TRUE(a->CreateArchive(a->lastBlock - start + 1, usage_.lastWriteIndex, start, result, nullptr,
                                 &results_, &status_))
        << LogText();
    EXPECT_EQ(ReadFile(Cell(0, 1)), LinesOf(*a, 0, 4) + LinesOf(*a, start, a->lastBlock));
}

// Sets abortRequested once the progress bar has moved.
class AbortingProgress : public test::RecordingProgress {
public:
    explicit AbortingProgress(AppContext& c) : ctx(c) {}
    void SetPos(int32_t position) override {
        if (position > 0) ctx.abortRequested = true;
    }
    AppContext& ctx;
};

TEST_F(ArchiverdXTest, AnAbortRemovesTheFileBeingWritten) {
    Open(Small(CardFamily::Dx, 2));
    auto a = Checked();
    int result = 11;
    AbortingProgress aborting(*ctx_);
    try {
        Archive(*a, result, &aborting);
        ADD_FAILURE() << "the run went on";
    } catch (const ExitRequested& exit) {
        EXPECT_EQ(exit.code, 0);
    }
    EXPECT_FALSE(FileExists(a->tempArchivePath));
    EXPECT_EQ(ArchiveFileCount(), 0u);
    EXPECT_TRUE(Logged("Application aborted"));
}

}  // namespace
}  // namespace tv
