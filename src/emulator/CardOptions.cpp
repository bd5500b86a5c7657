#include "emulator/CardOptions.h"

#include <limits>

namespace tv {

namespace {

constexpr uint32_t kMaxDays = 36600;
constexpr uint32_t kMaxReceiptsPerDay = 100000;
constexpr uint32_t kMaxStoreFiles = 16;
constexpr uint32_t kSplitStoreFiles = 3;
constexpr uint32_t kDefaultTailReceipts = 3;
constexpr uint32_t kMaxClosureSectors = 4;

bool IsIncidentLetter(char c) { return c == 'C' || c == 'F' || c == 'P' || c == 'R'; }

bool ParseNumber(const std::string& text, uint64_t limit, uint64_t& value) {
    if (text.empty() || text.size() > 20) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (value > (limit - digit) / 10) return false;
        value = value * 10 + digit;
    }
    return true;
}

bool IsNumber(const std::string& text) {
    uint64_t ignored = 0;
    return ParseNumber(text, std::numeric_limits<uint64_t>::max(), ignored);
}

}  // namespace

const char* FamilyName(CardFamily family) { return family == CardFamily::Zt4 ? "ZT4" : "dX"; }

const char* DamageName(CardDamage damage) {
    switch (damage) {
        case CardDamage::Payload: return "payload";
        case CardDamage::Chain: return "chain";
        case CardDamage::Signature: return "signature";
        case CardDamage::DsVersion: return "ds-version";
        case CardDamage::ClosureIncident: return "closure-incident";
        case CardDamage::FusingXml: return "fusing-xml";
        case CardDamage::None: break;
    }
    return "none";
}

bool ParseDamageName(const std::string& name, CardDamage& damage) {
    for (CardDamage d : {CardDamage::None, CardDamage::Payload, CardDamage::Chain,
                         CardDamage::Signature, CardDamage::DsVersion, CardDamage::ClosureIncident,
                         CardDamage::FusingXml}) {
        if (name == DamageName(d)) {
            damage = d;
            return true;
        }
    }
    return false;
}

bool ValidateCardOptions(const CardOptions& o, std::string& error) {
    if (o.customisationId.size() != 4) {
        error = "the customisation ID must have exactly 4 characters";
        return false;
    }
    for (char c : o.customisationId) {
        if (c < 0x20 || c > 0x7E) {
            error = "the customisation ID must be printable ASCII";
            return false;
        }
    }
    if (!o.start.IsValid()) {
        error = "the start date is not a valid date";
        return false;
    }
    if (o.days > kMaxDays || o.start.year + static_cast<int32_t>(o.days / 365) + 2 > 9999) {
        error = "too many days";
        return false;
    }
    if (o.receiptsPerDay > kMaxReceiptsPerDay || o.unclosedTailReceipts > kMaxReceiptsPerDay) {
        error = "too many receipts per day";
        return false;
    }
    if (o.multiSectorPercent > 100) {
        error = "the multi-sector share is a percentage (0 to 100)";
        return false;
    }
    if (o.storeFiles < 1 || o.storeFiles > kMaxStoreFiles) {
        error = "the store has 1 to 16 files";
        return false;
    }
    if (o.totalSectors != 0 && o.totalSectors < o.storeFiles) {
        error = "the total store size leaves a store file empty";
        return false;
    }
    if (o.originIncident != 0 && !IsIncidentLetter(o.originIncident)) {
        error = "the incident after the origin is C, F, P or R";
        return false;
    }
    if (o.closureSectors < 1 || o.closureSectors > kMaxClosureSectors) {
        error = "a closure takes 1 to 4 sectors";
        return false;
    }
    if (o.damage != CardDamage::None) {
        if (o.empty || o.days == 0) {
            error = "damage needs a card with at least one closed day";
            return false;
        }
        if (o.damage == CardDamage::DsVersion && o.family != CardFamily::Dx) {
            error = "ds-version damage exists on dX cards only";
            return false;
        }
        if ((o.damage == CardDamage::ClosureIncident || o.damage == CardDamage::FusingXml) &&
            o.family != CardFamily::Zt4) {
            error = std::string(DamageName(o.damage)) + " damage exists on ZT4 cards only";
            return false;
        }
    }
    return true;
}

