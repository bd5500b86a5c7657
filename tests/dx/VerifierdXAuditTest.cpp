// What the dX verifier records for an audit trail: the checks and findings of
// each file, its continuity facts, all findings, a pinned scale key; and that
// without a trail nothing of what it shows or logs changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "audit/FileAudit.h"
#include "audit/FileDigest.h"
#include "crypto/Digest.h"
#include "dx/CsvFieldReader.h"
#include "dx/PinnedScaleKey.h"
#include "dx/VerifierdXFixture.h"

namespace tv::test {
namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Sha256Text(const std::string& content) {
    const DigestBytes digest =
        HashBuffer(reinterpret_cast<const uint8_t*>(content.data()), content.size());
    return Lower(EncodeHex(digest.data(), digest.size()));
}

BlockHash TrailerHash(const CardBlock& block, size_t at) {
    BlockHash hash{};
    std::copy_n(block.bytes.begin() + block.paddedLength + at, 32, hash.begin());
    return hash;
}

std::string DateOf(const CardBlock& block) {
    return std::string(block.bytes.begin() + 22, block.bytes.begin() + 41);
}

bool Dated(const CardBlock& block) {
    return !block.shortForm && (block.type == 'E' || block.type == 'T' || block.type == 'U');
}

Verdict VerdictOf(const FileAudit& file, CheckKind kind) {
    const CheckResult* check = file.FindCheck(kind);
    return check == nullptr ? Verdict::kNotChecked : check->verdict;
}

// Where a block's line starts in an archive of the blocks.
size_t LineStart(const std::vector<CardBlock>& blocks, size_t index) {
    size_t at = 0;
    for (size_t i = 0; i < index && i < blocks.size(); ++i) at += blocks[i].line.size();
    return at;
}

class VerifierdXAuditTest : public VerifierdXTest {
protected:
    void TearDown() override {
        GetAppContext().auditTrail = nullptr;
        VerifierdXTest::TearDown();
    }

    VerifyOutcome Audited(const std::string& path, AuditTrail& trail, char card = 0) {
        GetAppContext().auditTrail = &trail;
        VerifyOutcome outcome = Verify(path, card);
        GetAppContext().auditTrail = nullptr;
        return outcome;
    }

    static CardBlock Tampered(const CardBlock& block) {
        CardBlock changed = block;
        changed.line[60] ^= 1;
        return changed;
    }
};

TEST_F(VerifierdXAuditTest, SoundArchiveRecordsEveryCheckItsHashAndItsContinuity) {
    const std::vector<CardBlock> blocks = Card('K', SmallCard(3));
    const std::string content = JoinLines(blocks);
    const std::string whole = Archive("whole.csv", content);
    const VerifyOutcome plain = Verify(whole);

    AuditTrail trail;
    const VerifyOutcome r = Audited(whole, trail);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.rows, plain.rows);
    ASSERT_EQ(trail.files.size(), 1u);
    const FileAudit& f = trail.files[0];
    EXPECT_EQ(f.path, whole);
    EXPECT_EQ(f.family, "dX");
    EXPECT_EQ(f.outcome, FileOutcome::kVerified);
    EXPECT_EQ(f.size, static_cast<int64_t>(content.size()));
    EXPECT_EQ(f.sha256, Sha256Text(content));
    EXPECT_FALSE(f.againstCard);
    EXPECT_EQ(f.keySource, KeySource::kArchive);
    EXPECT_EQ(f.publicKey, summary_.publicKey);
    EXPECT_EQ(f.smcUid, summary_.smcUid);
    EXPECT_EQ(f.scaleSerial, summary_.scaleSerialNumber);
    EXPECT_EQ(f.rootHash, CurrentHashText(blocks[0]));
    EXPECT_TRUE(f.findings.empty());
    const std::vector<CheckKind> standalone = {CheckKind::kFileReadable, CheckKind::kPublicKey,
                                               CheckKind::kHashChain,    CheckKind::kBlockOrder,
                                               CheckKind::kSignatureBlocks, CheckKind::kRootHash};
    ASSERT_EQ(f.checks.size(), standalone.size());
    for (size_t i = 0; i < standalone.size(); ++i) {
        EXPECT_EQ(f.checks[i].kind, standalone[i]) << i;
        EXPECT_EQ(f.checks[i].verdict, Verdict::kPassed) << i;
    }
    EXPECT_EQ(ToNarrow(f.FindCheck(CheckKind::kRootHash)->detail), f.rootHash);

