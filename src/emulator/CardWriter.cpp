#include "emulator/CardWriter.h"

#include <algorithm>
#include <cstdio>

#include "crypto/ScaleKey.h"

namespace tv {

CardWriter::CardWriter(const CardOptions& options, const CardIdentity& identity, BlockChain& chain)
    : options_(options), identity_(identity), chain_(chain) {}

bool CardWriter::SignLastBlock(bool damaged, std::vector<uint8_t>& der, std::string& error) {
    DigestBytes digest = chain_.LastHash();
    if (damaged) {
        digest[kDigestSize - 1] ^= 0x01;
        MarkDamaged();  // the signature block comes next
    }
    if (!SignDigestWith(identity_.privateKey, digest, der)) {
        error = "the scale could not sign a block";
        return false;
    }
    // Every reader takes the sequence length from one length byte after 0x81.
    if (der.size() < 8 || der[0] != 0x30 || der[1] != 0x81 || der[2] + 3u != der.size()) {
        error = "the scale's signature has an unexpected DER form";
        return false;
    }
    return true;
}

bool CardWriter::Append(FramedBlock& block, const BlockFault& fault, std::string& error) {
    if (!chain_.Append(block, fault)) {
        error = "the store could not be written";
        return false;
    }
    return true;
}

void CardWriter::NoteDate(const CalendarDate& date) {
    if (firstDate_.empty()) firstDate_ = date.Text();
    lastDate_ = date.Text();
}

void CardWriter::StartDay(const JournalDay& day, uint32_t dayIndex) {
    if (!day.closed || options_.damage == CardDamage::None || dayIndex != options_.days / 2) {
        return;
    }
    // These are written where the damaged block belongs, not on one day.
    if (options_.damage == CardDamage::ClosureIncident || options_.damage == CardDamage::FusingXml) return;
    if (options_.damage == CardDamage::Signature) {
        signatureDamagePending_ = true;
    } else {
        blockDamagePending_ = true;
    }
}

bool CardWriter::TakeBlockDamage() {
    const bool take = blockDamagePending_;
    blockDamagePending_ = false;
    if (take) MarkDamaged();
    return take;
}

bool CardWriter::TakeSignatureDamage() {
    const bool take = signatureDamagePending_;
    signatureDamagePending_ = false;
    return take;
}

BlockFault CardWriter::FaultFor(const FramedBlock& block, size_t from) const {
    BlockFault fault;
    if (options_.damage == CardDamage::Chain) fault.breakChain = true;
    if (options_.damage != CardDamage::Payload) return fault;
    const size_t end = std::min<size_t>(block.paddedLength, kSectorBytes);
    for (size_t i = end; i > from; --i) {
        const uint8_t c = block.bytes[i - 1];
        if (c >= '0' && c <= '9') {
            fault.changeAt = static_cast<int64_t>(i - 1);
            fault.changeTo = c == '9' ? '8' : static_cast<uint8_t>(c + 1);
            break;
        }
    }
    return fault;
}

std::string CardWriter::IncidentContent(char letter, const std::string& dateTime,
                                        const std::string& text) {
    return std::string(1, letter) + ";" + dateTime + ";" + text + ";";
}

std::string CardWriter::Amount(uint64_t cents) {
    char text[32];
    std::snprintf(text, sizeof text, "%llu.%02llu", static_cast<unsigned long long>(cents / 100),
                  static_cast<unsigned long long>(cents % 100));
    return text;
}

std::string CardWriter::Number(uint64_t value, int width) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*llu", width, static_cast<unsigned long long>(value));
    return text;
}

}  // namespace tv
