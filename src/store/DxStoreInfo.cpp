#include "store/DxStoreInfo.h"

#include "app/AppContext.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "smc/WormChannel.h"
#include "store/StoreText.h"

namespace tv {

namespace {

constexpr size_t kFirstPayload = 22;
constexpr size_t kSecondPayload = 534;
constexpr char kExtractionFailed[] = "Extraction of information from Origin of trust block failed";

}  // namespace

bool ReadDxStoreInfo(AppContext& ctx, const WormBlock& block, StoreInfo& info) {
    const std::vector<uint8_t>& b = block.bytes;
    if (b.size() < 3 * 512) {
        TV_LOG_ERROR(kModCore, kExtractionFailed);
        return false;
    }
    if (b[10] != 2) {
        ShowMessage(240, kMbIconError);
        TV_LOG_ERROR(kModCore, "Invalid DS version found");
        return false;
    }
    const std::string_view first = BlockText(b.data(), b.size(), kFirstPayload);
    const std::string_view second = BlockText(b.data(), b.size(), kSecondPayload);

    if (!ExtractLabelValue(first, kLabelSerialNumber, 10, info.scaleSerialNumber)) {
        TV_LOG_ERROR(kModCore, kExtractionFailed);
        return false;
    }
    TV_LOG_INFO(kModCore, "Scale SN:" + info.scaleSerialNumber);

    std::string type;
    if (!ExtractLabelValue(first, kLabelBalanceType, 4, type)) {
        TV_LOG_ERROR(kModCore, kExtractionFailed);
        return false;
    }
    if (type == "dX  ") {
        info.scaleTypeText = "dX";
    } else if (type == "dMax") {
        info.scaleTypeText = "dMax";
    } else if (type == "NV  ") {
        info.scaleTypeText = "NV";
    } else {
        TV_LOG_ERROR(kModCore, "Unsupported Scale type found");
        return false;
    }
    TV_LOG_INFO(kModCore, "Scale type : " + info.scaleTypeText);

    char custId[4] = {};
    if (!WORM_GET_CUST_ID(ctx.worm.get(), custId) || std::string(custId, 4) != "QX33") {
        TV_LOG_ERROR(kModCore, "Customisation ID expected is not found");
        return false;
    }
    info.customisationId = std::string(custId, 4);

    if (!ExtractLabelValue(second, kLabelSmcUid, 32, info.smcUid)) {
        TV_LOG_ERROR(kModCore, kExtractionFailed);
        return false;
    }
    TV_LOG_INFO(kModCore, "SMC UID:" + info.smcUid);
    if (!ExtractLabelValue(second, kLabelPublicKey, 266, info.publicKey) ||
        !ExtractLabelValue(first, kLabelFiscalVersion, 5, info.fiscalVersion)) {
        TV_LOG_ERROR(kModCore, kExtractionFailed);
        return false;
    }
    TV_LOG_INFO(kModCore, "Fiscal Version: " + info.fiscalVersion);
    if (info.fiscalVersion != "01.00") {
        TV_LOG_ERROR(kModCore, "Fiscal version expected is not found");
        return false;
    }
    info.rootHash = block.currentHash;
    char printable[33] = {};
    if (WORM_GET_PRINTABLE_UID(ctx.worm.get(), printable)) info.printableUid = printable;
    return true;
}

}  // namespace tv
