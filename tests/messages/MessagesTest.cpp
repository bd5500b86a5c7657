// Message texts by language, composed questions, status line, remarks and exits.
#include <gtest/gtest.h>

#include "app/AppContext.h"
#include "log/LogFile.h"
#include "messages/MemoryResultList.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

class MessagesTest : public test::TestEnvironment {
protected:
    void SetUp() override {
        TestEnvironment::SetUp();
        ctx_ = &GetAppContext();
    }
    std::string Text(MessageId id) { return Utf16ToUtf8(GetMessageText(id)); }
    AppContext* ctx_ = nullptr;
};

TEST_F(MessagesTest, EveryIdHasAnEnglishAndAFrenchText) {
    int ids = 0;
    for (MessageId id = 104; id <= 286; ++id) {
        if (id == 151 || id == 152 || id == 181) continue;
        ctx_->language = "English";
        const std::string english = Text(id);
        ctx_->language = "French";
        const std::string french = Text(id);
        EXPECT_NE(english, "Undefined string") << id;
        EXPECT_NE(french, "Undefined string") << id;
        EXPECT_FALSE(french.empty()) << id;
        ++ids;
    }
    EXPECT_EQ(ids, 180);
}

TEST_F(MessagesTest, LanguageIsChosenByTheExactSettingOnEveryLookup) {
    ctx_->language = "French";
    EXPECT_EQ(Text(104), "&Retour");
    EXPECT_EQ(Text(109), "Etes-vous sûr de vouloir fermer?");
    EXPECT_EQ(Text(283), "&Sauvegarder et fermer");
    ctx_->language = "english";
    EXPECT_EQ(Text(104), "&Back");
    ctx_->language = "Deutsch";
    EXPECT_EQ(Text(104), "&Back");
    ctx_->language = "English";
    EXPECT_EQ(Text(172), "Enter an archive file/folder path and click \"Next\".");
    EXPECT_EQ(Text(121), "Previous archive info: ");
    for (const char* language : {"English", "French"}) {
        ctx_->language = language;
        EXPECT_EQ(Text(151), "Undefined string");
        EXPECT_EQ(Text(300), "Undefined string");
        EXPECT_EQ(Text(0), "Undefined string");
    }
}

TEST(MessageTableTest, FallbackCoversOnly109To286AndTheParserSkipsJunk) {
    const MessageTable& table = MessageTable::Builtin();
    std::u16string text;
    EXPECT_TRUE(table.FindFallback(164, text));
    EXPECT_EQ(ToNarrow(text).substr(0, 40), "Incorrect information in config file.Cur");
    EXPECT_TRUE(table.FindFallback(114, text));
    EXPECT_EQ(text, u"SMC Selection");
    EXPECT_FALSE(table.FindFallback(104, text));  // outside the fallback range
    EXPECT_FALSE(table.FindFallback(110, text));  // no built-in text

    const auto parsed = MessageTable::Parse(
        "# comment\n\n7\t\"seven \"\r\nx\t\"bad\"\n8 \"no tab\"\n9\tunquoted\n99999999\t\"big\"\n10\t\"\"\n");
    EXPECT_EQ(parsed.size(), 2u);
    EXPECT_EQ(parsed.at(7), u"seven ");
    EXPECT_EQ(parsed.at(10), u"");
}

TEST_F(MessagesTest, BoxesAreTaskModalAndCaptioned) {
    ShowMessage(222, kMbIconError);
    ui_.answers = {true, false};
    EXPECT_TRUE(AskYesNo(153, kMbIconQuestion | kMbDefButton2));
    EXPECT_FALSE(AskYesNo(153, kMbIconQuestion | kMbDefButton2));
    ASSERT_EQ(ui_.shown.size(), 3u);
    EXPECT_EQ(ui_.shown[0].style, unsigned{kMbIconError | kMbTaskModal});
    EXPECT_EQ(ui_.shown[1].style,
              unsigned{kMbIconQuestion | kMbDefButton2 | kMbYesNo | kMbTaskModal});
    for (const auto& m : ui_.shown) EXPECT_EQ(m.caption, u"Tallyvault");
}