    // Continuity: the leading blocks end with the first signature block.
    const size_t firstSignature = FindBlock(blocks, 'S');
    EXPECT_EQ(f.leadingBlocks, firstSignature + 1);
    EXPECT_EQ(f.blockCount, blocks.size());
    ASSERT_EQ(f.head.size(), FileAudit::kHeadMarks);
    for (size_t i = 0; i < f.head.size(); ++i) {
        const CardBlock& b = blocks[firstSignature + 1 + i];
        EXPECT_EQ(f.head[i].type, b.type) << i;
        EXPECT_EQ(f.head[i].numbered, !b.shortForm) << i;
        EXPECT_EQ(f.head[i].position, b.number) << i;
        if (!b.shortForm) {
            EXPECT_EQ(f.head[i].number, b.number) << i;
        }
        EXPECT_EQ(f.head[i].previousHash, TrailerHash(b, 0)) << i;
        EXPECT_EQ(f.head[i].currentHash, TrailerHash(b, 32)) << i;
        EXPECT_EQ(f.head[i].date, Dated(b) ? DateOf(b) : std::string()) << i;
    }
    const CardBlock& last = blocks.back();
    EXPECT_EQ(f.last.type, last.type);
    EXPECT_EQ(f.last.position, last.number);
    EXPECT_EQ(f.last.currentHash, TrailerHash(last, 32));

    std::vector<const CardBlock*> numbered;
    std::vector<const CardBlock*> dated;
    for (size_t i = firstSignature + 1; i < blocks.size(); ++i) {
        if (!blocks[i].shortForm) numbered.push_back(&blocks[i]);
        if (Dated(blocks[i])) dated.push_back(&blocks[i]);
    }
    ASSERT_FALSE(numbered.empty());
    ASSERT_FALSE(dated.empty());
    EXPECT_TRUE(f.hasNumbers);
    EXPECT_EQ(f.firstNumber, numbered.front()->number);
    EXPECT_EQ(f.lastNumber, numbered.back()->number);
    EXPECT_EQ(f.firstDate, DateOf(*dated.front()));
    EXPECT_EQ(f.lastDate, DateOf(*dated.back()));
    EXPECT_EQ(f.firstDate.size(), 19u);
    EXPECT_EQ(ExitStatusOf(trail), 0);

    // A later range after the leading blocks: the marks give the card's positions.
    const size_t closure = FindBlock(blocks, 'E');
    AuditTrail split;
    EXPECT_TRUE(Audited(Archive("split.csv", JoinLines(blocks, 0, 3) + JoinLines(blocks, closure + 1)),
                        split)
                    .ok);
    const FileAudit& s = split.files[0];
    EXPECT_EQ(s.leadingBlocks, 3u);
    ASSERT_FALSE(s.head.empty());
    for (size_t i = 0; i < s.head.size(); ++i) {
        EXPECT_EQ(s.head[i].position, blocks[closure + 1 + i].number) << i;
    }
    EXPECT_EQ(s.last.position, blocks.back().number);
    EXPECT_EQ(s.blockCount, 3 + blocks.size() - closure - 1);

