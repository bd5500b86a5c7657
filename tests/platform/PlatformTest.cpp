// The platform contract on every system: files, folders, copies, publishing,
// locks and INI files, and the fault-injecting wrapper.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "platform/FaultyPlatform.h"
#include "platform/MountedCards.h"
#include "platform/PlatformFixture.h"
#include "platform/Text.h"

namespace tv {
namespace {

namespace fs = std::filesystem;
using test::PlatformTest;

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

// Patterns match the names as they are: no short 8.3 name, no bracket class.
TEST_F(PlatformTest, ListingMatchesWholeNamesOnly) {
    Put(P("a.csvx"), "1");
    Put(P("B.Csv"), "22");
    Put(P("[c].csv"), "333");
    fs::create_directories(P("d.csv"));
    std::vector<DirEntry> entries;
    ASSERT_TRUE(p_->ListFolder(dir_.string(), "*.csv", entries));
    std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "B.Csv");
    EXPECT_EQ(entries[0].size, 2u);
    EXPECT_FALSE(entries[0].isDirectory);
    EXPECT_EQ(entries[1].name, "[c].csv");
    EXPECT_EQ(entries[2].name, "d.csv");
    EXPECT_TRUE(entries[2].isDirectory);
    ASSERT_TRUE(p_->ListFolder(dir_.string(), "?.CSV", entries));
    ASSERT_EQ(entries.size(), 2u);
    ASSERT_TRUE(p_->ListFolder(dir_.string(), "[c]*", entries));
    ASSERT_EQ(entries.size(), 1u);
    ASSERT_TRUE(p_->ListFolder(P("d.csv"), "*", entries));
    EXPECT_TRUE(entries.empty());
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

// An INI file no configuration could fill is not read at all.
TEST_F(PlatformTest, IniFilesAreReadUpToABound) {
    Put(P("huge.ini"), "[Config]\r\nLanguage=French\r\n");
    fs::resize_file(P("huge.ini"), Platform::kMaxIniFileSize + 1);
    char16_t value[64] = {};
    p_->GetPrivateProfileString(u"Config", u"Language", u"", value, 64, P("huge.ini"));
    EXPECT_EQ(std::u16string(value), u"");
    EXPECT_EQ(p_->LastError(), kErrFileTooLarge);
    EXPECT_EQ(p_->GetPrivateProfileInt(u"Config", u"Size", 7, P("huge.ini")), 7u);
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

// The lock of a file belongs to its holder alone, also against another lock
// object of the same process, and is free again once the holder lets go of it.
TEST_F(PlatformTest, FileLockIsExclusiveUntilItsHolderLetsGo) {
    std::unique_ptr<FileLock> first = p_->TryLockFile(P("lock"));
    ASSERT_TRUE(first);
    EXPECT_EQ(p_->TryLockFile(P("lock")), nullptr);
    EXPECT_EQ(p_->LastError(), kErrSharingViolation);
    EXPECT_EQ(CreateSystemPlatform()->TryLockFile(P("lock")), nullptr);
    EXPECT_TRUE(p_->TryLockFile(P("another")));
    first.reset();
    EXPECT_TRUE(p_->TryLockFile(P("lock")));
}

TEST(TextTest, ConvertsBetweenUtf8AndUtf16AndSurvivesBrokenInput) {
    EXPECT_EQ(Utf8ToUtf16("Français"), u"Français");
    EXPECT_EQ(Utf16ToUtf8(u"Etes-vous sûr"), "Etes-vous sûr");
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("\xF0\x9F\x98\x80")), "\xF0\x9F\x98\x80");
    // Bytes of broken sequences come back as they were; lone surrogates that
    // stand for no byte become U+FFFD.
    EXPECT_EQ(Utf8ToUtf16("a\xF8\xE9"), std::u16string(u"a\xDCF8\xDCE9"));
    EXPECT_EQ(Utf8ToUtf16("\xE2\x82"), std::u16string(u"\xDCE2\xDC82"));
    for (const std::string broken : {"a\xF8\xE9", "\xE2\x82", "caf\xE9", "\xED\xA0\x80", "\xC0\xAF\xFF"}) {
        EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(broken)), broken);
    }
    EXPECT_EQ(Utf16ToUtf8(u"\xDC41\xD800"), "\xEF\xBF\xBD\xEF\xBF\xBD");
    // The platform's narrow text (UTF-8 on Linux, the ANSI code page on
    // Windows) keeps a Latin name as it was, and reads as the same characters.
    EXPECT_EQ(ToNarrow(ToUtf16("caf\xE9")), "caf\xE9");
    EXPECT_EQ(ToUtf16(ToNarrow(u"Français")), u"Français");
    EXPECT_TRUE(EqualsNoCase(u"YearEndsOn", u"yearendson"));
    EXPECT_FALSE(EqualsNoCase(u"Year", u"Years"));
    EXPECT_EQ(LeadingDecimal(u" +25MB"), 25);
    EXPECT_EQ(LeadingDecimal(u"-7"), -7);
    EXPECT_EQ(LeadingDecimal(u"MB"), 0);
    EXPECT_EQ(LeadingDecimal("99999999999999999999999"), INT64_MAX);
}

