// One ZT4 validation run as the verification page runs it: the log entries, the
// file checks, the validator and the result row. Shared by the wizard and the
// command line.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tv {

class CVerifierZT4;
class ProgressView;
class ResultList;

// The validator of a validation kind (1 archive, 3 Archive.log) for a path, or
// none for another kind.
std::unique_ptr<CVerifierZT4> MakeZt4Verifier(uint32_t validationKind, const std::string& path);

// Runs the validator on its file and fills the result row (columns 0 to 3). Only a
// single file in standalone mode (verificationMode 2) is validated; anything else
// ends as a failure. The verifier's per-run flags are reset afterwards.
bool RunZt4Validation(CVerifierZT4* verifier, uint32_t validationKind, bool folderInput,
                      uint32_t verificationMode, ProgressView* progress, ResultList* results);

}  // namespace tv
