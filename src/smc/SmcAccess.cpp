#include "smc/SmcAccess.h"

#include <cstdio>

#include "app/AppContext.h"
#include "log/LogFile.h"

namespace tv {

bool InitSmc(AppContext& ctx, WormMode mode) {
    const WormStatus status = WORM_INIT(ctx.drive.c_str(), mode, ctx.worm);
    if (status == kWormOk) return true;
    char message[256];
    std::snprintf(message, sizeof message, "Drive %s : WORM_INIT failed. (E%d)", ctx.drive.c_str(),
                  static_cast<int>(status));
    TV_LOG_ERROR(kModCore, message);
    return false;
}

bool CheckSmcUsage(AppContext& ctx, WormUsage& usage) {
    if (!InitSmc(ctx, WormMode::Data)) return false;
    if (WORM_GET_USAGE(ctx.worm.get(), usage)) return true;
    TV_LOG_ERROR(kModCore, "Check SMC for current usage failed");
    return false;
}

bool GetSmcFusedState(AppContext& ctx, bool& fused) {
    int state = 0;
    const WormStatus status = WORM_GET_FUSED_STATE(ctx.worm.get(), state);
    if (status == kWormOk) {
        fused = state == 1;
        return true;
    }
    char message[256];
    std::snprintf(message, sizeof message, "Drive %s : Getting fused state failed. (E%d)",
                  ctx.drive.c_str(), static_cast<int>(status));
    TV_LOG_ERROR(kModCore, message);
    return false;
}

bool GetSmcBlocks(AppContext& ctx, uint32_t count, void* destination, uint32_t first) {
    WormHandle* handle = ctx.worm.get();
    const int status = handle != nullptr
                           ? handle->readAhead.Read(*handle, static_cast<uint8_t*>(destination), first, count)
                           : WORM_READ_SECTORS(handle, destination, first, count);
    if (status == kWormOk) return true;
    TV_LOG_ERROR(kModCore, "Get block from WORM STORE failed");
    return false;
}

void CloseSmc(AppContext& ctx) {
    WORM_CLOSE(ctx.worm);
    ctx.worm.reset();
}

bool BytesToHex(const uint8_t* bytes, size_t length, char* destination) {
    if (bytes == nullptr || destination == nullptr) return false;
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (size_t i = 0; i < length; ++i) {
        destination[2 * i] = kDigits[bytes[i] >> 4];
        destination[2 * i + 1] = kDigits[bytes[i] & 0x0F];
    }
    destination[2 * length] = '\0';
    return true;
}

}  // namespace tv
