// A generated card mounted as an emulated card, for the harnesses that check
// input against a card.
#pragma once

#include <string>

#include "FuzzEnvironment.h"
#include "emulator/CardGenerator.h"
#include "emulator/SmcEmulator.h"

namespace tv::fuzz {

inline bool MountGeneratedCard(FuzzEnvironment& env, char letter, CardFamily family) {
    CardOptions options;
    options.family = family;
    options.days = 2;
    options.receiptsPerDay = 4;
    const std::string folder = env.Path(std::string("card-") + letter);
    std::string error;
    if (!GenerateCard(options, folder, error)) return false;
    static std::shared_ptr<SmcEmulator> emulators[26];
    emulators[letter - 'A'] = MountEmulatedCard(env.platform(), letter, folder, {});
    return emulators[letter - 'A'] != nullptr;
}

}  // namespace tv::fuzz
