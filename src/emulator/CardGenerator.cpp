#include "emulator/CardGenerator.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "emulator/BlockChain.h"
#include "emulator/CardExtension.h"
#include "emulator/CardIdentity.h"
#include "emulator/DxCardWriter.h"
#include "emulator/StoreImage.h"
#include "emulator/Zt4CardWriter.h"

namespace tv {

namespace {

constexpr uint32_t kFreeRoomStep = 2048;  // 1 MiB

// The used sectors, a quarter more (at least 1 MiB) of free room, in whole MiB.
uint32_t AutomaticTotal(uint32_t used) {
    const uint64_t wanted =
        static_cast<uint64_t>(used) + std::max<uint32_t>(used / 4, kFreeRoomStep);
    const uint64_t total = (wanted + kFreeRoomStep - 1) / kFreeRoomStep * kFreeRoomStep;
    return total > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(total);
}

InfoSectorBytes MakeInfoSector(const CardOptions& options, const CardIdentity& identity,
                               uint32_t nextWriteIndex, uint32_t totalSectors) {
    InfoSectorBytes info{};
    std::memcpy(info.data(), options.customisationId.data(), 4);
    std::memcpy(info.data() + 4, identity.uid.data(), identity.uid.size());
    PutBe32(info.data() + 20, totalSectors);
    PutBe32(info.data() + 24, nextWriteIndex);
    info[28] = options.fused ? 0x80 : 0x00;
    info[29] = 0;  // command blocks at offset 2
    info[30] = 0;  // no rollback pending
    PutBe32(info.data() + 64, nextWriteIndex == 0 ? 0 : nextWriteIndex - 1);
    std::memcpy(info.data() + 256, identity.printableUid.data(), 32);
    return info;
}

}  // namespace

bool GenerateCard(const CardOptions& options, const std::string& outFolder, CardSummary& summary,
                  std::string& error) {
    summary = CardSummary{};
    error.clear();
    if (outFolder.empty()) {
        error = "no folder for the card image";
        return false;
    }
    if (!ValidateCardOptions(options, error)) return false;
    CardIdentity identity;
    if (!MakeCardIdentity(options, identity, error)) return false;

    StoreImage image;
    if (!image.Create(outFolder, error)) return false;
    BlockChain chain(image);
    std::unique_ptr<CardWriter> writer;
    if (options.family == CardFamily::Dx) {
        writer = std::make_unique<DxCardWriter>(options, identity, chain);
    } else {
        writer = std::make_unique<Zt4CardWriter>(options, identity, chain);
    }
    if (!options.empty && !writer->Write(error)) return false;

    const uint32_t used = image.SectorsWritten();
    const uint32_t total = options.totalSectors != 0 ? options.totalSectors : AutomaticTotal(used);
    if (total < used) {
        error = "the journal takes " + std::to_string(used) +
                " sectors, more than the total store size of " + std::to_string(total);
        return false;
    }
    if (!image.Finish(total, options.storeFiles, MakeInfoSector(options, identity, used, total),
                      error)) {
        return false;
    }
    if (!WriteCardRecipe(outFolder, options, error)) return false;

    summary.family = options.family;
    summary.blockCount = chain.BlockCount();
    summary.sectorsUsed = used;
    summary.totalSectors = total;
    summary.storeFiles = options.storeFiles;
    summary.firstDate = writer->FirstDate();
    summary.lastDate = writer->LastDate();
    summary.blocksByType = chain.BlocksByType();
    summary.multiSectorBlocks = chain.MultiSectorBlocks();
    summary.damagedBlock = writer->DamagedBlock();
    summary.scaleSerialNumber = identity.serialNumber;
    summary.smcUid = identity.uidHex;
    summary.printableUid = identity.printableUid;
    summary.publicKey = identity.publicKey;
    return true;
}

bool GenerateCard(const CardOptions& options, const std::string& outFolder, std::string& error) {
    CardSummary summary;
    return GenerateCard(options, outFolder, summary, error);
}

}  // namespace tv
