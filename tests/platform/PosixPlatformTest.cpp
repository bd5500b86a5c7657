// File services of the POSIX platform and the fault-injecting wrapper.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/FaultyPlatform.h"
#include "platform/Text.h"

namespace tv {
namespace {

namespace fs = std::filesystem;

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tv-plat-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        for (auto& e : fs::recursive_directory_iterator(dir_, ec)) {
            fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
        fs::remove_all(dir_, ec);
    }
    std::string P(const std::string& name) const { return (dir_ / name).string(); }
    static void Put(const std::string& path, const std::string& content) {
        std::ofstream(path, std::ios::binary) << content;
    }

    std::unique_ptr<Platform> p_ = CreateSystemPlatform();
    fs::path dir_;
};

TEST_F(PlatformTest, RenameAndCopyNeverOverwriteWhenAskedNotTo) {
    Put(P("a"), "A");
    Put(P("b"), "B");
    EXPECT_FALSE(p_->MoveFile(P("a"), P("b")));
    EXPECT_EQ(p_->LastError(), kErrAlreadyExists);
    EXPECT_FALSE(p_->CopyFile(P("a"), P("b"), true));
    EXPECT_EQ(p_->LastError(), kErrFileExists);
    EXPECT_TRUE(fs::exists(P("a")));

    EXPECT_TRUE(p_->MoveFile(P("a"), P("c")));
    EXPECT_FALSE(fs::exists(P("a")));
    EXPECT_TRUE(p_->CopyFile(P("c"), P("b"), false));
    std::ifstream in(P("b"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "A");

    EXPECT_FALSE(p_->MoveFile(P("missing"), P("d")));
    EXPECT_EQ(p_->LastError(), kErrFileNotFound);
}

TEST_F(PlatformTest, CancelledCopyLeavesNoPartialFile) {
    Put(P("big"), std::string(3 << 20, 'x'));
    int calls = 0;
    EXPECT_FALSE(p_->CopyFileWithProgress(P("big"), P("copy"), [&](uint64_t done, uint64_t total) {
        EXPECT_EQ(total, uint64_t{3} << 20);
        return ++calls < 2 || done == 0;
    }));
    EXPECT_EQ(p_->LastError(), kErrRequestAborted);
    EXPECT_FALSE(fs::exists(P("copy")));
    EXPECT_TRUE(p_->CopyFileWithProgress(P("big"), P("copy"), [](uint64_t, uint64_t) { return true; }));
    EXPECT_EQ(fs::file_size(P("copy")), uint64_t{3} << 20);
}

TEST_F(PlatformTest, CopiesAreByteExactWithProgressUpToTheWholeFile) {
    // Several transfers' worth, not a multiple of any of them, every byte value.
    std::string content((5 << 20) + 12345, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>((i * 7 + i / 4096) & 0xFF);
    Put(P("journal"), content);
    uint64_t last = 0;
    bool ordered = true;
    ASSERT_TRUE(p_->CopyFileWithProgress(P("journal"), P("copy"), [&](uint64_t done, uint64_t total) {
        ordered = ordered && done >= last && total == content.size();
        last = done;
        return true;
    }));
    EXPECT_TRUE(ordered);
    EXPECT_EQ(last, content.size());
    std::ifstream in(P("copy"), std::ios::binary);
    EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(in), {}) == content);
    Put(P("empty"), "");
    EXPECT_TRUE(p_->CopyFile(P("empty"), P("empty copy"), true));
    EXPECT_EQ(fs::file_size(P("empty copy")), 0u);
}

TEST_F(PlatformTest, PublishReplacesOnlyWithACompleteCopyThenSetsAttributes) {
    auto read = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    Put(P("new"), std::string(2 << 20, 'n'));
    Put(P("final"), "old");
    fs::permissions(P("final"), fs::perms::owner_read, fs::perm_options::replace);
    // A read-only leftover of a killed publish is no obstacle.
    Put(Platform::PublishTempName(P("final")), "half");
    fs::permissions(Platform::PublishTempName(P("final")), fs::perms::owner_read, fs::perm_options::replace);

    // Cancelled half-way: the old file stands, no temporary file stays.
    int calls = 0;
    EXPECT_FALSE(p_->PublishFile(P("new"), P("final"), [&](uint64_t, uint64_t) { return ++calls < 2; }));
    EXPECT_EQ(read(P("final")), "old");
    EXPECT_FALSE(fs::exists(Platform::PublishTempName(P("final"))));

    EXPECT_TRUE(p_->PublishFile(P("new"), P("final"), {}, kAttrReadOnly));
    EXPECT_EQ(read(P("final")), std::string(2 << 20, 'n'));
    uint32_t attributes = 0;
    ASSERT_TRUE(p_->GetAttributes(P("final"), attributes));
    EXPECT_NE(attributes & kAttrReadOnly, 0u);
    EXPECT_FALSE(fs::exists(Platform::PublishTempName(P("final"))));

    EXPECT_FALSE(p_->PublishFile(P("missing"), P("other")));
    EXPECT_FALSE(fs::exists(P("other")));
}

TEST_F(PlatformTest, ReadOnlyAttributeProtectsFromDeleteButNotFromTreeRemoval) {
    Put(P("f"), "x");
    uint32_t a = 0;
    ASSERT_TRUE(p_->GetAttributes(P("f"), a));
    EXPECT_EQ(a & (kAttrReadOnly | kAttrDirectory), 0u);
    ASSERT_TRUE(p_->SetAttributes(P("f"), a | kAttrReadOnly));
    ASSERT_TRUE(p_->GetAttributes(P("f"), a));
    EXPECT_NE(a & kAttrReadOnly, 0u);
    EXPECT_FALSE(p_->DeleteFile(P("f")));
    EXPECT_EQ(p_->LastError(), kErrAccessDenied);

    ASSERT_TRUE(p_->CreateDirectory(P("tree")));
    EXPECT_FALSE(p_->CreateDirectory(P("tree")));
    EXPECT_EQ(p_->LastError(), kErrAlreadyExists);
    ASSERT_TRUE(p_->CreateDirectory(P("tree/sub")));
    Put(P("tree/sub/r"), "r");
    ASSERT_TRUE(p_->SetAttributes(P("tree/sub/r"), kAttrReadOnly));
    EXPECT_TRUE(p_->IsDirectory(P("tree")));
    EXPECT_TRUE(p_->RemoveDirectoryTree(P("tree")));
    EXPECT_FALSE(fs::exists(P("tree")));
    EXPECT_FALSE(p_->GetAttributes(P("tree"), a));
    EXPECT_FALSE(p_->CreateDirectory(P("no/such")));
    EXPECT_EQ(p_->LastError(), kErrPathNotFound);
}

TEST_F(PlatformTest, ListsFolderByPatternWithoutRegardToCase) {
    Put(P("A.CSV"), "1");
    Put(P("b.csv"), "22");
    Put(P("c.xml"), "3");
    std::vector<DirEntry> entries;
    ASSERT_TRUE(p_->ListFolder(dir_.string(), "*.csv", entries));
    std::vector<std::string> names;
    for (const auto& e : entries) names.push_back(e.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"A.CSV", "b.csv"}));
    EXPECT_FALSE(p_->ListFolder(P("missing"), "*", entries));
}

