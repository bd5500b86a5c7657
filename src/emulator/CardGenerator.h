// Writes card images: folders that hold what a Secure Memory Card shows at its
// root (WORMINFO.DAT, WORMCOMM.DAT, the store files), with the journal of a dX or
// a ZT4 scale made from a seed. The same options give the same bytes.
#pragma once

#include <string>

#include "emulator/CardOptions.h"

namespace tv {

// Writes the image into outFolder (created when missing; card files of an
// earlier image there are replaced). False with the reason.
bool GenerateCard(const CardOptions& options, const std::string& outFolder, CardSummary& summary,
                  std::string& error);
bool GenerateCard(const CardOptions& options, const std::string& outFolder, std::string& error);

}  // namespace tv
