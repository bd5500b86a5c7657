#include "zt4/ArchiverZT4.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

#include "app/AppContext.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "store/BlockDecoder.h"
#include "zt4/ArchiveLog.h"
#include "zt4/ArchiveSignatureWriter.h"
#include "zt4/ScaleSignature.h"
#include "zt4/Zt4StoreInfo.h"

namespace tv {

namespace {

constexpr size_t kMaxPath = 260;
// Room kept for the end tag and the signature when the size limit is checked.
constexpr uint64_t kSignatureRoom = 221;
constexpr char kDeclaration[] = "<?xml version=\"1.0\"?>\n";
constexpr char kRootTag[] = "<ZT4>";
constexpr char kEndTag[] = "</ZT4>";
constexpr char kCreateFailed[] = "Create archive process failed";
constexpr char kSplitHandlingFailed[] = "Multiple archive files handling failed";
constexpr char kSplitNamesFailed[] = "File name creation failed (Multiple files)";
constexpr char kTimeFormat[] = "%Y-%m-%d %H:%M:%S";

void LogError(int line, const char* format, int error) {
    char message[256];
    std::snprintf(message, sizeof message, format, error);
    LogFile::Instance().Write(kModArchiverZt4, line, kLogError, message);
}

void LogFileName(const std::string& path) { TV_LOG_INFO(kModArchiverZt4, "File name : " + path); }

bool PathTooLong(const std::string& path) { return ToUtf16(path).size() >= kMaxPath + 1; }

std::string FileNameOf(const Platform& p, const std::string& path) {
    const size_t slash = path.find_last_of(p.Separator());
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const Platform& p, const std::string& path) {
    const size_t slash = path.find_last_of(p.Separator());
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool IsJournalKind(char kind) { return kind == 'E' || kind == 'S' || kind == 'T'; }

}  // namespace

CArchiverZT4::CArchiverZT4(AppContext& context) : CBaseArchiver(context), reader_(context, kModArchiverZt4) {}

CArchiverZT4::~CArchiverZT4() = default;

void CArchiverZT4::ResetFields() {
    ResetRunFields();
    folderName.clear();
    startStamp.clear();
    endStamp.clear();
    yearEndDate.clear();
    creationTime.clear();
    completionTime.clear();
    headerWritten = false;
    lastWrittenEnd = 0;
    reader_.dateText.clear();
    reader_.previousDateText.clear();
    file_.Discard();
    ResetFileState();
    fileIndex_ = 1;
    partsPublished_ = 0;
    publishingPart_ = false;
    partPaths_.clear();
}

void CArchiverZT4::ResetFileState() {
    yearSplit_ = false;
    closeFile_ = false;
    yearPassed_ = false;
    countingClosures_ = false;
    closuresAfterYearEnd_ = 0;
    sequence_ = 0;
    sequenceDate_.clear();
    journalInFile_ = false;
    cut_ = CutPoint{};
    lastWrittenEnd = 0;
}

// --- the family's operations -------------------------------------------------------------

bool CArchiverZT4::GetArchiveFolderName(std::string& name) const {
    name = folderName;
    return true;
}

bool CArchiverZT4::VerifySignatureBlock(const WormBlock& block, int& result) {
    CXmlParse& xml = reader_.xml;
    if (block.contentLength != 0 && block.bytes.size() >= size_t{block.contentLength} + 4) {
        xml.Load(block.bytes.data() + 4, block.contentLength);
        if (xml.Parse() == CXmlParse::kOk &&
            VerifyZt4SignatureBlock(xml.SignatureText(), xml.PublicKeyText(), block.previousHash)) {
            return true;
        }
    }
    TV_LOG_ERROR(kModArchiverZt4, "Signature verification failed");
    result = kArchiveDataCheckFailed;
    return false;
}

// --- before writing ------------------------------------------------------------------------

bool CArchiverZT4::CheckPublicKeyIntegrity(uint32_t count) {
    ClearHashes();
    if (!ReadZt4StoreInfo(ctx, count, storeInfo)) return false;
    scaleTypeText = storeInfo.scaleTypeText;
    ClearHashes();
    return true;
}

bool CArchiverZT4::UpdateYearEnd(const std::string& date) {
    if (date.size() != 8 || ctx.yearEnd.size() != 4) {
        TV_LOG_ERROR(kModArchiverZt4, "Updating year end date failed");
        return false;
    }
    const std::string monthDay = date.substr(4, 4);
    int year = std::stoi(date.substr(0, 4));
    if (monthDay > ctx.yearEnd) ++year;
    char text[16];
    std::snprintf(text, sizeof text, "%04d", year);
    yearEndDate = std::string(text) + ctx.yearEnd;
    return true;
}

bool CArchiverZT4::MakeArchiveName(std::string& path, int& result) {
    Platform& p = ctx.platform;
    int ignored = 0;
    if (!reader_.Read(firstBlock, ignored) ||
        !(reader_.kind == 'E' || reader_.kind == 'T' || reader_.kind == 'W') ||
        CZt4BlockReader::Stamp(reader_.dateText).empty()) {
        TV_LOG_ERROR(kModArchiverZt4, "Incorrect Data Found! File name creation for archival failed");
        return false;
    }
    const std::string start = reader_.dateText;
    if (!reader_.Read(lastClosure, ignored) || !IsJournalKind(reader_.kind) ||
        CZt4BlockReader::Stamp(reader_.dateText).empty()) {
        TV_LOG_ERROR(kModArchiverZt4, "Incorrect Data Found! FileName creation failed");
        return false;
    }
    const std::string end = reader_.dateText;
    reader_.dateText.clear();
    reader_.previousDateText.clear();
    if (storeInfo.scaleSerialNumber.empty() || !IsAlnumText(storeInfo.scaleSerialNumber.c_str())) {
        result = kArchiveDataCheckFailed;
        TV_LOG_ERROR(kModArchiverZt4, "Scale serial number is not in expected (alphanumeric) format");
        return false;
    }
    if (storeInfo.smcUid.empty() || !IsHexText(storeInfo.smcUid.c_str())) {
        result = kArchiveDataCheckFailed;
        TV_LOG_ERROR(kModArchiverZt4, "SMC serial number is not in hexadecimal format");
        return false;
    }
    startDateText = start.substr(0, 10);
    endDateText = end.substr(0, 10);
    startStamp = CZt4BlockReader::Stamp(start);
    endStamp = CZt4BlockReader::Stamp(end);
    folderName = storeInfo.scaleSerialNumber + "_" + storeInfo.smcUid + "_" + startStamp + "_" + endStamp;
    const std::string folder = p.JoinPath(WorkFolder(), folderName);
    const std::string candidate = p.JoinPath(folder, startStamp + "_" + endStamp + GetArchiveExtension());
    if (PathTooLong(candidate)) {
        result = kArchivePathTooLong;
        TV_LOG_ERROR(kModArchiverZt4, "Archival file path length exceeded");
        return false;
    }
    if (!CreateWorkFolder()) return false;
    if (!p.CreateDirectory(folder) && p.LastError() != kErrAlreadyExists) {
        TV_LOG_ERROR(kModArchiverZt4, "Archival file folder creation failed");
        TV_LOG_INFO(kModArchiverZt4, "Folder path : " + folder);
        return false;
    }
    TV_LOG_INFO(kModArchiverZt4, "Start date:" + startDateText + " End date:" + endDateText);
    path = candidate;
    tempArchivePath = candidate;
    cleanupArchivePath = candidate;
    return true;
}

std::vector<std::string> CArchiverZT4::ExistingParts(const std::string& tempPath) const {
    // The archive folder of the run's range holds the files of earlier runs of
    // that range, cut where those runs cut them.
    Platform& p = ctx.platform;
    const std::string finalPath = FinalPathOf(tempPath);
    const std::string folder = FolderOf(p, finalPath);
    const std::string ownName = FileNameOf(p, finalPath);
    std::vector<DirEntry> entries;
    std::vector<std::string> parts;
    if (!p.ListFolder(folder, std::string("*") + GetArchiveExtension(), entries)) return parts;
    std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    for (const DirEntry& e : entries) {
        if (!e.isDirectory && e.name != ownName && e.name.ends_with(GetArchiveExtension())) {
            parts.push_back(p.JoinPath(folder, e.name));
        }
    }
    return parts;
}

bool CArchiverZT4::InitArchive(int& result, ProgressView* progress, ResultList* results, StatusView* status) {
    std::string path;
    ExistingArchiveMode mode = ExistingArchiveMode::Ask;
    if (!MakeArchiveName(path, result) ||
        !AskReplaceArchives(path, ArchiveFolderAvailable() ? ExistingParts(path) : std::vector<std::string>{}, mode,
                            result, status) ||
        !HandleExistingArchive(path, mode, result, results, status) ||
        !UpdateYearEnd(startStamp.substr(0, 8))) {
        TV_LOG_ERROR(kModArchiverZt4, "Archival initialization process failed");
        return false;
    }
    if (progress != nullptr) {
        progress->SetRange(0, 100);
        progress->SetPos(0);
    }
    return true;
}

// --- writing -------------------------------------------------------------------------------

bool CArchiverZT4::WriteBlock(uint64_t& fileSize) {
    if (!file_.IsOpen() && !file_.Open(ctx.platform, tempArchivePath)) {
        TV_LOG_ERROR(kModArchiverZt4, "archive File open failed");
        return false;
    }
    const WormBlock& block = reader_.block;
    const char kind = reader_.kind;
    switch (kind) {
        case 'I':
            if (reader_.scaleType == "ZT4") {
                publishState = kPublishWriting;
                if (!file_.Write(kDeclaration, sizeof kDeclaration - 1)) {
                    TV_LOG_ERROR(kModArchiverZt4, "Write start XML header failed");
                    return false;
                }
                if (!file_.Write(kRootTag, sizeof kRootTag - 1)) {
                    TV_LOG_ERROR(kModArchiverZt4, "Write start ZT4 tag failed");
                    return false;
                }
                headerWritten = true;
            }
            break;
        case 'E':
        case 'O':
        case 'S':
        case 'T':
            if (!file_.Write(block.bytes.data() + 4, block.contentLength)) {
                TV_LOG_ERROR(kModArchiverZt4, "Writing WORM DATA into archive failed");
                return false;
            }
            lastWrittenDate_ = reader_.dateText;
            break;
        case 'C':
        case 'F':
        case 'P':
        case 'R':
        case 'W': break;
        default: TV_LOG_ERROR(kModArchiverZt4, "Invalid data in SMC"); return false;
    }
    if (IsJournalKind(kind)) lastWrittenEnd = file_.Size();
    fileSize = file_.Size();
    return true;
}

bool CArchiverZT4::WritePreamble(uint32_t count, int& result) {
    // The leading blocks are read with the run's reader; the dates of the block
    // being archived stay as they were.
    const std::string date = reader_.dateText;
    const std::string previous = reader_.previousDateText;
    const std::string written = lastWrittenDate_;
    uint64_t number = 0;
    bool ok = true;
    while (number < count) {
        if (!reader_.Read(static_cast<uint32_t>(number), result)) {
            ok = false;
            break;
        }
        if (!BlockHashMatches(reader_.block)) {
            result = kArchiveDataCheckFailed;
            TV_LOG_ERROR(kModArchiverZt4, "Hash verification failed. Complete archive operation failed");
            ok = false;
            break;
        }
        uint64_t size = 0;
        if (!WriteBlock(size)) {
            ok = false;
            break;
        }
        if (reader_.kind == 'S') break;
        number += reader_.block.sectorCount;
    }
    reader_.dateText = date;
    reader_.previousDateText = previous;
    lastWrittenDate_ = written;
    if (!ok) TV_LOG_ERROR(kModArchiverZt4, "Writing preamble into archive failed");
    return ok;
}

bool CArchiverZT4::WriteEndTag() {
    if (!file_.IsOpen() && !file_.Open(ctx.platform, tempArchivePath)) {
        TV_LOG_ERROR(kModArchiverZt4, "archive File open failed");
        return false;
    }
    if (!file_.Write(kEndTag, sizeof kEndTag - 1) || !file_.Close()) {
        file_.Discard();
        TV_LOG_ERROR(kModArchiverZt4, "Writing WORM DATA into archive failed");
        return false;
    }
    return true;
}

// --- the rules that end a file ---------------------------------------------------------------

void CArchiverZT4::ApplyYearEndRules() {
    const std::string date = CZt4BlockReader::CompactDate(reader_.dateText);
    if (date.empty() || date <= yearEndDate) return;
    const char kind = reader_.kind;
    if (!countingClosures_) {
        countingClosures_ = true;
        closuresAfterYearEnd_ = 0;
    }
    if (kind != 'E' && kind != 'S' && kind != 'W') {
        yearSplit_ = true;
    } else if (closuresAfterYearEnd_ >= 3 && kind != 'S' && kind != 'W') {
        yearSplit_ = true;
    }
    if (kind == 'E') ++closuresAfterYearEnd_;
    if (!yearSplit_) yearPassed_ = true;
}

void CArchiverZT4::ApplyClosureRules() {
    const char kind = reader_.kind;
    const std::string date = CZt4BlockReader::CompactDate(reader_.dateText);
    switch (sequence_) {
        case 0:
            if (kind == 'E' && reader_.yearClosure && !date.empty() && date <= yearEndDate) {
                sequence_ = 1;
                sequenceDate_ = date;
            }
            break;
        case 1:
            if (kind == 'W') {
                sequence_ = 2;
            } else {
                TV_LOG_WARNING(kModArchiverZt4, "Signature incident block is missing after closure block");
                closeFile_ = true;
            }
            break;
        case 2:
            if (kind == 'S') {
                if (date != sequenceDate_) {
                    TV_LOG_WARNING(kModArchiverZt4, "Signature block and closure block dates are different");
                }
                sequence_ = 3;
            } else {
                TV_LOG_WARNING(kModArchiverZt4, "Signature block is missing after closure block");
                closeFile_ = true;
            }
            break;
        default: closeFile_ = true; break;
    }
}

// --- the run -------------------------------------------------------------------------------

void CArchiverZT4::AddResultRow(ResultList* results) {
    if (results == nullptr) return;
    const int number = results->ItemCount() + 1;
    const int row = results->InsertRow(results->ItemCount(), ToUtf16(std::to_string(number)));
    const std::string shown = FinalPathOf(tempArchivePath);
    results->SetCell(row, 1, ToUtf16(shown));
}

bool CArchiverZT4::StartFile(uint32_t searchLimit, int& result, ResultList* results, StatusView* status) {
    Platform& p = ctx.platform;
    if (!HandleExistingArchive(tempArchivePath, ExistingArchiveMode::Automatic, result, results, status)) {
        return false;
    }
    if (!CheckLogSpace(ctx, results)) {
        const std::string copy = DataArchiveLogPath();
        if (p.Exists(copy) && !p.DeleteFile(copy)) {
            LogError(__LINE__, "Temporary 'Archive.log' file deletion not successful! (E%d)", p.LastError());
        }
        return false;
    }
    // A file left at this name in the data folder is not part of this run.
    if (p.Exists(tempArchivePath) && !DeleteArchiveFile(tempArchivePath, results)) return false;
    creationTime = p.FormatNow(kTimeFormat);
    ResetFileState();
    const BlockHash chain = currentHash;
    const bool ok = WritePreamble(searchLimit == UINT32_MAX ? searchLimit : searchLimit + 1, result);
    currentHash = chain;
    return ok;
}

bool CArchiverZT4::CreateArchive(uint32_t count, uint32_t searchLimit, uint32_t firstBlockNumber, int& result,
                                 ProgressView* progress, ResultList* results, StatusView* status) {
    Platform& p = ctx.platform;
    if (results == nullptr) {
        TV_LOG_ERROR(kModArchiverZt4, kCreateFailed);
        return false;
    }
    AddResultRow(results);
    if (!ArchiveFolderAvailable()) {
        result = kArchiveFolderMissing;
        TV_LOG_ERROR(kModArchiverZt4, "Archival file path is not available");
        results->DeleteRow(results->ItemCount() - 1);
        return false;
    }
    StartProgress(progress, count);
    if (!CheckLogSpace(ctx, results)) return false;
    if (ctx.archiveLogState == 2 && !CopyArchiveLogFromCard(ctx)) return false;
    creationTime = p.FormatNow(kTimeFormat);
    ResetFileState();
    reader_.readAhead = true;
    fileIndex_ = 1;
    partsPublished_ = 0;
    publishResult = 0;
    partPaths_.clear();

    bool runStart = firstBlockNumber != 0;
    bool fileStart = false;
    bool newFile = false;
    const uint64_t end = uint64_t{firstBlockNumber} + count;
    uint64_t number = firstBlockNumber;
    uint64_t reached = number;
    while (number < end) {
        PumpAndCheckAbort();
        if (newFile) {
            if (!StartFile(searchLimit, result, results, status)) {
                TV_LOG_ERROR(kModArchiverZt4, kCreateFailed);
                return false;
            }
            newFile = false;
        }
        if (number > UINT32_MAX || !reader_.Read(static_cast<uint32_t>(number), result)) {
            TV_LOG_ERROR(kModArchiverZt4, kCreateFailed);
            return false;
        }
        const char kind = reader_.kind;
        blockSectors = reader_.block.sectorCount;
        if (number != 0) {
            ApplyYearEndRules();
            ApplyClosureRules();
        }
        if (yearSplit_ || closeFile_) {
            // The block opens the next file; nothing of it stands in this one.
            if (!SplitAtYearEnd(result, results, status)) {
                if (publishResult != 0) result = publishResult;
                TV_LOG_ERROR(kModArchiverZt4, kCreateFailed);
                return false;
            }
            newFile = true;
            continue;
        }
        TakeTrailerHashes(reader_.block);
        if (!VerifyBlockHash(reader_.block, runStart, fileStart, result) ||
            (kind == 'S' && !VerifyZt4SignatureBlockOf(result))) {
            TV_LOG_ERROR(kModArchiverZt4, kCreateFailed);
            return false;
        }
        if ((kind == 'E' || kind == 'T') && journalInFile_ && sequence_ == 0) {
            cut_.block = static_cast<uint32_t>(number);
            cut_.offset = file_.Size();
            cut_.chainHash = lastCurrentHash;
            cut_.finishedEnd = CZt4BlockReader::Stamp(lastWrittenDate_);
            cut_.nextStart = CZt4BlockReader::Stamp(reader_.dateText);
        }
        uint64_t size = 0;
        if (!WriteBlock(size)) {
            TV_LOG_ERROR(kModArchiverZt4, kCreateFailed);
            return false;
        }
        if (kind == 'E' || kind == 'T') journalInFile_ = true;
        if (size + kSignatureRoom > ctx.maxArchiveSize) {
            if (sequence_ != 0 || yearPassed_ || cut_.block == kNoBlock) {
                ShowMessage(228, kMbIconError);
                TV_LOG_ERROR(kModArchiverZt4,
                             "Max file size reached. No space for closure data. Try increasing the max file size in "
                             "\"Settings\" menu. Create archive process failed");
                SetResultCell(results, 3, 228);
                return false;
            }
            const CutPoint cut = cut_;
            if (!SplitAtSize(result, results, status)) {
                if (publishResult != 0) result = publishResult;
                TV_LOG_ERROR(kModArchiverZt4, kCreateFailed);
                return false;
            }
            number = cut.block;
            currentHash = cut.chainHash;
            newFile = true;
            continue;
        }
        const uint64_t sectors = reader_.block.sectorCount;
        if (number + sectors > reached) {
            AdvanceProgress(number + sectors - reached);
            reached = number + sectors;
        }
        number += sectors;
    }
    if (!WriteEndTag() || !FinishFile(tempArchivePath) || !RecordInLog(tempArchivePath)) {
        TV_LOG_ERROR(kModArchiverZt4, kCreateFailed);
        return false;
    }
    if (!FinishArchive(partsPublished_ > 0, results, status)) {
        if (publishResult != 0) result = publishResult;
        TV_LOG_ERROR(kModArchiverZt4, "Final processing failed");
        return false;
    }
    std::vector<std::string> published = partPaths_;
    published.push_back(tempArchivePath);
    RemoveReplacedArchives(published, results);
    RemoveTempXmlFolder();
    return true;
}

bool CArchiverZT4::VerifyZt4SignatureBlockOf(int& result) {
    if (VerifyZt4SignatureBlock(reader_.xml.SignatureText(), reader_.xml.PublicKeyText(),
                                reader_.block.previousHash)) {
        return true;
    }
    TV_LOG_ERROR(kModArchiverZt4, "Signature verification failed");
    result = kArchiveDataCheckFailed;
    return false;
}

// --- finishing files ---------------------------------------------------------------------------

bool CArchiverZT4::FinishFile(const std::string& path) {
    if (!SignArchiveFile(path)) {
        TV_LOG_ERROR(kModArchiverZt4, "Signing archive file failed");
        return false;
    }
    completionTime = ctx.platform.FormatNow(kTimeFormat);
    return true;
}

bool CArchiverZT4::RecordInLog(const std::string& path) {
    ArchiveLogRecord record;
    record.scaleSerialNumber = storeInfo.scaleSerialNumber;
    record.smcUid = storeInfo.smcUid;
    record.archiveFolder = ctx.platform.JoinPath(ctx.archivePath, folderName);
    record.fileName = FileNameOf(ctx.platform, path);
    record.creationTime = creationTime;
    record.completionTime = completionTime;
    if (!UpdateArchiveLog(ctx, record, fileIndex_)) return false;
    ++fileIndex_;
    return true;
}

bool CArchiverZT4::MakeSplitNames(const std::string& finishedEnd, const std::string& nextStart,
                                  std::string& finished, std::string& next, ResultList* results) {
    Platform& p = ctx.platform;
    const std::string name = FileNameOf(p, tempArchivePath);
    const std::string folder = FolderOf(p, tempArchivePath);
    // S_E.xml: two stamps of 14 digits.
    if (name.size() < 29 || finishedEnd.size() != 14 || nextStart.size() != 14) {
        TV_LOG_ERROR(kModArchiverZt4, kSplitNamesFailed);
        return false;
    }
    const std::string start = name.substr(0, 14);
    const std::string end = name.substr(15, 14);
    finished = p.JoinPath(folder, start + "_" + finishedEnd + GetArchiveExtension());
    next = p.JoinPath(folder, nextStart + "_" + end + GetArchiveExtension());
    if (PathTooLong(finished) || PathTooLong(next)) {
        TV_LOG_ERROR(kModArchiverZt4, "Backup file path length exceeded");
        SetResultCell(results, 3, 230);
        return false;
    }
    // Dates that do not advance would give a part the name of the file being
    // written or of a part already made, and replace it.
    const bool clash = finished == tempArchivePath || next == finished ||
                       std::find(partPaths_.begin(), partPaths_.end(), finished) != partPaths_.end() ||
                       std::find(partPaths_.begin(), partPaths_.end(), next) != partPaths_.end();
    if (clash) {
        TV_LOG_ERROR(kModArchiverZt4, "Archive file names of the parts are not distinct");
        TV_LOG_ERROR(kModArchiverZt4, kSplitNamesFailed);
        return false;
    }
    return true;
}

bool CArchiverZT4::PublishPart(const std::string& finished, const std::string& next, ResultList* results,
                               StatusView* status) {
    Platform& p = ctx.platform;
    uint32_t attributes = 0;
    if (!p.GetAttributes(finished, attributes) ||
        !p.SetAttributes(finished, attributes | kAttrReadOnly | kAttrArchive)) {
        LogError(__LINE__, "Setting File attributes failed. E(%d)", p.LastError());
        LogFileName(finished);
        return false;
    }
    cleanupArchivePath = finished;
    ++partsPublished_;
    publishingPart_ = true;
    const bool published = PublishArchive(finished, static_cast<int>(partsPublished_), true, results, status);
    publishingPart_ = false;
    if (!published) {
        TV_LOG_ERROR(kModArchiverZt4, "Backup creation failed");
        return false;
    }
    partPaths_.push_back(finished);
    SetResultCell(results, 2, 196);
    tempArchivePath = next;
    cleanupArchivePath = next;
    AddResultRow(results);
    return true;
}

bool CArchiverZT4::SplitAtYearEnd(int& result, ResultList* results, StatusView* status) {
    Platform& p = ctx.platform;
    std::string finished;
    std::string next;
    const std::string nextStart = CZt4BlockReader::Stamp(reader_.dateText);
    if (!WriteEndTag() || !FinishFile(tempArchivePath) ||
        !MakeSplitNames(CZt4BlockReader::Stamp(lastWrittenDate_), nextStart, finished, next, results)) {
        TV_LOG_ERROR(kModArchiverZt4, kSplitHandlingFailed);
        return false;
    }
    if (!RecordInLog(finished) ||
        !HandleExistingArchive(finished, ExistingArchiveMode::Automatic, result, results, status) ||
        !UpdateYearEnd(CZt4BlockReader::CompactDate(reader_.dateText))) {
        TV_LOG_ERROR(kModArchiverZt4, kSplitHandlingFailed);
        return false;
    }
    if (!p.MoveFile(tempArchivePath, finished)) {
        LogError(__LINE__, "Error renaming archive file - Multiple archive files handling. E(%d)", p.LastError());
        TV_LOG_INFO(kModArchiverZt4, "File name : " + finished);
        return false;
    }
    return PublishPart(finished, next, results, status);
}

bool CArchiverZT4::CopyFilePrefix(const std::string& from, const std::string& to, uint64_t length) {
    Platform& p = ctx.platform;
    std::unique_ptr<File> source = p.OpenFile(from, OpenMode::Read);
    CBufferedArchiveFile part;
    if (!source || !part.Open(p, to)) {
        LogError(__LINE__, "Archive file open failed. (E%d)", p.LastError());
        LogFileName(source ? to : from);
        return false;
    }
    std::vector<char> piece(64 * 1024);
    uint64_t left = length;
    bool ok = true;
    while (ok && left > 0) {
        const size_t wanted = static_cast<size_t>(std::min<uint64_t>(left, piece.size()));
        const int64_t got = source->Read(piece.data(), wanted);
        ok = got > 0 && part.Write(piece.data(), static_cast<size_t>(got));
        if (ok) left -= static_cast<uint64_t>(got);
    }
    ok = ok && part.Write(kEndTag, sizeof kEndTag - 1) && part.Close();
    if (ok) return true;
    part.Discard();
    p.DeleteFile(to);
    TV_LOG_ERROR(kModArchiverZt4, kSplitHandlingFailed);
    LogFileName(to);
    return false;
}

bool CArchiverZT4::SplitAtSize(int& result, ResultList* results, StatusView* status) {
    Platform& p = ctx.platform;
    std::string finished;
    std::string next;
    if (!MakeSplitNames(cut_.finishedEnd, cut_.nextStart, finished, next, results)) return false;
    if (!HandleExistingArchive(finished, ExistingArchiveMode::Automatic, result, results, status)) {
        TV_LOG_ERROR(kModArchiverZt4, kSplitHandlingFailed);
        LogFileName(finished);
        return false;
    }
    if (!file_.Close()) {
        TV_LOG_ERROR(kModArchiverZt4, "Writing WORM DATA into archive failed");
        return false;
    }
    if (!CopyFilePrefix(tempArchivePath, finished, cut_.offset)) return false;
    if (!FinishFile(finished) || !RecordInLog(finished)) {
        p.DeleteFile(finished);
        return false;
    }
    if (!p.DeleteFile(tempArchivePath)) {
        const int error = p.LastError();
        char message[128];
        std::snprintf(message, sizeof message, "File deletion not successful! (E%d)", error);
        TV_LOG_WARNING(kModArchiverZt4, message);
        LogFileName(tempArchivePath);
    }
    return PublishPart(finished, next, results, status);
}

void CArchiverZT4::RemoveTempXmlFolder() {
    Platform& p = ctx.platform;
    if (folderName.empty()) return;
    const std::string folder = p.JoinPath(WorkFolder(), folderName);
    std::vector<DirEntry> entries;
    if (!p.ListFolder(folder, "*", entries) || !entries.empty()) return;
    if (!p.RemoveDirectory(folder)) {
        LogError(__LINE__, "Deleting temp xml file folder failed. (E%d)", p.LastError());
        TV_LOG_INFO(kModArchiverZt4, "Folder name : " + folder);
    }
}

// --- publishing hooks ------------------------------------------------------------------------

bool CArchiverZT4::PublishArchiveLog(int /*mode*/) {
    Platform& p = ctx.platform;
    int error = 0;
    if (!PublishArchiveLogToCard(ctx, error)) {
        LogError(__LINE__, "Copying 'Archive.log' to SMC failed. (E%d)", error);
        return false;
    }
    ctx.archiveLogState = 2;
    publishState = kPublishLogCopied;
    if (!publishingPart_) {
        const std::string copy = DataArchiveLogPath();
        if (p.Exists(copy) && !p.DeleteFile(copy)) {
            LogError(__LINE__, "Temporary'Archive.log' file deletion not successful! (E%d)", p.LastError());
        }
    }
    return true;
}

void CArchiverZT4::CopyFailedOnCard(const std::string& finalPath, const std::string& tempPath) {
    Platform& p = ctx.platform;
    const std::string root = p.GetDrive(ctx.drive.empty() ? 0 : ctx.drive[0]).root;
    const std::string path = p.JoinPath(root, folderName + ".err");
    // Written in the data folder, then published: the card gets the whole text
    // or nothing.
    const std::string source = p.JoinPath(GetDataFolder(), folderName + ".err");
    const std::string text = "Copying archive to " + finalPath + " failed" + "\nThe archive is temporarily copied to " +
                             tempPath + "\n\nThe temporary file may be deleted during the next archive operation.";
    std::unique_ptr<File> file = p.OpenFile(source, OpenMode::Write);
    if (!file) {
        TV_LOG_ERROR(kModArchiverZt4, "Err file open failed");
        return;
    }
    const bool written = file->Write(text.data(), text.size());
    file.reset();
    const bool published = written && p.PublishFile(source, path);
    p.DeleteFile(source);
    if (!published) {
        TV_LOG_ERROR(kModArchiverZt4, "Writing .err file in SMC open area failed");
        return;
    }
    char message[512];
    std::snprintf(message, sizeof message, "Successfully added %s file in SMC open area", path.c_str());
    TV_LOG_INFO(kModArchiverZt4, message);
}

void CArchiverZT4::AbortCleanupFiles(const std::function<void(const std::string&)>& remove) {
    Platform& p = ctx.platform;
    file_.Discard();
    if (publishState <= kPublishWriting) {
        remove(cleanupArchivePath);
        // A file being written beside a part that was cut off it.
        if (tempArchivePath != cleanupArchivePath) remove(tempArchivePath);
    } else if (publishState >= kPublishCopied && (backupFolderFailed || tempCleanupFailed)) {
        remove(cleanupArchivePath);
    }
    if (ArchiveFolderAvailable() && !cleanupArchivePath.empty()) {
        // An archive that this run set aside as ".bak" comes back: the run that
        // replaced it did not finish.
        const std::string finalPath = FinalPathOf(cleanupArchivePath);
        const std::string bak = finalPath.substr(0, finalPath.size() - 4) + GetBackupExtension();
        if (!p.Exists(finalPath) && p.Exists(bak) && p.MoveFile(bak, finalPath)) {
            TV_LOG_INFO(kModArchiverZt4, "Existing archive restored from its backup");
            LogFileName(finalPath);
        }
    }
    RemoveTempXmlFolder();
    const std::string copy = DataArchiveLogPath();
    if (p.Exists(copy) && !p.DeleteFile(copy)) {
        LogError(__LINE__, "Temporary'Archive.log' file deletion not successful! (E%d)", p.LastError());
    }
}

}  // namespace tv
