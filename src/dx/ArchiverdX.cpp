#include "dx/ArchiverdX.h"

#include <algorithm>
#include <cstring>
#include <array>
#include <cstdio>

#include "app/AppContext.h"
#include "crypto/Signature.h"
#include "dx/DerHexSignature.h"
#include "dx/DxLineFormat.h"
#include "dx/VerifierdX.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "smc/SmcAccess.h"
#include "store/BlockDecoder.h"
#include "store/DxStoreInfo.h"
#include "store/StoreText.h"

namespace tv {

namespace {

constexpr size_t kMaxPath = 260;
constexpr size_t kPayloadAt = 22;
constexpr size_t kCopyPiece = 64 * 1024;
// Lines gather up to this size before they are written to the archive file.
constexpr size_t kLineBufferSize = 1024 * 1024;
constexpr char kIntegrityFailed[] = "Public key integrity verification failed";
constexpr char kCreateFailed[] = "Create archive process failed";
constexpr char kWriteFailed[] = "Write block into archive failed";
constexpr char kSplitNamesFailed[] = "File name creation failed (Multiple files)";
constexpr char kSplitHandlingFailed[] = "Multiple archive files handling failed";

void LogError(int line, const char* format, int error) {
    char message[256];
    std::snprintf(message, sizeof message, format, error);
    LogFile::Instance().Write(kModArchiverDx, line, kLogError, message);
}

void LogWarning(int line, const char* format, int error) {
    char message[256];
    std::snprintf(message, sizeof message, format, error);
    LogFile::Instance().Write(kModArchiverDx, line, kLogWarning, message);
}

void LogFileName(const std::string& path) { TV_LOG_INFO(kModArchiverDx, "File name : " + path); }

// File names are made of the compact dates: twelve digits, nothing else.
bool IsCompactDate(const std::string& date) {
    return date.size() == 12 &&
           std::all_of(date.begin(), date.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsDatedType(char type) { return type == 'E' || type == 'T' || type == 'U'; }

bool PathTooLong(const std::string& path) { return ToUtf16(path).size() >= kMaxPath + 1; }

// The part of a block message that names what the line is made of.
const char* LinePartMessage(DxLineKind kind) {
    switch (kind) {
        case DxLineKind::Origin: return "Writing Origin of trust block into archive failed";
        case DxLineKind::Incident: return "Writing incident block into archive failed";
        case DxLineKind::Signature: return "Writing signature block into archive failed";
        case DxLineKind::Other: return "Writing other blocks into archive failed";
        case DxLineKind::Unknown: break;
    }
    return "Invalid data in SMC";
}

}  // namespace

CArchiverdX::CArchiverdX(AppContext& context) : CBaseArchiver(context) {}

CArchiverdX::~CArchiverdX() { *alive_ = false; }

void CArchiverdX::ResetFields() {
    ResetRunFields();
    block = WormBlock{};
    startDate.clear();
    endDate.clear();
    archiveBaseName.clear();
    lastSignatureLineEnd = 0;
    ClearSplitPoints();
    endIsNotClosure = false;
    partsPublished_ = 0;
    partPaths_.clear();
    publishResult = 0;
}

// --- the family's operations ---------------------------------------------------------------

bool CArchiverdX::VerifyWrittenArchive(const std::string& path) {
    if (VerifyArchiveFileQuietly(path)) return true;
    TV_LOG_ERROR(kModArchiverDx, "Archive verification failed");
    LogFileName(path);
    return false;
}

bool CArchiverdX::GetArchiveFolderName(std::string& name) const {
    name = archiveBaseName;
    return false;
}

bool CArchiverdX::VerifySignatureBlock(const WormBlock& signatureBlock, int& result) {
    // The payload is the hexadecimal DER text of the scale's signature.
    const std::vector<uint8_t>& b = signatureBlock.bytes;
    const size_t end = std::min<size_t>(signatureBlock.paddedLength, b.size());
    std::string plain;
    if (end < kPayloadAt || !PlainSignatureFromDerHex(reinterpret_cast<const char*>(b.data()) + kPayloadAt,
                                                      end - kPayloadAt, plain)) {
        TV_LOG_ERROR(kModArchiverDx, "Signature in signature block is not in expected format");
    } else if (storeInfo.publicKey.size() > 2 &&
               VerifyDigest(plain, std::string_view(storeInfo.publicKey).substr(2),
                            DxHashText(signatureBlock.previousHash))) {
        return true;
    }
    result = kArchiveDataCheckFailed;
    TV_LOG_ERROR(kModArchiverDx, "Signature verification failed");
    return false;
}

// --- checks and names before writing -------------------------------------------------------------

bool CArchiverdX::CheckPublicKeyIntegrity(uint32_t count) {
    ClearHashes();
    if (count == 0) {
        TV_LOG_ERROR(kModArchiverDx, kIntegrityFailed);
        return false;
    }
    bool ok = true;
    int result = 0;
    uint64_t number = 0;
    uint64_t remaining = count;
    while (remaining > 0 && number <= UINT32_MAX) {
        WormBlock walked;
        if (!ReadBlock(ctx, ScaleFamily::Dx, static_cast<uint32_t>(number), walked)) {
            ok = false;
            break;
        }
        if (number == 0) {
            if (DxLineKindOf(walked) != DxLineKind::Origin) {
                TV_LOG_ERROR(
                    kModArchiverDx,
                    "First Block is not 'Origin of Trust Block'. Public key integrity verification failed");
                ClearHashes();
                return false;
            }
            if (!ReadDxStoreInfo(ctx, walked, storeInfo)) {
                ok = false;
                break;
            }
            scaleTypeText = storeInfo.scaleTypeText;
        }
        TakeTrailerHashes(walked);
        bool runStart = false;
        bool fileStart = false;
        if (!VerifyBlockHash(walked, runStart, fileStart, result)) {
            ok = false;
            break;
        }
        if (DxLineKindOf(walked) == DxLineKind::Signature) {
            ok = VerifySignatureBlock(walked, result);
            break;
        }
        number += walked.sectorCount;
        remaining -= std::min<uint64_t>(remaining, walked.sectorCount);
    }
    if (!ok) TV_LOG_ERROR(kModArchiverDx, kIntegrityFailed);
    ClearHashes();
    return ok;
}

bool CArchiverdX::ReadDatedBlock(uint32_t number, WormBlock& dated) {
    if (ReadBlock(ctx, ScaleFamily::Dx, number, dated)) return true;
    TV_LOG_ERROR(kModArchiverDx, "FileName creation for archivefailed");
    return false;
}

bool CArchiverdX::MakeDxArchiveName(int& result) {
    WormBlock dated;
    if (!ReadDatedBlock(firstBlock, dated)) return false;
    BlockDate start;
    if (dated.contentLength == 0 || !ExtractBlockDate(dated.bytes.data(), dated.recordType, start) ||
        !IsCompactDate(start.compact)) {
        TV_LOG_ERROR(kModArchiverDx, "Incorrect Data Found! File name creation for archive failed");
        return false;
    }
    if (!ReadDatedBlock(lastClosure, dated)) return false;
    BlockDate end;
    // A date-based run may end on another block of the end date; its date stands
    // where a closure's does.
    const char endType = IsDatedType(dated.recordType) ? dated.recordType : 'E';
    if ((dated.recordType != 'E' && !endIsNotClosure) || dated.contentLength == 0 ||
        !ExtractBlockDate(dated.bytes.data(), endType, end) || !IsCompactDate(end.compact)) {
        TV_LOG_ERROR(kModArchiverDx, "Incorrect Data Found! Filename creation failed");
        return false;
    }
    if (storeInfo.smcUid.empty() || !IsHexText(storeInfo.smcUid.c_str())) {
        result = kArchiveDataCheckFailed;
        TV_LOG_ERROR(kModArchiverDx, "SMC serial number is not in hexadecimal format");
        return false;
    }
    if (storeInfo.scaleSerialNumber.empty() || !IsAlnumText(storeInfo.scaleSerialNumber.c_str())) {
        result = kArchiveDataCheckFailed;
        TV_LOG_ERROR(kModArchiverDx, "Scale serial number is not in expected (alphanumeric) format");
        return false;
    }
    TV_LOG_INFO(kModArchiverDx, "Start date:" + start.text + " End date:" + end.text);
    const std::string name =
        storeInfo.scaleSerialNumber + "_" + storeInfo.smcUid + "_" + start.compact + "_" + end.compact;
    const std::string path = ctx.platform.JoinPath(WorkFolder(), name + GetArchiveExtension());
    if (PathTooLong(path)) {
        result = kArchivePathTooLong;
        TV_LOG_ERROR(kModArchiverDx, "Archive file path length exceeded");
        LogFileName(path);
        return false;
    }
    if (!CreateWorkFolder()) return false;
    startDate = start.compact;
    startDateText = start.text;
    endDate = end.compact;
    endDateText = end.text;
    archiveBaseName = name;
    tempArchivePath = path;
    cleanupArchivePath = path;
    return true;
}

std::vector<std::string> CArchiverdX::CoveredArchives(const std::string& finalPath) const {
    // Every part a split run publishes is named prefix + start + "_" + end with
    // both dates inside the run's own.
    const std::string prefix = storeInfo.scaleSerialNumber + "_" + storeInfo.smcUid + "_";
    std::vector<std::string> covered;
    std::vector<DirEntry> entries;
    if (!ctx.platform.ListFolder(ctx.archivePath, prefix + "*" + GetArchiveExtension(), entries)) return covered;
    std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    const std::string ownName = finalPath.substr(finalPath.find_last_of(ctx.platform.Separator()) + 1);
    const size_t width = startDate.size();
    for (const DirEntry& e : entries) {
        const std::string dates = e.name.substr(prefix.size());
        if (e.isDirectory || dates.size() != 2 * width + 1 + std::strlen(GetArchiveExtension()) || dates[width] != '_') {
            continue;
        }
        const std::string first = dates.substr(0, width);
        const std::string last = dates.substr(width + 1, width);
        if (first >= startDate && last <= endDate && first <= last && e.name != ownName) {
            covered.push_back(ctx.platform.JoinPath(ctx.archivePath, e.name));
        }
    }
    return covered;
}

bool CArchiverdX::InitArchive(int& result, ProgressView* progress, ResultList* results, StatusView* status) {
    if (!MakeDxArchiveName(result)) return false;
    // The question covers every archive the run replaces: besides the one of its
    // own name, the parts of an earlier split run and the archives of a range
    // inside the run's, which the new archive holds as well.
    ExistingArchiveMode mode = ExistingArchiveMode::Ask;
    const std::string finalPath = FinalPathOf(tempArchivePath);
    const std::vector<std::string> covered =
        ArchiveFolderAvailable() ? CoveredArchives(finalPath) : std::vector<std::string>{};
    if (!AskReplaceArchives(tempArchivePath, covered, mode, result, status) ||
        !HandleExistingArchive(tempArchivePath, mode, result, results, status)) {
        return false;
    }
    if (progress != nullptr) {
        progress->SetRange(0, 100);
        progress->SetPos(0);
    }
    return true;
}

// --- lines ------------------------------------------------------------------------------------

bool CArchiverdX::WriteBlockLine(const WormBlock& lineBlock, uint64_t& fileSize) {
    const DxLineKind kind = DxLineKindOf(lineBlock);
    const DxLineStatus status = FormatDxBlockLine(lineBlock, storeInfo.fiscalVersion, line_);
    if (status != DxLineStatus::Ok) {
        switch (status) {
            case DxLineStatus::OriginTooShort:
                TV_LOG_ERROR(kModArchiverDx, "Origin of trust block does not reach its third sector");
                break;
            case DxLineStatus::IncidentTooLong:
                TV_LOG_ERROR(kModArchiverDx, "Incident block is longer than expected");
                break;
            case DxLineStatus::BlockTooShort:
                TV_LOG_ERROR(kModArchiverDx, "Block data is shorter than its length");
                break;
            case DxLineStatus::UnknownRecordType:
            case DxLineStatus::Ok: break;
        }
        TV_LOG_ERROR(kModArchiverDx, LinePartMessage(kind));
        TV_LOG_ERROR(kModArchiverDx, kWriteFailed);
        return false;
    }
    if (archiveFile_ && archiveFilePath_ != tempArchivePath && !FlushArchiveFile()) {
        TV_LOG_ERROR(kModArchiverDx, LinePartMessage(kind));
        TV_LOG_ERROR(kModArchiverDx, kWriteFailed);
        return false;
    }
    if (!archiveFile_) {
        // Whatever stood at the name was removed before the file was begun; a
        // link put there since is never followed.
        std::unique_ptr<File> file = ctx.platform.OpenFile(tempArchivePath, OpenMode::Append);
        const int64_t size = file ? file->Size() : -1;
        if (!file) {
            TV_LOG_ERROR(kModArchiverDx, "Archive file open failed.Write block into archive failed");
            return false;
        }
        if (size < 0) {
            TV_LOG_ERROR(kModArchiverDx, kWriteFailed);
            return false;
        }
        archiveFile_ = std::move(file);
        archiveFilePath_ = tempArchivePath;
        archiveFileSize_ = static_cast<uint64_t>(size);
        pendingLines_.clear();
        pendingLines_.reserve(kLineBufferSize);
    }
    if (kind == DxLineKind::Origin) publishState = kPublishWriting;
    pendingLines_ += line_;
    archiveFileSize_ += line_.size();
    if (pendingLines_.size() >= kLineBufferSize && !WritePendingLines()) {
        TV_LOG_ERROR(kModArchiverDx, LinePartMessage(kind));
        TV_LOG_ERROR(kModArchiverDx, kWriteFailed);
        return false;
    }
    fileSize = archiveFileSize_;
    if (kind == DxLineKind::Signature) lastSignatureLineEnd = fileSize;
    return true;
}

bool CArchiverdX::WritePendingLines() {
    if (!archiveFile_ || pendingLines_.empty()) return true;
    const bool ok = archiveFile_->Write(pendingLines_.data(), pendingLines_.size());
    if (!ok) {
        // A line that did not reach the file whole is not part of it.
        archiveFileSize_ -= pendingLines_.size();
        archiveFile_->Truncate(static_cast<int64_t>(archiveFileSize_));
    }
    pendingLines_.clear();
    return ok;
}

bool CArchiverdX::FlushArchiveFile() {
    if (!archiveFile_) return true;
    const bool ok = WritePendingLines();
    archiveFile_.reset();
    archiveFilePath_.clear();
    pendingLines_.clear();
    pendingLines_.shrink_to_fit();
    if (!ok) {
        TV_LOG_ERROR(kModArchiverDx, kWriteFailed);
        LogFileName(tempArchivePath);
    }
    return ok;
}

void CArchiverdX::AbortCleanupFiles(const std::function<void(const std::string&)>& remove) {
    archiveFile_.reset();
    archiveFilePath_.clear();
    pendingLines_.clear();
    CBaseArchiver::AbortCleanupFiles(remove);
}

bool CArchiverdX::WriteOriginOfTrustInfo(uint32_t count) {
    uint64_t number = 0;
    uint64_t remaining = count;
    while (remaining > 0 && number <= UINT32_MAX) {
        if (!ReadBlock(ctx, ScaleFamily::Dx, static_cast<uint32_t>(number), block)) {
            TV_LOG_ERROR(kModArchiverDx, "Writing Origin of Trust info failed");
            return false;
        }
        TakeTrailerHashes(block);
        uint64_t size = 0;
        if (!WriteBlockLine(block, size)) {
            TV_LOG_ERROR(kModArchiverDx, "Writing Origin of Trust info failed");
            return false;
        }
        if (DxLineKindOf(block) == DxLineKind::Signature) return true;
        number += block.sectorCount;
        remaining -= std::min<uint64_t>(remaining, block.sectorCount);
    }
    return true;
}

// --- the run ------------------------------------------------------------------------------------

void CArchiverdX::AddResultRow(ResultList* results) {
    if (results == nullptr) return;
    const int number = results->ItemCount() + 1;
    const int row = results->InsertRow(results->ItemCount(), ToUtf16(std::to_string(number)));
    const std::string shown = FinalPathOf(tempArchivePath);
    results->SetCell(row, 1, ToUtf16(shown));
}

void CArchiverdX::ClearSplitPoints() {
    lastClosureSeen_ = kNoBlock;
    candidateIncident_ = kNoBlock;
    splitClosure = kNoBlock;
    splitIncident = kNoBlock;
    splitOffset = 0;
}

void CArchiverdX::NoteSplitPoints(const WormBlock& written, uint32_t blockNumber) {
    switch (DxLineKindOf(written)) {
        case DxLineKind::Other:
            if (written.recordType == 'E') lastClosureSeen_ = blockNumber;
            break;
        case DxLineKind::Incident:
            if (written.recordType == 'W') candidateIncident_ = blockNumber;
            break;
        case DxLineKind::Signature:
            // The group is complete: the file may end with this line.
            splitClosure = lastClosureSeen_;
            splitIncident = candidateIncident_;
            splitOffset = lastSignatureLineEnd;
            break;
        case DxLineKind::Origin:
        case DxLineKind::Unknown: break;
    }
}

bool CArchiverdX::CreateArchive(uint32_t count, uint32_t searchLimit, uint32_t firstBlockNumber, int& result,
                                ProgressView* progress, ResultList* results, StatusView* status) {
    if (!ArchiveFolderAvailable()) {
        result = kArchiveFolderMissing;
        TV_LOG_ERROR(kModArchiverDx, "Archival file path is not available");
        return false;
    }
    AddResultRow(results);
    StartProgress(progress, count);
    ClearSplitPoints();
    // However the run ends, what it wrote is in the file and the file is closed.
    struct CloseArchiveFile {
        CArchiverdX& archiver;
        std::shared_ptr<const bool> alive;
        ~CloseArchiveFile() {
            if (*alive) archiver.FlushArchiveFile();
        }
    } closeArchiveFile{*this, alive_};
    partsPublished_ = 0;
    publishResult = 0;
    partPaths_.clear();

    // The leading blocks of a new part all lie before the first dated block.
    const uint32_t leadingSectors = searchLimit == UINT32_MAX ? searchLimit : searchLimit + 1;
    bool runStart = firstBlockNumber != 0;
    bool fileStart = false;
    bool newPart = false;
    uint64_t number = firstBlockNumber;
    uint64_t remaining = count;
    uint64_t reached = number;  // sectors up to here count as done for the progress bar
    while (remaining > 0) {
        PumpAndCheckAbort();
        if (newPart) {
            if (!HandleExistingArchive(tempArchivePath, ExistingArchiveMode::Automatic, result, results,
                                       status) ||
                !WriteOriginOfTrustInfo(leadingSectors)) {
                TV_LOG_ERROR(kModArchiverDx, kCreateFailed);
                return false;
            }
            newPart = false;
            fileStart = true;
        }
        bool damaged = false;
        if (number > UINT32_MAX || !ReadBlock(ctx, ScaleFamily::Dx, static_cast<uint32_t>(number), block, &damaged)) {
            // A block that was read but cannot be decoded is the card's data
            // failing a check, as a broken chain is.
            if (damaged) result = kArchiveDataCheckFailed;
            TV_LOG_ERROR(kModArchiverDx, kCreateFailed);
            return false;
        }
        blockSectors = block.sectorCount;
        TakeTrailerHashes(block);
        if (!VerifyBlockHash(block, runStart, fileStart, result) ||
            (DxLineKindOf(block) == DxLineKind::Signature && !VerifySignatureBlock(block, result))) {
            TV_LOG_ERROR(kModArchiverDx, kCreateFailed);
            return false;
        }
        uint64_t size = 0;
        if (!WriteBlockLine(block, size)) {
            TV_LOG_ERROR(kModArchiverDx, kCreateFailed);
            return false;
        }
        const uint64_t sectors = block.sectorCount;
        if (size <= ctx.maxArchiveSize) {
            NoteSplitPoints(block, static_cast<uint32_t>(number));
            if (number + sectors > reached) {
                AdvanceProgress(number + sectors - reached);
                reached = number + sectors;
            }
            number += sectors;
            remaining -= std::min(remaining, sectors);
            continue;
        }
        if (splitClosure == kNoBlock || splitIncident == kNoBlock) {
            TV_LOG_ERROR(
                kModArchiverDx,
                "Closure / Signature incident block number is not present.Try increasing \"Max. file "
                "size\" in \"Settings\" menu.Create archive process failed");
            SetResultCell(results, 3, 228);
            return false;
        }
        const uint32_t resume = splitIncident;
        if (!SplitArchive(searchLimit, result, results, status)) {
            if (publishResult != 0) result = publishResult;
            TV_LOG_ERROR(kModArchiverDx, kCreateFailed);
            return false;
        }
        // The new part repeats the last signature incident and signature blocks
        // of the completed one.
        remaining += number - resume;
        number = resume;
        ClearSplitPoints();
        newPart = true;
    }
    if (!FlushArchiveFile()) {
        TV_LOG_ERROR(kModArchiverDx, kCreateFailed);
        return false;
    }
    if (!FinishArchive(partsPublished_ > 0, results, status)) {
        if (publishResult != 0) result = publishResult;
        TV_LOG_ERROR(kModArchiverDx, "Final processing failed");
        return false;
    }
    std::vector<std::string> published = partPaths_;
    published.push_back(tempArchivePath);
    RemoveReplacedArchives(published, results);
    return true;
}

// --- splitting ----------------------------------------------------------------------------------

bool CArchiverdX::MakeSplitNames(uint32_t closureBlock, uint32_t incidentBlock, uint32_t searchLimit,
                                 std::string& completedPath, std::string& nextPath, ResultList* results) {
    WormBlock closure;
    if (!ReadBlock(ctx, ScaleFamily::Dx, closureBlock, closure)) {
        TV_LOG_ERROR(kModArchiverDx, kSplitNamesFailed);
        return false;
    }
    BlockDate closureDate;
    if (DxLineKindOf(closure) != DxLineKind::Other || closure.recordType != 'E' ||
        !ExtractBlockDate(closure.bytes.data(), 'E', closureDate) || !IsCompactDate(closureDate.compact)) {
        TV_LOG_ERROR(kModArchiverDx, "Incorrect Data Found! FileName creation failed (Multiple files)");
        return false;
    }
    const std::string folder = WorkFolder();
    const std::string prefix = storeInfo.scaleSerialNumber + "_" + storeInfo.smcUid + "_";
    const std::string completed =
        ctx.platform.JoinPath(folder, prefix + startDate + "_" + closureDate.compact + GetArchiveExtension());
    if (PathTooLong(completed)) {
        TV_LOG_ERROR(kModArchiverDx, "Backup file path length exceeded");
        SetResultCell(results, 3, 230);
        return false;
    }

    // The part that follows starts at the first transaction after the cut.
    std::array<uint8_t, kBlockSectorSize> sector{};
    uint64_t number = incidentBlock;
    BlockDate nextStart;
    bool found = false;
    while (!found && number <= searchLimit) {
        WormBlock header;
        if (!GetSmcBlocks(ctx, 1, sector.data(), static_cast<uint32_t>(number)) ||
            !DecodeBlockHeader(sector.data(), ScaleFamily::Dx, static_cast<uint32_t>(number), header)) {
            TV_LOG_ERROR(kModArchiverDx, kSplitNamesFailed);
            return false;
        }
        if (header.contentLength != 0 && header.recordType == 'T') {
            if (!ExtractBlockDate(sector.data(), 'T', nextStart) || !IsCompactDate(nextStart.compact)) {
                TV_LOG_ERROR(kModArchiverDx,
                             "Incorrect Data Found! FileName creation failed (Multiple files)");
                return false;
            }
            found = true;
            break;
        }
        number += header.sectorCount;
    }
    if (!found) {
        // Only incident blocks follow the cut: a part of its own would hold no
        // transaction to name it by, so they must fit into the file being written.
        TV_LOG_ERROR(kModArchiverDx,
                     "Only incident blocks follow the last closure and they pass the maximum file size.Try "
                     "increasing \"Max. file size\" in \"Settings\" menu.Create archive process failed");
        SetResultCell(results, 3, 228);
        return false;
    }
    const std::string next =
        ctx.platform.JoinPath(folder, prefix + nextStart.compact + "_" + endDate + GetArchiveExtension());
    if (PathTooLong(next)) {
        TV_LOG_ERROR(kModArchiverDx, "Backup file path length exceeded");
        SetResultCell(results, 3, 230);
        return false;
    }
    // Dates that do not advance would give a part the name of the file being
    // written or of a part already published, and replace it.
    const bool clash = completed == tempArchivePath || next == completed ||
                       std::find(partPaths_.begin(), partPaths_.end(), completed) != partPaths_.end() ||
                       std::find(partPaths_.begin(), partPaths_.end(), next) != partPaths_.end();
    if (clash) {
        TV_LOG_ERROR(kModArchiverDx, "Archive file names of the parts are not distinct");
        TV_LOG_ERROR(kModArchiverDx, kSplitNamesFailed);
        return false;
    }
    startDate = nextStart.compact;
    firstBlock = static_cast<uint32_t>(number);
    completedPath = completed;
    nextPath = next;
    return true;
}

bool CArchiverdX::WriteCompletedPart(const std::string& completedPath) {
    Platform& p = ctx.platform;
    std::unique_ptr<File> part = p.OpenFile(completedPath, OpenMode::CreateNew);
    if (!part) {
        LogError(__LINE__, "Archive file open failed. (E%d)", p.LastError());
        LogFileName(completedPath);
        return false;
    }
    std::unique_ptr<File> source = p.OpenFile(tempArchivePath, OpenMode::Read);
    bool ok = source != nullptr;
    if (!ok) {
        LogError(__LINE__, "Archive file open failed. (E%d)", p.LastError());
        LogFileName(tempArchivePath);
    }
    std::array<uint8_t, kCopyPiece> piece{};
    uint64_t left = splitOffset;
    while (ok && left > 0) {
        const size_t wanted = static_cast<size_t>(std::min<uint64_t>(left, piece.size()));
        const int64_t got = source->Read(piece.data(), wanted);
        ok = got > 0 && part->Write(piece.data(), static_cast<size_t>(got));
        if (!ok) {
            TV_LOG_ERROR(kModArchiverDx, kSplitHandlingFailed);
            LogFileName(completedPath);
            break;
        }
        left -= static_cast<uint64_t>(got);
    }
    if (ok) return true;
    part.reset();
    p.DeleteFile(completedPath);
    return false;
}

bool CArchiverdX::SplitArchive(uint32_t searchLimit, int& result, ResultList* results, StatusView* status) {
    Platform& p = ctx.platform;
    std::string completed;
    std::string next;
    if (!MakeSplitNames(splitClosure, splitIncident, searchLimit, completed, next, results)) return false;
    if (!HandleExistingArchive(completed, ExistingArchiveMode::Automatic, result, results, status)) {
        TV_LOG_ERROR(kModArchiverDx, kSplitHandlingFailed);
        LogFileName(completed);
        return false;
    }
    if (!FlushArchiveFile() || !WriteCompletedPart(completed)) return false;
    if (!p.DeleteFile(tempArchivePath)) {
        LogWarning(__LINE__, "File deletion not successful! (E%d)", p.LastError());
        LogFileName(tempArchivePath);
        p.DeleteFile(completed);
        return false;
    }
    cleanupArchivePath = completed;
    uint32_t attributes = 0;
    if (!p.GetAttributes(completed, attributes) ||
        !p.SetAttributes(completed, attributes | kAttrReadOnly | kAttrArchive)) {
        LogError(__LINE__, "Setting File attributes failed. E(%d)", p.LastError());
        LogFileName(completed);
        return false;
    }
    ++partsPublished_;
    if (!PublishArchive(completed, static_cast<int>(partsPublished_), true, results, status)) {
        TV_LOG_ERROR(kModArchiverDx, "Backup creation failed");
        return false;
    }
    partPaths_.push_back(completed);
    SetResultCell(results, 2, 196);
    tempArchivePath = next;
    cleanupArchivePath = next;
    ClearHashes();
    AddResultRow(results);
    return true;
}

}  // namespace tv
