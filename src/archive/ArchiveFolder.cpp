#include "archive/ArchiveFolder.h"

#include "app/AppContext.h"
#include "config/SettingsFields.h"
#include "platform/Text.h"

namespace tv {

namespace {

constexpr size_t kMaxPath = 260;
constexpr MessageId kEnterArchivePath = 139;
constexpr MessageId kInvalidPath = 136;
constexpr MessageId kPathTooLong = 220;

}  // namespace

size_t MaxArchiveFolderLength(char scaleType, bool backupSmcOnArchive) {
    return kMaxPath - 1 - ArchiveNameRoom(scaleType, backupSmcOnArchive);
}

MessageId CheckArchiveFolder(AppContext& ctx, const std::u16string& folder) {
    if (folder.empty()) return kEnterArchivePath;
    if (!ctx.platform.IsDirectory(ToNarrow(folder))) return kInvalidPath;
    if (folder.size() > MaxArchiveFolderLength(ctx.scaleType, ctx.backupSmcOnArchive)) return kPathTooLong;
    return 0;
}

}  // namespace tv