bool ParseCardArguments(const std::vector<std::string>& args, CardOptions& o,
                        std::string& outFolder, std::string& error) {
    bool familyGiven = false;
    outFolder.clear();
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // Flags without a value.
        if (arg == "--split-store") {
            if (o.storeFiles == 1) o.storeFiles = kSplitStoreFiles;
            continue;
        }
        if (arg == "--short-last-sector") {
            o.shortLastSector = true;
            continue;
        }
        if (arg == "--incident-after-closures") {
            o.incidentAfterClosures = true;
            continue;
        }
        if (arg == "--not-fused") {
            o.fused = false;
            continue;
        }
        if (arg == "--empty") {
            o.empty = true;
            continue;
        }
        if (arg == "--unclosed-tail") {
            o.unclosedTailReceipts = kDefaultTailReceipts;
            uint64_t n = 0;
            if (i + 1 < args.size() && IsNumber(args[i + 1])) {
                if (!ParseNumber(args[++i], kMaxReceiptsPerDay, n) || n == 0) {
                    error = "--unclosed-tail takes 1 to 100000 receipts";
                    return false;
                }
                o.unclosedTailReceipts = static_cast<uint32_t>(n);
            }
            continue;
        }
        // Options with a value.
        if (i + 1 >= args.size()) {
            error = arg.rfind("--", 0) == 0 ? arg + " needs a value" : "unexpected argument " + arg;
            return false;
        }
        const std::string& value = args[++i];
        uint64_t n = 0;
        const auto number = [&](uint64_t limit) {
            if (ParseNumber(value, limit, n)) return true;
            error = arg + " takes a number up to " + std::to_string(limit);
            return false;
        };
        if (arg == "--family") {
            if (value == "dx" || value == "dX") {
                o.family = CardFamily::Dx;
            } else if (value == "zt4" || value == "ZT4") {
                o.family = CardFamily::Zt4;
            } else {
                error = "--family takes dx or zt4";
                return false;
            }
            familyGiven = true;
        } else if (arg == "--out") {
            outFolder = value;
        } else if (arg == "--seed") {
            if (!number(std::numeric_limits<uint64_t>::max())) return false;
            o.seed = n;
        } else if (arg == "--start") {
            if (!CalendarDate::Parse(value, o.start)) {
                error = "--start takes a date YYYY-MM-DD";
                return false;
            }
        } else if (arg == "--days") {
            if (!number(kMaxDays)) return false;
            o.days = static_cast<uint32_t>(n);
        } else if (arg == "--receipts-per-day") {
            if (!number(kMaxReceiptsPerDay)) return false;
            o.receiptsPerDay = static_cast<uint32_t>(n);
        } else if (arg == "--multi-sector") {
            if (!number(100)) return false;
            o.multiSectorPercent = static_cast<uint32_t>(n);
        } else if (arg == "--store-files") {
            if (!number(kMaxStoreFiles)) return false;
            o.storeFiles = static_cast<uint32_t>(n);
        } else if (arg == "--total-sectors") {
            if (!number(std::numeric_limits<uint32_t>::max())) return false;
            o.totalSectors = static_cast<uint32_t>(n);
        } else if (arg == "--origin-incident") {
            if (value.size() != 1 || !IsIncidentLetter(value[0])) {
                error = "--origin-incident takes C, F, P or R";
                return false;
            }
            o.originIncident = value[0];
        } else if (arg == "--closure-sectors") {
            if (!number(kMaxClosureSectors)) return false;
            o.closureSectors = static_cast<uint32_t>(n);
        } else if (arg == "--cust-id") {
            o.customisationId = value;
        } else if (arg == "--damage") {
            if (!ParseDamageName(value, o.damage)) {
                error = "--damage takes payload, chain, signature or ds-version";
                return false;
            }
        } else {
            error = "unknown argument " + arg;
            return false;
        }
    }
    if (!familyGiven) {
        error = "make-card needs --family dx|zt4";
        return false;
    }
    if (outFolder.empty()) {
        error = "make-card needs --out DIR";
        return false;
    }
    return ValidateCardOptions(o, error);
}

}  // namespace tv