TEST_F(PlatformTest, OpenFilesAppendTruncateAndReportSize) {
    auto f = p_->OpenFile(P("x"), OpenMode::Append);
    ASSERT_TRUE(f);
    EXPECT_TRUE(f->Write("hello", 5));
    EXPECT_EQ(f->Size(), 5);
    EXPECT_TRUE(f->Truncate(2));
    f.reset();
    f = p_->OpenFile(P("x"), OpenMode::Read);
    char b[8] = {};
    EXPECT_EQ(f->Read(b, sizeof b), 2);
    EXPECT_EQ(std::string(b), "he");
    EXPECT_FALSE(p_->OpenFile(P("none"), OpenMode::Read));
    EXPECT_EQ(p_->LastError(), kErrFileNotFound);
    EXPECT_FALSE(p_->OpenFile(dir_.string(), OpenMode::Append));
}

// A pipe, or a link to one or to a device, where a file is expected fails at
// once instead of waiting for a writer; INI files are read up to a bound.
TEST_F(PlatformTest, OnlyRegularFilesOpenAndNothingWaitsOnAPipe) {
    ASSERT_EQ(::mkfifo(P("fifo").c_str(), 0600), 0);
    fs::create_symlink(P("fifo"), P("to-fifo"));
    fs::create_symlink("/dev/zero", P("to-zero"));
    for (const std::string name : {"fifo", "to-fifo", "to-zero"}) {
        for (OpenMode mode : {OpenMode::Read, OpenMode::Write, OpenMode::Append, OpenMode::ReadWrite}) {
            EXPECT_EQ(p_->OpenFile(P(name), mode), nullptr) << name;
            // A file is never written through a link, whatever it points to.
            const bool writeThroughLink = name != "fifo" && mode != OpenMode::Read;
            EXPECT_EQ(p_->LastError(), writeThroughLink ? kErrAccessDenied : kErrBadFileType) << name;
        }
        EXPECT_EQ(p_->OpenSectorFile(P(name)), nullptr) << name;
        EXPECT_EQ(p_->LastError(), kErrBadFileType) << name;
        EXPECT_FALSE(p_->CopyFile(P(name), P("copy"), false)) << name;
        EXPECT_EQ(p_->LastError(), kErrBadFileType) << name;
        EXPECT_FALSE(fs::exists(P("copy")));

        char16_t value[64] = {};
        EXPECT_EQ(p_->GetPrivateProfileString(u"Config", u"Language", u"none", value, 64, P(name)), 4u);
        EXPECT_EQ(std::u16string(value), u"none");
        EXPECT_EQ(p_->LastError(), kErrBadFileType) << name;
        EXPECT_EQ(p_->GetPrivateProfileInt(u"Config", u"Size", 7, P(name)), 7u);
        EXPECT_FALSE(p_->WritePrivateProfileString(u"Config", u"Language", u"French", P(name)));
        EXPECT_EQ(p_->LastError(), kErrBadFileType) << name;
    }
    EXPECT_TRUE(fs::is_fifo(P("fifo")));

    // An INI file no configuration could fill is not read at all.
    Put(P("huge.ini"), "[Config]\r\nLanguage=French\r\n");
    fs::resize_file(P("huge.ini"), Platform::kMaxIniFileSize + 1);
    char16_t value[64] = {};
    p_->GetPrivateProfileString(u"Config", u"Language", u"", value, 64, P("huge.ini"));
    EXPECT_EQ(std::u16string(value), u"");
    EXPECT_EQ(p_->LastError(), kErrFileTooLarge);
    EXPECT_FALSE(p_->WritePrivateProfileString(u"Config", u"Language", u"English", P("huge.ini")));
    EXPECT_EQ(fs::file_size(P("huge.ini")), uint64_t(Platform::kMaxIniFileSize + 1));

    fs::resize_file(P("huge.ini"), 30);
    p_->GetPrivateProfileString(u"Config", u"Language", u"", value, 64, P("huge.ini"));
    EXPECT_EQ(std::u16string(value), u"French");
    EXPECT_EQ(p_->LastError(), kErrNone);
}

