// What the Windows platform adds to the contract: card files through
// sector-aligned memory, read-only targets replaced, locks that keep every
// other open out, devices and folders refused, paths up to 260 characters,
// the drive table and the system information.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/PlatformFixture.h"
#include "platform/win32/Win32Api.h"

namespace tv {
namespace {

namespace fs = std::filesystem;
using test::PlatformTest;

std::string Pattern(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + seed + i / 512) & 0xFF);
    return bytes;
}

TEST_F(PlatformTest, SectorFilesTakeAnyBufferOffsetAndSize) {
    std::string content = Pattern(1500, 7);
    Put(P("WORMINFO.DAT"), content);
    auto file = p_->OpenSectorFile(P("WORMINFO.DAT"));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Size(), 1500);

    // Memory, offset and size all unaligned, across a sector boundary.
    std::vector<char> memory(8192 + 1);
    char* odd = memory.data() + 1;
    ASSERT_TRUE(file->Seek(509));
    EXPECT_EQ(file->Read(odd, 7), 7);
    EXPECT_EQ(std::string(odd, 7), content.substr(509, 7));
    EXPECT_EQ(file->Tell(), 516);
    // A read stops at the end of the file, and finds nothing after it.
    ASSERT_TRUE(file->Seek(1000));
    EXPECT_EQ(file->Read(odd, 8192), 500);
    EXPECT_EQ(std::string(odd, 500), content.substr(1000));
    EXPECT_EQ(file->Read(odd, 10), 0);

    // A write inside a sector keeps the bytes around it; one past the end
    // makes the file exactly as long as what was written.
    ASSERT_TRUE(file->Seek(700));
    ASSERT_TRUE(file->Write("abc", 3));
    content.replace(700, 3, "abc");
    ASSERT_TRUE(file->Seek(1498));
    ASSERT_TRUE(file->Write("WXYZ", 4));
    content.replace(1498, 2, "WXYZ");
    EXPECT_EQ(file->Size(), 1502);
    EXPECT_EQ(file->Tell(), 1502);
    // Whole sectors at a sector's offset.
    const std::string sector(512, 'S');
    ASSERT_TRUE(file->Seek(512));
    ASSERT_TRUE(file->Write(sector.data(), sector.size()));
    content.replace(512, 512, sector);
    file.reset();
    EXPECT_EQ(Read(P("WORMINFO.DAT")), content);

    // More than one pass through the aligned memory, from an odd offset.
    const std::string big = Pattern((size_t{1} << 20) * 2 + 3001, 11);
    file = p_->OpenSectorFile(P("WORMINFO.DAT"));
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->Seek(3));
    ASSERT_TRUE(file->Write(big.data(), big.size()));
    content = content.substr(0, 3) + big;
    std::vector<char> back(big.size() + 1);
    ASSERT_TRUE(file->Seek(3));
    EXPECT_EQ(file->Read(back.data() + 1, big.size()), static_cast<int64_t>(big.size()));
    EXPECT_TRUE(std::memcmp(back.data() + 1, big.data(), big.size()) == 0);
    ASSERT_TRUE(file->SeekEnd());
    EXPECT_EQ(file->Tell(), static_cast<int64_t>(content.size()));
    ASSERT_TRUE(file->Truncate(1000));
    EXPECT_EQ(file->Size(), 1000);
    EXPECT_FALSE(file->Seek(-1));
    EXPECT_EQ(p_->LastError(), kErrInvalidParameter);
    file.reset();
    EXPECT_EQ(Read(P("WORMINFO.DAT")), content.substr(0, 1000));

    EXPECT_FALSE(p_->OpenSectorFile(P("missing.dat")));
    EXPECT_EQ(p_->LastError(), kErrFileNotFound);
}