TEST(TextTest, NamePatternsOfStarAndQuestionMark) {
    EXPECT_TRUE(MatchesNamePattern(u"A.CSV", u"*.csv"));
    EXPECT_FALSE(MatchesNamePattern(u"a.csvx", u"*.csv"));
    EXPECT_TRUE(MatchesNamePattern(u"SMC_0001.csv", u"SMC_????.CSV"));
    EXPECT_FALSE(MatchesNamePattern(u"SMC_001.csv", u"SMC_????.csv"));
    EXPECT_TRUE(MatchesNamePattern(u"x.csv.part~", u"*.part~"));
    EXPECT_TRUE(MatchesNamePattern(u"", u"*"));
    EXPECT_FALSE(MatchesNamePattern(u"", u"?"));
    EXPECT_TRUE(MatchesNamePattern(u"abcbc", u"*bc"));
    EXPECT_FALSE(MatchesNamePattern(u"abcb", u"*bc"));
    EXPECT_TRUE(MatchesNamePattern(u"aXbXc", u"a*b*c"));
    EXPECT_FALSE(MatchesNamePattern(u"aXbXd", u"a*b*c"));
    EXPECT_FALSE(MatchesNamePattern(u"a.csv", u"[a].csv"));
    EXPECT_TRUE(MatchesNamePattern(u"\u00C9t\u00E9.txt", u"\u00E9T\u00C9.TXT"));
}

// A card that serves one file and counts the opens.
class OneFileCard : public CardFileProvider {
public:
    bool Serves(const std::string& name) const override { return name == "WORMCOMM.DAT" || name == "wormcomm.dat"; }
    std::unique_ptr<File> OpenCardFile(const std::string&, int& error) override {
        ++opens;
        error = kErrSharingViolation;
        return nullptr;
    }
    int opens = 0;
};

TEST(MountedCardsTest, CardsServeTheirFilesAtTheirLetterUntilRemoved) {
    auto card = std::make_shared<OneFileCard>();
    MountedCards exact("/", MountedCards::Names::ExactCase);
    exact.Mount('e', "/media/card//", card);
    DriveInfo drive;
    ASSERT_TRUE(exact.Drive('E', drive));
    EXPECT_EQ(drive.letter, 'E');
    EXPECT_EQ(drive.root, "/media/card");
    EXPECT_EQ(drive.type, DriveType::Removable);
    EXPECT_FALSE(exact.IsMounted('F'));
    EXPECT_FALSE(exact.Drive('1', drive));

    std::unique_ptr<File> file;
    int error = 0;
    EXPECT_TRUE(exact.OpenServed("/media/card/WORMCOMM.DAT", file, error));
    EXPECT_EQ(error, kErrSharingViolation);
    EXPECT_FALSE(exact.OpenServed("/media/card/Archive.log", file, error));  // an ordinary file
    EXPECT_FALSE(exact.OpenServed("/media/CARD/WORMCOMM.DAT", file, error));
    EXPECT_FALSE(exact.OpenServed("/media/card/sub/WORMCOMM.DAT", file, error));
    EXPECT_EQ(card->opens, 1);

    MountedCards anyCase("\\/", MountedCards::Names::AnyCase);
    anyCase.Mount('G', "C:\\Cards\\One\\", card);
    EXPECT_TRUE(anyCase.OpenServed("c:\\CARDS\\one\\wormcomm.dat", file, error));
    EXPECT_TRUE(anyCase.OpenServed("C:\\Cards\\One/WORMCOMM.DAT", file, error));
    EXPECT_EQ(card->opens, 3);
    anyCase.Mount('g', "ignored", nullptr);
    EXPECT_FALSE(anyCase.IsMounted('G'));
    EXPECT_FALSE(anyCase.OpenServed("C:\\Cards\\One\\WORMCOMM.DAT", file, error));
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
    // Paths are the system's: the same separators, the same file names.
    EXPECT_EQ(f.FileName("a/b\\c"), p_->FileName("a/b\\c"));
}

TEST_F(PlatformTest, ReadFaultsLetTheBytesBeforeTheirSpotThrough) {
    FaultyPlatform f(*p_);
    Put(P("bad.csv"), "0123456789");
    Put(P("good.csv"), "0123456789");
    f.InjectReadFault(kErrReadFault, "bad.csv", 4);
    auto file = f.OpenFile(P("bad.csv"), OpenMode::Read);
    ASSERT_TRUE(file);
    char buffer[16] = {};
    EXPECT_EQ(file->Read(buffer, 3), 3);
    EXPECT_EQ(file->Read(buffer, sizeof buffer), 1);  // stops short of the bad spot
    EXPECT_EQ(buffer[0], '3');
    EXPECT_EQ(file->Read(buffer, sizeof buffer), -1);
    EXPECT_EQ(f.LastError(), kErrReadFault);
    EXPECT_EQ(file->Read(buffer, 1), -1);  // every read from there on
    // Before the spot again, and past the end of the file, the same.
    ASSERT_TRUE(file->Seek(0));
    EXPECT_EQ(file->Read(buffer, sizeof buffer), 4);
    ASSERT_TRUE(file->Seek(10));
    EXPECT_EQ(file->Read(buffer, 1), -1);

    auto other = f.OpenFile(P("good.csv"), OpenMode::Read);
    ASSERT_TRUE(other);
    EXPECT_EQ(other->Read(buffer, sizeof buffer), 10);
    EXPECT_EQ(other->Read(buffer, sizeof buffer), 0);

    // A fault used up, and one from the first byte.
    f.ClearFaults();
    f.InjectFault(FaultOp::Read, kErrReadFault, "good.csv", 1);
    ASSERT_TRUE(other->Seek(0));
    EXPECT_EQ(other->Read(buffer, 2), -1);
    EXPECT_EQ(other->Read(buffer, 2), 2);
    EXPECT_EQ(f.Calls(FaultOp::Read), 10);
}


}  // namespace
}  // namespace tv
