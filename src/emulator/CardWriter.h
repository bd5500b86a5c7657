// What the writers of both card families share: the scale's signatures, the
// dates of the journal, the damage of negative tests and the texts of amounts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "emulator/BlockChain.h"
#include "emulator/CardIdentity.h"
#include "emulator/CardOptions.h"
#include "emulator/JournalPlanner.h"

namespace tv {

class CardWriter {
public:
    CardWriter(const CardOptions& options, const CardIdentity& identity, BlockChain& chain);
    virtual ~CardWriter() = default;
    CardWriter(const CardWriter&) = delete;
    CardWriter& operator=(const CardWriter&) = delete;

    // Writes the whole journal into the chain; false with the reason.
    virtual bool Write(std::string& error) = 0;

    const std::string& FirstDate() const { return firstDate_; }
    const std::string& LastDate() const { return lastDate_; }
    int64_t DamagedBlock() const { return damagedBlock_; }

protected:
    // The scale's DER signature of the current hash of the last block written (a
    // signature block signs the block before it). A damaged signature signs a
    // digest with one bit changed, so it is well formed but does not verify.
    bool SignLastBlock(bool damaged, std::vector<uint8_t>& der, std::string& error);

    // Appends a block; a dated block's date is noted for the summary.
    bool Append(FramedBlock& block, const BlockFault& fault, std::string& error);
    void NoteDate(const CalendarDate& date);

    // Damage is done on the middle closed day: to its first receipt (or, without
    // receipts, its closure) for payload, chain and DS-version damage, to the
    // signature of its closure for signature damage. Each is taken once.
    void StartDay(const JournalDay& day, uint32_t dayIndex);
    bool TakeBlockDamage();
    bool TakeSignatureDamage();
    // The fault that makes damage of the given kind to a block: for payload damage
    // the last digit of its first sector from offset from on changes.
    BlockFault FaultFor(const FramedBlock& block, size_t from) const;
    void MarkDamaged() { damagedBlock_ = chain_.NextBlockNumber(); }

    // The content of an incident block: "X;YYYY-MM-DD HH:MM:SS;TEXT;".
    static std::string IncidentContent(char letter, const std::string& dateTime,
                                       const std::string& text);
    static std::string Amount(uint64_t cents);
    static std::string Number(uint64_t value, int width);

    const CardOptions& options_;
    const CardIdentity& identity_;
    BlockChain& chain_;

private:
    std::string firstDate_;
    std::string lastDate_;
    int64_t damagedBlock_ = -1;
    bool blockDamagePending_ = false;
    bool signatureDamagePending_ = false;
};

}  // namespace tv
