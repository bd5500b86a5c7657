// The INI reader with the configuration and card-profile checks: the input up to
// its first NUL byte is Tallyvault.ini, the rest SMCProfile.ini, checked against
// a generated card.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "CardFixture.h"
#include "FuzzEnvironment.h"
#include "archive/SmcProfile.h"
#include "config/Configuration.h"
#include "smc/SmcAccess.h"

using namespace tv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzEnvironment& env = fuzz::Env();
    static const bool mounted = fuzz::MountGeneratedCard(env, 'E', CardFamily::Dx);
    const auto* nul = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    const size_t configSize = nul != nullptr ? static_cast<size_t>(nul - data) : size;
    const uint8_t* profile = nul != nullptr ? nul + 1 : data + size;
    const size_t profileSize = size - configSize - (nul != nullptr ? 1 : 0);

    AppContext& ctx = GetAppContext();
    const std::string data_folder = GetDataFolder();
    const std::string config = ConfigFilePath();
    const std::string profilePath = data_folder + "/SMCProfile.ini";
    ctx.configFile.reset();
    ctx.profileFile.reset();
    if (!env.WriteFile(config, data, configSize) || !env.WriteFile(profilePath, profile, profileSize)) return 0;
    try {
        CheckConfiguration(ctx, config);
        LoadConfiguration(ctx);
        // The profile check reads the profile of the data folder for the card at E.
        ctx.profilePath = data_folder + "/";
        ctx.drive = "E";
        ctx.scaleType = '0';
        if (mounted) {
            std::u16string info;
            CheckSmcProfile(ctx, info);
            CloseSmc(ctx);
        }
    } catch (const ExitRequested&) {
    }
    ctx.configFile.reset();
    ctx.profileFile.reset();
    return 0;
}
