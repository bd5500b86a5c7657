#include "dx/VerifierdX.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "app/AppContext.h"
#include "crypto/Digest.h"
#include "crypto/Signature.h"
#include "dx/CsvFieldReader.h"
#include "dx/DerHexSignature.h"
#include "dx/DxLineFormat.h"
#include "dx/HexDigits.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "platform/PrintfFormat.h"
#include "platform/Text.h"
#include "smc/SmcAccess.h"
#include "store/BlockDecoder.h"
#include "store/StoreText.h"

namespace tv {

namespace {

constexpr int kModule = kModVerifierDx;
constexpr size_t kSector = 512;
constexpr size_t kHeader = 22;                        // sector header before the payload
constexpr size_t kSectorPayload = kSector - kHeader;  // 490
// The bytes of a later sector that the line carries before its book-keeping values.
constexpr size_t kLaterSectorBytes = 5;
constexpr size_t kOriginThirdPayload = 2 * kSector + kHeader;  // 1046
constexpr size_t kSignatureHeaderDigits = 6;
constexpr size_t kIncidentSeparators = 32;
constexpr uint64_t kLongLineOverhead = 134;   // + P + 16 N: a well-formed long-form line
constexpr uint64_t kShortLineOverhead = 171;  // + P': a well-formed short-form line
constexpr uint32_t kMaxTransactionSize = 65535;
constexpr uint32_t kMinNextWriteIndex = 10;
constexpr char kFiscalVersion[] = "01.00";

TV_PRINTF_LIKE(3, 4) void Log(int line, int level, const char* format, ...) {
    char message[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    LogFile::Instance().Write(kModule, line, level, message);
}

bool Error(int line, const char* message) {
    LogFile::Instance().Write(kModule, line, kLogError, message);
    return false;
}

bool EndsWithCsv(const std::string& path) {
    if (path.size() < 4) return false;
    return EqualsNoCase(ToUtf16(path.substr(path.size() - 4)), u".csv");
}

std::string FileNameOf(const std::string& path) { return Sys().FileName(path); }

bool IsOtherBlockType(char type) {
    return type == 'E' || type == 'H' || type == 'T' || type == 'U';
}

}  // namespace

CVerifierdX::CVerifierdX() = default;
CVerifierdX::~CVerifierdX() = default;

void CVerifierdX::CloseFile() {
    file.reset();
}

void CVerifierdX::ResetVerifier() {
    CloseFile();
    path.clear();
    previousHash.fill(0);
    chainedHash.fill(0);
    std::memset(previousHashText, 0, sizeof previousHashText);
    std::memset(currentHashText, 0, sizeof currentHashText);
    archivePublicKey.clear();
    archiveSmcUid.clear();
    scaleSerialNumber.clear();
    cardPublicKey.clear();
    cardSmcUid.clear();
    rootHashText.clear();
    fiscalVersion.clear();
    lastBlockNumber = 0;
    fileSize = 0;
    fileMissing = false;
    logOnly = false;
}

// --- input ---------------------------------------------------------------------------

bool CVerifierdX::CheckArchiveFile() {
    if (path.empty()) {
        TV_LOG_INFO(kModule, "File path is empty");
        return false;
    }
    if (!EndsWithCsv(path)) {
        TV_LOG_INFO(kModule, "File is not of extension csv");
        return false;
    }
    uint32_t attributes = 0;
    if (!Sys().GetAttributes(path, attributes) || (attributes & kAttrDirectory) != 0) {
        TV_LOG_INFO(kModule, "File not found");
        fileMissing = true;
        return false;
    }
    return true;
}

bool CVerifierdX::OpenArchiveFile() {
    if (!CheckArchiveFile()) {
        TV_LOG_ERROR(kModule, "File Verification failed");
        return false;
    }
    Platform& p = Sys();
    std::unique_ptr<File> opened = p.OpenFile(path, OpenMode::Read);
    if (!opened) {
        Log(__LINE__, kLogError, "File open failed(E %d)", p.LastError());
        return false;
    }
    int64_t size = -1;
    if (opened->SeekEnd()) size = opened->Tell();
    if (size < 0 || !opened->Seek(0)) {
        Log(__LINE__, kLogError, "File open failed(E %d)", p.LastError());
        return false;
    }
    fileSize = size;
    file = std::make_unique<CsvFieldReader>(std::move(opened));
    return true;
}

bool CVerifierdX::ListArchiveFiles(std::vector<std::string>& paths) {
    paths.clear();
    Platform& p = Sys();
    const std::string& folder = GetAppContext().verificationPath;
    std::vector<DirEntry> entries;
    if (!p.ListFolder(folder, "*", entries)) return false;
    for (const DirEntry& entry : entries) {
        if (entry.name.empty() || entry.name[0] == '.' || entry.isDirectory) continue;
        if (EndsWithCsv(entry.name)) paths.push_back(p.JoinPath(folder, entry.name));
    }
    // Archives are named after the time of their first and last block: in name
    // order they come oldest first, whatever order the file system keeps.
    std::sort(paths.begin(), paths.end());
    return true;
}

// --- the run -------------------------------------------------------------------------

int CVerifierdX::InsertRow(ResultList& results) const {
    const int row =
        results.InsertRow(results.ItemCount(), ToUtf16(std::to_string(results.ItemCount() + 1)));
    results.SetCell(row, 1, ToUtf16(FileNameOf(path)));
    return row;
}

bool CVerifierdX::VerifyArchives(ProgressView* progress, ResultList* results, bool quiet) {
    if (!quiet && (progress == nullptr || results == nullptr)) {
        TV_LOG_ERROR(kModule, "Invalid input parameters");
        return false;
    }
    AppContext& ctx = GetAppContext();
    const bool standalone = ctx.verificationMode == 2;
    ResultList* list = quiet ? nullptr : results;
    TV_LOG_INFO(kModule, "Verification operation started");

    if (ctx.folderInput == 0) {
        TV_LOG_INFO(kModule, "Verification type: File Verification");
        TV_LOG_INFO(kModule,
                    standalone ? "Verification Mode: Standalone" : "Verification Mode: SMC");
        // Nothing of an earlier run carries over to this file.
        const std::string keptPath = path;
        ResetVerifier();
        path = keptPath;
        TV_LOG_INFO(kModule, "Filename: " + path);
        BeginAudit();
        if (!OpenArchiveFile()) {
            TV_LOG_ERROR(kModule, "Verification failed");
            if (list != nullptr) {
                const int row = InsertRow(*list);
                SetResultCell(list, 2, 197, row);
                SetResultCell(list, 3, fileMissing ? 177 : 209, row);
            }
            EndAudit(false, false);
            fileMissing = false;
            return false;
        }
        const bool verified = VerifyArchiveFile(progress, list, quiet);
        EndAudit(true, verified);
        if (verified) {
            TV_LOG_INFO(kModule, "Verification success");
            if (list != nullptr) {
                SetResultCell(list, 2, 196, row_);
                if (standalone) list->SetCell(row_, 3, GetMessageText(168) + ToUtf16(rootHashText));
            }
            return true;
        }
        TV_LOG_ERROR(kModule, "Verification failed");
        if (list != nullptr) {
            SetResultCell(list, 2, 197, row_);
            if (logOnly) SetResultCell(list, 3, 209, row_);
        }
        return false;
    }

    TV_LOG_INFO(kModule, "Verification type: Folder verification");
    TV_LOG_INFO(kModule, standalone ? "Verification Mode: Standalone" : "Verification Mode: SMC");
    std::vector<std::string> paths;
    if (!ListArchiveFiles(paths) || paths.empty()) {
        TV_LOG_ERROR(kModule, "Verification failed");
        return false;
    }
    const size_t count = paths.size();
    int32_t step = static_cast<int32_t>(100 / count);
    size_t skip = 0;
    if (step == 0) {
        step = 1;
        skip = count / 100 + 1;
    }
    bool anyFailed = false;
    size_t openedSinceStep = 0;
    int32_t position = 0;
    for (size_t i = 0; i < count; ++i) {
        ResetVerifier();
        path = paths[i];
        TV_LOG_INFO(kModule, "Filename: " + path);
        BeginAudit();
        if (!OpenArchiveFile()) {
            TV_LOG_ERROR(kModule, "Verification failed");
            if (list != nullptr) {
                const int row = InsertRow(*list);
                SetResultCell(list, 2, 197, row);
                SetResultCell(list, 3, fileMissing ? 177 : 209, row);
            }
            EndAudit(false, false);
            fileMissing = false;
            anyFailed = true;
            continue;
        }
        const bool verified = VerifyArchiveFile(progress, list, false);
        EndAudit(true, verified);
        if (verified) {
            SetResultCell(list, 2, 196, row_);
            if (standalone && list != nullptr) {
                list->SetCell(row_, 3, GetMessageText(168) + ToUtf16(rootHashText));
            }
            TV_LOG_INFO(kModule, "Verification success");
        } else {
            TV_LOG_ERROR(kModule, "Verification failed");
            SetResultCell(list, 2, 197, row_);
            if (logOnly) SetResultCell(list, 3, 209, row_);
            anyFailed = true;
        }
        if (progress != nullptr) {
            if (skip == 0) {
                position = static_cast<int32_t>(i + 1) * step;
                progress->SetPos(position);
            } else if (++openedSinceStep == skip) {
                openedSinceStep = 0;
                progress->SetPos(++position);
            }
        }
    }
    if (progress != nullptr) progress->SetPos(100);
    if (anyFailed) return false;
    TV_LOG_INFO(kModule, "Verification operation finished");
    return true;
}

bool CVerifierdX::VerifyArchiveFile(ProgressView* progress, ResultList* results, bool quiet) {
    state_ = FileState{};
    logOnly = false;
    if (audit_ == nullptr) auditState_ = AuditState{};
    results_ = nullptr;
    row_ = -1;
    if (!quiet && (progress == nullptr || results == nullptr)) {
        CloseFile();
        TV_LOG_ERROR(kModule, "Invalid input parameters");
        logOnly = true;
        return false;
    }
    if (!quiet) {
        results_ = results;
        row_ = InsertRow(*results);
    }
    const bool smcMode = GetAppContext().verificationMode != 2;
    bool ok = false;
    if (smcMode && !ExtractSmcData(state_.nextWriteIndex)) {
        logOnly = true;
        NoteFailure(CheckKind::kUniqueId, 614, 0, false, 0);
    } else {
        const bool blocks = VerifyBlocks(progress, smcMode, quiet);
        ok = blocks && CheckWholeFile(smcMode);
        // All findings: the order of the whole file is looked at as well.
        if (!blocks && auditState_.walkedToEnd) CheckWholeFile(smcMode);
    }
    // With all findings the row tells of the first failure, whatever came after it.
    if (auditState_.allFindings && auditState_.failed) logOnly = auditState_.savedLogOnly;
    CloseFile();
    // A block of unusual size leaves no large buffer behind.
    if (block_.capacity() > 16 * kSector) std::vector<uint8_t>().swap(block_);
    return ok;
}

void CVerifierdX::Abort(bool quiet) {
    CloseFile();
    AppContext& ctx = GetAppContext();
    if (quiet) {
        if (ctx.currentArchiver && ctx.abortCleanup != nullptr) {
            ctx.abortCleanup(ctx);
        } else {
            TV_LOG_ERROR(kModCore, "Archive element not found");
        }
    }
    AbortApplication();
}

bool CVerifierdX::VerifyBlocks(ProgressView* progress, bool smcMode, bool quiet) {
    AppContext& ctx = GetAppContext();
    const bool showProgress = !quiet && ctx.folderInput == 0 && progress != nullptr;
    int32_t shown = -1;
    while (!file->AtEnd()) {
        Ui().Pump();
        if (ctx.abortRequested) Abort(quiet);
        if (fileSize == 0) {
            TV_LOG_ERROR(kModule, "Zero file size");
            logOnly = true;
            NoteFailure(CheckKind::kFileReadable, 613, 0, false, 0);
            return false;
        }
        if (file->Position() >= fileSize) break;
        if (state_.previousWasSignature && state_.verifiedSignatures == 1) {
            chainedHash.fill(0);
            state_.chainBreak = true;
        }
        uint8_t lengthBytes[4] = {};
        uint32_t length = 0;
        if (!ReadBlockLength(lengthBytes, length))
            return FailAtPosition(__LINE__, state_.blockPosition);
        char type = 0;
        const bool verified =
            length != 0 ? VerifyLongBlock(lengthBytes, length, smcMode, quiet) : VerifyShortBlock();
        if (verified) {
            type = static_cast<char>(length != 0 ? block_[8] : block_[6]);
        } else {
            if (!Resume(length != 0)) return false;
            type = auditState_.blockType;
        }
        if (state_.previousWasSignature && state_.chainBreak) state_.chainBreak = false;
        // Only a long-form signature block opens the one break of the chain: a
        // short-form block carrying the letter S is an incident, not a signature.
        state_.previousWasSignature = length != 0 && type == 'S';
        if (showProgress) {
            const auto percent = static_cast<int32_t>(file->Position() * 100 / fileSize);
            if (percent != shown) {
                shown = percent;
                progress->SetPos(percent);
            }
        }
    }
    if (auditState_.failed) {
        // All findings: a read error ends the walk short of the end of the file.
        auditState_.walkedToEnd = !file->ReadFailed();
        if (file->ReadFailed()) NoteFailure(CheckKind::kFileReadable, 616, state_.blockPosition, false, 0);
        return false;
    }
    return true;
}

bool CVerifierdX::VerifyLongBlock(const uint8_t lengthBytes[4], uint32_t length, bool smcMode,
                                  bool quiet) {
    const uint32_t position = state_.blockPosition;
    const uint32_t numberBefore = lastBlockNumber;
    if (audit_ != nullptr) {
        auditState_.lineDone = false;
        auditState_.blockType = 0;
        auditState_.pendingSectors = static_cast<uint32_t>(
            std::min<uint64_t>(SectorCountFor(LongFormPaddedLength(length)), UINT32_MAX));
    }
    DxBookKeeping values;
    uint16_t lastIndex = 0;
    if (!ReadBookKeeping(values, lastIndex)) {
        return FailAtBlock(__LINE__, position,
                           values.numberTaken ? lastBlockNumber : numberBefore + 1);
    }
    const char type = values.recordType;
    auditState_.blockType = type;
    if (state_.longBlocks < 3) state_.firstTypes[state_.longBlocks] = type;
    ++state_.longBlocks;
    state_.lastLongType = type;

    const uint32_t number = values.currentBlockNumber;
    const uint64_t padded = LongFormPaddedLength(length);
    const uint64_t sectors = SectorCountFor(padded);
    if (sectors != values.blockCount) {
        TV_LOG_ERROR(
            kModule,
            "Transaction block count in book keeping value and count calculated from block "
            "length is not same");
        return FailAtBlock(__LINE__, position, number, 186);
    }
    const uint64_t spelled = IsOtherBlockType(type) ? DxOtherLineSectors(padded) : sectors;
    state_.expectedPosition += padded + 16 * spelled + kLongLineOverhead;
    if (state_.expectedPosition > static_cast<uint64_t>(fileSize)) {
        TV_LOG_ERROR(kModule, "Data position calculated based on length excceds maximum file size");
        Blame(CheckKind::kHashChain, 605);
        auditState_.fatal = true;
        return FailAtBlock(__LINE__, position, number, 186);
    }
    // Both now fit in 32 bits: the sector count is a 16-bit field and the line fits the file.
    const auto p = static_cast<uint32_t>(padded);
    const auto n = static_cast<uint32_t>(sectors);
    block_.assign(static_cast<size_t>(p) + 33, 0);
    std::memcpy(block_.data(), lengthBytes, 4);
    block_[4] = ';';
    std::memcpy(block_.data() + 5, values.bytes, sizeof values.bytes);

    bool read = false;
    if (IsOtherBlockType(type)) {
        read = ReadOtherBlock(p, n);
    } else if (type == 'O') {
        ++state_.originBlocks;
        read = ReadOriginOfTrustBlock(p);
        if (read && !quiet) {
            SetCell(4, ToUtf16(scaleSerialNumber));
            SetCell(5, ToUtf16(archiveSmcUid));
            TV_LOG_INFO(kModule, "Scale SN: " + scaleSerialNumber + " SMC UID:" + archiveSmcUid);
        }
    } else if (type == 'S') {
        read = ReadSignatureBlock(p);
    } else {
        logOnly = true;
        TV_LOG_ERROR(kModule, "Invalid data in SMC");
    }
    if (!read) return FailAtBlock(__LINE__, position, number);

    if (!ReadPreviousHash()) return FailAtBlock(__LINE__, position, number);
    auditState_.firstLineRead = true;
    std::memcpy(block_.data() + p, previousHash.data(), previousHash.size());
    if (!state_.chainBreak && !auditState_.resync && previousHash != chainedHash) {
        if (position == 0) {
            TV_LOG_ERROR(kModule,
                         "Hash validation failed in first block.Archive verification failed");
            SetRemark(199);
            auditState_.fatal = true;
            NoteFailure(CheckKind::kHashChain, 601, position, true, number);
            return false;
        }
        TV_LOG_ERROR(kModule, "Previous hash validation failed");
        Blame(CheckKind::kHashChain, 601);
        return FailAtBlock(__LINE__, position, number);
    }
    auditState_.resync = false;
    chainedHash.fill(0);
    if (!ReadCurrentHash()) return FailAtBlock(__LINE__, position, number);
    auditState_.lineDone = true;
    if (HashBuffer(block_.data(), static_cast<size_t>(p) + 32) != chainedHash) {
        TV_LOG_ERROR(kModule, "Current hash validation failed");
        if (position == 0) {
            TV_LOG_ERROR(kModule, "Failed when verifying first block");
            SetRemark(199);
            auditState_.fatal = true;
            NoteFailure(CheckKind::kHashChain, 600, position, true, number);
            return false;
        }
        Blame(CheckKind::kHashChain, 600);
        if (state_.chainBreak) return FailAtBlock(__LINE__, number, number);
        return FailAtBlock(__LINE__, position, number);
    }
    if (type == 'O') {
        if (audit_ != nullptr) audit_->rootHash = currentHashText;
        if (!smcMode) {
            rootHashText = currentHashText;
            if (!CheckPinnedKey()) {
                TV_LOG_ERROR(kModule, "Public key of the archive is not the pinned scale key");
                Log(__LINE__, kLogError, "Failed when verifying block %u (%08X)", position, number);
                SetRemark(201);
                auditState_.fatal = true;
                NoteFailure(CheckKind::kPublicKey, 606, position, true, number);
                return false;
            }
        } else if (!CompareWithSmc(results_, quiet)) {
            TV_LOG_ERROR(kModule, "SMC correctness verification failed");
            Log(__LINE__, kLogError, "Failed when verifying block %u (%08X)", position, number);
            return false;
        }
        NoteOriginChecked(smcMode);
    }
    if (type == 'S') {
        if (!VerifySignature()) {
            TV_LOG_ERROR(kModule, "Signature Verification failed");
            Blame(CheckKind::kSignatureBlocks, 602);
            return FailAtBlock(__LINE__, position, number);
        }
        ++state_.verifiedSignatures;
        // The leading blocks of the card end here; the archived range follows.
        if (state_.verifiedSignatures == 1) state_.numberJumpOpen = true;
    }
    NoteBlock(type, true, number, position);
    state_.blockPosition += n;
    return true;
}

bool CVerifierdX::VerifyShortBlock() {
    const uint32_t position = state_.blockPosition;
    if (audit_ != nullptr) {
        auditState_.lineDone = false;
        auditState_.blockType = 0;
        auditState_.pendingSectors = 1;
    }
    uint8_t lengthBytes[2] = {};
    uint16_t shortLength = 0;
    if (!ReadIncidentLength(lengthBytes, shortLength)) return FailAtPosition(__LINE__, position);
    const auto padded = static_cast<uint32_t>(ShortFormPaddedLength(shortLength));
    state_.expectedPosition += padded + kShortLineOverhead;
    if (state_.expectedPosition > static_cast<uint64_t>(fileSize)) {
        TV_LOG_ERROR(kModule, "Data position calculated based on length excceds maximum file size");
        Blame(CheckKind::kHashChain, 605);
        auditState_.fatal = true;
        return FailAtPosition(__LINE__, position, 186);
    }
    block_.assign(static_cast<size_t>(padded) + 33, 0);
    block_[4] = lengthBytes[0];
    block_[5] = lengthBytes[1];
    ReadPayload(6, padded - 6);
    auditState_.blockType = static_cast<char>(block_[6]);
    if (file->Get() != ';') {
        TV_LOG_ERROR(kModule, "Delimiter(';') is not found after event string in incident block");
        return FailAtPosition(__LINE__, position);
    }
    if (fiscalVersion == kFiscalVersion) {
        char separators[kIncidentSeparators];
        const size_t got = file->Read(separators, sizeof separators);
        if (got != sizeof separators || std::any_of(separators, separators + sizeof separators,
                                                    [](char c) { return c != ';'; })) {
            TV_LOG_ERROR(kModule, "Incident block seperators are not valid");
            return FailAtPosition(__LINE__, position, 186);
        }
    }
    if (!ReadPreviousHash()) return FailAtPosition(__LINE__, position);
    auditState_.firstLineRead = true;
    std::memcpy(block_.data() + padded, previousHash.data(), previousHash.size());
    if (!state_.chainBreak && !auditState_.resync && previousHash != chainedHash) {
        TV_LOG_ERROR(kModule, "Previous hash validation failed");
        if (position == 0) {
            TV_LOG_ERROR(kModule, "Failed when verifying first block");
            SetRemark(199);
            auditState_.fatal = true;
            NoteFailure(CheckKind::kHashChain, 601, position, false, 0);
            return false;
        }
        Blame(CheckKind::kHashChain, 601);
        return FailAtPosition(__LINE__, position);
    }
    auditState_.resync = false;
    chainedHash.fill(0);
    if (!ReadCurrentHash()) return FailAtPosition(__LINE__, position);
    auditState_.lineDone = true;
    if (HashBuffer(block_.data(), static_cast<size_t>(padded) + 32) != chainedHash) {
        TV_LOG_ERROR(kModule, "Current hash validation failed");
        if (position == 0) {
            TV_LOG_ERROR(kModule, "Failed when verifying first block");
            SetRemark(199);
            auditState_.fatal = true;
            NoteFailure(CheckKind::kHashChain, 600, position, false, 0);
            return false;
        }
        Blame(CheckKind::kHashChain, 600);
        return FailAtPosition(__LINE__, position);
    }
    NoteBlock(static_cast<char>(block_[6]), false, 0, position);
    state_.blockPosition += 1;
    lastBlockNumber += 1;
    return true;
}

bool CVerifierdX::CheckWholeFile(bool smcMode) {
    if (smcMode && state_.nextWriteIndex <= lastBlockNumber) {
        // The sectors of a card are 0 to next write index - 1: an archive whose
        // last block number reaches the next write index holds more than the card.
        TV_LOG_ERROR(kModule, "Current block number exceeds next write index in SMC");
        SetRemark(186);
        NoteFailure(CheckKind::kWriteIndex, 610, state_.blockPosition, false, 0);
        return false;
    }
    const bool originFirst =
        state_.firstTypes[0] == 'O' && state_.firstTypes[1] == 'S' && state_.firstTypes[2] == 'S';
    if (state_.lastLongType != 'S') {
        TV_LOG_ERROR(kModule, "Signature is not found at the end of archive");
    } else if (state_.originBlocks > 1) {
        TV_LOG_ERROR(kModule, "Origin of trust block present inbetween archive");
        TV_LOG_ERROR(kModule, "Incorrect data found");
    } else if (!originFirst || state_.verifiedSignatures < 3) {
        TV_LOG_ERROR(kModule, "Incorrect data found");
    } else {
        return true;
    }
    SetRemark(186);
    NoteFailure(CheckKind::kBlockOrder, 611, state_.blockPosition, false, 0);
    return false;
}

// --- the card -------------------------------------------------------------------------

bool CVerifierdX::ExtractSmcData(uint32_t& nextWriteIndex) {
    AppContext& ctx = GetAppContext();
    WormUsage usage;
    if (!CheckSmcUsage(ctx, usage)) return Error(__LINE__, "Extract SMC data failed");
    nextWriteIndex = usage.nextWriteIndex;
    if (nextWriteIndex < kMinNextWriteIndex) return Error(__LINE__, "Extract SMC data failed");
    std::vector<uint8_t> origin(3 * kSector, 0);
    if (!GetSmcBlocks(ctx, 3, origin.data(), 0)) return Error(__LINE__, "Extract SMC data failed");
    if (origin[8] != 'O') {
        return Error(__LINE__, "First block is not origin of trust block.Extract SMC data failed");
    }
    const std::string_view second = BlockText(origin.data(), origin.size(), kSector + kHeader);
    if (!ExtractLabelValue(second, kLabelSmcUid, 32, cardSmcUid) ||
        !ExtractLabelValue(second, kLabelPublicKey, 266, cardPublicKey)) {
        return Error(__LINE__, "Extract SMC data failed");
    }
    if (audit_ != nullptr) {
        const std::string_view first = BlockText(origin.data(), origin.size(), kHeader);
        if (!ExtractLabelValue(first, kLabelSerialNumber, 10, cardSerialNumber)) cardSerialNumber.clear();
    }
    const uint32_t length = static_cast<uint32_t>(origin[0]) << 24 |
                            static_cast<uint32_t>(origin[1]) << 16 |
                            static_cast<uint32_t>(origin[2]) << 8 | origin[3];
    const uint64_t padded = LongFormPaddedLength(length);
    // The current hash of block 0 must lie inside the three sectors read.
    if (padded + 64 > origin.size()) return Error(__LINE__, "Extract SMC data failed");
    char text[65] = {};
    BytesToUpperHex(origin.data() + padded + 32, 32, text);
    rootHashText = text;
    return true;
}

bool CVerifierdX::CompareWithSmc(ResultList* results, bool quiet) {
    ResultList* list = quiet ? nullptr : results;
    if (archiveSmcUid != cardSmcUid) {
        if (!quiet) TV_LOG_ERROR(kModule, "Incorrect SMC");
        if (list != nullptr) SetResultCell(list, 3, 169, row_);
        auditState_.fatal = true;
        NoteFailure(CheckKind::kUniqueId, 607, 0, true, 0);
        return false;
    }
    if (rootHashText != currentHashText) {
        if (!quiet) TV_LOG_ERROR(kModule, "Incorrect root hash");
        if (list != nullptr) SetResultCell(list, 3, 201, row_);
        auditState_.fatal = true;
        NoteFailure(CheckKind::kRootHash, 608, 0, true, 0);
        return false;
    }
    if (archivePublicKey != cardPublicKey) {
        if (!quiet) TV_LOG_ERROR(kModule, "Incorrect Public key");
        if (list != nullptr) SetResultCell(list, 3, 201, row_);
        auditState_.fatal = true;
        NoteFailure(CheckKind::kPublicKey, 609, 0, true, 0);
        return false;
    }
    return true;
}

// --- field readers ------------------------------------------------------------------------

bool CVerifierdX::ReadBlockLength(uint8_t lengthBytes[4], uint32_t& length) {
    char digits[8];
    if (file->Read(digits, sizeof digits) < sizeof digits)
        return Error(__LINE__, "Reading block length failed");
    if (std::memchr(digits, ';', sizeof digits) != nullptr) {
        return Error(__LINE__, "Block length size is less than expected(8 characters)");
    }
    if (file->Get() != ';')
        return Error(__LINE__, "Delimiter(';') is not found after block length");
    if (!HexFieldValue(digits, sizeof digits, length)) {
        return Error(__LINE__, "Block Length is not in hexadecimal format");
    }
    lengthBytes[0] = static_cast<uint8_t>(length >> 24);
    lengthBytes[1] = static_cast<uint8_t>(length >> 16);
    lengthBytes[2] = static_cast<uint8_t>(length >> 8);
    lengthBytes[3] = static_cast<uint8_t>(length);
    if (length > kMaxTransactionSize) {
        Log(__LINE__, kLogInfo, "Block length = %u .Block Length exceeds maximum transaction size",
            length);
    }
    return true;
}

bool CVerifierdX::ReadIncidentLength(uint8_t lengthBytes[2], uint16_t& length) {
    char digits[4];
    if (file->Read(digits, sizeof digits) < sizeof digits) {
        return Error(__LINE__, "Reading incident block length failed");
    }
    if (std::memchr(digits, ';', sizeof digits) != nullptr) {
        return Error(__LINE__, "Incident block length size is less than expected(4 characters)");
    }
    if (file->Get() != ';')
        return Error(__LINE__, "Delimiter(';') is not found after incident block length");
    uint32_t value = 0;
    if (!HexFieldValue(digits, sizeof digits, value)) {
        return Error(__LINE__, "Incident block Length is not in hexadecimal format");
    }
    length = static_cast<uint16_t>(value);
    lengthBytes[0] = static_cast<uint8_t>(value >> 8);
    lengthBytes[1] = static_cast<uint8_t>(value);
    return true;
}

bool CVerifierdX::ReadBookKeeping(DxBookKeeping& values, uint16_t& lastBlockIndex) {
    values = DxBookKeeping{};
    char index[4];
    if (file->Read(index, sizeof index) < sizeof index)
        return Error(__LINE__, "Reading block index failed");
    if (std::memchr(index, ';', sizeof index) != nullptr) {
        return Error(__LINE__, "Block Index size is less than expected(4 characters)");
    }
    uint32_t blockIndex = 0;
    if (!HexFieldValue(index, sizeof index, blockIndex)) {
        return Error(__LINE__, "Block Index is not in hexadecimal format");
    }
    if (file->Get() != ';') return Error(__LINE__, "Delimiter(';') is not found after block index");
    const int type = file->Get();
    if (file->Get() != ';') return Error(__LINE__, "Delimiter(';') is not found after record type");

    char ds[2];
    if (file->Read(ds, sizeof ds) < sizeof ds) return Error(__LINE__, "Reading DS version failed");
    if (std::memchr(ds, '|', sizeof ds) != nullptr) {
        return Error(__LINE__, "DS Version size is less than expected(2 characters)");
    }
    if (file->Get() != '|') return Error(__LINE__, "Delimiter('|') is not found after DS version");
    if (!AllHexDigits(ds, sizeof ds))
        return Error(__LINE__, "DS version is not in hexadecimal format");
    if (ds[0] != '0' || ds[1] != '2')
        return Error(__LINE__, "Invalid data structure version found");

    char current[8];
    if (file->Read(current, sizeof current) < sizeof current) {
        return Error(__LINE__, "Reading current block number failed");
    }
    if (std::memchr(current, '|', sizeof current) != nullptr) {
        return Error(__LINE__, "Current block number size is less than expected(8 characters)");
    }
    if (file->Get() != '|')
        return Error(__LINE__, "Delimiter('|') is not found after current block number");
    char count[4];
    if (file->Read(count, sizeof count) < sizeof count) {
        return Error(__LINE__, "Reading transaction block count failed");
    }
    if (std::memchr(count, '|', sizeof count) != nullptr) {
        return Error(__LINE__, "Transaction Block count size is less than expected(4 characters)");
    }
    if (file->Get() != '|') {
        return Error(__LINE__, "Delimiter('|') is not found after transaction block count");
    }
    char header[8];
    if (file->Read(header, sizeof header) < sizeof header) {
        return Error(__LINE__, "Reading previous header block number failed");
    }
    if (std::memchr(header, ';', sizeof header) != nullptr) {
        return Error(__LINE__,
                     "Previous header block number size is less than the expected(8 characters)");
    }
    if (file->Get() != ';') {
        return Error(__LINE__, "Delimiter(';') is not found after previous header block number");
    }
    uint32_t currentNumber = 0;
    uint32_t blockCount = 0;
    uint32_t previousHeader = 0;
    if (!HexFieldValue(current, sizeof current, currentNumber)) {
        return Error(__LINE__, "Current block number is not in hexadecimal format");
    }
    if (!HexFieldValue(count, sizeof count, blockCount)) {
        return Error(__LINE__, "Transaction block count is not in hexadecimal format");
    }
    if (!HexFieldValue(header, sizeof header, previousHeader)) {
        return Error(__LINE__, "Previous header block number is not in hexadecimal format");
    }
    if (currentNumber != 0 && currentNumber != lastBlockNumber + 1 && !state_.numberJumpOpen) {
        Blame(CheckKind::kBlockOrder, 603);
        return Error(__LINE__, "Current block number is not consecutive");
    }
    state_.numberJumpOpen = false;
    lastBlockNumber = currentNumber;
    values.numberTaken = true;
    if (blockIndex >= blockCount) {
        Blame(CheckKind::kBlockOrder, 603);
        return Error(__LINE__,
                     "Block index exceeds transaction block count(as in book keeping values)");
    }
    if (blockIndex != 0 && blockIndex != static_cast<uint32_t>(lastBlockIndex) + 1) {
        Blame(CheckKind::kBlockOrder, 603);
        return Error(__LINE__, "Block index is not consecutive");
    }
    lastBlockIndex = static_cast<uint16_t>(blockIndex);
    if (previousHeader >= currentNumber && previousHeader != 0 && currentNumber != 0) {
        Blame(CheckKind::kBlockOrder, 603);
        return Error(__LINE__,
                     "Current block number is less than/equal to previous header block number");
    }

    values.blockIndex = static_cast<uint16_t>(blockIndex);
    values.recordType = static_cast<char>(type);
    values.currentBlockNumber = currentNumber;
    values.blockCount = static_cast<uint16_t>(blockCount);
    values.previousHeader = previousHeader;
    uint8_t* b = values.bytes;
    b[0] = static_cast<uint8_t>(blockIndex >> 8);
    b[1] = static_cast<uint8_t>(blockIndex);
    b[2] = ';';
    b[3] = static_cast<uint8_t>(type);
    b[4] = ';';
    b[5] = 2;
    for (int i = 0; i < 4; ++i) b[6 + i] = static_cast<uint8_t>(currentNumber >> (24 - 8 * i));
    b[10] = static_cast<uint8_t>(blockCount >> 8);
    b[11] = static_cast<uint8_t>(blockCount);
    for (int i = 0; i < 4; ++i) b[12 + i] = static_cast<uint8_t>(previousHeader >> (24 - 8 * i));
    b[16] = ';';
    return true;
}

bool CVerifierdX::ReadHashField(const HashFieldTexts& texts, char terminator, BlockHash& bytes, char (&text)[65]) {
    char digits[64];
    if (file->Read(digits, sizeof digits) < sizeof digits) return Error(texts.line, texts.readFailed);
    if (std::memchr(digits, terminator, sizeof digits) != nullptr) {
        return Error(texts.line, "Hash size is less than expected(64 characters)");
    }
    const bool hex = HexToBytes(digits, bytes.size(), bytes.data());
    if (file->Get() != terminator) return Error(texts.line, texts.noTerminator);
    // Two texts must not stand for the same hash bytes: only hexadecimal digits pass.
    if (!hex) return Error(texts.line, texts.notHex);
    std::memcpy(text, digits, sizeof digits);
    text[64] = '\0';
    return true;
}

bool CVerifierdX::ReadPreviousHash() {
    return ReadHashField({__LINE__, "Reading previous hash failed", "Delimiter(';') is not found after previous hash",
                          "Previous hash is not in hexadecimal format"},
                         ';', previousHash, previousHashText);
}

bool CVerifierdX::ReadCurrentHash() {
    return ReadHashField({__LINE__, "Reading current hash failed", "New line character is not found after current hash",
                          "Current hash is not in hexadecimal format"},
                         '\n', chainedHash, currentHashText);
}

// --- block readers ---------------------------------------------------------------------------

void CVerifierdX::ReadPayload(size_t offset, size_t count) {
    // The block's bytes end at P; its previous hash follows there.
    const size_t end = block_.size() >= 33 ? block_.size() - 33 : 0;
    const size_t room = offset <= end ? end - offset : 0;
    const size_t take = std::min(count, room);
    const size_t got = take == 0 ? 0 : file->Read(block_.data() + offset, take);
    if (got < count) TV_LOG_ERROR(kModule, "Reading payload failed");
}

bool CVerifierdX::ReadOtherBlock(uint32_t paddedLength, uint32_t sectorCount) {
    const size_t p = paddedLength;
    // The writer's cut: a last sector holding no more than its header has no
    // book-keeping values of its own in the line.
    const size_t spelled = DxOtherLineSectors(p);
    if (spelled == 0 || spelled > sectorCount) {
        TV_LOG_ERROR(kModule, "Block length does not fit the sectors of the block");
        return false;
    }
    const size_t lastStart = kSector * (spelled - 1);
    if (spelled == 1) {
        ReadPayload(kHeader, p - kHeader);
    } else {
        ReadPayload(kHeader, kSectorPayload);
        uint16_t lastIndex = 0;
        for (size_t start = kSector; start <= lastStart; start += kSector) {
            ReadPayload(start, kLaterSectorBytes);
            DxBookKeeping values;
            if (!ReadBookKeeping(values, lastIndex))
                return Error(__LINE__, "Other blocks extraction failed");
            std::memcpy(block_.data() + start + kLaterSectorBytes, values.bytes, sizeof values.bytes);
            ReadPayload(start + kHeader, start == lastStart ? p - start - kHeader : kSectorPayload);
        }
    }
    // The sectors whose numbers the line does not spell out still count.
    lastBlockNumber += static_cast<uint32_t>(sectorCount - spelled);
    return true;
}

bool CVerifierdX::ReadOriginOfTrustBlock(uint32_t paddedLength) {
    const size_t p = paddedLength;
    if (p <= kOriginThirdPayload) {
        TV_LOG_ERROR(kModule, "Origin of trust block is shorter than three sectors");
        return Error(__LINE__, "Origin of trust block extraction failed");
    }
    ReadPayload(kHeader, kSectorPayload);
    if (block_[10] != 2) return Error(__LINE__, "Invalid DS version found");
    // Only the first sector is in place yet: the text ends with it.
    if (!ExtractLabelValue(BlockText(block_.data(), p, kHeader), kLabelFiscalVersion, 5,
                           fiscalVersion)) {
        fiscalVersion.clear();
        return Error(__LINE__, "Origin of trust block extraction failed");
    }
    for (size_t i = 0; i < fiscalVersion.size(); ++i) {
        const char c = fiscalVersion[i];
        if (!(c >= '0' && c <= '9') && !(i == 2 && c == '.')) {
            Blame(CheckKind::kFileReadable, 612);
            return Error(__LINE__, "Fiscal version is not in expected format");
        }
    }
    if (fiscalVersion != kFiscalVersion) {
        Blame(CheckKind::kFileReadable, 612);
        return Error(__LINE__, "Fiscal version expected is not found");
    }

    uint16_t lastIndex = 0;
    for (size_t start = kSector; start <= 2 * kSector; start += kSector) {
        ReadPayload(start, kLaterSectorBytes);
        DxBookKeeping values;
        if (!ReadBookKeeping(values, lastIndex)) {
            return Error(__LINE__, "Origin of trust block extraction failed");
        }
        std::memcpy(block_.data() + start + kLaterSectorBytes, values.bytes, sizeof values.bytes);
        ReadPayload(start + kHeader, start == kSector ? kSectorPayload : p - kOriginThirdPayload);
        if (start == kSector) {
            const std::string_view second = BlockText(block_.data(), p, kSector + kHeader);
            if (!ExtractLabelValue(second, kLabelSmcUid, 32, archiveSmcUid) ||
                !ExtractLabelValue(second, kLabelPublicKey, 266, archivePublicKey)) {
                return Error(__LINE__, "Origin of trust block extraction failed");
            }
        }
    }
    if (!ExtractLabelValue(BlockText(block_.data(), p, kHeader), kLabelSerialNumber, 10,
                           scaleSerialNumber)) {
        return Error(__LINE__, "Origin of trust block extraction failed");
    }
    return true;
}

bool CVerifierdX::ReadSignatureBlock(uint32_t paddedLength) {
    const size_t p = paddedLength;
    state_.signatureDigits = 0;
    if (p < kHeader + kSignatureHeaderDigits) {
        return Error(__LINE__, "Signature block is shorter than its signature header");
    }
    ReadPayload(kHeader, kSignatureHeaderDigits);
    const char* header = reinterpret_cast<const char*>(block_.data() + kHeader);
    uint32_t sequenceLength = 0;
    if (!AllHexDigits(header, kSignatureHeaderDigits) ||
        !HexFieldValue(header + 4, 2, sequenceLength)) {
        return Error(__LINE__, "Signature header is not in hexadecimal format");
    }
    const size_t digits = 2 * static_cast<size_t>(sequenceLength);
    if (kHeader + kSignatureHeaderDigits + digits > p) {
        return Error(__LINE__, "Signature length exceeds the signature block");
    }
    ReadPayload(kHeader + kSignatureHeaderDigits, digits);
    ReadPayload(kHeader + kSignatureHeaderDigits + digits,
                p - digits - kHeader - kSignatureHeaderDigits);
    state_.signatureDigits = kSignatureHeaderDigits + digits;
    return true;
}

bool CVerifierdX::VerifySignature() {
    std::string plain;
    const char* der = reinterpret_cast<const char*>(block_.data() + kHeader);
    if (!PlainSignatureFromDerHex(der, state_.signatureDigits, plain)) {
        return Error(__LINE__, "Signature lengths are not in expected format");
    }
    const std::string& signingKey = SigningKey();
    const std::string_view key =
        signingKey.size() > 2 ? std::string_view(signingKey).substr(2) : std::string_view();
    return VerifyDigest(plain, key, std::string_view(previousHashText, 64));
}

// --- failures and result cells -----------------------------------------------------------

void CVerifierdX::SetCell(int column, const std::u16string& text) {
    if (results_ != nullptr && row_ >= 0) results_->SetCell(row_, column, text);
}

void CVerifierdX::SetRemark(const std::u16string& text) {
    SetCell(3, text);
}

void CVerifierdX::SetRemark(MessageId id) {
    if (results_ != nullptr && row_ >= 0) SetResultCell(results_, 3, id, row_);
}

bool CVerifierdX::FailAtPosition(int line, uint32_t position, MessageId ownRemark) {
    Log(line, kLogError, "Failed when verifying block %u", position);
    if (ownRemark != 0) {
        SetRemark(ownRemark);
    } else if (results_ != nullptr) {
        char numbers[32];
        std::snprintf(numbers, sizeof numbers, " %u", position);
        SetRemark(GetMessageText(198) + ToUtf16(numbers));
    }
    NoteFailure(blameCheck_, blameReason_, position, false, 0);
    return false;
}

bool CVerifierdX::FailAtBlock(int line, uint32_t position, uint32_t number, MessageId ownRemark) {
    Log(line, kLogError, "Failed when verifying block %u (%08X)", position, number);
    if (ownRemark != 0) {
        SetRemark(ownRemark);
    } else if (results_ != nullptr) {
        char numbers[32];
        std::snprintf(numbers, sizeof numbers, " %u (%08X)", position, number);
        SetRemark(GetMessageText(198) + ToUtf16(numbers));
    }
    NoteFailure(blameCheck_, blameReason_, position, true, number);
    return false;
}

// --- the writer's check --------------------------------------------------------------------

bool VerifyArchiveFileQuietly(const std::string& archivePath) {
    AppContext& ctx = GetAppContext();
    ctx.folderInput = 0;
    ctx.verificationMode = 2;
    CVerifierdX verifier;
    verifier.path = archivePath;
    return verifier.VerifyArchives(nullptr, nullptr, true);
}

}  // namespace tv
