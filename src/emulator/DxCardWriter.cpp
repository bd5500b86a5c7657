#include "emulator/DxCardWriter.h"

#include <algorithm>
#include <cstring>

#include "crypto/TextCodec.h"

namespace tv {

namespace {

constexpr uint32_t kHeaderBytes = 22;
constexpr uint32_t kPayloadPerSector = kSectorBytes - kHeaderBytes;  // 490
// Payload that fits the last sector beside its header and the 64-byte trailer.
constexpr uint32_t kLastSectorPayload = 448 - kHeaderBytes;  // 426
constexpr int32_t kFusionSeconds = 6 * 3600 + 30 * 60;
constexpr uint64_t kPlanStream = 0xD0C0FFEE00000001ULL;

// Labels of the origin of trust block, with their bytes 0xF8 and 0xE9.
constexpr char kSerialLabel[] = "Balance N\xF8 de Serie:;";
constexpr char kTypeLabel[] = "Balance type:;";
constexpr char kFiscalLabel[] =
    "Version fiscalis\xE9"
    "e:;";

std::string PadTo(std::string text, size_t size) {
    text.resize(size, ' ');
    return text;
}

std::string Quantity(const ReceiptItem& item) {
    if (!item.weighed) return std::to_string(item.quantity) + "PC";
    char text[32];
    std::snprintf(text, sizeof text, "%u.%03uKG", item.quantity / 1000, item.quantity % 1000);
    return text;
}

}  // namespace

FramedBlock DxCardWriter::FrameBlock(char type, std::string payload, uint32_t blockNumber,
                                     uint32_t lastHeader, uint8_t dsVersion) {
    uint32_t sectors = 1;
    while (payload.size() > (sectors - 1) * kPayloadPerSector + kLastSectorPayload) ++sectors;
    if (sectors > 1 && payload.size() <= (sectors - 1) * kPayloadPerSector) {
        payload.resize((sectors - 1) * kPayloadPerSector + 1, ' ');
    }
    const auto lastPart = static_cast<uint32_t>(payload.size()) - (sectors - 1) * kPayloadPerSector;
    const uint32_t length = (sectors - 1) * kSectorBytes + (kHeaderBytes - 4) + lastPart;

    FramedBlock block;
    block.recordType = type;
    block.paddedLength = LongPaddedLength(length);
    block.bytes.assign(static_cast<size_t>(sectors) * kSectorBytes, 0);
    for (uint32_t k = 0; k < sectors; ++k) {
        uint8_t* s = block.bytes.data() + static_cast<size_t>(k) * kSectorBytes;
        PutBe32(s, length - k * kSectorBytes);
        s[4] = ';';
        PutBe16(s + 5, static_cast<uint16_t>(k));
        s[7] = ';';
        s[8] = static_cast<uint8_t>(type);
        s[9] = ';';
        s[10] = dsVersion;
        PutBe32(s + 11, blockNumber + k);
        PutBe16(s + 15, static_cast<uint16_t>(sectors));
        PutBe32(s + 17, lastHeader);
        s[21] = ';';
        const size_t from = static_cast<size_t>(k) * kPayloadPerSector;
        const size_t count = k + 1 == sectors ? lastPart : kPayloadPerSector;
        std::memcpy(s + kHeaderBytes, payload.data() + from, count);
    }
    return block;
}

FramedBlock DxCardWriter::FrameShortTailBlock(char type, std::string payload, uint32_t blockNumber,
                                              uint32_t lastHeader, int32_t tail) {
    // Whole sectors of payload before the last one; the last of them may stop short.
    const int32_t cut = std::min(tail, 0);
    uint32_t full = 1;
    while (payload.size() > full * kPayloadPerSector + cut) ++full;
    payload.resize(full * kPayloadPerSector + cut, ' ');
    const uint32_t padded = full * kSectorBytes + static_cast<uint32_t>(tail);
    const uint32_t length = padded - 4;
    const uint32_t sectors = full + 1;

    FramedBlock block;
    block.recordType = type;
    block.paddedLength = LongPaddedLength(length);
    block.bytes.assign(static_cast<size_t>(sectors) * kSectorBytes, 0);
    for (uint32_t k = 0; k < sectors; ++k) {
        // A last sector that the block's bytes do not reach holds only the hashes.
        if (k == full && tail <= 0) break;
        uint8_t* s = block.bytes.data() + static_cast<size_t>(k) * kSectorBytes;
        PutBe32(s, length - k * kSectorBytes);
        s[4] = ';';
        PutBe16(s + 5, static_cast<uint16_t>(k));
        s[7] = ';';
        s[8] = static_cast<uint8_t>(type);
        s[9] = ';';
        s[10] = 2;
        PutBe32(s + 11, blockNumber + k);
        PutBe16(s + 15, static_cast<uint16_t>(sectors));
        PutBe32(s + 17, lastHeader);
        s[21] = ';';
        if (k < full) {
            const size_t from = static_cast<size_t>(k) * kPayloadPerSector;
            const size_t count = k + 1 == full ? payload.size() - from : kPayloadPerSector;
            std::memcpy(s + kHeaderBytes, payload.data() + from, count);
        }
    }
    return block;
}

bool DxCardWriter::WriteLong(char type, std::string payload, const CalendarDate* date, bool damage,
                             std::string& error, int32_t shortTail) {
    const bool dsDamage = damage && options_.damage == CardDamage::DsVersion;
    FramedBlock block =
        shortTail == kNoShortTail
            ? FrameBlock(type, std::move(payload), chain_.NextBlockNumber(), lastHeader_, dsDamage ? 3 : 2)
            : FrameShortTailBlock(type, std::move(payload), chain_.NextBlockNumber(), lastHeader_, shortTail);
    const BlockFault fault = damage ? FaultFor(block, kHeaderBytes + 20) : BlockFault{};
    if (type == 'H') lastHeader_ = chain_.NextBlockNumber();
    if (date != nullptr) NoteDate(*date);
    return Append(block, fault, error);
}

bool DxCardWriter::WriteShort(const std::string& content, std::string& error) {
    FramedBlock block = FrameShortBlock(content);
    return Append(block, BlockFault{}, error);
}

bool DxCardWriter::WriteSignature(const std::string& dateTime, bool damaged, std::string& error) {
    std::vector<uint8_t> der;
    if (!SignLastBlock(damaged, der, error)) return false;
    return WriteLong('S', EncodeHex(der) + ";" + dateTime + ";", nullptr, false, error);
}

bool DxCardWriter::WriteOrigin(std::string& error) {
    const std::string fusion = options_.start.TextAt(kFusionSeconds);
    const std::string first = std::string("ORIGINE DE CONFIANCE;Fabricant:;HARLAN BRISTOW;") +
                              kSerialLabel + identity_.serialNumber + ";" + kTypeLabel + "dX  ;" +
                              kFiscalLabel + "01.00;Date de fusion:;" + fusion +
                              ";Customisation:;" + options_.customisationId + ";";
    const std::string second = "SMC Unique ID:;" + identity_.uidHex +
                               ";SMC signature clef public:;" + identity_.publicKey + ";";
    const std::string third = "Empreinte:;SHA-256;Signature:;ECDSA P-521;FIN ORIGINE DE CONFIANCE;";
    if (!WriteLong('O', PadTo(first, kPayloadPerSector) + PadTo(second, kPayloadPerSector) + third,
                   nullptr, false, error)) {
        return false;
    }
    if (options_.originIncident != 0 &&
        !WriteShort(IncidentContent(options_.originIncident, fusion, "MISE EN SERVICE"), error)) {
        return false;
    }
    // Two signature incident / signature pairs authenticate the origin.
    for (int32_t pair = 0; pair < 2; ++pair) {
        const std::string at = options_.start.TextAt(kFusionSeconds + 1 + 2 * pair);
        if (!WriteShort("W;" + at + ";ORIGINE;", error) ||
            !WriteSignature(options_.start.TextAt(kFusionSeconds + 2 + 2 * pair), false, error)) {
            return false;
        }
    }
    return true;
}

std::string DxCardWriter::ReceiptText(const CalendarDate& date, const JournalEvent& r) const {
    std::string text = date.TextAt(r.seconds) + ";TICKET;" + Number(r.number, 6) + ";VENDEUR " +
                       std::to_string(r.operatorNumber) + ";";
    for (const ReceiptItem& item : r.items) {
        text += std::to_string(item.plu) + ";" + item.name + ";" + Quantity(item) + ";" +
                Amount(item.unitCents) + ";" + Amount(item.amountCents) + ";";
    }
    return text + "TOTAL;" + Amount(r.totalCents) + ";";
}

bool DxCardWriter::WriteDay(const JournalDay& day, uint32_t dayIndex, std::string& error) {
    StartDay(day, dayIndex);
    const CalendarDate& d = day.date;
    if (!WriteLong('H',
                   d.TextAt(day.openSeconds) + ";OUVERTURE;Z" + Number(day.day.number, 4) +
                       ";BALANCE " + identity_.serialNumber + ";",
                   nullptr, false, error)) {
        return false;
    }
    bool receiptSeen = false;
    for (const JournalEvent& e : day.events) {
        bool ok = true;
        switch (e.kind) {
            case JournalEventKind::Receipt: {
                // Every third receipt, when asked, ends near a sector boundary: the
                // tail goes round -48, -32, -16, 0 and 16.
                const bool shortTail = options_.shortLastSector && e.number % 3 == 0;
                const int32_t tail = static_cast<int32_t>((e.number / 3) % 5) * 16 - 48;
                ok = WriteLong('T', ReceiptText(d, e), &d, !receiptSeen && TakeBlockDamage(), error,
                               shortTail ? tail : kNoShortTail);
                receiptSeen = true;
                break;
            }
            case JournalEventKind::UserMessage:
                ok = WriteLong('U', d.TextAt(e.seconds) + ";MESSAGE;" + e.text + ";", &d, false,
                               error);
                break;
            case JournalEventKind::Incident:
                ok = WriteShort(IncidentContent(e.incident, d.TextAt(e.seconds), e.text), error);
                break;
        }
        if (!ok) return false;
    }
    if (!day.closed) return true;

    const std::string closure = d.TextAt(day.closeSeconds);
    std::string closureText = closure + ";CLOTURE JOURNALIERE;Z" + Number(day.day.number, 4) +
                              ";TICKETS:" + std::to_string(day.day.receipts) +
                              ";TOTAL:" + Amount(day.day.cents) + ";";
    // A closure of several sectors: its text ends well into the last of them.
    if (options_.closureSectors > 1) {
        closureText = PadTo(std::move(closureText),
                            std::max<size_t>(closureText.size(),
                                             (options_.closureSectors - 1) * kPayloadPerSector + 100));
    }
    if (!WriteLong('E', std::move(closureText), &d, TakeBlockDamage(), error) ||
        !WriteShort("W;" + d.TextAt(day.closeSeconds + 1) + ";CLOTURE;", error) ||
        !WriteSignature(d.TextAt(day.closeSeconds + 2), TakeSignatureDamage(), error)) {
        return false;
    }
    if (day.trailingIncident != 0) {
        return WriteShort(
            IncidentContent(day.trailingIncident, d.TextAt(day.trailingSeconds), day.trailingText),
            error);
    }
    return true;
}

bool DxCardWriter::Write(std::string& error) {
    if (!WriteOrigin(error)) return false;
    JournalPlanner planner(options_, Limits(), options_.seed ^ kPlanStream);
    JournalDay day;
    for (uint32_t index = 0; planner.NextDay(day); ++index) {
        if (!WriteDay(day, index, error)) return false;
    }
    return true;
}

}  // namespace tv
