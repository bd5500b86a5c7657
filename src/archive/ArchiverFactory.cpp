// The archive operation of the chosen kind and the card's family.
#include <cstdio>
#include <cstdlib>

#include "app/AppContext.h"
#include "archive/BaseArchiver.h"
#include "archive/CompleteArchiverdX.h"
#include "log/LogFile.h"
#include "messages/Messages.h"

namespace tv {

void SetArchiveType(AppContext& ctx, int32_t archiveType) {
    ctx.archiveType = archiveType;
    ctx.currentArchiver.reset();
    const bool zt4 = ctx.scaleType == '1';
    switch (archiveType) {
        case 1:
            if (!zt4) ctx.currentArchiver = MakeOwned<CBaseArchiver, CCompleteArchiverdX>(ctx);
            break;
        case 2:
        case 3:
            break;
        default: {
            char message[64];
            std::snprintf(message, sizeof message, "Archive Type : %d", archiveType);
            TV_LOG_ERROR(kModCore, message);
            FatalError(kModCore, __LINE__, "Unexpected Archive type found.Application Aborted");
        }
    }
    ctx.abortCleanup = [](AppContext& c) {
        if (c.currentArchiver) c.currentArchiver->AbortCleanup();
    };
    if (!ctx.currentArchiver) {
        TV_LOG_ERROR(kModCore, "This archive operation is not available for the card's scale family yet");
    }
}

}  // namespace tv
