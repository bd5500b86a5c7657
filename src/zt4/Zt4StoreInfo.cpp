#include "zt4/Zt4StoreInfo.h"

#include "app/AppContext.h"
#include "log/LogFile.h"
#include "smc/SmcAccess.h"
#include "store/BlockDecoder.h"
#include "zt4/ScaleSignature.h"
#include "zt4/XmlParse.h"
#include "zt4/Zt4BlockReader.h"

namespace tv {

namespace {

constexpr char kIntegrityFailed[] = "Public key integrity verification failed";

bool Fail(int line, const char* message) {
    LogFile::Instance().Write(kModArchiverZt4, line, kLogError, message);
    return false;
}

}  // namespace

bool ReadZt4StoreInfo(AppContext& ctx, uint32_t sectorCount, StoreInfo& info) {
    if (sectorCount == 0) return Fail(__LINE__, kIntegrityFailed);
    CZt4BlockReader reader(ctx, kModArchiverZt4);
    BlockHash lastCurrent{};
    uint32_t blockNumber = 0;
    for (int position = 0; blockNumber < sectorCount; ++position) {
        int result = 0;
        if (!reader.Read(blockNumber, result)) {
            // A block the XML reader refuses has been logged with its reason.
            if (result == 0) return Fail(__LINE__, "Create archive process failed");
            return Fail(__LINE__, kIntegrityFailed);
        }
        const WormBlock& block = reader.block;
        if (!BlockHashMatches(block) || (blockNumber != 0 && block.previousHash != lastCurrent)) {
            TV_LOG_ERROR(kModArchiverZt4, "Hash verification failed. Complete archive operation failed");
            return Fail(__LINE__, kIntegrityFailed);
        }
        lastCurrent = block.currentHash;
        if (blockNumber == 0) {
            if (reader.kind != 'I') {
                return Fail(__LINE__, "First Block is not 'ZT4 Identifier block'. Public key integrity verification failed");
            }
            info.scaleTypeText = "ZT4";
            char custId[4] = {};
            if (WORM_GET_CUST_ID(ctx.worm.get(), custId)) info.customisationId = std::string(custId, 4);
            char printable[33] = {};
            if (WORM_GET_PRINTABLE_UID(ctx.worm.get(), printable)) info.printableUid = printable;
        } else if (position == 1) {
            if (reader.kind != 'O') {
                return Fail(__LINE__, "Second Block is not 'Fusion block'. Public key integrity verification failed");
            }
            const std::string_view serial = reader.xml.SerialNumber();
            info.scaleSerialNumber = std::string(serial.substr(0, serial.find('\0')));
            if (info.scaleSerialNumber.empty()) return Fail(__LINE__, "Scale serial number data not found");
            uint8_t uid[16] = {};
            char hex[33] = {};
            if (WORM_GET_UID(ctx.worm.get(), uid)) BytesToHex(uid, sizeof uid, hex);
            info.smcUid = hex;
            if (info.smcUid.empty()) return Fail(__LINE__, "SMC UID data not found");
            TV_LOG_INFO(kModArchiverZt4, "Scale SN:" + info.scaleSerialNumber);
            TV_LOG_INFO(kModArchiverZt4, "Scale type : ZT4");
            TV_LOG_INFO(kModArchiverZt4, "SMC UID:" + info.smcUid);
        } else if (reader.kind == 'S') {
            if (!VerifyZt4SignatureBlock(reader.xml.SignatureText(), reader.xml.PublicKeyText(), block.previousHash)) {
                TV_LOG_ERROR(kModArchiverZt4, "Signature verification failed");
                return Fail(__LINE__, kIntegrityFailed);
            }
            info.publicKey = Zt4PublicKeyHex(reader.xml.PublicKeyText());
            return true;
        }
        blockNumber += block.sectorCount;
    }
    return true;
}

}  // namespace tv
