#include "archive/SmcProfile.h"

#include <cstring>

#include "app/AppContext.h"
#include "config/Configuration.h"
#include "config/IniFile.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "smc/SmcAccess.h"
#include "store/BlockDecoder.h"
#include "store/StoreText.h"
#include "zt4/XmlParse.h"

namespace tv {

namespace {

constexpr size_t kMaxPath = 260;
constexpr size_t kFileNameRoom = 14;

std::u16string Read(CIniFile& ini, const std::u16string& section, const char16_t* key) {
    std::u16string value;
    ini.ReadString(section.c_str(), key, value);
    return value;
}

bool IsDxScaleType(const std::u16string& t) { return t == u"dX" || t == u"dMax" || t == u"NV"; }

bool IsKnownScaleType(const std::u16string& t) { return t == u"ZT4" || IsDxScaleType(t); }

// The card's serial number and unique ID, read from its first sectors.
bool ReadCardIdentity(AppContext& ctx, std::string& serial, std::string& uid, bool& zt4, bool& unsupported) {
    uint8_t sectors[1024] = {};
    zt4 = ctx.scaleType == '1';
    if (zt4) {
        if (!GetSmcBlocks(ctx, 1, sectors, 1)) {
            TV_LOG_ERROR(kModArchiverSelectionPage, "Read Block from WORM store failed");
            return false;
        }
        const uint32_t length = (uint32_t{sectors[0]} << 24) | (uint32_t{sectors[1]} << 16) |
                                (uint32_t{sectors[2]} << 8) | sectors[3];
        CXmlParse xml;
        xml.Load(sectors + 4, std::min<uint32_t>(length, 508));
        if (length == 0 || length > 508 || xml.Parse() != CXmlParse::kOk) {
            TV_LOG_ERROR(kModArchiverSelectionPage, "Invalid XML format!");
            return false;
        }
        if (xml.KindName() == "fpg") {
            serial = std::string(xml.SerialNumber().substr(0, xml.SerialNumber().find('\0')));
            uint8_t raw[16] = {};
            char hex[33] = {};
            if (WORM_GET_UID(ctx.worm.get(), raw)) BytesToHex(raw, sizeof raw, hex);
            uid = hex;
        }
        return true;
    }
    if (!GetSmcBlocks(ctx, 2, sectors, 0)) {
        TV_LOG_ERROR(kModArchiverSelectionPage, "Read Block from WORM store failed");
        return false;
    }
    if (sectors[8] == 'O') {
        if (sectors[10] != 2) {
            ShowMessage(240, kMbIconWarning);
            TV_LOG_ERROR(kModArchiverSelectionPage, "Invalid DS version found");
            unsupported = true;
            return false;
        }
        if (!ExtractLabelValue(BlockText(sectors, sizeof sectors, 22), kLabelSerialNumber, 10, serial)) {
            TV_LOG_ERROR(kModArchiverSelectionPage, "Failed while parsing scale SN.");
            return false;
        }
        if (!ExtractLabelValue(BlockText(sectors, sizeof sectors, 534), kLabelSmcUid, 32, uid)) {
            TV_LOG_ERROR(kModArchiverSelectionPage, "Failed while parsing SMC UID.");
            return false;
        }
    }
    return true;
}

}  // namespace

bool SmcProfilePath(AppContext& ctx, std::string& path) {
    const std::string folder =
        ctx.profilePath.empty() ? ctx.platform.WithTrailingSeparator(GetDataFolder()) : ctx.profilePath;
    path = folder + "SMCProfile.ini";
    return ToUtf16(folder).size() + kFileNameRoom <= kMaxPath;
}

bool IsValidProfileDate(const std::u16string& text) {
    const std::string t = ToNarrow(text);
    int year = 0;
    int month = 0;
    int day = 0;
    char rest = 0;
    if (std::sscanf(t.c_str(), "%d-%d-%d%c", &year, &month, &day, &rest) != 3) return false;
    return day >= 1 && day <= 31 && month >= 1 && month <= 12 && year > 1969;
}

bool EnsureSmcProfileFile(AppContext& ctx, ResultList* results) {
    std::string path;
    if (!SmcProfilePath(ctx, path)) {
        TV_LOG_ERROR(kModBaseArchiver, "INI file path size exceeded");
        return false;
    }
    if (ctx.platform.Exists(path)) return true;
    if (!ctx.platform.OpenFile(path, OpenMode::Write)) {
        if (ctx.platform.LastError() == kErrPathNotFound || ctx.platform.LastError() == kErrFileNotFound) {
            if (results != nullptr && results->ItemCount() > 0) {
                results->SetCell(results->ItemCount() - 1, 3, u"SMCProfile.ini " + GetMessageText(177));
            }
            TV_LOG_ERROR(kModBaseArchiver, "INI file path is not available");
        } else {
            TV_LOG_ERROR(kModBaseArchiver, "INI file open failed");
        }
        return false;
    }
    return true;
}

ProfileCheck CheckSmcProfile(AppContext& ctx, std::u16string& info) {
    info.clear();
    auto finish = [&ctx](ProfileCheck check) {
        CloseSmc(ctx);
        HoldProfileFile(ctx);
        return check;
    };
    if (!InitSmc(ctx, WormMode::Data)) {
        TV_LOG_ERROR(kModArchiverSelectionPage, "Worm Store Init failed");
        return finish(ProfileCheck::Unreadable);
    }
    WormUsage usage;
    if (!WORM_GET_USAGE(ctx.worm.get(), usage) || usage.nextWriteIndex == 0) {
        TV_LOG_ERROR(kModArchiverSelectionPage, "No data in SMC");
        return finish(ProfileCheck::Unreadable);
    }
    std::string serial;
    std::string uid;
    bool zt4 = false;
    bool unsupported = false;
    if (!ReadCardIdentity(ctx, serial, uid, zt4, unsupported)) {
        return finish(unsupported ? ProfileCheck::Unsupported : ProfileCheck::Unreadable);
    }
    std::string path;
    if (!SmcProfilePath(ctx, path)) {
        TV_LOG_ERROR(kModArchiverSelectionPage, "Get INI file path failed");
        return finish(ProfileCheck::Unreadable);
    }
    char printable[33] = {};
    if (!WORM_GET_PRINTABLE_UID(ctx.worm.get(), printable)) {
        TV_LOG_ERROR(kModArchiverSelectionPage, "Reading printable UID from SMC failed");
        return finish(ProfileCheck::Unreadable);
    }
    CloseSmcProfileFile(ctx);

    CIniFile ini(path);
    const std::u16string section = u"SMC_" + ToUtf16(uid);
    const std::u16string scaleSn = Read(ini, section, u"ScaleSN");
    if (scaleSn.empty()) return finish(ProfileCheck::Absent);
    const std::u16string scaleType = Read(ini, section, u"ScaleType");
    const std::u16string custId = Read(ini, section, u"CustID");
    const uint32_t block = ctx.platform.GetPrivateProfileInt(section.c_str(), u"LastArchivedBlockNum", 0, path);
    const std::u16string start = Read(ini, section, u"LastArchivedStartDate");
    const std::u16string end = Read(ini, section, u"LastArchivedEndDate");
    const std::u16string cardUid = Read(ini, section, u"UID");

    const char* failure = nullptr;
    if (scaleSn != ToUtf16(serial)) {
        failure = "Scale Serial number in SMC profile file is incorrect";
    } else if (zt4 ? scaleType != u"ZT4" : !IsDxScaleType(scaleType)) {
        failure = "Last archived scale type in SMC profile file is incorrect";
    } else if (custId != u"QX33") {
        failure = "Last archived customisation ID in SMC profile file is incorrect";
    } else if (block == 0) {
        failure = "Last archived block number in SMC profile file is incorrect";
    } else if (!IsValidProfileDate(start)) {
        failure = "Last archived start date in SMC profile file is incorrect";
    } else if (!IsValidProfileDate(end)) {
        failure = "Last archived end date in SMC profile file is incorrect";
    } else if (cardUid != ToUtf16(printable)) {
        failure = "SMC UID in SMC profile file is incorrect";
    }
    if (failure != nullptr) {
        TV_LOG_ERROR(kModArchiverSelectionPage, failure);
        BackUpSmcProfile(ctx);
        return finish(ProfileCheck::Invalid);
    }
    info = u"[" + GetMessageText(121) + start + u" to " + end + u"]";
    return finish(ProfileCheck::Valid);
}

bool ReadLastArchivedBlock(AppContext& ctx, int module, const ProfileCard& card, uint32_t& lastBlock) {
    lastBlock = 0;
    std::string path;
    if (!SmcProfilePath(ctx, path)) {
        LogFile::Instance().Write(module, __LINE__, kLogError, "INI file path length exceeded");
        return false;
    }
    CloseSmcProfileFile(ctx);
    const std::u16string section = u"SMC_" + ToUtf16(card.smcUid);
    const char* failure = nullptr;
    {
        CIniFile ini(path);
        const std::u16string scaleSn = Read(ini, section, u"ScaleSN");
        const std::u16string start = Read(ini, section, u"LastArchivedStartDate");
        const std::u16string end = Read(ini, section, u"LastArchivedEndDate");
        const std::u16string scaleType = Read(ini, section, u"ScaleType");
        const std::u16string custId = Read(ini, section, u"CustID");
        const std::u16string uid = Read(ini, section, u"UID");
        lastBlock = ctx.platform.GetPrivateProfileInt(section.c_str(), u"LastArchivedBlockNum", 0, path);
        const bool typeOk = card.zt4 ? scaleType == u"ZT4" : IsDxScaleType(scaleType);
        const bool custOk = custId == u"QX33";
        if (lastBlock == 0) {
            failure = "Last archived block number in SMC profile file is incorrect";
        } else if (scaleSn != ToUtf16(card.scaleSerialNumber)) {
            failure = "Scale Serial number in SMC profile file is incorrect";
        } else if (!IsValidProfileDate(start)) {
            failure = "Last archived start date in SMC profile file is incorrect";
        } else if (!IsValidProfileDate(end)) {
            failure = "Last archived end date in SMC profile file is incorrect";
        } else if (!card.zt4 && !custOk) {
            failure = "Customisation ID in SMC profile file is incorrect";
        } else if (!typeOk) {
            failure = "Scale type in SMC profile file is incorrect";
        } else if (card.zt4 && !custOk) {
            failure = "Customisation ID in SMC profile file is incorrect";
        } else if (uid != ToUtf16(card.printableUid)) {
            failure = "SMC UID in SMC profile file is incorrect";
        }
    }
    if (failure != nullptr) {
        LogFile::Instance().Write(module, __LINE__, kLogError, failure);
        if (!BackUpSmcProfile(ctx) && !card.zt4) LogFile::Instance().Write(module, __LINE__, kLogError, "Read INI file failed");
        HoldProfileFile(ctx);
        lastBlock = 0;
        return false;
    }
    HoldProfileFile(ctx);
    return true;
}

bool UpdateSmcProfile(AppContext& ctx, const ProfileRecord& record) {
    std::string path;
    if (!SmcProfilePath(ctx, path)) {
        TV_LOG_ERROR(kModBaseArchiver, "INI file path length exceeded");
        return false;
    }
    if (!EnsureSmcProfileFile(ctx, nullptr)) {
        TV_LOG_ERROR(kModBaseArchiver, "Update INI file failed");
        return false;
    }
    CloseSmcProfileFile(ctx);
    const std::u16string section = u"SMC_" + ToUtf16(record.smcUid);
    {
        CIniFile ini(path);
        const std::u16string scaleSn = Read(ini, section, u"ScaleSN");
        const std::u16string start = Read(ini, section, u"LastArchivedStartDate");
        const std::u16string end = Read(ini, section, u"LastArchivedEndDate");
        const std::u16string scaleType = Read(ini, section, u"ScaleType");
        const std::u16string custId = Read(ini, section, u"CustID");
        const std::u16string uid = Read(ini, section, u"UID");
        const char* failure = nullptr;
        if (!scaleSn.empty() && scaleSn != ToUtf16(record.scaleSerialNumber)) {
            failure = "Scale Serial number in SMC profile file is incorrect";
        } else if (!start.empty() && !IsValidProfileDate(start)) {
            failure = "Last archived start date in SMC profile file is incorrect";
        } else if (!end.empty() && !IsValidProfileDate(end)) {
            failure = "Last archived end date in SMC profile file is incorrect";
        } else if (!custId.empty() && custId != u"QX33") {
            failure = "Last archived customisation ID in SMC profile file is incorrect";
        } else if (!scaleType.empty() && !IsKnownScaleType(scaleType)) {
            failure = "Last archived scale type in SMC profile file is incorrect";
        } else if (!uid.empty() && uid != ToUtf16(record.printableUid)) {
            failure = "Last archived SMC UID in SMC profile file is incorrect";
        }
        if (failure != nullptr) {
            TV_LOG_ERROR(kModBaseArchiver, failure);
            BackUpSmcProfile(ctx);
        }
    }
    CIniFile ini(path);
    std::u16string existing;
    ini.ReadString(section.c_str(), u"ScaleSN", existing);
    if (existing.empty()) ini.AppendLineBreak();
    const std::pair<const char16_t*, std::string> keys[] = {
        {u"ScaleSN", record.scaleSerialNumber},
        {u"UID", record.printableUid},
        {u"CustID", record.customisationId},
        {u"ScaleType", record.scaleTypeText},
        {u"LastArchivedBlockNum", std::to_string(record.lastArchivedBlock)},
        {u"LastArchivedStartDate", record.startDateText},
        {u"LastArchivedEndDate", record.endDateText},
    };
    bool written = true;
    for (const auto& [key, value] : keys) {
        written = ctx.platform.WritePrivateProfileString(section.c_str(), key, ToUtf16(value).c_str(), path) && written;
    }
    HoldProfileFile(ctx);
    if (!written) {
        TV_LOG_ERROR(kModBaseArchiver, "Update INI file failed");
        return false;
    }
    return true;
}

}  // namespace tv
