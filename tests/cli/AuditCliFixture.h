// Archives of a small generated dX card for the auditor's options of verify:
// a good archive, a changed copy, the card mounted at K.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "dx/CardCsv.h"
#include "emulator/CardGenerator.h"
#include "emulator/SmcEmulator.h"

namespace tv::test {

class AuditCliTest : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        GetAppContext();
        CardOptions options;
        options.days = 2;
        options.receiptsPerDay = 4;
        image_ = TempPath("card");
        std::string error;
        ASSERT_TRUE(GenerateCard(options, image_, summary_, error)) << error;
        MountEmulatedCard(*platform_, 'K', image_);
        blocks_ = ReadCardBlocks('K');
        ASSERT_GT(blocks_.size(), 10u);
        folder_ = TempPath("archives");
        std::filesystem::create_directories(folder_);
        good_ = Join(folder_, "good.csv");
        WriteFile(good_, JoinLines(blocks_));
    }
    void TearDown() override {
        platform_->MountCard('K', {}, nullptr);
        CliTest::TearDown();
    }

    // A copy of the archive with one byte of a transaction changed.
    std::string WriteChanged(const std::string& path) {
        std::string text = JoinLines(blocks_);
        const size_t t = FindBlock(blocks_, 'T');
        size_t at = 0;
        for (size_t i = 0; i < t; ++i) at += blocks_[i].line.size();
        text[at + 60] ^= 1;
        WriteFile(path, text);
        return path;
    }

    std::string Data() const { return "--data-dir " + DataFolder() + " "; }
    std::string Card() const { return "--card-image K=" + image_ + " "; }

    CardSummary summary_;
    std::string image_;
    std::vector<CardBlock> blocks_;
    std::string folder_;
    std::string good_;
};

}  // namespace tv::test
