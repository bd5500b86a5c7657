// The verifier of dX archives: reads a CSV archive line by line, rebuilds every
// block byte for byte at its offsets in the card's store, recomputes its SHA-256,
// follows the hash chain, checks the scale's signatures with the public key of
// the archive's origin of trust block and the order and numbering of the blocks.
// Standalone (verificationMode 2) the archive is checked on its own and its root
// hash is shown; against the card (verificationMode 1) its identity must be the
// card's and it must not reach beyond what the card holds.
#pragma once

#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "audit/FileAudit.h"
#include "messages/MessageTable.h"
#include "store/WormBlock.h"

namespace tv {

class CsvFieldReader;
class ProgressView;
class ResultList;

// The book-keeping values of one sector as an archive line gives them.
struct DxBookKeeping {
    uint16_t blockIndex = 0;
    char recordType = 0;
    uint32_t currentBlockNumber = 0;
    uint16_t blockCount = 0;  // transaction block count
    uint32_t previousHeader = 0;
    uint8_t bytes[17] = {};   // the sector's bytes 5 to 21 as the store holds them
    bool numberTaken = false; // the current block number became the last block number
};

class CVerifierdX {
public:
    CVerifierdX();
    ~CVerifierdX();
    CVerifierdX(const CVerifierdX&) = delete;
    CVerifierdX& operator=(const CVerifierdX&) = delete;

    // Verifies the context's input: the verifier's path (folderInput 0) or every
    // ".csv" file of the context's verificationPath (folderInput 1). The
    // verification page passes its progress bar and list; the archive writer
    // passes neither, with quiet set.
    bool VerifyArchives(ProgressView* progress, ResultList* results, bool quiet);
    // Verifies the opened file; closes it before returning.
    bool VerifyArchiveFile(ProgressView* progress, ResultList* results, bool quiet);
    bool OpenArchiveFile();
    bool CheckArchiveFile();
    // Full paths of the ".csv" files of the context's verification folder.
    bool ListArchiveFiles(std::vector<std::string>& paths);
    void ResetVerifier();
    // The card's identity and root hash, from the context's open card.
    bool ExtractSmcData(uint32_t& nextWriteIndex);
    bool CompareWithSmc(ResultList* results, bool quiet);

    // --- field readers: each reads from the current position and logs its failure ---
    bool ReadBlockLength(uint8_t lengthBytes[4], uint32_t& length);
    bool ReadIncidentLength(uint8_t lengthBytes[2], uint16_t& length);
    bool ReadBookKeeping(DxBookKeeping& values, uint16_t& lastBlockIndex);
    bool ReadPreviousHash();
    bool ReadCurrentHash();
    // The messages of one hash field and the line they are logged with.
    struct HashFieldTexts {
        int line;
        const char* readFailed;
        const char* noTerminator;
        const char* notHex;
    };
    // 64 hex digits, then the terminator: the bytes and the text of the hash.
    bool ReadHashField(const HashFieldTexts& texts, char terminator, BlockHash& bytes, char (&text)[65]);
    // Block readers: the payload (and later sectors) of the block in the block
    // buffer, whose first 22 bytes are in place.
    bool ReadOtherBlock(uint32_t paddedLength, uint32_t sectorCount);
    bool ReadOriginOfTrustBlock(uint32_t paddedLength);
    bool ReadSignatureBlock(uint32_t paddedLength);

    // --- fields ----------------------------------------------------------------------
    std::unique_ptr<CsvFieldReader> file;
    std::string path;
    BlockHash previousHash{};
    BlockHash chainedHash{};      // current hash of the block read before
    char previousHashText[65] = {};
    char currentHashText[65] = {};
    std::string archivePublicKey;
    std::string archiveSmcUid;
    std::string scaleSerialNumber;
    std::string cardPublicKey;
    std::string cardSmcUid;
    std::string cardSerialNumber;  // read only for an audit trail
    std::string rootHashText;
    std::string fiscalVersion;
    uint32_t lastBlockNumber = 0;
    int64_t fileSize = 0;
    bool fileMissing = false;
    bool logOnly = false;

private:
    // What the verification of one file keeps from block to block.
    struct FileState {
        uint32_t blockPosition = 0;  // card sectors covered by the blocks so far
        uint64_t expectedPosition = 0;
        uint32_t originBlocks = 0;
        uint32_t verifiedSignatures = 0;
        bool previousWasSignature = false;
        bool chainBreak = false;
        // The archived range may start at any block number: the first numbered
        // sector after the file's first signature block takes any number.
        bool numberJumpOpen = false;
        int longBlocks = 0;
        char firstTypes[3] = {};
        char lastLongType = 0;
        uint32_t nextWriteIndex = 0;
        size_t signatureDigits = 0;  // DER digits of the signature block being read
    };

