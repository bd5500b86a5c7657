// Card identification and store decoding from raw bytes: the input's first 512
// bytes are the card's info sector, the rest its store. The image is listed,
// identified for archiving and for verification, and its first blocks are read
// and decoded as either family.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzEnvironment.h"
#include "emulator/SmcEmulator.h"
#include "smc/SmcAccess.h"
#include "smc/SmcDiscovery.h"
#include "store/BlockDecoder.h"

using namespace tv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr size_t kSector = 512;
    fuzz::FuzzEnvironment& env = fuzz::Env();
    static const std::string folder = [&] {
        const std::string f = env.Path("raw-card");
        env.platform().CreateDirectory(f);
        return f;
    }();
    std::vector<uint8_t> info(kSector, 0);
    std::copy_n(data, std::min(size, kSector), info.begin());
    const uint8_t* store = size > kSector ? data + kSector : data;
    const size_t storeSize = size > kSector ? size - kSector : 0;
    const std::vector<uint8_t> comm(kSector, 0);
    if (!env.WriteFile(folder + "/WORMINFO.DAT", info.data(), info.size()) ||
        !env.WriteFile(folder + "/WORMCOMM.DAT", comm.data(), comm.size()) ||
        !env.WriteFile(folder + "/WORMSTOR.DAT", store, storeSize)) {
        return 0;
    }

    // Headers of every whole sector, as either family.
    for (size_t at = 0; at + kSector <= storeSize; at += kSector) {
        WormBlock block;
        DecodeBlockHeader(store + at, ScaleFamily::Dx, static_cast<uint32_t>(at / kSector), block);
        DecodeBlockHeader(store + at, ScaleFamily::Zt4, static_cast<uint32_t>(at / kSector), block);
    }

    AppContext& ctx = GetAppContext();
    auto emulator = MountEmulatedCard(env.platform(), 'F', folder, {});
    try {
        for (SmcPurpose purpose : {SmcPurpose::Archiving, SmcPurpose::Verification}) {
            ctx.operation = purpose == SmcPurpose::Archiving ? 1 : 2;
            const SmcList list = ScanSmcDrives(ctx);
            if (list.entries.size() < 2) break;
            if (IdentifySmc(ctx, list.entries[1], purpose) == SmcIdentity::Accepted) {
                const ScaleFamily family = ctx.scaleType == '1' ? ScaleFamily::Zt4 : ScaleFamily::Dx;
                uint32_t number = 0;
                for (int k = 0; k < 8; ++k) {
                    WormBlock block;
                    if (!ReadBlock(ctx, family, number, block)) break;
                    BlockHashMatches(block);
                    number += block.sectorCount;
                }
            }
            CloseSmc(ctx);
        }
    } catch (const ExitRequested&) {
    }
    env.platform().MountCard('F', {}, nullptr);
    return 0;
}