    // Against its card: the card's identity, and the two checks of the card.
    AuditTrail card;
    EXPECT_TRUE(Audited(whole, card, 'K').ok);
    ASSERT_EQ(card.files.size(), 1u);
    const FileAudit& c = card.files[0];
    EXPECT_TRUE(c.againstCard);
    EXPECT_EQ(c.keySource, KeySource::kCard);
    EXPECT_EQ(c.cardUid, summary_.smcUid);
    EXPECT_EQ(c.cardSerial, summary_.scaleSerialNumber);
    EXPECT_EQ(c.checks.size(), 8u);
    for (const CheckResult& check : c.checks) EXPECT_EQ(check.verdict, Verdict::kPassed);
    EXPECT_EQ(c.outcome, FileOutcome::kVerified);
}

TEST_F(VerifierdXAuditTest, ChangedBlocksGiveOneFindingEachAndTheRowOfTheFirst) {
    const std::vector<CardBlock> blocks = Card('K', SmallCard(3));
    const size_t t1 = FindBlock(blocks, 'T', FindBlock(blocks, 'S') + 1);
    const size_t t2 = FindBlock(blocks, 'T', t1 + 2);
    ASSERT_LT(t2, blocks.size());
    std::vector<CardBlock> changed = blocks;
    changed[t1] = Tampered(blocks[t1]);
    const std::string one = Archive("one.csv", JoinLines(changed));
    changed[t2] = Tampered(blocks[t2]);
    const std::string two = Archive("two.csv", JoinLines(changed));

    // Without a trail, with a trail, and with all findings, the row and the
    // result are those of the first changed block.
    const VerifyOutcome plain = Verify(one);
    char remark[64];
    std::snprintf(remark, sizeof remark, "Failed when verifying block %u (%08X)", blocks[t1].number,
                  blocks[t1].number);
    EXPECT_EQ(plain.rows, (std::vector<std::vector<std::string>>{
                              {"1", "one.csv", "Failure", remark, summary_.scaleSerialNumber,
                               summary_.smcUid}}));
    AuditTrail trail;
    const VerifyOutcome audited = Audited(one, trail);
    EXPECT_FALSE(audited.ok);
    EXPECT_EQ(audited.rows, plain.rows);
    EXPECT_EQ(audited.errors, plain.errors);
    ASSERT_EQ(trail.files.size(), 1u);
    const FileAudit& f = trail.files[0];
    EXPECT_EQ(f.outcome, FileOutcome::kIntegrityFailure);
    ASSERT_EQ(f.findings.size(), 1u);
    EXPECT_EQ(f.findings[0].position, blocks[t1].number);
    EXPECT_TRUE(f.findings[0].hasNumber);
    EXPECT_EQ(f.findings[0].number, blocks[t1].number);
    EXPECT_EQ(ToNarrow(f.findings[0].reason), "Hash of the block does not match");
    EXPECT_EQ(VerdictOf(f, CheckKind::kFileReadable), Verdict::kPassed);
    EXPECT_EQ(VerdictOf(f, CheckKind::kPublicKey), Verdict::kPassed);
    EXPECT_EQ(VerdictOf(f, CheckKind::kHashChain), Verdict::kFailed);
    EXPECT_EQ(VerdictOf(f, CheckKind::kSignatureBlocks), Verdict::kNotChecked);
    EXPECT_EQ(ExitStatusOf(trail), 1);

    AuditTrail all;
    all.options.allFindings = true;
    const VerifyOutcome walked = Audited(two, all);
    const VerifyOutcome firstOnly = Verify(two);
    EXPECT_FALSE(walked.ok);
    EXPECT_EQ(walked.rows, firstOnly.rows);
    ASSERT_EQ(all.files.size(), 1u);
    const FileAudit& w = all.files[0];
    ASSERT_EQ(w.findings.size(), 2u);
    EXPECT_EQ(w.findings[0].position, blocks[t1].number);
    EXPECT_EQ(w.findings[1].position, blocks[t2].number);
    EXPECT_EQ(w.findingsNotListed, 0u);
    // The rest of the file was looked at and holds.
    EXPECT_EQ(VerdictOf(w, CheckKind::kHashChain), Verdict::kFailed);
    EXPECT_EQ(VerdictOf(w, CheckKind::kBlockOrder), Verdict::kPassed);
    EXPECT_EQ(VerdictOf(w, CheckKind::kSignatureBlocks), Verdict::kPassed);
    EXPECT_EQ(w.blockCount, blocks.size() - 2);

    AuditTrail capped;
    capped.options.allFindings = true;
    capped.options.findingsCap = 1;
    Audited(two, capped);
    ASSERT_EQ(capped.files[0].findings.size(), 1u);
    EXPECT_EQ(capped.files[0].findingsNotListed, 1u);

    // A line that cannot be read to its end: the rest of it is skipped, the chain
    // and the numbers taken up again with the next line, the signatures still verify.
    changed = blocks;
    ASSERT_EQ(changed[t1].line[18], '|');
    changed[t1].line[26] = 'G';  // the current block number's last digit
    AuditTrail unreadable;
    unreadable.options.allFindings = true;
    Audited(Archive("unreadable.csv", JoinLines(changed)), unreadable);
    const FileAudit& u = unreadable.files[0];
    ASSERT_EQ(u.findings.size(), 1u);
    EXPECT_EQ(u.findings[0].position, blocks[t1].number);
    EXPECT_EQ(ToNarrow(u.findings[0].reason), "Block cannot be read");
    EXPECT_EQ(VerdictOf(u, CheckKind::kSignatureBlocks), Verdict::kPassed);
}

