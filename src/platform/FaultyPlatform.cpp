#include "platform/FaultyPlatform.h"

#include <algorithm>

namespace tv {

namespace {

class FaultyFile : public File {
public:
    FaultyFile(std::unique_ptr<File> inner, FaultyPlatform& platform, std::string path)
        : inner_(std::move(inner)), platform_(platform), path_(std::move(path)) {}

    bool Write(const void* data, size_t n) override {
        if (auto error = platform_.WriteFault(path_)) {
            platform_.SetOwnError(*error);
            return false;
        }
        return inner_->Write(data, n);
    }
    int64_t Read(void* data, size_t n) override { return inner_->Read(data, n); }
    bool Seek(int64_t offset) override { return inner_->Seek(offset); }
    bool SeekEnd() override { return inner_->SeekEnd(); }
    int64_t Size() override { return inner_->Size(); }
    int64_t Tell() override { return inner_->Tell(); }
    bool Truncate(int64_t size) override {
        if (auto error = platform_.WriteFault(path_)) {
            platform_.SetOwnError(*error);
            return false;
        }
        return inner_->Truncate(size);
    }

private:
    std::unique_ptr<File> inner_;
    FaultyPlatform& platform_;
    std::string path_;
};

}  // namespace

void FaultyPlatform::InjectFault(FaultOp op, int error, std::string pathPart, int times) {
    faults_.push_back(Fault{op, error, std::move(pathPart), times});
}

void FaultyPlatform::SetDiskFull(bool full) { diskFull_ = full; }

void FaultyPlatform::Advance(int64_t seconds) { now_ = Now() + seconds; }

int FaultyPlatform::Calls(FaultOp op) const {
    const auto it = std::find_if(calls_.begin(), calls_.end(),
                                 [op](const auto& c) { return c.first == op; });
    return it == calls_.end() ? 0 : it->second;
}

std::optional<int> FaultyPlatform::Take(FaultOp op, const std::string& path) {
    auto call = std::find_if(calls_.begin(), calls_.end(),
                             [op](const auto& c) { return c.first == op; });
    if (call == calls_.end()) {
        calls_.emplace_back(op, 1);
    } else {
        ++call->second;
    }
    if (diskFull_ && (op == FaultOp::Write || op == FaultOp::Copy || op == FaultOp::IniWrite)) {
        return kErrDiskFull;
    }
    for (Fault& f : faults_) {
        if (f.op != op || f.times == 0) continue;
        if (!f.pathPart.empty() && path.find(f.pathPart) == std::string::npos) continue;
        if (f.times > 0) --f.times;
        return f.error;
    }
    return std::nullopt;
}

std::optional<int> FaultyPlatform::WriteFault(const std::string& path) {
    return Take(FaultOp::Write, path);
}

std::string FaultyPlatform::DataFolderRoot() {
    return dataRoot_ ? *dataRoot_ : inner_.DataFolderRoot();
}

std::string FaultyPlatform::UserLocaleName() {
    return locale_ ? *locale_ : inner_.UserLocaleName();
}

int64_t FaultyPlatform::Now() { return now_ ? *now_ : inner_.Now(); }

bool FaultyPlatform::GetAttributes(const std::string& path, uint32_t& attributes) {
    return Forward(FaultOp::GetAttributes, path,
                   [&] { return inner_.GetAttributes(path, attributes); });
}

bool FaultyPlatform::SetAttributes(const std::string& path, uint32_t attributes) {
    return Forward(FaultOp::SetAttributes, path,
                   [&] { return inner_.SetAttributes(path, attributes); });
}

std::unique_ptr<File> FaultyPlatform::OpenFile(const std::string& path, OpenMode mode) {
    if (auto error = Take(FaultOp::Open, path)) {
        ownError_ = *error;
        return nullptr;
    }
    ownError_ = 0;
    auto file = inner_.OpenFile(path, mode);
    if (!file) return nullptr;
    return std::make_unique<FaultyFile>(std::move(file), *this, path);
}

std::unique_ptr<File> FaultyPlatform::OpenSectorFile(const std::string& path) {
    if (auto error = Take(FaultOp::Open, path)) {
        ownError_ = *error;
        return nullptr;
    }
    ownError_ = 0;
    auto file = inner_.OpenSectorFile(path);
    if (!file) return nullptr;
    return std::make_unique<FaultyFile>(std::move(file), *this, path);
}

bool FaultyPlatform::CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
    return Forward(FaultOp::Copy, to, [&] { return inner_.CopyFile(from, to, failIfExists); });
}

bool FaultyPlatform::CopyFileWithProgress(const std::string& from, const std::string& to,
                                          const CopyProgress& progress) {
    return Forward(FaultOp::Copy, to,
                   [&] { return inner_.CopyFileWithProgress(from, to, progress); });
}

bool FaultyPlatform::MoveFile(const std::string& from, const std::string& to) {
    return Forward(FaultOp::Move, to, [&] { return inner_.MoveFile(from, to); });
}

bool FaultyPlatform::DeleteFile(const std::string& path) {
    return Forward(FaultOp::Delete, path, [&] { return inner_.DeleteFile(path); });
}

bool FaultyPlatform::CreateDirectory(const std::string& path) {
    return Forward(FaultOp::CreateDirectory, path, [&] { return inner_.CreateDirectory(path); });
}

bool FaultyPlatform::RemoveDirectory(const std::string& path) {
    return Forward(FaultOp::RemoveDirectory, path, [&] { return inner_.RemoveDirectory(path); });
}

bool FaultyPlatform::RemoveDirectoryTree(const std::string& path) {
    return Forward(FaultOp::RemoveDirectory, path,
                   [&] { return inner_.RemoveDirectoryTree(path); });
}

bool FaultyPlatform::ListFolder(const std::string& folder, const std::string& pattern,
                                std::vector<DirEntry>& entries) {
    return Forward(FaultOp::ListFolder, folder,
                   [&] { return inner_.ListFolder(folder, pattern, entries); });
}

bool FaultyPlatform::FreeSpace(const std::string& path, uint64_t& bytes) {
    if (diskFull_ || freeSpace_) {
        bytes = diskFull_ ? 0 : *freeSpace_;
        return true;
    }
    return Forward(FaultOp::FreeSpace, path, [&] { return inner_.FreeSpace(path, bytes); });
}

bool FaultyPlatform::WritePrivateProfileString(const char16_t* section, const char16_t* key,
                                               const char16_t* value, const std::string& path) {
    return Forward(FaultOp::IniWrite, path,
                   [&] { return inner_.WritePrivateProfileString(section, key, value, path); });
}

}  // namespace tv
