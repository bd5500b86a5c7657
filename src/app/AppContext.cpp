#include "app/AppContext.h"

#include "config/Configuration.h"
#include "log/LogFile.h"

#ifndef TV_VERSION_TEXT
#error "TV_VERSION_TEXT must come from the build"
#endif

namespace tv {

namespace {

struct Environment {
    Platform* platform = nullptr;
    UiHost* ui = nullptr;
    std::string dataFolderOverride;
    std::unique_ptr<FileLock> dataFolderLock;  // held from the first claim on
    bool lockUnavailable = false;              // the first claim found no lock to take
};

Environment& Env() {
    static Environment env;
    return env;
}

AppContext* g_context = nullptr;

}  // namespace

AppContext::AppContext(Platform& p, UiHost& u) : platform(p), ui(u) {
    language = LanguageFromLocale(platform.UserLocaleName());
}

AppContext::~AppContext() {
    // In this order: the card, the archiver, the dX verifier with its file, the
    // held INI files, the ZT4 verifier.
    worm.reset();
    currentArchiver.reset();
    dxVerifier.reset();
    configFile.reset();
    profileFile.reset();
    zt4Verifier.reset();
}

void InstallEnvironment(Platform& platform, UiHost& ui, std::string dataFolderOverride) {
    DestroyAppContext();
    Env() = Environment{&platform, &ui, std::move(dataFolderOverride), nullptr, false};
    LogFile::Instance().Attach(platform, GetDataFolder());
}

Platform& Sys() { return *Env().platform; }
UiHost& Ui() { return *Env().ui; }

std::string GetDataFolder() {
    Platform& p = Sys();
    const Environment& env = Env();
    if (!env.dataFolderOverride.empty()) {
        p.CreateDirectory(env.dataFolderOverride);
        return env.dataFolderOverride;
    }
    const std::string root = p.DataFolderRoot();
    if (root.empty()) return {};
    const std::string company = p.JoinPath(root, "HARLAN BRISTOW");
    p.CreateDirectory(company);
    const std::string folder = p.JoinPath(company, "Tallyvault");
    p.CreateDirectory(folder);
    return folder;
}

std::string DataFolderLockPath() { return Sys().JoinPath(GetDataFolder(), "Tallyvault.lock"); }

DataFolderLock LockDataFolder() {
    Environment& env = Env();
    if (env.dataFolderLock || env.lockUnavailable) return DataFolderLock::Held;
    if (!GetDataFolder().empty()) {
        env.dataFolderLock = env.platform->TryLockFile(DataFolderLockPath());
        if (env.dataFolderLock) return DataFolderLock::Held;
        if (env.platform->LastError() == kErrSharingViolation) return DataFolderLock::InUse;
    }
    env.lockUnavailable = true;
    return DataFolderLock::Unavailable;
}

std::string ConfigFilePath() { return Sys().JoinPath(GetDataFolder(), "Tallyvault.ini"); }

AppContext& GetAppContext() {
    if (g_context == nullptr) {
        // Published before the configuration is loaded, so that everything the
        // load calls finds this context instead of making a second one.
        g_context = new AppContext(Sys(), Ui());
        LoadConfiguration(*g_context);
    }
    return *g_context;
}

bool HasAppContext() { return g_context != nullptr; }

void DestroyAppContext() {
    delete g_context;
    g_context = nullptr;
}

std::string LanguageFromLocale(const std::string& locale) {
    return locale.compare(0, 2, "fr") == 0 ? "French" : "English";
}

std::string GetVersionText() { return TV_VERSION_TEXT; }

std::string WindowTitle() { return "Tallyvault " + GetVersionText(); }

}  // namespace tv
