// Cards for tests: a generated image mounted as an emulated card.
#pragma once

#include <memory>
#include <string>

#include "emulator/CardGenerator.h"
#include "emulator/SmcEmulator.h"
#include "support/TempFolder.h"
#include "support/TestEnvironment.h"

namespace tv::test {

class CardTest : public TestEnvironment {
protected:
    // Generates an image into the test's folder and mounts it at the letter.
    CardSummary MountCard(char letter, const CardOptions& options, EmulatorFaults faults = {}) {
        const std::string folder = TempPath(std::string("card-") + letter);
        CardSummary summary;
        std::string error;
        EXPECT_TRUE(GenerateCard(options, folder, summary, error)) << error;
        emulators_[letter - 'A'] = MountEmulatedCard(*platform_, letter, folder, faults);
        return summary;
    }
    std::string CardFolder(char letter) const { return TempPath(std::string("card-") + letter); }
    // Takes the card out and deletes its image (whoever still has its files
    // open must have closed them: an open file cannot be deleted everywhere).
    void RemoveCard(char letter) {
        platform_->MountCard(letter, {}, nullptr);
        emulators_[letter - 'A'].reset();
        RemoveFolderTree(CardFolder(letter));
    }
    void TearDown() override {
        for (char letter = 'A'; letter <= 'Z'; ++letter) platform_->MountCard(letter, {}, nullptr);
        TestEnvironment::TearDown();
    }
    static CardOptions Small(CardFamily family, uint32_t days = 2) {
        CardOptions o;
        o.family = family;
        o.days = days;
        o.receiptsPerDay = 4;
        return o;
    }

    std::shared_ptr<SmcEmulator> emulators_[26];
};

}  // namespace tv::test
