#include "app/StartUp.h"

#include "app/AppContext.h"
#include "app/PublishRecovery.h"
#include "config/Configuration.h"
#include "config/IniFile.h"
#include "log/LogFile.h"

namespace tv {

StartUpResult RunStartUpSteps() {
    StartUpResult result;
    LogFile::Instance().UseConfiguredFolder();
    AppContext& ctx = GetAppContext();
    ctx.platform.CreateDirectory(GetDataFolder());
    RecoverInterruptedPublishing(ctx);

    const std::string path = ConfigFilePath();
    result.configExists = ctx.platform.Exists(path);
    bool welcomeFirst = false;
    if (result.configExists) {
        ctx.configFile.reset();
        CIniFile ini(path);
        std::u16string scaleType;
        ini.ReadString(u"Config", u"ScaleType", scaleType);
        HoldConfigFile(ctx);
        if (scaleType == u"ZT4") {
            ctx.scaleType = '1';
            ctx.configuredScaleType = 2;
            welcomeFirst = true;
        } else if (scaleType == u"dX") {
            ctx.scaleType = '0';
            ctx.configuredScaleType = 1;
            welcomeFirst = true;
        } else {
            ctx.configuredScaleType = 0;
        }
    }
    if (welcomeFirst) {
        result.pageOrder = {kPageWelcome, kPageSbcSelection};
    } else {
        result.pageOrder = {kPageSbcSelection, kPageWelcome};
    }
    for (int page : {kPageVerificationSelection, kPageVerificationSbcSelection,
                     kPageVerificationFileFolderSelection, kPageVerification,
                     kPageArchiverSelection, kPageArchiverPathSelection, kPageCompleteArchiver,
                     kPagePartialArchiver, kPageDateSelection, kPageDateBasedArchiver}) {
        result.pageOrder.push_back(page);
    }
    return result;
}

}  // namespace tv