// A line break inside a name or value would turn the rest into keys and
// sections of their own: such a write is refused and the file stays as it was.
TEST_F(PlatformTest, IniWritesNeverBreakALine) {
    ASSERT_TRUE(p_->WritePrivateProfileString(u"SMC_1", u"UID", u"ABC", P("p.ini")));
    std::ifstream before(P("p.ini"), std::ios::binary);
    const std::string content(std::istreambuf_iterator<char>(before), {});
    EXPECT_FALSE(p_->WritePrivateProfileString(u"SMC_1", u"UID", u"AB\r\n[Config]\r\nLanguage=French", P("p.ini")));
    EXPECT_EQ(p_->LastError(), kErrInvalidParameter);
    EXPECT_FALSE(p_->WritePrivateProfileString(u"SMC_1", u"A\nB", u"x", P("p.ini")));
    EXPECT_FALSE(p_->WritePrivateProfileString(u"SMC_1]\r\n[Config", u"UID", u"x", P("p.ini")));
    std::ifstream after(P("p.ini"), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(after), {}), content);
}

// The lock of a file belongs to its holder alone, in this process or another,
// and is free again once the holder lets go of it.
TEST_F(PlatformTest, FileLockIsExclusiveUntilItsHolderLetsGo) {
    std::unique_ptr<FileLock> first = p_->TryLockFile(P("lock"));
    ASSERT_TRUE(first);
    EXPECT_EQ(p_->TryLockFile(P("lock")), nullptr);
    EXPECT_EQ(p_->LastError(), kErrSharingViolation);
    EXPECT_TRUE(p_->TryLockFile(P("another")));

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto platform = CreateSystemPlatform();
        const bool refused = !platform->TryLockFile(P("lock")) && platform->LastError() == kErrSharingViolation;
        ::_exit(refused ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    first.reset();
    EXPECT_TRUE(p_->TryLockFile(P("lock")));

    // A link planted at the lock's name is not followed.
    fs::create_symlink(P("elsewhere"), P("linked"));
    EXPECT_EQ(p_->TryLockFile(P("linked")), nullptr);
    EXPECT_FALSE(fs::exists(P("elsewhere")));
}

// Links planted where files are created or changed: nothing is written or
// changed outside the folder, and what a link points to stays as it was.
class PlatformLinkTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        outside_ = P("outside");
        fs::create_directories(outside_);
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string outside_;
};