    bool VerifyBlocks(ProgressView* progress, bool smcMode, bool quiet);
    bool VerifyLongBlock(const uint8_t lengthBytes[4], uint32_t length, bool smcMode, bool quiet);
    bool VerifyShortBlock();
    bool CheckWholeFile(bool smcMode);
    bool VerifySignature();
    void CloseFile();
    [[noreturn]] void Abort(bool quiet);

    // Reads count payload bytes to offset of the block buffer; a short read is
    // logged and the block goes on (its hash check then fails).
    void ReadPayload(size_t offset, size_t count);
    // The position entries and the Remarks cell of a failed block: with its block
    // position only, or with its block number too. ownRemark replaces message 198.
    bool FailAtPosition(int line, uint32_t position, MessageId ownRemark = 0);
    bool FailAtBlock(int line, uint32_t position, uint32_t number, MessageId ownRemark = 0);
    void SetRemark(const std::u16string& text);
    void SetRemark(MessageId id);
    void SetCell(int column, const std::u16string& text);
    int InsertRow(ResultList& results) const;

    // --- the audit trail of the context, when it has one --------------------------
    // Opens the file's record and starts hashing the file on another thread.
    void BeginAudit();
    // Closes the file's record: its hash, outcome and the verdicts not yet given.
    void EndAudit(bool opened, bool ok);
    // Which check the failure about to be reported belongs to and why it failed.
    void Blame(CheckKind check, MessageId reason) {
        blameCheck_ = check;
        blameReason_ = reason;
    }
    // A failing block: a finding (within the cap) and the check it fails.
    void NoteFailure(CheckKind check, MessageId reason, uint32_t position, bool hasNumber,
                     uint32_t number);
    // A block whose line was read whole: the continuity facts of the file.
    void NoteBlock(char type, bool numbered, uint32_t number, uint32_t position);
    // All findings: after a failing block, goes on with the next line. False
    // when the run stops there (always, without all findings).
    bool Resume(bool longForm);
    // The key the signatures are checked with: the pinned one when given.
    const std::string& SigningKey() const;
    // Standalone with a pinned key: whether the archive's key is that key.
    bool CheckPinnedKey() const;
    // The origin of trust block passed: the checks made with it.
    void NoteOriginChecked(bool smcMode);

    // What the trail notes while a file is verified.
    struct AuditState {
        bool allFindings = false;
        bool failed = false;         // a block failed; later failures only add findings
        bool fatal = false;          // the failure ends the run even with all findings
        bool notCheckable = false;   // not an archive, unsupported, or the card unreadable
        bool firstLineRead = false;  // the first line parsed up to its previous hash
        bool lineDone = false;       // the current block's line was read to its end
        bool resync = false;         // the next previous hash starts the chain anew
        bool walkedToEnd = false;    // all findings: every line was looked at
        bool readErrorNoted = false; // the file could not be read to its end, and the trail says so
        bool leadingDone = false;
        bool savedLogOnly = false;
        uint32_t pendingSectors = 0; // sectors of the block being verified
        uint64_t nextStorePosition = 0;  // where the card's store holds the next block
        // Short-form blocks that open the range after the leading blocks: their
        // positions follow from the first long-form block after them.
        bool anchored = true;
        uint32_t headSectors[FileAudit::kHeadMarks] = {};
        char blockType = 0;
        char lastDate[20] = {};
        char lastMarkDate[20] = {};  // the date of the block in last, when it has one
        BlockMark last;
        std::string pinnedKey;
        size_t findingsCap = 0;
    };

    FileState state_;
    std::vector<uint8_t> block_;  // the rebuilt block: P + 33 bytes
    ResultList* results_ = nullptr;
    int row_ = -1;
    FileAudit* audit_ = nullptr;
    AuditState auditState_;
    std::future<std::string> digest_;
    CheckKind blameCheck_ = CheckKind::kHashChain;
    MessageId blameReason_ = 604;
};

// The check of an archive file the dX writer has just finished: standalone, no
// window, nothing shown. Leaves folderInput at 0 and verificationMode at 2.
bool VerifyArchiveFileQuietly(const std::string& path);

}  // namespace tv
