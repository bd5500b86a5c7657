// What the dX verifier tests share: a generated card read into archive lines,
// blocks made and signed as the card's scale would, and one verification run with
// its result rows, log errors and progress.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/AppContext.h"
#include "crypto/ScaleKey.h"
#include "dx/CardCsv.h"
#include "dx/VerifierdX.h"
#include "emulator/BlockFraming.h"
#include "emulator/CardIdentity.h"
#include "emulator/DxCardWriter.h"
#include "messages/MemoryResultList.h"
#include "platform/Text.h"
#include "support/GeneratedCard.h"

namespace tv::test {

struct VerifyOutcome {
    bool ok = false;
    std::vector<std::vector<std::string>> rows;  // six cells a row
    std::vector<std::string> errors;             // the verifier's error entries
    std::string log;
    std::vector<int32_t> progress;
};

class VerifierdXTest : public CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        GetAppContext();
    }

    // Generates and mounts a card, and gives its blocks with their archive lines.
    std::vector<CardBlock> Card(char letter, const CardOptions& options) {
        summary_ = MountCard(letter, options);
        std::string error;
        EXPECT_TRUE(MakeCardIdentity(options, identity_, error)) << error;
        return ReadCardBlocks(letter);
    }

    static CardOptions SmallCard(uint32_t days = 2) {
        CardOptions options = Small(CardFamily::Dx, days);
        options.multiSectorPercent = 50;
        return options;
    }

    std::string Archive(const std::string& name, const std::string& content) {
        const std::string path = TempPath(name);
        WriteFile(path, content);
        return path;
    }

    // Verifies a file (or, with folder set, a folder) standalone, or against the
    // card at the letter.
    VerifyOutcome Verify(const std::string& path, char card = 0, bool folder = false) {
        std::filesystem::remove(Join(DataFolder(), "Tallyvault.log"));
        AppContext& ctx = GetAppContext();
        ctx.verificationMode = card == 0 ? 2 : 1;
        ctx.drive = card == 0 ? std::string() : std::string(1, card);
        ctx.folderInput = folder ? 1 : 0;
        ctx.verificationPath = folder ? path + "/" : path;
        CVerifierdX verifier;
        verifier.path = path;
        MemoryResultList list;
        RecordingProgress progress;
        VerifyOutcome outcome;
        outcome.ok = verifier.VerifyArchives(&progress, &list, false);
        for (int row = 0; row < list.ItemCount(); ++row) {
            std::vector<std::string> cells;
            for (int column = 0; column < 6; ++column)
                cells.push_back(ToNarrow(list.Cell(row, column)));
            outcome.rows.push_back(cells);
        }
        outcome.log = LogText();
        outcome.errors = LoggedErrors(outcome.log, 6);
        outcome.progress = progress.positions;
        return outcome;
    }

    static std::string CurrentHashText(const CardBlock& block) {
        return EncodeHex(block.bytes.data() + block.paddedLength + 32, 32);
    }

    // Blocks made as the scale makes them, chained to the block before.
    static void ChainTo(CardBlock& block, const CardBlock& previous) {
        std::copy_n(previous.bytes.begin() + previous.paddedLength + 32, 32,
                    block.bytes.begin() + block.paddedLength);
        Rehash(block);
    }
    static CardBlock FromFramed(const FramedBlock& framed, uint32_t number, bool shortForm) {
        CardBlock block;
        block.number = number;
        block.type = framed.recordType;
        block.shortForm = shortForm;
        block.paddedLength = framed.paddedLength;
        block.sectors = framed.SectorCount();
        block.bytes = framed.bytes;
        return block;
    }
    static CardBlock LongBlock(char type, const std::string& payload, uint32_t number,
                               const CardBlock& previous, uint32_t lastHeader = 0) {
        CardBlock block =
            FromFramed(DxCardWriter::FrameBlock(type, payload, number, lastHeader), number, false);
        ChainTo(block, previous);
        return block;
    }
    static CardBlock ShortBlock(const std::string& content, const CardBlock& previous) {
        CardBlock block =
            FromFramed(FrameShortBlock(content), previous.number + previous.sectors, true);
        ChainTo(block, previous);
        return block;
    }
    // A signature block of the card's scale over the current hash of the block before.
    CardBlock SignatureBlock(uint32_t number, const CardBlock& previous) const {
        DigestBytes digest{};
        std::copy_n(previous.bytes.begin() + previous.paddedLength + 32, 32, digest.begin());
        std::vector<uint8_t> der;
        EXPECT_TRUE(SignDigestWith(identity_.privateKey, digest, der));
        return LongBlock('S', EncodeHex(der) + ";2016-02-01 10:00:00;", number, previous);
    }
    static std::string ReceiptPayload(size_t size) {
        std::string text = "2016-01-05 09:30:00;TICKET;000042;VENDEUR 1;";
        while (text.size() < size) text += "123;POMMES;1.250KG;2.40;3.00;";
        text.resize(size);
        return text;
    }

    static bool Contains(const std::vector<std::string>& list, const std::string& text) {
        return std::find(list.begin(), list.end(), text) != list.end();
    }

    CardSummary summary_;
    CardIdentity identity_;
};

}  // namespace tv::test
