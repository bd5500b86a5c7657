#include "zt4/VerifierChoice.h"

#include "app/AppContext.h"
#include "dx/VerifierdX.h"
#include "zt4/ArchiveVerifierZT4.h"
#include "zt4/LogVerifierZT4.h"

namespace tv {

void PrepareDxVerifier(AppContext& ctx) {
    if (ctx.scaleType != '0') return;
    if (!ctx.dxVerifier) ctx.dxVerifier = MakeOwned<CVerifierdX>();
    ctx.zt4Verifier.reset();
}

void SetValidationKind(AppContext& ctx, uint32_t kind) {
    ctx.validationKind = kind;
    if (ctx.scaleType != '1') return;
    ctx.zt4Verifier.reset();
    ctx.dxVerifier.reset();
    if (kind == 1) ctx.zt4Verifier = MakeOwned<CVerifierZT4, CArchiveVerifierZT4>(std::string());
    if (kind == 3) ctx.zt4Verifier = MakeOwned<CVerifierZT4, CLogVerifierZT4>(std::string());
}

void SetVerificationPath(AppContext& ctx, const std::string& path) {
    ctx.verificationPath = path;
    if (ctx.dxVerifier) ctx.dxVerifier->path = path;
    if (ctx.zt4Verifier) ctx.zt4Verifier->filePath = path;
}

}  // namespace tv
