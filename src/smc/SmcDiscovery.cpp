#include "smc/SmcDiscovery.h"

#include <algorithm>
#include <cstring>

#include "app/AppContext.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "smc/SmcAccess.h"
#include "store/StoreText.h"
#include "zt4/ArchiveLog.h"

namespace tv {

namespace {

constexpr uint32_t kReservedSectors = 32;
constexpr uint64_t kNoLevelAbove = 26214399;  // at least 25 MiB free

std::string EntryOf(const char* printableUid, char letter) {
    return std::string(printableUid) + " (" + letter + ":)";
}

// Whether a drive's root holds the three files of a card.
bool HoldsCardFiles(AppContext& ctx, const std::string& root) {
    for (const char* name : {"WORMINFO.DAT", "WORMCOMM.DAT", "WORMSTOR.DAT"}) {
        if (!ctx.platform.Exists(ctx.platform.CardFilePath(root, name))) return false;
    }
    return true;
}

void NoteDamagedCard(SmcList& list, char letter, const char* why) {
    TV_LOG_WARNING(kModCore, std::string("SMC: (") + letter + ":)Corrupt SMC: " + why);
    list.damaged.push_back(letter);
}

}  // namespace

// The printable UID of a list entry ("<UID> (X:)"); empty for an entry without one.
std::string ListedUidOf(const std::string& entry) {
    if (entry.size() < 6 || entry.compare(entry.size() - 5, 2, " (") != 0 ||
        entry.compare(entry.size() - 2, 2, ":)") != 0) {
        return {};
    }
    return entry.substr(0, entry.size() - 5);
}

char DriveOfEntry(const std::string& entry) { return entry.size() >= 3 ? entry[entry.size() - 3] : 0; }

SmcList ScanSmcDrives(AppContext& ctx) {
    SmcList list;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const DriveInfo drive = ctx.platform.GetDrive(letter);
        if (drive.type != DriveType::Removable && drive.type != DriveType::Unknown) continue;
        ctx.drive = std::string(1, letter);
        if (!InitSmc(ctx, WormMode::Probe)) {
            if (HoldsCardFiles(ctx, drive.root)) NoteDamagedCard(list, letter, "its card files cannot be opened");
            continue;
        }
        char printable[33] = {};
        const WormStatus read = ReadPrintableUid(ctx.worm.get(), printable);
        if (read == kWormUidNotPrintable) {
            NoteDamagedCard(list, letter, "its printable UID is not 32 printable ASCII characters");
            CloseSmc(ctx);
            continue;
        }
        if (!list.cardFound) {
            list.entries.push_back(ToNarrow(GetMessageText(171)));
            list.cardFound = true;
        }
        if (read != kWormOk) {
            TV_LOG_ERROR(kModCore, "Reading printable UID from SMC failed");
            CloseSmc(ctx);
            break;
        }
        list.entries.push_back(EntryOf(printable, letter));
        CloseSmc(ctx);
    }
    if (!list.cardFound) list.entries.push_back(ToNarrow(GetMessageText(173)));
    if (!list.damaged.empty()) ShowMessage(206, kMbIconWarning);
    return list;
}

bool ShowSmcFillLevel(AppContext& ctx, const std::string& entry, SmcFillLevel& level) {
    level = SmcFillLevel{};
    ctx.drive = std::string(1, DriveOfEntry(entry));
    WormUsage usage;
    if (!CheckSmcUsage(ctx, usage)) return false;
    const uint64_t capacity = usage.totalSectors > kReservedSectors ? usage.totalSectors - kReservedSectors : 0;
    level.damaged = WritesPastStore(usage);
    if (usage.lastWriteIndex >= capacity || level.damaged) {
        level.shown = true;
        level.full = true;
        level.percent = 100;
        return true;
    }
    const uint64_t freeBytes =
        capacity > usage.nextWriteIndex ? (capacity - usage.nextWriteIndex) * uint64_t{512} : 0;
    if (freeBytes > kNoLevelAbove) return true;
    level.shown = true;
    level.percent = static_cast<int>(std::min<uint64_t>(uint64_t{usage.nextWriteIndex} * 100 / capacity, 100));
    return true;
}

bool WritesPastStore(const WormUsage& usage) { return usage.nextWriteIndex > usage.totalSectors; }

