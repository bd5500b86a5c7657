// Validation of an Archive.log file: its first line, the "Digital Signature:"
// trailer, the shape of the signature text and the signature over everything
// before the trailer.
#pragma once

#include <cstdint>
#include <string>

#include "zt4/VerifierZT4.h"

namespace tv {

class CLogVerifierZT4 : public CVerifierZT4 {
public:
    using CVerifierZT4::CVerifierZT4;

    // Inside an archive run (internal) neither a progress bar nor a result list
    // is needed, and no row is written.
    bool Verify(ProgressView* progress, ResultList* results) override;

    bool CheckLogFrame(std::string& signature, uint32_t& signatureLength, int64_t& trailerOffset);
    bool HashLog(uint16_t skipLength, int64_t trailerOffset, std::string& digest, ProgressView* progress);
};

}  // namespace tv
