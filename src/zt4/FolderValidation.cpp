#include "zt4/FolderValidation.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/AppContext.h"
#include "log/LogFile.h"
#include "messages/MemoryResultList.h"
#include "messages/UiHost.h"
#include "platform/Text.h"
#include "zt4/ArchiveLogRecords.h"
#include "zt4/ArchiveVerifierZT4.h"
#include "zt4/ValidationRun.h"

namespace tv {

namespace {

bool IsArchiveName(const std::string& name) {
    return name.size() > 4 && EqualsNoCase(ToUtf16(name.substr(name.size() - 4)), u".xml");
}

// The archive files directly in the folder, and those in its subfolders when
// asked; false when the folder cannot be listed.
bool ListArchives(const std::string& folder, bool subfolders, std::vector<std::string>& paths) {
    Platform& p = Sys();
    std::vector<DirEntry> entries;
    if (!p.ListFolder(folder, "*", entries)) return false;
    for (const DirEntry& entry : entries) {
        if (entry.name.empty() || entry.name[0] == '.') continue;
        const std::string path = p.JoinPath(folder, entry.name);
        if (entry.isDirectory) {
            if (subfolders) ListArchives(path, false, paths);
        } else if (IsArchiveName(entry.name)) {
            paths.push_back(path);
        }
    }
    return true;
}

// Each file's progress, 0 to 100, as its share of the whole folder's.
class OverallProgress : public ProgressView {
public:
    OverallProgress(ProgressView* whole, size_t count) : whole_(whole), count_(count) {}
    void Next(size_t index) {
        index_ = index;
        SetPos(0);
    }
    void SetRange(int32_t, int32_t) override {}
    void SetPos(int32_t position) override {
        if (whole_ == nullptr) return;
        const int64_t pos = std::clamp<int64_t>(position, 0, 100);
        whole_->SetPos(static_cast<int32_t>((static_cast<int64_t>(index_) * 100 + pos) /
                                            static_cast<int64_t>(count_)));
    }

private:
    ProgressView* whole_;
    size_t count_;
    size_t index_ = 0;
};

// The progress of a validation nobody watches.
class UnseenProgress : public ProgressView {
public:
    void SetRange(int32_t, int32_t) override {}
    void SetPos(int32_t) override {}
};

}  // namespace

bool ValidateZt4Folder(const std::string& folder, ProgressView* progress, ResultList* results) {
    if (results == nullptr) {
        TV_LOG_ERROR(kModVerificationPage, "Invalid input parameters");
        return false;
    }
    std::vector<std::string> paths;
    if (!ListArchives(folder, true, paths)) {
        TV_LOG_ERROR(kModVerificationPage, "Archive folder could not be read: " + folder);
        return false;
    }
    if (paths.empty()) {
        TV_LOG_ERROR(kModVerificationPage, "No archive file found in folder: " + folder);
        return false;
    }
    // Files are named after the dates of their first and last blocks and the
    // run folders after the card and the range: in name order, oldest first.
    std::sort(paths.begin(), paths.end());

    AppContext& ctx = GetAppContext();
    const uint32_t keptKind = ctx.validationKind;
    const uint32_t keptMode = ctx.verificationMode;
    const int32_t keptFolderInput = ctx.folderInput;
    const std::string keptPath = ctx.verificationPath;
    ctx.validationKind = 1;
    ctx.verificationMode = 2;
    ctx.folderInput = 0;

    if (progress != nullptr) progress->SetRange(0, 100);
    OverallProgress overall(progress, paths.size());
    bool allValid = true;
    for (size_t i = 0; i < paths.size(); ++i) {
        overall.Next(i);
        ctx.verificationPath = paths[i];
        CArchiveVerifierZT4 verifier(paths[i]);
        if (!RunZt4Validation(&verifier, 1, false, 2, &overall, results)) allValid = false;
    }
    if (progress != nullptr) progress->SetPos(100);

    ctx.validationKind = keptKind;
    ctx.verificationMode = keptMode;
    ctx.folderInput = keptFolderInput;
    ctx.verificationPath = keptPath;
    return allValid;
}

bool HoldsZt4Archives(const std::string& folder) {
    std::vector<std::string> paths;
    return ListArchives(folder, true, paths) && !paths.empty();
}

bool ValidateZt4File(uint32_t kind, const std::string& path, ProgressView* progress, ResultList* results) {
    AppContext& ctx = GetAppContext();
    const uint32_t keptKind = ctx.validationKind;
    const uint32_t keptMode = ctx.verificationMode;
    const int32_t keptFolderInput = ctx.folderInput;
    const std::string keptPath = ctx.verificationPath;
    ctx.validationKind = kind;
    ctx.verificationMode = 2;
    ctx.folderInput = 0;
    ctx.verificationPath = path;
    auto verifier = MakeZt4Verifier(kind, path);
    UnseenProgress unseen;
    if (progress == nullptr) progress = &unseen;
    progress->SetRange(0, 100);
    const bool ok = RunZt4Validation(verifier.get(), kind, false, 2, progress, results);
    ctx.validationKind = keptKind;
    ctx.verificationMode = keptMode;
    ctx.folderInput = keptFolderInput;
    ctx.verificationPath = keptPath;
    return ok;
}

const char* ContinuityLog::UseText() const {
    switch (use) {
    case Use::kNone: return "";
    case Use::kFoundInvalid: return "found-invalid";
    case Use::kGiven: return read ? "given" : "unreadable";
    case Use::kFound: return read ? "found" : "unreadable";
    }
    return "";
}

ContinuityLog ChooseContinuityLog(const std::string& folder, const std::string& given) {
    Platform& p = Sys();
    ContinuityLog log;
    if (!given.empty()) {
        log.use = ContinuityLog::Use::kGiven;
        log.path = given;
    } else {
        const std::string found = p.JoinPath(folder, "Archive.log");
        if (!p.Exists(found) || p.IsDirectory(found)) return log;
        log.path = found;
        AppContext& ctx = GetAppContext();
        AuditTrail aside;
        AuditTrail* const kept = ctx.auditTrail;
        ctx.auditTrail = &aside;
        MemoryResultList rows;
        const bool clean = ValidateZt4File(3, found, nullptr, &rows) && ExitStatusOf(aside) == 0;
        ctx.auditTrail = kept;
        log.use = clean ? ContinuityLog::Use::kFound : ContinuityLog::Use::kFoundInvalid;
        if (!clean) return log;
    }
    std::string uid;
    log.read = ReadArchiveLogRecords(log.path, uid, log.records);
    if (!log.read) log.records.clear();
    return log;
}

std::string CardArchiveLogAt(char letter) {
    Platform& p = Sys();
    const DriveInfo drive = p.GetDrive(letter);
    if (drive.type != DriveType::Removable && drive.type != DriveType::Unknown) return {};
    if (drive.root.empty()) return {};
    const std::string log = p.CardFilePath(drive.root, "Archive.log");
    uint32_t attributes = 0;
    if (!p.GetAttributes(log, attributes) || (attributes & kAttrDirectory) != 0) return {};
    return log;
}

std::string FirstCardArchiveLog() {
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        std::string log = CardArchiveLogAt(letter);
        if (!log.empty()) return log;
    }
    return {};
}

}  // namespace tv
