// The archive folder a user names for one run: empty, missing, and the longest
// folder each family leaves room for.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/AppContext.h"
#include "archive/ArchiveFolder.h"
#include "platform/Text.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

class ArchiveFolderTest : public test::TestEnvironment {
protected:
    // A folder whose path is exactly `length` characters long.
    std::string FolderOfLength(size_t length) {
        std::string path = TempPath("f");
        EXPECT_LT(path.size() + 1, length);
        path += std::string(length - path.size(), 'a');
        std::filesystem::create_directories(path);
        return path;
    }
};

TEST_F(ArchiveFolderTest, ChecksInOrderEmptyMissingTooLong) {
    AppContext& ctx = GetAppContext();
    EXPECT_EQ(CheckArchiveFolder(ctx, u""), 139);
    EXPECT_EQ(CheckArchiveFolder(ctx, ToUtf16(TempPath("missing"))), 136);
    test::TestEnvironment::WriteFile(TempPath("plain"), "x");
    EXPECT_EQ(CheckArchiveFolder(ctx, ToUtf16(TempPath("plain"))), 136);  // a file is no folder

    struct Case {
        char scaleType;
        bool backup;
        size_t longest;
    };
    for (const Case c : {Case{'0', true, 174}, Case{'0', false, 184}, Case{'1', true, 164}, Case{'1', false, 143}}) {
        ctx.scaleType = c.scaleType;
        ctx.backupSmcOnArchive = c.backup;
        EXPECT_EQ(CheckArchiveFolder(ctx, ToUtf16(FolderOfLength(c.longest))), 0) << c.longest;
        EXPECT_EQ(CheckArchiveFolder(ctx, ToUtf16(FolderOfLength(c.longest + 1))), 220) << c.longest;
    }
}

TEST_F(ArchiveFolderTest, LengthCountsCharactersNotBytes) {
    AppContext& ctx = GetAppContext();
    ctx.scaleType = '1';
    ctx.backupSmcOnArchive = false;
    // 143 characters, of which the last ten take two bytes each in UTF-8.
    std::u16string path = ToUtf16(TempPath("g"));
    path += std::u16string(143 - path.size() - 10, u'b');
    path += std::u16string(10, u'\u00E9');
    std::filesystem::create_directories(std::filesystem::path(path));
    EXPECT_EQ(CheckArchiveFolder(ctx, path), 0);
}

}  // namespace
}  // namespace tv
