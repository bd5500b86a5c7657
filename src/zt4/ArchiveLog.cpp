#include "zt4/ArchiveLog.h"

#include <cstdio>
#include <cstring>

#include "app/AppContext.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "smc/SmcAccess.h"

namespace tv {

namespace {
constexpr size_t kHeaderSize = 34;
}

bool CheckArchiveLogUid(AppContext& ctx, const std::string& logPath) {
    uint32_t attributes = 0;
    if (logPath.empty() || !ctx.platform.GetAttributes(logPath, attributes) || (attributes & kAttrDirectory) != 0) {
        ctx.archiveLogState = 0;
        TV_LOG_INFO(kModSbcSelectionPage, "Archive.log not found in SMC");
        return true;
    }
    ctx.archiveLogState = 2;
    uint8_t uid[16] = {};
    char hex[33] = {};
    if (WORM_GET_UID(ctx.worm.get(), uid)) BytesToHex(uid, sizeof uid, hex);

    auto file = ctx.platform.OpenFile(logPath, OpenMode::Read);
    if (!file) {
        TV_LOG_ERROR(kModSbcSelectionPage, "'Archive.log' file open failed");
        return false;
    }
    char header[kHeaderSize + 1] = {};
    size_t got = 0;
    while (got < kHeaderSize) {
        const int64_t r = file->Read(header + got, kHeaderSize - got);
        if (r < 0) {
            char message[256];
            std::snprintf(message, sizeof message, "Reading data from archive log failed E[%d]",
                          ctx.platform.LastError());
            TV_LOG_ERROR(kModSbcSelectionPage, message);
            return false;
        }
        if (r == 0) break;
        got += static_cast<size_t>(r);
    }
    if (got == kHeaderSize && std::memcmp(header + 1, hex, 32) == 0) return true;
    if (got == kHeaderSize) {
        char message[256];
        std::snprintf(message, sizeof message, "SMC's UID mismatches with UID in 'Achive.log'. UID in log - %.34s",
                      header);
        TV_LOG_ERROR(kModSbcSelectionPage, message);
    }
    ShowMessage(275, kMbIconWarning);
    ctx.archiveLogState = 1;
    return true;
}

}  // namespace tv
