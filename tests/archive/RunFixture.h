// Archive runs of generated cards as the pages carry them out: the card chosen
// and identified, the operation created, its run with the run page's logic.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/AppContext.h"
#include "archive/ArchiveRun.h"
#include "archive/BaseArchiver.h"
#include "archive/DateRange.h"
#include "archive/SmcProfile.h"
#include "dx/VerifierdX.h"
#include "emulator/CardExtension.h"
#include "messages/MemoryResultList.h"
#include "platform/Text.h"
#include "smc/SmcAccess.h"
#include "smc/SmcDiscovery.h"
#include "support/GeneratedCard.h"
#include "support/Zt4Validation.h"
#include "zt4/ArchiveVerifierZT4.h"
#include "zt4/LogVerifierZT4.h"

namespace tv::test {

class RunFixture : public CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        ctx_ = &GetAppContext();
        UseFolder("archives");
    }
    // Archives go to a folder of the test's own from now on.
    std::string UseFolder(const std::string& name) {
        const std::string folder = TempPath(name);
        std::filesystem::create_directories(folder);
        ctx_->archivePath = AsFolder(folder);
        return folder;
    }
    // The card page: the card in drive E identified for archiving.
    void ChooseCard() {
        const SmcList list = ScanSmcDrives(*ctx_);
        ASSERT_GE(list.entries.size(), 2u);
        ASSERT_EQ(IdentifySmc(*ctx_, list.entries.at(1), SmcPurpose::Archiving), SmcIdentity::Accepted);
    }
    ArchiveRunOutcome RunPage() {
        results_ = MemoryResultList();
        return RunCurrentArchiver(*ctx_, &progress_, &results_, &status_);
    }
    ArchiveRunOutcome Complete() {
        ChooseCard();
        SetArchiveType(*ctx_, 1);
        return RunPage();
    }
    // The dates the date page hands the current archiver, from "YYYY-MM-DD" texts.
    void SetDates(const std::string& from, const std::string& until) {
        DayDate a, b;
        int64_t start = 0, end = 0;
        EXPECT_TRUE(ParseDateText(from, a) && ParseDateText(until, b));
        EXPECT_TRUE(TimeOfDay(*ctx_, a, start) && TimeOfDay(*ctx_, b, end));
        ctx_->currentArchiver->SetStartDate(start);
        ctx_->currentArchiver->SetEndDate(end);
    }
    // The continue-from-last choice, offered because the card's profile is valid.
    ArchiveRunOutcome Continue() {
        ChooseCard();
        std::u16string info;
        EXPECT_EQ(CheckSmcProfile(*ctx_, info), ProfileCheck::Valid) << LogText();
        SetArchiveType(*ctx_, 2);
        return RunPage();
    }
    // A ZT4 archive (".xml") or Archive.log validated as the verification page does.
    static bool Validates(const std::string& path) { return test::Zt4Validates(path); }
    // The scale adds days to the card while it is out of the reader: the
    // program has closed it (an open card file cannot be replaced everywhere).
    void Grow(uint32_t days) {
        CloseSmc(*ctx_);
        CardSummary grown;
        std::string error;
        ASSERT_TRUE(ExtendCard(CardFolder('E'), days, grown, error)) << error;
        card_ = grown;
    }
    // The lines of the one archive file of a folder.
    std::vector<std::string> Lines(const std::string& folder) const {
        std::vector<std::string> files;
        for (const auto& e : std::filesystem::directory_iterator(folder)) {
            if (e.path().extension() == ".csv") files.push_back(e.path().string());
        }
        EXPECT_EQ(files.size(), 1u) << folder;
        if (files.size() != 1) return {};
        EXPECT_TRUE(VerifyArchiveFileQuietly(files[0])) << files[0];
        return FileLines(files[0]);
    }
    static std::vector<std::string> FileLines(const std::string& path) {
        std::vector<std::string> lines;
        const std::string text = ReadFile(path);
        for (size_t at = 0; at < text.size();) {
            const size_t end = text.find('\n', at);
            lines.push_back(text.substr(at, end - at));
            at = end == std::string::npos ? text.size() : end + 1;
        }
        return lines;
    }
    static char TypeOf(const std::string& line) { return line.size() > 14 ? line[14] : 0; }
    std::vector<std::string> Shown() const {
        std::vector<std::string> texts;
        for (const auto& m : ui_.shown) texts.push_back(ToNarrow(m.text));
        return texts;
    }
    bool Logged(const std::string& text) const { return LogText().find(text) != std::string::npos; }
    // How often the text holds what.
    static size_t Count(const std::string& text, const std::string& what) {
        size_t n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
        return n;
    }

    AppContext* ctx_ = nullptr;
    CardSummary card_;
    MemoryResultList results_;
    RecordingProgress progress_;
    RecordingStatus status_;
};

}  // namespace tv::test
