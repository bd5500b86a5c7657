// Validation of ZT4 archives (first byte even) and of Archive.log files (odd) on
// any file; the rest of the input is the file.
#include <cstddef>
#include <cstdint>

#include "FuzzEnvironment.h"
#include "messages/MemoryResultList.h"
#include "zt4/ValidationRun.h"
#include "zt4/VerifierZT4.h"

using namespace tv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    fuzz::FuzzEnvironment& env = fuzz::Env();
    const uint32_t kind = (data[0] & 1) != 0 ? 3 : 1;
    const std::string path = env.Path(kind == 1 ? "20150102080000_20150102200000.xml" : "Archive.log");
    if (!env.WriteFile(path, data + 1, size - 1)) return 0;
    AppContext& ctx = GetAppContext();
    ctx.operation = 2;
    ctx.scaleType = '1';
    ctx.validationKind = kind;
    ctx.verificationMode = 2;
    ctx.folderInput = 0;
    ctx.verificationPath = path;
    auto verifier = MakeZt4Verifier(kind, path);
    MemoryResultList results;
    fuzz::QuietProgress progress;
    try {
        RunZt4Validation(verifier.get(), kind, false, 2, &progress, &results);
    } catch (const ExitRequested&) {
    }
    return 0;
}