TEST_F(MessagesTest, ComposedQuestions) {
    ui_.answers = {true, true, true};
    EXPECT_TRUE(AskReplaceFile(u"a.csv"));
    // 7 March 2019, noon UTC
    EXPECT_TRUE(AskDateQuestion(117, u"2019-3-9", 188, 1551960000));
    EXPECT_TRUE(AskArchiveUntilClosure(u"2019-03-06][18:00:00"));
    const auto texts = ui_.ShownTexts();
    EXPECT_EQ(texts[0], "File a.csv already exists. Do you want to replace ?");
    EXPECT_EQ(texts[1],
              "Transaction not available for the selected start date (2019-3-7). Do you want to "
              "continue archiving from 2019-3-9?");
    EXPECT_EQ(texts[2],
              "Closure not found for the most recent receipts. Do you want to archive only until "
              "the last available closure [2019-03-06][18:00:00]?");
    for (const auto& m : ui_.shown) EXPECT_EQ(m.style, unsigned{kMbIconQuestion | kMbYesNo | kMbTaskModal});
}

TEST_F(MessagesTest, PleaseWaitLinePadsShortSteps) {
    const std::string fixed = "Please wait while the archive is being created.";
    EXPECT_EQ(ToNarrow(PleaseWaitText(123)), fixed + std::string(27, ' ') + "(Archiving.....)");
    EXPECT_EQ(ToNarrow(PleaseWaitText(244)), fixed + std::string(29, ' ') + "(Copying.....)");
    EXPECT_EQ(ToNarrow(PleaseWaitText(243)), fixed + std::string(25, ' ') + "(Preparing SMC.....)");
    test::RecordingStatus status;
    SetPleaseWaitText(&status, 142);
    EXPECT_EQ(ToNarrow(status.text), fixed + std::string(27, ' ') + "(Verifying.....)");
    SetPleaseWaitText(nullptr, 142);
}

TEST_F(MessagesTest, RunPageProgressAndPathLines) {
    ctx_->progressDone = 12;
    ctx_->progressTotal = 340;
    test::RecordingStatus status;
    SetProgressText(&status);
    EXPECT_EQ(ToNarrow(status.text), "Preparing to archive (12/340)...");

    EXPECT_EQ(ToNarrow(PathMessageText("/srv/a")), "Archive path not found. (/srv/a)");
    // 71 characters stay whole; 72 are cut after index 67, before the blanks
    // and separators that end there.
    const std::string prefix = "Archive path not found. (";
    const std::string fits(71 - prefix.size() - 1, 'a');
    EXPECT_EQ(ToNarrow(PathMessageText(fits)).size(), 71u);
    std::string path(100, 'b');
    EXPECT_EQ(ToNarrow(PathMessageText(path)), prefix + std::string(68 - prefix.size(), 'b') + "....)");
    path.replace(66 - prefix.size(), 2, "/ ");
    EXPECT_EQ(ToNarrow(PathMessageText(path)), prefix + std::string(66 - prefix.size(), 'b') + "....)");
    path.replace(64 - prefix.size(), 4, "\\ //");
    EXPECT_EQ(ToNarrow(PathMessageText(path)), prefix + std::string(64 - prefix.size(), 'b') + "....)");
}

