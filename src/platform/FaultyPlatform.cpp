#include "platform/FaultyPlatform.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace tv {

namespace {

class FaultyFile : public File {
public:
    FaultyFile(std::unique_ptr<File> inner, FaultyPlatform& platform, std::string path)
        : inner_(std::move(inner)), platform_(platform), path_(std::move(path)) {}

    bool Write(const void* data, size_t n) override {
        platform_.CrashPointOnWrite(*inner_, data, n);
        if (auto error = platform_.WriteFault(path_)) {
            platform_.SetOwnError(*error);
            return false;
        }
        return inner_->Write(data, n);
    }
    int64_t Read(void* data, size_t n) override {
        if (auto error = platform_.ReadFault(path_, inner_->Tell(), n)) {
            platform_.SetOwnError(*error);
            return -1;
        }
        return inner_->Read(data, n);
    }
    bool Seek(int64_t offset) override { return inner_->Seek(offset); }
    bool SeekEnd() override { return inner_->SeekEnd(); }
    int64_t Size() override { return inner_->Size(); }
    int64_t Tell() override { return inner_->Tell(); }
    bool Truncate(int64_t size) override {
        platform_.CrashPointOnWrite(*inner_, nullptr, 0);
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
    const std::lock_guard<std::mutex> lock(mutex_);
    faults_.push_back(Fault{op, error, std::move(pathPart), times});
}

void FaultyPlatform::InjectReadFault(int error, std::string pathPart, int64_t fromByte, int times) {
    const std::lock_guard<std::mutex> lock(mutex_);
    faults_.push_back(Fault{FaultOp::Read, error, std::move(pathPart), times, fromByte});
}

void FaultyPlatform::SetDiskFull(bool full) { diskFull_ = full; }

void FaultyPlatform::Advance(int64_t seconds) { now_ = Now() + seconds; }

int FaultyPlatform::Calls(FaultOp op) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto it = std::find_if(calls_.begin(), calls_.end(),
                                 [op](const auto& c) { return c.first == op; });
    return it == calls_.end() ? 0 : it->second;
}

void FaultyPlatform::CountCall(FaultOp op) {
    auto call = std::find_if(calls_.begin(), calls_.end(),
                             [op](const auto& c) { return c.first == op; });
    if (call == calls_.end()) {
        calls_.emplace_back(op, 1);
    } else {
        ++call->second;
    }
}

std::optional<int> FaultyPlatform::Take(FaultOp op, const std::string& path) {
    const std::lock_guard<std::mutex> lock(mutex_);
    CountCall(op);
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

void FaultyPlatform::CrashAtOperation(int n, int exitCode) {
    crashAt_ = n;
    crashCode_ = exitCode;
    changing_ = 0;
}

bool FaultyPlatform::AtCrashPoint() {
    ++changing_;
    return crashAt_ > 0 && changing_ == crashAt_;
}

void FaultyPlatform::Crash() { std::_Exit(crashCode_); }

void FaultyPlatform::CrashPointOnWrite(File& file, const void* data, size_t n) {
    if (!AtCrashPoint()) return;
    if (data != nullptr && n > 1) file.Write(data, n / 2);
    Crash();
}

void FaultyPlatform::CrashPointOnCopy(const std::string& from, const std::string& to) {
    if (!AtCrashPoint()) return;
    auto in = inner_.OpenFile(from, OpenMode::Read);
    auto out = inner_.OpenFile(to, OpenMode::Write);
    if (in && out) {
        const int64_t size = in->Size();
        std::vector<char> half(static_cast<size_t>(size > 0 ? size / 2 : 0));
        if (!half.empty() && in->Read(half.data(), half.size()) == static_cast<int64_t>(half.size())) {
            out->Write(half.data(), half.size());
        }
    }
    Crash();
}

std::optional<int> FaultyPlatform::WriteFault(const std::string& path) {
    return Take(FaultOp::Write, path);
}

std::optional<int> FaultyPlatform::ReadFault(const std::string& path, int64_t position, size_t& n) {
    const std::lock_guard<std::mutex> lock(mutex_);
    CountCall(FaultOp::Read);
    for (Fault& f : faults_) {
        if (f.op != FaultOp::Read || f.times == 0) continue;
        if (!f.pathPart.empty() && path.find(f.pathPart) == std::string::npos) continue;
        if (position >= 0 && position < f.fromByte) {
            n = static_cast<size_t>(std::min<uint64_t>(n, static_cast<uint64_t>(f.fromByte - position)));
            continue;
        }
        if (f.times > 0) --f.times;
        return f.error;
    }
    return std::nullopt;
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
    CrashPoint();
    return Forward(FaultOp::SetAttributes, path,
                   [&] { return inner_.SetAttributes(path, attributes); });
}

std::unique_ptr<File> FaultyPlatform::OpenFile(const std::string& path, OpenMode mode) {
    if (mode != OpenMode::Read) CrashPoint();
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
    CrashPointOnCopy(from, to);
    return Forward(FaultOp::Copy, to, [&] { return inner_.CopyFile(from, to, failIfExists); });
}

bool FaultyPlatform::CopyFileWithProgress(const std::string& from, const std::string& to,
                                          const CopyProgress& progress) {
    CrashPointOnCopy(from, to);
    return Forward(FaultOp::Copy, to,
                   [&] { return inner_.CopyFileWithProgress(from, to, progress); });
}

bool FaultyPlatform::MoveFile(const std::string& from, const std::string& to) {
    CrashPoint();
    return Forward(FaultOp::Move, to, [&] { return inner_.MoveFile(from, to); });
}

bool FaultyPlatform::ReplaceFile(const std::string& from, const std::string& to) {
    CrashPoint();
    return Forward(FaultOp::Move, to, [&] { return inner_.ReplaceFile(from, to); });
}

bool FaultyPlatform::DeleteFile(const std::string& path) {
    CrashPoint();
    return Forward(FaultOp::Delete, path, [&] { return inner_.DeleteFile(path); });
}

bool FaultyPlatform::CreateDirectory(const std::string& path) {
    CrashPoint();
    return Forward(FaultOp::CreateDirectory, path, [&] { return inner_.CreateDirectory(path); });
}

bool FaultyPlatform::RemoveDirectory(const std::string& path) {
    CrashPoint();
    return Forward(FaultOp::RemoveDirectory, path, [&] { return inner_.RemoveDirectory(path); });
}

bool FaultyPlatform::RemoveDirectoryTree(const std::string& path) {
    CrashPoint();
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
    CrashPoint();
    return Forward(FaultOp::IniWrite, path,
                   [&] { return inner_.WritePrivateProfileString(section, key, value, path); });
}

}  // namespace tv
