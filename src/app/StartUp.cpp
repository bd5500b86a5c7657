#include "app/StartUp.h"

#include "app/AppContext.h"
#include "app/PublishRecovery.h"
#include "config/Configuration.h"
#include "config/IniFile.h"
#include "log/LogFile.h"
#include "platform/Text.h"

namespace tv {

bool ClaimDataFolder() {
    switch (LockDataFolder()) {
        case DataFolderLock::Held: return true;
        case DataFolderLock::Unavailable:
            TV_LOG_WARNING(kModCore, "Data folder lock file could not be created. (E" +
                                         std::to_string(Sys().LastError()) + ")");
            return true;
        case DataFolderLock::InUse: break;
    }
    // Nothing of the data folder has been read yet: the configuration belongs to
    // the program that holds it, so the language comes from the user's locale.
    const std::string folder = GetDataFolder();
    TV_LOG_ERROR(kModCore, "Data folder is in use by another Tallyvault program: " + folder);
    const bool french = LanguageFromLocale(Sys().UserLocaleName()) == "French";
    const std::string text =
        french ? "Un autre programme Tallyvault utilise déjà le dossier de données \"" + folder +
                     "\". Fermez-le, puis réessayez."
               : "Another Tallyvault program is already using the data folder \"" + folder +
                     "\". Close it, then try again.";
    Ui().MessageBox(ToUtf16(text), ToUtf16(WindowTitle()), kMbIconError);
    return false;
}

StartUpResult RunStartUpSteps() {
    StartUpResult result;
    if (!ClaimDataFolder()) {
        result.dataFolderInUse = true;
        return result;
    }
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