TEST_F(MessagesTest, ResultCellsAndFileErrorRemarks) {
    MemoryResultList list;
    SetResultCell(&list, 2, 196);  // no row: nothing happens
    SetResultCell(nullptr, 2, 196);
    list.InsertRow(0, u"1");
    list.InsertRow(1, u"2");
    SetResultCell(&list, 2, 196);
    SetResultCell(&list, 2, 197, 0);
    EXPECT_EQ(list.Cell(1, 2), u"Success");
    EXPECT_EQ(list.Cell(0, 2), u"Failure");

    const std::string file = TempPath("x.csv");
    SetFileErrorRemark(&list, file, 233, kErrFileNotFound);
    EXPECT_EQ(ToNarrow(list.Cell(1, 3)), file + "(File not found.)");
    WriteFile(file, "x");
    list.SetCell(1, 3, u"kept");
    SetFileErrorRemark(&list, file, 233, kErrAccessDenied);
    EXPECT_EQ(list.Cell(1, 3), u"kept");
    SetFileErrorRemark(&list, TempPath("none"), 233, kErrAccessDenied);
    EXPECT_EQ(ToNarrow(list.Cell(1, 3)), "Access denied-Deleting temporary archive file");
    SetFileErrorRemark(&list, file, 233, kErrDiskFull);
    EXPECT_EQ(ToNarrow(list.Cell(1, 3)), "Not enough storage space in destination path. " + file);
    SetFileErrorRemark(&list, file, 233, 87);
    EXPECT_EQ(ToNarrow(list.Cell(1, 3)), "Deleting temporary archive file-Unknown Error(E87)");
    EXPECT_EQ(list.Cell(0, 3), u"");
}

TEST_F(MessagesTest, BackupFolderErrorsWriteRemarkAndTwoEntries) {
    MemoryResultList list;
    list.InsertRow(0, u"1");
    ReportBackupFolderError(&list, 18, 500, kErrPathNotFound, "/b/LastArchiveBackup");
    EXPECT_EQ(ToNarrow(list.Cell(0, 3)), "Archive backup path is not available.(/b/LastArchiveBackup)");
    ReportBackupFolderError(&list, 18, 501, kErrDiskFull, "/b");
    EXPECT_EQ(ToNarrow(list.Cell(0, 3)), "Not enough storage space in destination path. /b");
    ReportBackupFolderError(&list, 18, 502, 5, "/b");
    EXPECT_EQ(ToNarrow(list.Cell(0, 3)), "Creating Archive backup folder-Unknown Error(E5)");
    const std::string log = LogText();
    EXPECT_NE(log.find("ERROR   - 18:500 Archive backup path not found\r\n"), std::string::npos);
    EXPECT_NE(log.find("INFO    - Folder path :/b/LastArchiveBackup\r\n"), std::string::npos);
    EXPECT_NE(log.find("ERROR   - 18:501 Not enough storage space in destination path\r\n"), std::string::npos);
    EXPECT_NE(log.find("ERROR   - 18:502 UnKnown Error (E:5)\r\n"), std::string::npos);
}

TEST_F(MessagesTest, OrderlyExits) {
    try {
        FatalError(7, 12, "Unexpected archive type found.Application Aborted");
        FAIL() << "FatalError returned";
    } catch (const ExitRequested& e) {
        EXPECT_EQ(e.code, 1);
    }
    EXPECT_NE(LogText().find("ERROR   - 7:12 Unexpected archive type found.Application Aborted\r\n"),
              std::string::npos);
    ASSERT_EQ(ui_.ShownTexts().back(), "Unknown Error");
    EXPECT_EQ(ui_.shown.back().style, unsigned{kMbIconError | kMbTaskModal});

    try {
        AbortApplication();
        FAIL() << "AbortApplication returned";
    } catch (const ExitRequested& e) {
        EXPECT_EQ(e.code, 0);
    }
    EXPECT_FALSE(HasAppContext());
    EXPECT_EQ(ui_.repaints, 1);
    EXPECT_NE(LogText().find("INFO    - Application aborted\r\n"), std::string::npos);
}

TEST(TextCheckTest, HexAndAlnum) {
    EXPECT_TRUE(IsHexText("09afAF"));
    EXPECT_TRUE(IsHexText(""));
    EXPECT_FALSE(IsHexText(nullptr));
    EXPECT_FALSE(IsHexText("0x1"));
    EXPECT_TRUE(IsAlnumText("Ab09"));
    EXPECT_TRUE(IsAlnumText(""));
    EXPECT_FALSE(IsAlnumText(nullptr));
    EXPECT_FALSE(IsAlnumText("a b"));
    EXPECT_FALSE(IsAlnumText("\xE9"));
}

}  // namespace
}  // namespace tv
