// The verifier objects of the context that a chosen operation needs: the dX
// verifier or the ZT4 validator of the chosen kind, and the path they check.
// The welcome and file pages of the wizard call these, as the commands set the
// same fields.
#pragma once

#include <cstdint>
#include <string>

namespace tv {

class AppContext;

// On a dX card: a verifier when there is none, and no ZT4 validator.
void PrepareDxVerifier(AppContext& ctx);
// Stores the kind (1 ZT4 archive, 2 dX archive, 3 Archive.log); on a ZT4 card
// replaces both verifiers by the validator of the kind.
void SetValidationKind(AppContext& ctx, uint32_t kind);
// The path to check, into the context and the current verifier.
void SetVerificationPath(AppContext& ctx, const std::string& path);

}  // namespace tv