TEST_F(PlatformLinkTest, PublishingNeverWritesThroughALinkAtTheTemporaryName) {
    Put(P("new"), "the archive");
    const std::string temp = Platform::PublishTempName(P("final"));

    // A dangling link: the file it names is never created.
    fs::create_symlink(outside_ + "/landed", temp);
    ASSERT_TRUE(p_->PublishFile(P("new"), P("final"), {}, kAttrReadOnly));
    EXPECT_FALSE(fs::exists(outside_ + "/landed"));
    EXPECT_FALSE(fs::is_symlink(P("final")));
    EXPECT_EQ(Read(P("final")), "the archive");
    EXPECT_FALSE(fs::exists(fs::symlink_status(temp)));

    // A link to a file: that file keeps its content and its mode.
    Put(outside_ + "/victim", "precious");
    fs::permissions(outside_ + "/victim", fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
    fs::create_symlink(outside_ + "/victim", temp);
    ASSERT_TRUE(p_->PublishFile(P("new"), P("second"), {}, kAttrReadOnly));
    ASSERT_TRUE(p_->PublishFile(P("new"), P("final"), {}, kAttrReadOnly));
    EXPECT_EQ(Read(outside_ + "/victim"), "precious");
    EXPECT_EQ(fs::status(outside_ + "/victim").permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(fs::is_symlink(P("final")));

    // The plain copy with progress creates its file anew and fails on a link.
    fs::create_symlink(outside_ + "/copied", P("copy"));
    EXPECT_FALSE(p_->CopyFileWithProgress(P("new"), P("copy"), [](uint64_t, uint64_t) { return true; }));
    EXPECT_FALSE(fs::exists(outside_ + "/copied"));
}

TEST_F(PlatformLinkTest, FilesOpenedForWritingAndAttributesNeverFollowALink) {
    Put(outside_ + "/victim", "precious");
    fs::permissions(outside_ + "/victim", fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
    fs::create_symlink(outside_ + "/victim", P("link"));
    fs::create_symlink(outside_ + "/landed", P("dangling"));
    for (OpenMode mode : {OpenMode::Write, OpenMode::Append, OpenMode::ReadWrite, OpenMode::CreateNew}) {
        EXPECT_FALSE(p_->OpenFile(P("link"), mode));
        EXPECT_FALSE(p_->OpenFile(P("dangling"), mode));
    }
    EXPECT_FALSE(fs::exists(outside_ + "/landed"));
    EXPECT_EQ(Read(outside_ + "/victim"), "precious");
    // Reading through a link is harmless and stays possible.
    EXPECT_TRUE(p_->OpenFile(P("link"), OpenMode::Read));

    EXPECT_FALSE(p_->SetAttributes(P("link"), kAttrReadOnly));
    EXPECT_EQ(p_->LastError(), kErrAccessDenied);
    EXPECT_EQ(fs::status(outside_ + "/victim").permissions(), fs::perms::owner_read | fs::perms::owner_write);

    // A new file is refused where anything stands, and made where nothing does.
    Put(P("taken"), "x");
    EXPECT_FALSE(p_->OpenFile(P("taken"), OpenMode::CreateNew));
    EXPECT_EQ(p_->LastError(), kErrAlreadyExists);
    EXPECT_TRUE(p_->OpenFile(P("fresh"), OpenMode::CreateNew));

    // A leftover is removed as it is: the link goes, its target stays.
    EXPECT_TRUE(p_->RemoveLeftover(P("link")));
    EXPECT_TRUE(p_->RemoveLeftover(P("dangling")));
    EXPECT_TRUE(p_->RemoveLeftover(P("nothing")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(P("link"))));
    EXPECT_FALSE(fs::exists(fs::symlink_status(P("dangling"))));
    EXPECT_EQ(Read(outside_ + "/victim"), "precious");
    fs::permissions(P("taken"), fs::perms::owner_read, fs::perm_options::replace);
    EXPECT_TRUE(p_->RemoveLeftover(P("taken")));
    EXPECT_FALSE(fs::exists(P("taken")));
}

TEST_F(PlatformLinkTest, IniWritesNeverWriteThroughALinkAtTheTemporaryName) {
    Put(outside_ + "/victim", "precious");
    const std::string ini = P("SMCProfile.ini");
    fs::create_symlink(outside_ + "/victim", ini + ".tmp~");
    ASSERT_TRUE(p_->WritePrivateProfileString(u"S", u"K", u"V", ini));
    EXPECT_EQ(Read(outside_ + "/victim"), "precious");
    EXPECT_EQ(Read(ini), "[S]\r\nK=V\r\n");
    fs::create_symlink(outside_ + "/landed", ini + ".tmp~");
    ASSERT_TRUE(p_->WritePrivateProfileString(u"S", u"K", u"W", ini));
    EXPECT_FALSE(fs::exists(outside_ + "/landed"));
    EXPECT_FALSE(fs::is_symlink(ini));
    EXPECT_FALSE(fs::exists(fs::symlink_status(ini + ".tmp~")));
}

TEST_F(PlatformTest, PathHelpersKeepOneSeparator) {
    EXPECT_EQ(p_->JoinPath("/a/", "/b"), "/a/b");
    EXPECT_EQ(p_->JoinPath("/a", "b"), "/a/b");
    EXPECT_EQ(p_->WithTrailingSeparator("/a"), "/a/");
    EXPECT_EQ(p_->WithTrailingSeparator("/a/"), "/a/");
}

TEST_F(PlatformTest, LocaleNameTakesTheFormOfLanguageAndRegion) {
    const char* saved = std::getenv("LC_ALL");
    const std::string keep = saved != nullptr ? saved : "";
    ::setenv("LC_ALL", "fr_CA.UTF-8", 1);
    EXPECT_EQ(p_->UserLocaleName(), "fr-CA");
    ::setenv("LC_ALL", "C", 1);
    EXPECT_EQ(p_->UserLocaleName(), "en-US");
    if (saved != nullptr) {
        ::setenv("LC_ALL", keep.c_str(), 1);
    } else {
        ::unsetenv("LC_ALL");
    }
}

TEST(TextTest, ConvertsBetweenUtf8AndUtf16AndSurvivesBrokenInput) {
    EXPECT_EQ(ToUtf16("Français"), u"Français");
    EXPECT_EQ(ToNarrow(u"Etes-vous sûr"), "Etes-vous sûr");
    EXPECT_EQ(ToNarrow(ToUtf16("\xF0\x9F\x98\x80")), "\xF0\x9F\x98\x80");
    // Bytes of broken sequences come back as they were; lone surrogates that
    // stand for no byte become U+FFFD.
    EXPECT_EQ(ToUtf16("a\xF8\xE9"), std::u16string(u"a\xDCF8\xDCE9"));
    EXPECT_EQ(ToUtf16("\xE2\x82"), std::u16string(u"\xDCE2\xDC82"));
    for (const std::string broken : {"a\xF8\xE9", "\xE2\x82", "caf\xE9", "\xED\xA0\x80", "\xC0\xAF\xFF"}) {
        EXPECT_EQ(ToNarrow(ToUtf16(broken)), broken);
    }
    EXPECT_EQ(ToNarrow(u"\xDC41\xD800"), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_TRUE(EqualsNoCase(u"YearEndsOn", u"yearendson"));
    EXPECT_FALSE(EqualsNoCase(u"Year", u"Years"));
    EXPECT_EQ(LeadingDecimal(u" +25MB"), 25);
    EXPECT_EQ(LeadingDecimal(u"-7"), -7);
    EXPECT_EQ(LeadingDecimal(u"MB"), 0);
    EXPECT_EQ(LeadingDecimal("99999999999999999999999"), INT64_MAX);
}

TEST_F(PlatformTest, FaultsHitOnlyTheirOperationPathAndCount) {
    FaultyPlatform f(*p_);
    Put(P("a"), "A");
    f.InjectFault(FaultOp::Copy, kErrAccessDenied, "target", 1);
    EXPECT_FALSE(f.CopyFile(P("a"), P("target"), true));
    EXPECT_EQ(f.LastError(), kErrAccessDenied);
    EXPECT_TRUE(f.CopyFile(P("a"), P("other"), true));
    EXPECT_TRUE(f.CopyFile(P("a"), P("target"), true));  // the fault was used up
    EXPECT_EQ(f.Calls(FaultOp::Copy), 3);

    f.SetDiskFull(true);
    auto file = f.OpenFile(P("log"), OpenMode::Append);
    ASSERT_TRUE(file);
    EXPECT_FALSE(file->Write("x", 1));
    EXPECT_EQ(f.LastError(), kErrDiskFull);
    EXPECT_FALSE(f.WritePrivateProfileString(u"S", u"k", u"v", P("i.ini")));
    uint64_t space = 1;
    EXPECT_TRUE(f.FreeSpace(dir_.string(), space));
    EXPECT_EQ(space, 0u);

    f.SetNow(100);
    f.Advance(5);
    EXPECT_EQ(f.Now(), 105);
    EXPECT_THROW(f.Exit(3), ExitRequested);
}


// The wizard watches the mount table for drives coming and going: one handle,
// kept for the platform's life, quiet while nothing is mounted or removed.
TEST_F(PlatformTest, MountTableHandleIsStableAndQuietWithoutChanges) {
    const int fd = p_->DeviceChangeHandle();
    ASSERT_GE(fd, 0);
    EXPECT_EQ(p_->DeviceChangeHandle(), fd);
    pollfd watch{fd, POLLPRI, 0};
    ASSERT_GE(::poll(&watch, 1, 0), 0);
    EXPECT_EQ(watch.revents & POLLPRI, 0);
    FaultyPlatform faulty(*p_);
    EXPECT_EQ(faulty.DeviceChangeHandle(), fd);
}

}  // namespace
}  // namespace tv