int CheckScaleFamily(AppContext& ctx, SmcPurpose purpose) {
    const bool archiving = purpose == SmcPurpose::Archiving;
    uint8_t sector[513] = {};
    if (!GetSmcBlocks(ctx, 1, sector, 0)) {
        TV_LOG_ERROR(kModCore, archiving ? "Boundary block verification failed" : "SMC selection failed");
        return 0;
    }
    const ScaleFamily family = DetectScaleFamily(sector, 512);
    if (family == ScaleFamily::Unsupported) {
        TV_LOG_WARNING(kModCore, "Unsupported scale type in SMC");
        ShowMessage(218, kMbIconError);
        return -1;
    }
    const char detected = family == ScaleFamily::Dx ? '0' : '1';
    if (archiving) {
        if (ctx.configuredScaleType == 2 && family == ScaleFamily::Dx) {
            ShowMessage(285, kMbIconError);
            return -1;
        }
        if (ctx.configuredScaleType == 1 && family == ScaleFamily::Zt4) {
            ShowMessage(286, kMbIconError);
            return -1;
        }
        if (ctx.configuredScaleType == 0) ctx.scaleType = detected;
        return 1;
    }
    ctx.scaleType = detected;
    if (family == ScaleFamily::Zt4) {
        TV_LOG_ERROR(kModCore, "Verification feature not available for ZT4");
        ShowMessage(217, kMbIconError);
        return -1;
    }
    return 1;
}

SmcIdentity IdentifySmc(AppContext& ctx, const std::string& entry, SmcPurpose purpose) {
    const bool archiving = purpose == SmcPurpose::Archiving;
    ctx.drive = std::string(1, DriveOfEntry(entry));
    WormUsage usage;
    if (!CheckSmcUsage(ctx, usage)) return SmcIdentity::Stay;
    // Drive letters follow the mount order: a medium added or removed since the
    // list was made can put another card behind the listed letter.
    const std::string listed = ListedUidOf(entry);
    if (!listed.empty()) {
        char printable[33] = {};
        const bool read = WORM_GET_PRINTABLE_UID(ctx.worm.get(), printable);
        if (!read || listed != printable) {
            TV_LOG_WARNING(kModCore, "SMC: " + entry + "Selected SMC is not available. Drive " + ctx.drive +
                                         ": holds SMC " + (read ? std::string(printable) : std::string("?")));
            CloseSmc(ctx);
            ShowMessage(213, kMbIconError);
            return SmcIdentity::Stay;
        }
    }
    if (WritesPastStore(usage)) {
        TV_LOG_WARNING(kModCore, "SMC: " + entry + "Corrupt SMC: next write index " +
                                     std::to_string(usage.nextWriteIndex) + " past the store of " +
                                     std::to_string(usage.totalSectors) + " sectors");
        CloseSmc(ctx);
        ShowMessage(206, kMbIconWarning);
        return SmcIdentity::Refused;
    }
    bool fused = false;
    if (!GetSmcFusedState(ctx, fused)) return SmcIdentity::Stay;
    if (!fused) {
        TV_LOG_ERROR(kModCore, "SMC is not fused");
    } else if (usage.nextWriteIndex != 0) {
        // A card without data has no family to detect: it is reported as corrupt
        // below rather than as of an unsupported scale type.
        const int family = CheckScaleFamily(ctx, purpose);
        if (family == 0) return SmcIdentity::Stay;
        if (family < 0) return SmcIdentity::Refused;
    }

    char custId[5] = {};
    if (WORM_GET_CUST_ID(ctx.worm.get(), custId)) {
        TV_LOG_INFO(kModCore, std::string("SMC CustID starts with ") + custId);
        if (std::memcmp(custId, "QX33", 4) != 0) {
            TV_LOG_WARNING(kModCore, "SMC: " + entry +
                                         (archiving ? "Unsupported Secure Memory Card. New Tallyvault version needed"
                                                    : "Unsupported SMC. New Tallyvault version needed"));
            ShowMessage(178, kMbIconError);
            return SmcIdentity::Refused;
        }
    }
    if (!fused) {
        if (usage.nextWriteIndex != 0) {
            TV_LOG_WARNING(kModCore, "SMC: " + entry + "Corrupt SMC");
            ShowMessage(206, kMbIconWarning);
        } else {
            TV_LOG_WARNING(kModCore, "SMC: " + entry + "New SMC");
            ShowMessage(189, kMbIconWarning);
        }
        return SmcIdentity::Refused;
    }
    if (usage.nextWriteIndex == 0) {
        TV_LOG_WARNING(kModCore, "SMC: " + entry + "Corrupt SMC");
        ShowMessage(206, kMbIconWarning);
        return SmcIdentity::Refused;
    }
    TV_LOG_INFO(kModCore, "SMC chosen: " + entry);
    if (archiving && ctx.scaleType == '1') {
        const std::string log = ctx.platform.CardFilePath(ctx.platform.GetDrive(DriveOfEntry(entry)).root, "Archive.log");
        if (!CheckArchiveLogUid(ctx, log)) return SmcIdentity::Stay;
    }
    return SmcIdentity::Accepted;
}

}  // namespace tv