// A read-only target is replaced like any other; when the rename fails, it
// stays as it was, read-only still.
TEST_F(PlatformTest, ReplaceTakesAReadOnlyTargetAndKeepsItOnFailure) {
    Put(P("new"), "new");
    Put(P("old"), "old");
    ASSERT_TRUE(p_->SetAttributes(P("old"), kAttrReadOnly));
    ASSERT_TRUE(p_->ReplaceFile(P("new"), P("old")));
    EXPECT_EQ(Read(P("old")), "new");
    EXPECT_FALSE(fs::exists(P("new")));

    Put(P("busy"), "busy");
    ASSERT_TRUE(p_->SetAttributes(P("old"), kAttrReadOnly));
    std::unique_ptr<FileLock> held = p_->TryLockFile(P("busy"));
    ASSERT_TRUE(held);
    EXPECT_FALSE(p_->ReplaceFile(P("busy"), P("old")));
    EXPECT_EQ(p_->LastError(), kErrSharingViolation);
    uint32_t attributes = 0;
    ASSERT_TRUE(p_->GetAttributes(P("old"), attributes));
    EXPECT_NE(attributes & kAttrReadOnly, 0u);
    EXPECT_EQ(Read(P("old")), "new");

    EXPECT_FALSE(p_->ReplaceFile(P("missing"), P("old")));
    EXPECT_EQ(p_->LastError(), kErrFileNotFound);
    ASSERT_TRUE(p_->GetAttributes(P("old"), attributes));
    EXPECT_NE(attributes & kAttrReadOnly, 0u);
}

// The lock is a handle that shares nothing: while it is held, the file does
// not open at all, in this process or another.
TEST_F(PlatformTest, LockedFileDoesNotOpenUntilReleased) {
    std::unique_ptr<FileLock> lock = p_->TryLockFile(P("data.lock"));
    ASSERT_TRUE(lock);
    EXPECT_FALSE(p_->OpenFile(P("data.lock"), OpenMode::Read));
    EXPECT_EQ(p_->LastError(), kErrSharingViolation);
    lock.reset();
    EXPECT_TRUE(p_->OpenFile(P("data.lock"), OpenMode::Read));
    // A folder at the lock's name is no lock file.
    fs::create_directories(P("folder.lock"));
    EXPECT_FALSE(p_->TryLockFile(P("folder.lock")));
    EXPECT_EQ(p_->LastError(), kErrAccessDenied);
}

// Devices open at once and are refused as no files; folders are refused too.
TEST_F(PlatformTest, DevicesAndFoldersAreNoFiles) {
    for (OpenMode mode : {OpenMode::Read, OpenMode::Write, OpenMode::Append, OpenMode::ReadWrite}) {
        EXPECT_FALSE(p_->OpenFile("NUL", mode));
        EXPECT_EQ(p_->LastError(), kErrBadFileType);
        EXPECT_FALSE(p_->OpenFile(dir_.string(), mode));
        EXPECT_EQ(p_->LastError(), kErrAccessDenied);
    }
    EXPECT_FALSE(p_->OpenSectorFile("NUL"));
    EXPECT_EQ(p_->LastError(), kErrBadFileType);
    EXPECT_FALSE(p_->OpenSectorFile(dir_.string()));
    EXPECT_EQ(p_->LastError(), kErrAccessDenied);
    EXPECT_FALSE(p_->CopyFile("NUL", P("copy"), false));
    EXPECT_EQ(p_->LastError(), kErrBadFileType);
    EXPECT_FALSE(fs::exists(P("copy")));

    char16_t value[16] = {};
    EXPECT_EQ(p_->GetPrivateProfileString(u"Config", u"Language", u"none", value, 16, "NUL"), 4u);
    EXPECT_EQ(std::u16string(value), u"none");
    EXPECT_EQ(p_->LastError(), kErrBadFileType);
    EXPECT_EQ(p_->GetPrivateProfileInt(u"Config", u"Size", 7, "NUL"), 7u);
    EXPECT_FALSE(p_->WritePrivateProfileString(u"Config", u"Language", u"French", "NUL"));
    EXPECT_EQ(p_->LastError(), kErrBadFileType);

    Put(P("taken"), "x");
    EXPECT_FALSE(p_->OpenFile(P("taken"), OpenMode::CreateNew));
    EXPECT_EQ(p_->LastError(), kErrAlreadyExists);
    EXPECT_EQ(Read(P("taken")), "x");
}

