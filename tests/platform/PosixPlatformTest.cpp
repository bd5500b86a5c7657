// What the POSIX platform adds to the contract: pipes and devices, symbolic
// links, locks across processes, the locale from the environment and the
// mount table.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/FaultyPlatform.h"
#include "platform/PlatformFixture.h"

namespace tv {
namespace {

namespace fs = std::filesystem;
using test::PlatformTest;

// A pipe, or a link to one or to a device, where a file is expected fails at
// once instead of waiting for a writer.
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
}

// The lock of a file is refused to another process too, and a link planted at
// the lock's name is not followed.
TEST_F(PlatformTest, FileLockIsRefusedToAnotherProcessAndNeverFollowsALink) {
    std::unique_ptr<FileLock> first = p_->TryLockFile(P("lock"));
    ASSERT_TRUE(first);
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
    // A backslash is part of a file's name here.
    EXPECT_EQ(p_->FileName("/a/b\\c.csv"), "b\\c.csv");
    EXPECT_EQ(p_->FileName("c.csv"), "c.csv");
    EXPECT_EQ(p_->FileName("/a/"), "");
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
