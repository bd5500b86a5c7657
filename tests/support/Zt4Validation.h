// A ZT4 archive (".xml") or an Archive.log validated as the verification page does.
#pragma once

#include <memory>
#include <string>

#include "messages/MemoryResultList.h"
#include "support/RecordingUi.h"
#include "zt4/ArchiveVerifierZT4.h"
#include "zt4/LogVerifierZT4.h"

namespace tv::test {

inline bool Zt4Validates(const std::string& path) {
    MemoryResultList rows;
    RecordingProgress progress;
    std::unique_ptr<CVerifierZT4> v;
    if (path.ends_with(".xml")) {
        v = std::make_unique<CArchiveVerifierZT4>(path);
    } else {
        v = std::make_unique<CLogVerifierZT4>(path);
    }
    return v->Verify(&progress, &rows);
}

}  // namespace tv::test