TEST_F(VerifierdXAuditTest, MissingAndForeignFilesAreNotChecked) {
    const std::vector<CardBlock> blocks = Card('K', SmallCard(2));
    AuditTrail trail;
    const std::string missing = TempPath("missing.csv");
    const VerifyOutcome gone = Audited(missing, trail);
    EXPECT_FALSE(gone.ok);
    EXPECT_EQ(gone.rows[0][3], "File not found.");
    const std::string text = "Date;Article;Prix\n2016-01-05;POMMES;2.40\n";
    Audited(Archive("notes.csv", text), trail);
    ASSERT_EQ(trail.files.size(), 2u);

    const FileAudit& m = trail.files[0];
    EXPECT_EQ(m.outcome, FileOutcome::kNotChecked);
    EXPECT_EQ(m.size, -1);
    EXPECT_TRUE(m.sha256.empty());
    EXPECT_EQ(VerdictOf(m, CheckKind::kFileReadable), Verdict::kFailed);
    EXPECT_EQ(ToNarrow(m.FindCheck(CheckKind::kFileReadable)->detail), "File not found.");
    EXPECT_EQ(VerdictOf(m, CheckKind::kHashChain), Verdict::kNotChecked);

    const FileAudit& n = trail.files[1];
    EXPECT_EQ(n.outcome, FileOutcome::kNotChecked);
    EXPECT_EQ(n.size, static_cast<int64_t>(text.size()));
    EXPECT_EQ(n.sha256, Sha256Text(text));
    EXPECT_EQ(VerdictOf(n, CheckKind::kFileReadable), Verdict::kFailed);
    ASSERT_EQ(n.findings.size(), 1u);
    EXPECT_EQ(ToNarrow(n.findings[0].reason), "Not a dX archive");
    EXPECT_EQ(ExitStatusOf(trail), 2);

    // A sound file beside them does not hide them; a changed one outweighs them.
    Audited(Archive("whole.csv", JoinLines(blocks)), trail);
    EXPECT_EQ(trail.files.back().outcome, FileOutcome::kVerified);
    EXPECT_EQ(ExitStatusOf(trail), 2);
    std::vector<CardBlock> changed = blocks;
    const size_t t = FindBlock(blocks, 'T');
    changed[t] = Tampered(blocks[t]);
    Audited(Archive("changed.csv", JoinLines(changed)), trail);
    EXPECT_EQ(ExitStatusOf(trail), 1);
    EXPECT_EQ(ExitStatusOf(AuditTrail{}), 2);
}

