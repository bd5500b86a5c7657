// The archive operation of the chosen kind and the card's family.
#include <cstdio>
#include <cstdlib>

#include "app/AppContext.h"
#include "archive/BaseArchiver.h"
#include "archive/CompleteArchiverZT4.h"
#include "archive/CompleteArchiverdX.h"
#include "archive/DateBasedArchiverZT4.h"
#include "archive/DateBasedArchiverdX.h"
#include "archive/PartialArchiverZT4.h"
#include "archive/PartialArchiverdX.h"
#include "log/LogFile.h"
#include "messages/Messages.h"

namespace tv {

void SetArchiveType(AppContext& ctx, int32_t archiveType) {
    ctx.archiveType = archiveType;
    ctx.currentArchiver.reset();
    const bool zt4 = ctx.scaleType == '1';
    switch (archiveType) {
        case 1:
            ctx.currentArchiver = zt4 ? MakeOwned<CBaseArchiver, CCompleteArchiverZT4>(ctx)
                                      : MakeOwned<CBaseArchiver, CCompleteArchiverdX>(ctx);
            break;
        case 2:
            ctx.currentArchiver = zt4 ? MakeOwned<CBaseArchiver, CPartialArchiverZT4>(ctx)
                                      : MakeOwned<CBaseArchiver, CPartialArchiverdX>(ctx);
            break;
        case 3:
            ctx.currentArchiver = zt4 ? MakeOwned<CBaseArchiver, CDateBasedArchiverZT4>(ctx)
                                      : MakeOwned<CBaseArchiver, CDateBasedArchiverdX>(ctx);
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
}

}  // namespace tv
