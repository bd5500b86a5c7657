// More days on an existing card image, as a scale fills its card between two
// archive runs: the journal already on the card stays byte for byte, the new
// days follow it with their closures and signatures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "emulator/CardOptions.h"

namespace tv {

// The file in an image folder that records how the generator made the image.
extern const char* const kCardRecipeName;

// The make-card arguments that give these options (without --out).
std::vector<std::string> CardOptionsArguments(const CardOptions& options);

// Writes the recipe of a generated image into its folder.
bool WriteCardRecipe(const std::string& folder, const CardOptions& options, std::string& error);

// Adds days closed days to the image in folder. Images with an unclosed tail or
// with damage cannot grow (their last day or damaged block would move), nor
// images the generator did not make. False with the reason; the image is then
// unchanged.
bool ExtendCard(const std::string& folder, uint32_t days, CardSummary& summary, std::string& error);

}  // namespace tv