TEST_F(VerifierdXAuditTest, FolderGivesOneRecordPerFileInTheOrderChecked) {
    const std::vector<CardBlock> blocks = Card('K', SmallCard(2));
    std::vector<CardBlock> changed = blocks;
    const size_t t = FindBlock(blocks, 'T');
    changed[t] = Tampered(blocks[t]);
    const std::string folder = TempPath("archives");
    std::filesystem::create_directories(folder);
    WriteFile(Join(folder, "a.csv"), JoinLines(blocks));
    WriteFile(Join(folder, "b.csv"), JoinLines(changed));
    WriteFile(Join(folder, "c.csv"), "");

    AuditTrail trail;
    GetAppContext().auditTrail = &trail;
    const VerifyOutcome r = Verify(folder, 0, true);
    GetAppContext().auditTrail = nullptr;
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(trail.files.size(), 3u);
    EXPECT_EQ(trail.files[0].outcome, FileOutcome::kVerified);
    EXPECT_EQ(trail.files[1].outcome, FileOutcome::kIntegrityFailure);
    EXPECT_EQ(trail.files[2].outcome, FileOutcome::kNotChecked);
    EXPECT_EQ(trail.files[2].size, 0);
    EXPECT_EQ(trail.files[0].sha256, Sha256Text(JoinLines(blocks)));
    EXPECT_EQ(ExitStatusOf(trail), 1);
}

TEST_F(VerifierdXAuditTest, PinnedKeyMustBeTheArchivesAndCardMustBeTheRightOne) {
    const std::vector<CardBlock> blocks = Card('K', SmallCard(2));
    const std::string whole = Archive("whole.csv", JoinLines(blocks));
    const std::string ownKey = summary_.publicKey;
    CardOptions other = SmallCard(2);
    other.seed = 77;
    Card('L', other);
    const std::string otherKey = summary_.publicKey;
    ASSERT_NE(ownKey, otherKey);

    AuditTrail right;
    right.options.pinnedKey = Lower(ownKey);
    const VerifyOutcome ok = Audited(whole, right);
    EXPECT_TRUE(ok.ok);
    EXPECT_EQ(right.files[0].keySource, KeySource::kPinned);
    EXPECT_EQ(right.files[0].publicKey, ownKey);
    EXPECT_EQ(right.files[0].outcome, FileOutcome::kVerified);

    AuditTrail wrong;
    wrong.options.pinnedKey = otherKey;
    const VerifyOutcome bad = Audited(whole, wrong);
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.rows[0][2], "Failure");
    EXPECT_EQ(bad.rows[0][3], "First block data not integral");
    const FileAudit& w = wrong.files[0];
    EXPECT_EQ(w.outcome, FileOutcome::kIntegrityFailure);
    EXPECT_EQ(VerdictOf(w, CheckKind::kPublicKey), Verdict::kFailed);
    ASSERT_EQ(w.findings.size(), 1u);
    EXPECT_EQ(ToNarrow(w.findings[0].reason), "Public key is not the pinned scale key");
    EXPECT_EQ(ExitStatusOf(wrong), 1);

    // Against another card: the archive is not that card's.
    AuditTrail card;
    const VerifyOutcome foreign = Audited(whole, card, 'L');
    EXPECT_EQ(foreign.rows[0][3], "Incorrect Secure Memory Card");
    const FileAudit& c = card.files[0];
    EXPECT_EQ(c.outcome, FileOutcome::kIntegrityFailure);
    EXPECT_EQ(c.cardUid, summary_.smcUid);
    EXPECT_EQ(VerdictOf(c, CheckKind::kUniqueId), Verdict::kFailed);
    ASSERT_EQ(c.findings.size(), 1u);
    EXPECT_EQ(ToNarrow(c.findings[0].reason), "Archive belongs to another card");
    EXPECT_EQ(ExitStatusOf(card), 1);
}

