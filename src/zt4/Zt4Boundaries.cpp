#include "zt4/Zt4Boundaries.h"

#include <array>
#include <cstring>

#include "app/AppContext.h"
#include "log/LogFile.h"
#include "smc/SmcAccess.h"
#include "store/ArchiveResult.h"
#include "store/BlockDecoder.h"
#include "zt4/Zt4BlockReader.h"

namespace tv {

namespace {
constexpr char kFailed[] = "Boundary block verification failed";
}

bool VerifyZt4CompleteBoundaries(AppContext& ctx, uint32_t lastIndex, const BoundaryScan& scan,
                                 BlockBoundaries& b, int& result) {
    const int module = scan.module;
    auto fail = [&](int code, const char* message) {
        if (code != 0) result = code;
        LogFile::Instance().Write(module, __LINE__, kLogError, message);
        return false;
    };
    std::array<uint8_t, kBlockSectorSize> sector{};
    if (!GetSmcBlocks(ctx, 1, sector.data(), 0)) {
        TV_LOG_ERROR(module, "Get block from WORM STORE failed");
        return fail(0, kFailed);
    }
    if (std::memcmp(sector.data() + 4, "ZT4", 3) != 0) return fail(0, kFailed);

    CZt4BlockReader reader(ctx, module);
    reader.readAhead = true;
    if (!reader.Read(1, result)) return fail(0, kFailed);
    if (reader.kind != 'O') return fail(0, "Fusing block not found ! Boundary block verification failed");
    if (uint64_t{lastIndex} + 1 <= 2) return fail(kArchiveCorrupted, "Corrupted SMC.Boundary block verification failed");

    bool w = false;
    bool s = false;
    bool dated = false;
    uint64_t position = 2;
    while (position <= lastIndex) {
        if (scan.betweenBlocks) scan.betweenBlocks();
        if (!reader.Read(static_cast<uint32_t>(position), result)) return fail(0, kFailed);
        const char kind = reader.kind;
        if (kind == 'C' || kind == 'F' || kind == 'P' || kind == 'R') {
        } else if (kind == 'W') {
            w = true;
        } else if (kind == 'S') {
            if (!w) {
                return fail(kArchiveCorrupted,
                            "Signature block without Signature incident block.Boundary block verification failed");
            }
            s = true;
        } else if (kind == 'T' || kind == 'E') {
            if (!s) {
                return fail(0, kind == 'T' ? "Transaction block present without a signature block. Boundary block "
                                             "verification failed"
                                           : "Closure block comes without a signature block.Boundary block "
                                             "verification failed");
            }
            b.firstBlock = static_cast<uint32_t>(position);
            dated = true;
            break;
        } else {
            return fail(kArchiveCorrupted, "Fusing block present inbetween.Boundary block verification failed");
        }
        position += reader.block.sectorCount;
    }
    if (!w || !s) return fail(kArchiveCorrupted, "Corrupted SMC.Boundary block verification failed");
    if (!dated) {
        result = kArchiveNoData;
        TV_LOG_ERROR(module, "No data in SMC");
        return fail(0, kFailed);
    }

    ctx.boundaryCheck = true;
    ctx.progressTotal = lastIndex;
    ctx.progressDone = 0;
    for (uint64_t at = lastIndex; at >= 1; --at) {
        if (scan.betweenBlocks) scan.betweenBlocks();
        ++ctx.progressDone;
        if (!GetSmcBlocks(ctx, 1, sector.data(), static_cast<uint32_t>(at))) {
            ctx.boundaryCheck = false;
            TV_LOG_ERROR(module, "Get block from WORM STORE failed");
            return fail(0, kFailed);
        }
        const bool starts = (sector[0] | sector[1] | sector[2] | sector[3]) != 0 &&
                            std::memcmp(sector.data() + 4, "<fit>", 5) == 0;
        if (!starts) continue;
        if (!reader.Read(static_cast<uint32_t>(at), result)) {
            ctx.boundaryCheck = false;
            return fail(0, kFailed);
        }
        const char kind = reader.kind;
        if (kind == 'E' || kind == 'S' || kind == 'T') {
            b.lastClosure = static_cast<uint32_t>(at);
            b.lastIncident = static_cast<uint32_t>(at + reader.block.sectorCount - 1);
            break;
        }
        if (kind == 'I' || kind == 'O') continue;
        result = kArchiveDataCheckFailed;
        TV_LOG_ERROR(module, "Invalid record type found.Boundary block verification failed");
        break;
    }
    ctx.boundaryCheck = false;
    return true;
}

}  // namespace tv
