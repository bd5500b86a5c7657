// A temporary folder of its own per test and the platform of this system.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include "platform/Platform.h"

namespace tv::test {

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef _WIN32
        const int pid = ::_getpid();
#else
        const int pid = ::getpid();
#endif
        dir_ = std::filesystem::temp_directory_path() /
               ("tv-plat-" + std::to_string(pid) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        namespace fs = std::filesystem;
        std::error_code ec;
        for (auto& e : fs::recursive_directory_iterator(dir_, ec)) {
            fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
        fs::remove_all(dir_, ec);
    }
    // A path in the test's folder; "/" in name separates folders.
    std::string P(const std::string& name) const { return (dir_ / name).make_preferred().string(); }
    static void Put(const std::string& path, const std::string& content) {
        std::ofstream(path, std::ios::binary) << content;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::unique_ptr<Platform> p_ = CreateSystemPlatform();
    std::filesystem::path dir_;
};

}  // namespace tv::test