// A disk that fails to give the file's bytes from some spot on: the file could
// not be checked, which is not the same as a file shown to be changed.
TEST_F(VerifierdXAuditTest, ReadErrorLeavesTheFileUncheckedAndItsRowAsItWas) {
    const std::vector<CardBlock> blocks = Card('K', SmallCard(3));
    const std::string content = JoinLines(blocks);
    const std::string path = Archive("worn.csv", content);
    const size_t t = FindBlock(blocks, 'T', FindBlock(blocks, 'S') + 1);
    ASSERT_LT(t, blocks.size());
    platform_->InjectReadFault(kErrReadFault, "worn.csv", static_cast<int64_t>(LineStart(blocks, t) + 40));

    const VerifyOutcome plain = Verify(path);
    EXPECT_FALSE(plain.ok);
    ASSERT_EQ(plain.rows.size(), 1u);
    EXPECT_EQ(plain.rows[0][2], "Failure");
    AuditTrail trail;
    const VerifyOutcome audited = Audited(path, trail);
    EXPECT_FALSE(audited.ok);
    EXPECT_EQ(audited.rows, plain.rows);
    EXPECT_EQ(audited.errors, plain.errors);
    ASSERT_EQ(trail.files.size(), 1u);
    const FileAudit& f = trail.files[0];
    EXPECT_EQ(f.outcome, FileOutcome::kNotChecked);
    EXPECT_EQ(VerdictOf(f, CheckKind::kFileReadable), Verdict::kFailed);
    EXPECT_EQ(VerdictOf(f, CheckKind::kHashChain), Verdict::kNotChecked);
    EXPECT_EQ(VerdictOf(f, CheckKind::kBlockOrder), Verdict::kNotChecked);
    ASSERT_EQ(f.findings.size(), 1u);
    EXPECT_EQ(f.findings[0].position, blocks[t].number);
    EXPECT_EQ(ToNarrow(f.findings[0].reason), "File could not be read to its end (read error)");
    EXPECT_EQ(f.size, static_cast<int64_t>(content.size()));
    EXPECT_TRUE(f.sha256.empty());  // the file's hash could not be worked out either
    EXPECT_EQ(ExitStatusOf(trail), 2);

    // All findings end there too: nothing further can be read.
    AuditTrail all;
    all.options.allFindings = true;
    EXPECT_EQ(Audited(path, all).rows, plain.rows);
    EXPECT_EQ(all.files[0].outcome, FileOutcome::kNotChecked);
    EXPECT_EQ(all.files[0].findings.size(), 1u);
    EXPECT_EQ(VerdictOf(all.files[0], CheckKind::kSignatureBlocks), Verdict::kNotChecked);

    // Unreadable from its first byte: unreadable, not "not a dX archive"; and
    // against the card the same.
    platform_->ClearFaults();
    platform_->InjectReadFault(kErrReadFault, "worn.csv", 0);
    AuditTrail first;
    EXPECT_FALSE(Audited(path, first).ok);
    ASSERT_EQ(first.files[0].findings.size(), 1u);
    EXPECT_EQ(ToNarrow(first.files[0].findings[0].reason), "File could not be read to its end (read error)");
    EXPECT_EQ(first.files[0].outcome, FileOutcome::kNotChecked);
    AuditTrail card;
    EXPECT_FALSE(Audited(path, card, 'K').ok);
    EXPECT_EQ(card.files[0].outcome, FileOutcome::kNotChecked);
    EXPECT_EQ(VerdictOf(card.files[0], CheckKind::kFileReadable), Verdict::kFailed);
    EXPECT_EQ(ExitStatusOf(card), 2);

    // A larger archive whose bad spot lies beyond the first of the reader's buffers.
    const std::vector<CardBlock> many = Card('L', SmallCard(60));
    size_t beyond = 0;
    while (beyond < many.size() && LineStart(many, beyond) <= CsvFieldReader::kBufferSize + 1000) ++beyond;
    ASSERT_LT(beyond, many.size());
    const std::string large = Archive("large.csv", JoinLines(many));
    platform_->InjectReadFault(kErrReadFault, "large.csv", static_cast<int64_t>(LineStart(many, beyond) + 30));
    AuditTrail far;
    EXPECT_FALSE(Audited(large, far).ok);
    ASSERT_EQ(far.files[0].findings.size(), 1u);
    EXPECT_EQ(far.files[0].findings[0].position, many[beyond].number);
    EXPECT_EQ(far.files[0].outcome, FileOutcome::kNotChecked);
    EXPECT_GT(far.files[0].blockCount, 0u);
}