// A symbolic link where a file is written, locked or given attributes is
// refused and never followed; reading through it stays possible. (Windows
// makes such links only with developer mode or the privilege to do so; wine
// not at all.)
TEST_F(PlatformTest, WritesNeverFollowASymbolicLink) {
    Put(P("victim"), "precious");
    const std::wstring link = fs::path(P("link")).wstring();
    const std::wstring target = fs::path(P("victim")).wstring();
    // Wine says it made the link and makes nothing.
    if (!::CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) ||
        (::GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) == 0 ||
        ::GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "no symbolic links here";
    }
    for (OpenMode mode : {OpenMode::Write, OpenMode::Append, OpenMode::ReadWrite, OpenMode::CreateNew}) {
        EXPECT_FALSE(p_->OpenFile(P("link"), mode));
    }
    EXPECT_FALSE(p_->TryLockFile(P("link")));
    EXPECT_FALSE(p_->SetAttributes(P("link"), kAttrReadOnly));
    EXPECT_EQ(p_->LastError(), kErrAccessDenied);
    Put(P("source"), "replacement");
    EXPECT_FALSE(p_->CopyFile(P("source"), P("link"), false));
    EXPECT_EQ(p_->LastError(), kErrAccessDenied);
    EXPECT_EQ(Read(P("victim")), "precious");
    uint32_t attributes = 0;
    ASSERT_TRUE(p_->GetAttributes(P("victim"), attributes));
    EXPECT_EQ(attributes & kAttrReadOnly, 0u);

    auto in = p_->OpenFile(P("link"), OpenMode::Read);
    ASSERT_TRUE(in);
    EXPECT_EQ(in->Size(), 8);
    in.reset();
    EXPECT_TRUE(p_->RemoveLeftover(P("link")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(P("link"))));
    EXPECT_EQ(Read(P("victim")), "precious");
}

// Paths as long as Windows takes them without a prefix: 247 characters for a
// folder, 259 for a file (each with its NUL within 260).
TEST_F(PlatformTest, PathsUpTo260CharactersWork) {
    const std::string base = dir_.string();
    ASSERT_LT(base.size(), 200u);
    const std::string folder = base + "\\" + std::string(247 - base.size() - 1, 'd');
    ASSERT_TRUE(p_->CreateDirectory(folder));
    const auto longName = [&](char c) { return folder + "\\" + std::string(259 - folder.size() - 1, c); };
    const std::string file = longName('f');
    ASSERT_EQ(file.size(), 259u);
    auto out = p_->OpenFile(file, OpenMode::Write);
    ASSERT_TRUE(out);
    EXPECT_TRUE(out->Write("long", 4));
    out.reset();
    uint32_t attributes = 0;
    EXPECT_TRUE(p_->GetAttributes(file, attributes));
    std::vector<DirEntry> entries;
    ASSERT_TRUE(p_->ListFolder(folder, "f*", entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].size, 4u);
    EXPECT_TRUE(p_->CopyFile(file, longName('c'), true));
    EXPECT_TRUE(p_->MoveFile(longName('c'), longName('m')));
    EXPECT_TRUE(p_->ReplaceFile(longName('m'), file));
    EXPECT_TRUE(p_->SetAttributes(file, kAttrReadOnly));
    EXPECT_TRUE(p_->RemoveDirectoryTree(folder));
    EXPECT_FALSE(p_->Exists(folder));
}

class MemoryCardFile : public File {
public:
    explicit MemoryCardFile(std::string& bytes) : bytes_(bytes) {}
    bool Write(const void* data, size_t n) override {
        bytes_.assign(static_cast<const char*>(data), n);
        return true;
    }
    int64_t Read(void*, size_t) override { return 0; }
    bool Seek(int64_t) override { return true; }
    bool SeekEnd() override { return true; }
    int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
    int64_t Tell() override { return 0; }
    bool Truncate(int64_t) override { return true; }

private:
    std::string& bytes_;
};

class CommandChannel : public CardFileProvider {
public:
    bool Serves(const std::string& name) const override { return ::_stricmp(name.c_str(), "WORMCOMM.DAT") == 0; }
    std::unique_ptr<File> OpenCardFile(const std::string&, int&) override {
        return std::make_unique<MemoryCardFile>(received);
    }
    std::string received;
};

