#include "app/PublishRecovery.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/AppContext.h"
#include "app/PublishJournal.h"
#include "log/LogFile.h"
#include "platform/Text.h"

namespace tv {

namespace {

constexpr char kBackupFolderName[] = "LastArchiveBackup";
constexpr char kWorkFolderName[] = "ArchiveInProgress";
// Archive extensions of both families, and the backup that stands for each.
constexpr const char* kArchiveExtensions[] = {".csv", ".xml"};
constexpr char kBakSuffix[] = ".bak";

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
    if (text.size() < suffix.size()) return false;
    return EqualsNoCase(ToUtf16(text.substr(text.size() - suffix.size())), ToUtf16(suffix));
}

bool MakeWritable(Platform& p, const std::string& path) {
    uint32_t attributes = 0;
    return p.GetAttributes(path, attributes) && p.SetAttributes(path, attributes & ~static_cast<uint32_t>(kAttrReadOnly));
}

// The folder and the folders directly inside it.
std::vector<std::string> FolderAndSubfolders(Platform& p, const std::string& folder, const std::string& skip) {
    std::vector<std::string> folders;
    std::vector<DirEntry> entries;
    if (folder.empty() || !p.ListFolder(folder, "*", entries)) return folders;
    folders.push_back(p.WithTrailingSeparator(folder));
    for (const DirEntry& e : entries) {
        if (!e.isDirectory || (!skip.empty() && EqualsNoCase(ToUtf16(e.name), ToUtf16(skip)))) continue;
        folders.push_back(p.WithTrailingSeparator(p.JoinPath(folder, e.name)));
    }
    return folders;
}

void RemovePublishLeftovers(Platform& p, const std::string& folder) {
    std::vector<DirEntry> entries;
    if (!p.ListFolder(folder, std::string("*") + Platform::kPublishTempSuffix, entries)) return;
    for (const DirEntry& e : entries) {
        if (e.isDirectory) continue;
        const std::string path = folder + e.name;
        if (MakeWritable(p, path) && p.DeleteFile(path)) {
            TV_LOG_INFO(kModCore, "Incomplete file of an interrupted run removed : " + path);
        } else {
            TV_LOG_WARNING(kModCore, "Incomplete file of an interrupted run could not be removed : " + path);
        }
    }
}

int RestoreBackups(Platform& p, const std::string& folder) {
    int restored = 0;
    std::vector<DirEntry> entries;
    if (!p.ListFolder(folder, std::string("*") + kBakSuffix, entries)) return 0;
    for (const DirEntry& e : entries) {
        if (e.isDirectory) continue;
        const std::string name = e.name.substr(0, e.name.size() - (sizeof kBakSuffix - 1));
        bool archive = false;
        for (const char* extension : kArchiveExtensions) archive = archive || EndsWithNoCase(name, extension);
        if (!archive) continue;
        const std::string bak = folder + e.name;
        const std::string path = folder + name;
        if (p.Exists(path)) continue;
        if (!p.MoveFile(bak, path)) {
            TV_LOG_ERROR(kModCore, "Archive of an interrupted run could not be restored from its backup : " + bak);
            continue;
        }
        uint32_t attributes = 0;
        if (p.GetAttributes(path, attributes)) p.SetAttributes(path, attributes | kAttrReadOnly | kAttrArchive);
        TV_LOG_INFO(kModCore, "Archive of an interrupted run restored from its backup : " + path);
        ++restored;
    }
    return restored;
}

}  // namespace

std::string RunWorkFolder(AppContext& ctx) { return ctx.platform.JoinPath(GetDataFolder(), kWorkFolderName); }

int RecoverInterruptedPublishing(AppContext& ctx) {
    Platform& p = ctx.platform;
    int restored = 0;
    const std::string data = GetDataFolder();
    const std::string journalPath = JournalPath(p, data);
    const std::vector<std::string> journal = JournalFolders(p, journalPath);
    std::vector<std::string> archiveFolders = {ctx.archivePath};
    archiveFolders.insert(archiveFolders.end(), journal.begin(), journal.end());
    std::vector<std::string> done;
    std::vector<std::string> pending;  // named by the journal but not there now (a drive taken out)
    for (const std::string& archiveFolder : archiveFolders) {
        const std::string folder = p.WithTrailingSeparator(archiveFolder);
        if (archiveFolder.empty() || std::find(done.begin(), done.end(), folder) != done.end()) continue;
        // The archive folder may be the data folder: its backup folder holds ".bak"
        // files by design and is never a place to restore from.
        const std::vector<std::string> folders = FolderAndSubfolders(p, folder, kBackupFolderName);
        if (folders.empty()) {
            pending.push_back(archiveFolder);
            continue;
        }
        done.push_back(folder);
        for (const std::string& each : folders) {
            RemovePublishLeftovers(p, each);
            restored += RestoreBackups(p, each);
        }
    }
    if (!journal.empty()) {
        // A run was killed: whatever it was still writing is incomplete. (A run
        // never publishes into its work folder; should one be named as an
        // archive folder all the same, it is left alone.)
        const std::string work = RunWorkFolder(ctx);
        const bool archiveFolder = std::find(done.begin(), done.end(), p.WithTrailingSeparator(work)) != done.end();
        if (!archiveFolder && p.IsDirectory(work) && p.RemoveDirectoryTree(work)) {
            TV_LOG_INFO(kModCore, "Incomplete files of an interrupted run removed : " + work);
        }
        std::vector<std::string> keep;
        for (const std::string& folder : journal) {
            if (std::find(pending.begin(), pending.end(), folder) != pending.end()) keep.push_back(folder);
        }
        WriteJournalFolders(p, journalPath, keep);
    }
    p.RemoveLeftover(Platform::PublishTempName(journalPath));
    if (!data.empty()) {
        for (const std::string& folder : FolderAndSubfolders(p, p.JoinPath(data, kBackupFolderName), {})) {
            RemovePublishLeftovers(p, folder);
        }
    }
    return restored;
}

}  // namespace tv