TEST_F(VerifierdXAuditTest, BlockChangedBeforeTheReadErrorStaysAnIntegrityFailure) {
    const std::vector<CardBlock> blocks = Card('K', SmallCard(3));
    const size_t t1 = FindBlock(blocks, 'T', FindBlock(blocks, 'S') + 1);
    const size_t t2 = FindBlock(blocks, 'T', t1 + 2);
    ASSERT_LT(t2, blocks.size());
    std::vector<CardBlock> changed = blocks;
    changed[t1] = Tampered(blocks[t1]);
    const std::string path = Archive("worn.csv", JoinLines(changed));
    platform_->InjectReadFault(kErrReadFault, "worn.csv", static_cast<int64_t>(LineStart(changed, t2) + 40));

    AuditTrail trail;
    const VerifyOutcome first = Audited(path, trail);
    EXPECT_FALSE(first.ok);
    const FileAudit& f = trail.files[0];
    EXPECT_EQ(f.outcome, FileOutcome::kIntegrityFailure);
    ASSERT_EQ(f.findings.size(), 1u);
    EXPECT_EQ(ToNarrow(f.findings[0].reason), "Hash of the block does not match");
    EXPECT_EQ(VerdictOf(f, CheckKind::kFileReadable), Verdict::kPassed);
    EXPECT_EQ(ExitStatusOf(trail), 1);

    // All findings go on to the read error: it is listed, and the checks the
    // walk did not finish are not shown passed.
    AuditTrail all;
    all.options.allFindings = true;
    EXPECT_EQ(Audited(path, all).rows, first.rows);
    const FileAudit& w = all.files[0];
    EXPECT_EQ(w.outcome, FileOutcome::kIntegrityFailure);
    ASSERT_EQ(w.findings.size(), 2u);
    EXPECT_EQ(w.findings[0].position, blocks[t1].number);
    EXPECT_EQ(w.findings[1].position, blocks[t2].number);
    EXPECT_EQ(ToNarrow(w.findings[1].reason), "File could not be read to its end (read error)");
    EXPECT_EQ(VerdictOf(w, CheckKind::kFileReadable), Verdict::kFailed);
    EXPECT_EQ(VerdictOf(w, CheckKind::kHashChain), Verdict::kFailed);
    EXPECT_EQ(VerdictOf(w, CheckKind::kBlockOrder), Verdict::kNotChecked);
    EXPECT_EQ(VerdictOf(w, CheckKind::kSignatureBlocks), Verdict::kNotChecked);
    EXPECT_EQ(ExitStatusOf(all), 1);

    // The read error met while the rest of a changed line is skipped.
    changed = blocks;
    changed[t1].line[26] = 'G';  // the current block number's last digit
    const std::string skipped = Archive("skipped.csv", JoinLines(changed));
    platform_->InjectReadFault(kErrReadFault, "skipped.csv", static_cast<int64_t>(LineStart(changed, t1) + 100));
    AuditTrail walk;
    walk.options.allFindings = true;
    Audited(skipped, walk);
    const FileAudit& k = walk.files[0];
    EXPECT_EQ(k.outcome, FileOutcome::kIntegrityFailure);
    ASSERT_EQ(k.findings.size(), 2u);
    EXPECT_EQ(ToNarrow(k.findings[0].reason), "Block cannot be read");
    EXPECT_EQ(ToNarrow(k.findings[1].reason), "File could not be read to its end (read error)");
    EXPECT_EQ(VerdictOf(k, CheckKind::kSignatureBlocks), Verdict::kNotChecked);
}

