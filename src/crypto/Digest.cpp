#include "crypto/Digest.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "app/AppContext.h"
#include "crypto/OpenSslHandles.h"
#include "crypto/TextCodec.h"
#include "log/LogFile.h"
#include "messages/Messages.h"

namespace tv {

namespace {

constexpr size_t kChunkSize = 4096;
constexpr size_t kTailSize = 6;
constexpr uint32_t kArchiveGeneration = 1;

// Undoes what the running archive operation has produced; the log records when
// there is none to undo.
void CleanUpRunningArchive() {
    AppContext& ctx = GetAppContext();
    if (ctx.currentArchiver && ctx.abortCleanup != nullptr) {
        ctx.abortCleanup(ctx);
    } else {
        TV_LOG_ERROR(kModSignature, "Archive element not found");
    }
}

// Lets the window paint and see Cancel; ends the program when the user aborted.
void PumpAndCheckAbort(bool undoArchive) {
    Ui().Pump();
    if (!GetAppContext().abortRequested) return;
    if (undoArchive) CleanUpRunningArchive();
    AbortApplication();
}

void LogFileError(int line, const char* what, const std::string& path) {
    char message[256];
    std::snprintf(message, sizeof message, "%s. E(%d)", what, Sys().LastError());
    LogFile::Instance().Write(kModSignature, line, kLogError, message);
    TV_LOG_INFO(kModSignature, "File name : " + path);
}

// One SHA-256 computation. A failure of the library (out of memory) is kept and
// gives an all-zero digest, which no stored digest matches.
class Sha256Stream {
public:
    Sha256Stream() : ctx_(EVP_MD_CTX_new()) {
        ok_ = ctx_ && ossl::Sha256() != nullptr && EVP_DigestInit_ex2(ctx_.get(), ossl::Sha256(), nullptr) > 0;
    }
    void Update(const uint8_t* data, size_t length) {
        if (ok_ && length != 0) ok_ = EVP_DigestUpdate(ctx_.get(), data, length) > 0;
    }
    bool Final(uint8_t* digest) {
        unsigned int size = 0;
        const bool done = ok_ && EVP_DigestFinal_ex(ctx_.get(), digest, &size) > 0 && size == kDigestSize;
        if (!done) {
            std::fill(digest, digest + kDigestSize, uint8_t{0});
            ossl::ClearErrors();
        }
        ok_ = false;
        return done;
    }

private:
    ossl::MdCtx ctx_;
    bool ok_ = false;
};

std::string DigestText(Sha256Stream& sha) {
    uint8_t digest[kDigestSize];
    sha.Final(digest);
    return EncodeHex(digest, sizeof digest);
}

}  // namespace

DigestBytes HashBuffer(const uint8_t* data, size_t length) {
    DigestBytes digest{};
    // Digests of single lines and blocks come by the hundred thousand: the context
    // is made once per thread and only reset for each buffer.
    thread_local const ossl::MdCtx ctx(EVP_MD_CTX_new());
    unsigned int size = 0;
    const bool ok = ctx && ossl::Sha256() != nullptr && EVP_DigestInit_ex2(ctx.get(), ossl::Sha256(), nullptr) > 0 &&
                    (data == nullptr || length == 0 || EVP_DigestUpdate(ctx.get(), data, length) > 0) &&
                    EVP_DigestFinal_ex(ctx.get(), digest.data(), &size) > 0 && size == kDigestSize;
    if (!ok) {
        digest.fill(0);
        ossl::ClearErrors();
    }
    return digest;
}

bool HashFile(const std::string& path, std::string& digestText) {
    digestText.clear();
    if (path.empty()) return false;
    std::unique_ptr<File> file = Sys().OpenFile(path, OpenMode::Read);
    if (!file) {
        LogFileError(__LINE__, "Opening file for hash generation failed", path);
        return false;
    }
    Sha256Stream sha;
    std::vector<uint8_t> chunk(kChunkSize);
    for (;;) {
        PumpAndCheckAbort(true);
        const int64_t got = file->Read(chunk.data(), chunk.size());
        if (got < 0) {
            LogFileError(__LINE__, "Reading file for hash generation failed", path);
            return false;
        }
        if (got == 0) break;
        sha.Update(chunk.data(), static_cast<size_t>(got));
    }
    digestText = DigestText(sha);
    return true;
}

bool HashFileWithoutSignature(const std::string& path, uint64_t keepLength, uint16_t skipLength,
                              bool addTail, ProgressView* progress, std::string& digestText) {
    digestText.clear();
    if (path.empty()) return false;
    std::unique_ptr<File> file = Sys().OpenFile(path, OpenMode::Read);
    if (!file) {
        LogFileError(__LINE__, "Opening file for hash generation failed", path);
        return false;
    }
    const bool undoArchive = GetAppContext().operation == kArchiveGeneration;
    Sha256Stream sha;
    std::vector<uint8_t> chunk(kChunkSize);
    uint64_t hashed = 0;
    while (hashed < keepLength) {
        PumpAndCheckAbort(undoArchive);
        const uint64_t remaining = keepLength - hashed;
        const size_t want = remaining < kChunkSize ? static_cast<size_t>(remaining) : kChunkSize;
        const int64_t got = file->Read(chunk.data(), want);
        if (got < 0) {
            LogFileError(__LINE__, "Reading file for hash generation failed", path);
            return false;
        }
        if (got == 0) {
            TV_LOG_ERROR(kModSignature, "File is shorter than the length to be hashed");
            TV_LOG_INFO(kModSignature, "File name : " + path);
            return false;
        }
        sha.Update(chunk.data(), static_cast<size_t>(got));
        hashed += static_cast<uint64_t>(got);
        if (progress != nullptr) {
            const long double share = static_cast<long double>(hashed) / keepLength;
            progress->SetPos(10 + static_cast<int32_t>(80 * share));
        }
    }
    if (addTail) {
        if (!file->Seek(static_cast<int64_t>(keepLength + skipLength))) {
            LogFileError(__LINE__, "Reading file for hash generation failed", path);
            return false;
        }
        uint8_t tail[kTailSize];
        size_t have = 0;
        while (have < kTailSize) {
            const int64_t got = file->Read(tail + have, kTailSize - have);
            if (got < 0) {
                LogFileError(__LINE__, "Reading file for hash generation failed", path);
                return false;
            }
            if (got == 0) break;
            have += static_cast<size_t>(got);
        }
        sha.Update(tail, have);
    }
    digestText = DigestText(sha);
    return true;
}

struct Sha256Hasher::State {
    Sha256Stream stream;
};

Sha256Hasher::Sha256Hasher() : state_(std::make_unique<State>()) {}
Sha256Hasher::~Sha256Hasher() = default;

void Sha256Hasher::Update(const uint8_t* data, size_t length) {
    state_->stream.Update(data, length);
}

bool Sha256Hasher::Final(DigestBytes& digest) {
    return state_->stream.Final(digest.data());
}

}  // namespace tv
