// What a generated card image holds: the family, the size of its journal, the
// shape of its store and info sector, and any deliberate damage.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "emulator/CalendarDate.h"

namespace tv {

enum class CardFamily { Dx, Zt4 };

enum class CardDamage {
    None,
    Payload,    // a payload byte of a journal block changed after the block was hashed
    Chain,      // a journal block whose previous hash is not its predecessor's current hash
    Signature,  // a signature block whose signature does not verify
    DsVersion,  // dX: a journal block with data structure version 3
    ClosureIncident,  // ZT4: a year closure written without its signature incident block
    FusingXml,        // ZT4: a fusing block whose XML is not well formed
};

struct CardOptions {
    CardFamily family = CardFamily::Dx;
    uint64_t seed = 1;
    CalendarDate start{2015, 12, 20};
    uint32_t days = 20;  // closed days of trading
    uint32_t receiptsPerDay = 20;
    uint32_t multiSectorPercent = 20;   // share of receipts that span several sectors
    uint32_t unclosedTailReceipts = 0;  // receipts of one more day, after the last closure
    uint32_t storeFiles = 1;            // 1 to 16; more than one splits the store
    uint32_t totalSectors = 0;          // store size; 0 for the used sectors and free room
    bool fused = true;
    bool empty = false;  // no journal at all: next write index 0
    // dX: some receipts end at most 22 bytes into their last sector, or in the
    // sector before with only the hashes after them.
    bool shortLastSector = false;
    // Shapes real scales write: an incident block (C, F, P or R; 0 for none)
    // between the origin (dX origin of trust block, ZT4 fusing block) and the
    // first signature incident block; closures of several sectors; an incident
    // block after every closure group (never after a year closure).
    char originIncident = 0;
    uint32_t closureSectors = 1;  // 1 to 4
    bool incidentAfterClosures = false;
    std::string customisationId = "QX33";
    CardDamage damage = CardDamage::None;
};

// What was written, for the caller to print or check.
struct CardSummary {
    CardFamily family = CardFamily::Dx;
    uint32_t blockCount = 0;
    uint32_t sectorsUsed = 0;  // the next write index
    uint32_t totalSectors = 0;
    uint32_t storeFiles = 0;
    std::string firstDate;  // of the first and last dated journal block,
    std::string lastDate;   // "YYYY-MM-DD"; empty when there is none
    std::map<char, uint32_t> blocksByType;
    uint32_t multiSectorBlocks = 0;
    int64_t damagedBlock = -1;  // block number of the damaged block
    std::string scaleSerialNumber;
    std::string smcUid;  // 32 hex digits
    std::string printableUid;
    std::string publicKey;  // "04" X Y, 266 hex digits
};

const char* FamilyName(CardFamily family);
const char* DamageName(CardDamage damage);
bool ParseDamageName(const std::string& name, CardDamage& damage);

// Checks the options against each other; false with the reason.
bool ValidateCardOptions(const CardOptions& options, std::string& error);

// Reads the arguments of the make-card command into options and the output
// folder: --family dx|zt4 --out DIR [--seed N] [--start YYYY-MM-DD] [--days N]
// [--receipts-per-day N] [--multi-sector PCT] [--unclosed-tail [N]] [--split-store]
// [--store-files N] [--total-sectors N] [--not-fused] [--empty] [--cust-id XXXX]
// [--damage KIND] [--short-last-sector] [--origin-incident C|F|P|R]
// [--closure-sectors N] [--incident-after-closures]. False with the reason on a
// usage error.
bool ParseCardArguments(const std::vector<std::string>& args, CardOptions& options,
                        std::string& outFolder, std::string& error);

}  // namespace tv