// The lines read up to a read error between two lines may hold together as an
// archive of their own: the file is still not verified, for the lines are read
// up to the file's size, not up to the first read that gives nothing.
TEST_F(VerifierdXAuditTest, ReadErrorBetweenLinesIsNoVerifiedArchive) {
    std::vector<CardBlock> blocks = Card('K', SmallCard(4));
    // A signature block after the third, not the last block: the lines up to it
    // pass every check of a whole archive.
    size_t cut = 0;
    for (size_t i = 0, signatures = 0; i + 1 < blocks.size(); ++i) {
        if (!blocks[i].shortForm && blocks[i].type == 'S' && ++signatures >= 3) {
            cut = i + 1;
            break;
        }
    }
    ASSERT_NE(cut, 0u);
    const std::vector<CardBlock> head(blocks.begin(), blocks.begin() + static_cast<std::ptrdiff_t>(cut));
    ASSERT_TRUE(Verify(Archive("head.csv", JoinLines(head))).ok);

    const std::string path = Archive("worn.csv", JoinLines(blocks));
    platform_->InjectReadFault(kErrReadFault, "worn.csv", static_cast<int64_t>(LineStart(blocks, cut)));
    for (const char card : {'\0', 'K'}) {
        AuditTrail trail;
        const VerifyOutcome r = Audited(path, trail, card);
        EXPECT_FALSE(r.ok) << card;
        ASSERT_EQ(r.rows.size(), 1u);
        EXPECT_EQ(r.rows[0][2], "Failure");
        char remark[64];
        std::snprintf(remark, sizeof remark, "Failed when verifying block %u", blocks[cut].number);
        EXPECT_EQ(r.rows[0][3], remark);
        EXPECT_TRUE(Contains(r.errors, "Reading block length failed"));
        const FileAudit& f = trail.files[0];
        EXPECT_EQ(f.outcome, FileOutcome::kNotChecked);
        EXPECT_EQ(VerdictOf(f, CheckKind::kFileReadable), Verdict::kFailed);
        ASSERT_EQ(f.findings.size(), 1u);
        EXPECT_EQ(f.findings[0].position, blocks[cut].number);
        EXPECT_EQ(ExitStatusOf(trail), 2);
        // Without a trail the same.
        EXPECT_EQ(Verify(path, card).rows, r.rows);
    }
}

TEST_F(VerifierdXAuditTest, FileDigestsAndPinnedKeysFromTextOrFile) {
    const std::string abc = Archive("abc.bin", "abc");
    EXPECT_EQ(Sha256OfFile(abc),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    std::string large(200 * 1024 + 17, 'x');
    for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 7);
    const std::string big = Archive("big.bin", large);
    EXPECT_EQ(Sha256OfFileInBackground(big).get(), Sha256Text(large));
    EXPECT_EQ(Sha256OfFile(Archive("empty.bin", "")), Sha256Text(""));
    EXPECT_TRUE(Sha256OfFile(TempPath("none.bin")).empty());

    const std::string key = "04" + std::string(264, 'a');
    std::string loaded;
    std::string error;
    EXPECT_TRUE(LoadPinnedScaleKey(key, loaded, error)) << error;
    EXPECT_EQ(loaded, "04" + std::string(264, 'A'));
    EXPECT_TRUE(LoadPinnedScaleKey(Archive("scale.key", "  " + key + "\r\n"), loaded, error)) << error;
    EXPECT_EQ(loaded, "04" + std::string(264, 'A'));
    for (const std::string& badKey : {key.substr(1), "05" + key.substr(2), key.substr(0, 265) + "g",
                                      std::string()}) {
        EXPECT_FALSE(LoadPinnedScaleKey(badKey, loaded, error)) << badKey;
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(loaded.empty());
    }
    EXPECT_FALSE(LoadPinnedScaleKey(Archive("short.key", "04AB\n"), loaded, error));
    EXPECT_NE(error.find("266"), std::string::npos) << error;
    EXPECT_FALSE(LoadPinnedScaleKey(TempPath("nokey.txt"), loaded, error));
}

}  // namespace
}  // namespace tv::test
