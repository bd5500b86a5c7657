// Validation of a ZT4 archive file: its frame, the shape of its signature text,
// and the signature over the file without its <digisign> element.
#pragma once

#include <cstdint>
#include <string>

#include "zt4/VerifierZT4.h"

namespace tv {

class CArchiveVerifierZT4 : public CVerifierZT4 {
public:
    using CVerifierZT4::CVerifierZT4;

    bool Verify(ProgressView* progress, ResultList* results) override;

    // Reads the tail and the head of the file: the signature text, its length and
    // the offset of "<digisign>".
    bool CheckArchiveFrame(std::string& signature, uint32_t& signatureLength, int64_t& signatureOffset);
    // Logs the scale serial number and card UID of the fusing block, if present.
    void LogArchiveIdentity();
    bool HashArchive(uint16_t skipLength, int64_t signatureOffset, std::string& digest,
                     ProgressView* progress);

private:
    // What LogArchiveIdentity found, for the audit trail.
    std::string scaleSerial_;
    std::string smcUid_;
};

}  // namespace tv
