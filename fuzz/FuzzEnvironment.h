// What every harness shares: a data folder of its own in a temporary folder, the
// real platform behind the fault-injecting one (fixed clock, an exit that throws
// instead of ending the fuzzer), a user interface that answers No and shows
// nothing, and writing an input to a file.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/AppContext.h"
#include "messages/UiHost.h"
#include "platform/FaultyPlatform.h"

namespace tv::fuzz {

class QuietUi : public UiHost {
public:
    int MessageBox(const std::u16string&, const std::u16string&, unsigned) override { return kIdNo; }
    void Pump() override {}
    void Repaint() override {}
};

class QuietProgress : public ProgressView {
public:
    void SetRange(int32_t, int32_t) override {}
    void SetPos(int32_t) override {}
};

class FuzzEnvironment {
public:
    FuzzEnvironment() {
        ::setenv("TZ", "UTC", 1);
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/tallyvault-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        root_ = pattern;
        real_ = CreateSystemPlatform();
        platform_ = std::make_unique<FaultyPlatform>(*real_);
        platform_->SetNow(1456827302);
        platform_->SetLocale("en-US");
        InstallEnvironment(*platform_, ui_, root_ + "/data");
        GetAppContext();
    }
    ~FuzzEnvironment() {
        DestroyAppContext();
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    FuzzEnvironment(const FuzzEnvironment&) = delete;
    FuzzEnvironment& operator=(const FuzzEnvironment&) = delete;

    FaultyPlatform& platform() { return *platform_; }
    std::string Path(const std::string& name) const { return root_ + "/" + name; }
    // Replaces the file with the bytes.
    bool WriteFile(const std::string& path, const uint8_t* data, size_t size) {
        auto file = real_->OpenFile(path, OpenMode::Write);
        return file && (size == 0 || file->Write(data, size));
    }

private:
    std::string root_;
    std::unique_ptr<Platform> real_;
    std::unique_ptr<FaultyPlatform> platform_;
    QuietUi ui_;
};

// One environment for the whole fuzzing process.
inline FuzzEnvironment& Env() {
    static FuzzEnvironment env;
    return env;
}

}  // namespace tv::fuzz
