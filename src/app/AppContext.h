// The one process-wide context: the settings, the user's choices and the run
// fields that the engine and the pages share.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/Owned.h"
#include "messages/UiHost.h"
#include "platform/Platform.h"

namespace tv {

struct WormHandle;
class CBaseArchiver;
class CVerifierdX;
class CVerifierZT4;
struct AuditTrail;

class AppContext {
public:
    AppContext(Platform& platform, UiHost& ui);
    ~AppContext();
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    Platform& platform;
    UiHost& ui;

    // Objects of the layers above, owned here and released when the context goes.
    Owned<CBaseArchiver> currentArchiver;
    Owned<CVerifierdX> dxVerifier;
    Owned<CVerifierZT4> zt4Verifier;
    Owned<WormHandle> worm;  // the one open card of the process
    // Undoes what the current archiver has produced; set with the archiver, so
    // that code below the archive layer can clean up when the user aborts.
    void (*abortCleanup)(AppContext&) = nullptr;

    uint32_t operation = 1;        // 1 archive generation, 2 verification or validation
    char scaleType = '2';          // '0' dX, '1' ZT4, '2' not known yet
    int32_t archiveType = 4;       // 1 complete, 2 continue from last, 3 date-based, 4 none
    uint32_t verificationMode = 1; // 1 using the SMC, 2 standalone
    std::string drive;             // drive letter of the chosen card
    std::string verificationPath;
    int32_t folderInput = 0;
    std::string archivePath;       // folders end with the separator once set
    std::string profilePath;
    std::string logPath;
    std::string language;
    uint64_t maxArchiveSize = 26214400;
    bool useDefaultArchivePath = false;
    bool backupSmcOnArchive = false;
    bool dateRangeUnavailable = false;
    std::unique_ptr<File> configFile;
    std::unique_ptr<File> profileFile;
    bool dateArchiveFailed = false;
    int32_t progressDone = 0;
    uint32_t progressTotal = 0;
    bool boundaryCheck = false;
    bool abortRequested = false;
    uint16_t yearEndDay = 31;
    uint16_t yearEndMonth = 12;
    uint16_t configuredScaleType = 0;  // 0 auto-detect, 1 dX, 2 ZT4
    std::string yearEnd = "1231";
    uint32_t validationKind = 2;       // 1 ZT4 archive, 2 dX archive, 3 ZT4 Archive.log
    uint16_t archiveLogState = 0;
    // Where a verification or validation records what it checked, for the
    // report, the continuity check and the command line's JSON; null when
    // nobody asked. Owned by whoever set it, for the length of the run.
    AuditTrail* auditTrail = nullptr;
};

// Binds the process to its platform and user interface, and optionally to a data
// folder of its own (portable use, tests); points the log at the data folder.
// Destroys a context left from an earlier binding.
void InstallEnvironment(Platform& platform, UiHost& ui, std::string dataFolderOverride = {});
Platform& Sys();
UiHost& Ui();

// The data folder (HARLAN BRISTOW/Tallyvault under the application-data root, or
// the override), created on every call; no trailing separator.
std::string GetDataFolder();
// Data folder + "Tallyvault.ini".
std::string ConfigFilePath();

// One program at a time works in a data folder: its lock file is held from the
// first successful claim until the environment is replaced or the process ends.
enum class DataFolderLock {
    Held,         // this program holds the data folder
    InUse,        // another program (or another environment of this one) holds it
    Unavailable,  // no lock file can be made there (a read-only folder): the program
                  // goes on unlocked, and later claims answer Held
};
DataFolderLock LockDataFolder();
// Data folder + "Tallyvault.lock".
std::string DataFolderLockPath();

// The context, created on first use; its creation loads the configuration.
AppContext& GetAppContext();
bool HasAppContext();
void DestroyAppContext();

// "English" for locales beginning with "en" or anything else, "French" for "fr".
std::string LanguageFromLocale(const std::string& locale);

// "2.0.0", and the window title "Tallyvault 2.0.0".
std::string GetVersionText();
std::string WindowTitle();

}  // namespace tv