// Letters come from GetDriveTypeW; a card mounted at a letter takes it over
// until it is removed, and serves its card files itself.
TEST_F(PlatformTest, MountedCardsTakeTheirLetterAndServeTheirCardFiles) {
    const DriveInfo system = p_->GetDrive('c');
    EXPECT_EQ(system.letter, 'C');
    EXPECT_EQ(system.root, "C:");
    EXPECT_EQ(system.type, DriveType::Other);
    EXPECT_EQ(p_->GetDrive('1').letter, 0);

    char free = 0;
    for (char letter = 'Z'; letter >= 'D' && free == 0; --letter) {
        const wchar_t root[] = {static_cast<wchar_t>(letter), L':', L'\\', 0};
        if (::GetDriveTypeW(root) == DRIVE_NO_ROOT_DIR) free = letter;
    }
    ASSERT_NE(free, 0);
    EXPECT_EQ(p_->GetDrive(free).type, DriveType::NoRoot);
    EXPECT_EQ(p_->GetDrive(free).root, "");

    fs::create_directories(P("Card"));
    Put(P("Card/Archive.log"), "a log");
    auto channel = std::make_shared<CommandChannel>();
    p_->MountCard(static_cast<char>(free + 32), P("Card") + "\\", channel);
    const DriveInfo card = p_->GetDrive(free);
    EXPECT_EQ(card.type, DriveType::Removable);
    EXPECT_EQ(card.root, P("Card"));

    // Served whatever the case of the folder and the name.
    std::string upper = P("Card");
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    auto command = p_->OpenSectorFile(upper + "\\wormcomm.dat");
    ASSERT_TRUE(command);
    EXPECT_TRUE(command->Write("INIT", 4));
    EXPECT_EQ(channel->received, "INIT");
    // Every other file of the card is a file of its folder.
    auto log = p_->OpenSectorFile(P("Card/Archive.log"));
    ASSERT_TRUE(log);
    EXPECT_EQ(log->Size(), 5);

    p_->MountCard(free, "", nullptr);
    EXPECT_EQ(p_->GetDrive(free).type, DriveType::NoRoot);
}

TEST_F(PlatformTest, SystemInformationTakesTheFormsTheProgramUses) {
    const std::string locale = p_->UserLocaleName();
    ASSERT_GE(locale.size(), 4u);
    EXPECT_TRUE(locale[2] == '-' || locale[3] == '-') << locale;
    EXPECT_EQ(p_->CurrentDirectory(), fs::current_path().string());
    const std::string data = p_->DataFolderRoot();
    ASSERT_FALSE(data.empty());
    EXPECT_NE(data.back(), '\\');
    EXPECT_TRUE(p_->IsDirectory(data));

    uint64_t space = 0;
    EXPECT_TRUE(p_->FreeSpace(dir_.string(), space));
    EXPECT_GT(space, 0u);
    EXPECT_FALSE(p_->FreeSpace(P("missing\\"), space));
    // Drives coming and going are not watched through a descriptor here.
    EXPECT_EQ(p_->DeviceChangeHandle(), -1);

    EXPECT_EQ(p_->Separator(), '\\');
    EXPECT_EQ(p_->JoinPath("C:\\a\\", "\\b"), "C:\\a\\b");
    EXPECT_EQ(p_->JoinPath("E:", "WORMINFO.DAT"), "E:\\WORMINFO.DAT");
    EXPECT_EQ(p_->WithTrailingSeparator("C:\\a"), "C:\\a\\");
    // A path typed with slashes, as Windows takes it, or with both.
    EXPECT_EQ(p_->FileName("C:\\a\\b/c.csv"), "c.csv");
    EXPECT_EQ(p_->FileName("C:/a/c.xml"), "c.xml");
    EXPECT_EQ(p_->FileName("c.log"), "c.log");
}

// Local time is the C runtime's, and follows TZ as it is set at the time.
TEST_F(PlatformTest, LocalTimeFollowsTheTimeZoneOfTheRuntime) {
    const char* saved = std::getenv("TZ");
    const std::string keep = saved != nullptr ? saved : "";
    std::tm tm{};
    ASSERT_EQ(::_putenv_s("TZ", "UTC0"), 0);
    ASSERT_TRUE(p_->ToLocalTime(1456827302, tm));
    EXPECT_EQ(p_->FormatLocalTime(1456827302, "%Y-%m-%d %H:%M:%S"), "2016-03-01 10:15:02");
    ASSERT_EQ(::_putenv_s("TZ", "EST5"), 0);
    EXPECT_EQ(p_->FormatLocalTime(1456827302, "%Y-%m-%d %H:%M:%S"), "2016-03-01 05:15:02");
    ::_putenv_s("TZ", keep.c_str());
    EXPECT_GT(p_->Now(), 1456827302);
}

// The process ends with the status given, and nothing stdio still held is lost.
TEST(Win32PlatformDeathTest, ExitEndsWithTheStatusAndLosesNoOutput) {
    EXPECT_EXIT(
        {
            static char held[256];
            std::setvbuf(stderr, held, _IOFBF, sizeof held);
            std::fputs("last words", stderr);
            CreateSystemPlatform()->Exit(7);
        },
        ::testing::ExitedWithCode(7), "last words");
}

}  // namespace
}  // namespace tv
