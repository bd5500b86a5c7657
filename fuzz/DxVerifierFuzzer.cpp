// The dX archive verifier on any file: standalone, or (DxCardVerifierFuzzer,
// built with TV_FUZZ_AGAINST_CARD) against a generated card.
#include <cstddef>
#include <cstdint>

#include "CardFixture.h"
#include "FuzzEnvironment.h"
#include "dx/VerifierdX.h"
#include "messages/MemoryResultList.h"
#include "smc/SmcAccess.h"

using namespace tv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzEnvironment& env = fuzz::Env();
#ifdef TV_FUZZ_AGAINST_CARD
    static const bool againstCard = fuzz::MountGeneratedCard(env, 'E', CardFamily::Dx);
#else
    constexpr bool againstCard = false;
#endif
    const std::string path = env.Path("fuzz.csv");
    if (!env.WriteFile(path, data, size)) return 0;
    AppContext& ctx = GetAppContext();
    ctx.operation = 2;
    ctx.scaleType = '0';
    ctx.validationKind = 2;
    ctx.verificationMode = againstCard ? 1 : 2;
    ctx.drive = againstCard ? "E" : "";
    ctx.folderInput = 0;
    ctx.verificationPath = path;
    CVerifierdX verifier;
    verifier.path = path;
    MemoryResultList results;
    fuzz::QuietProgress progress;
    try {
        verifier.VerifyArchives(&progress, &results, false);
    } catch (const ExitRequested&) {
    }
    if (againstCard) CloseSmc(ctx);
    return 0;
}
