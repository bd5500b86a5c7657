#include "emulator/Zt4CardWriter.h"

#include <cstdio>

#include "crypto/TextCodec.h"

namespace tv {

namespace {

constexpr int32_t kFusionSeconds = 6 * 3600 + 30 * 60;
constexpr uint64_t kPlanStream = 0x2E7400C0FFEE0002ULL;
// The date text ends at this offset of the block: 4 + "<fit><cte>" + 19 + "</cte>".
constexpr size_t kAfterDate = 4 + 10 + 19 + 6;

std::string Element(const char* name, const std::string& content) {
    return std::string("<") + name + ">" + content + "</" + name + ">";
}

std::string Document(const std::string& dateTime, const std::string& kind, const std::string& body) {
    return "<fit>" + Element("cte", dateTime) + "<" + kind + ">" + body + "</" + kind + "></fit>";
}

// The record type a reader gives a block of this kind.
char RecordTypeOf(const std::string& kind) {
    if (kind == "fpg") return 'O';
    if (kind == "fsg") return 'S';
    if (kind == "fcd" || kind == "fcm" || kind == "fcy") return 'E';
    return 'T';
}

std::string Weight(uint32_t grams) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%03u", grams / 1000, grams % 1000);
    return text;
}

}  // namespace

bool Zt4CardWriter::WriteXml(const std::string& dateTime, const std::string& kind,
                             const std::string& body, const CalendarDate* date, bool damage,
                             std::string& error) {
    const std::string xml = Document(dateTime, kind, body);
    const char type = RecordTypeOf(kind);
    FramedBlock block = FrameLongBlock(xml, type);
    const BlockFault fault = damage ? FaultFor(block, kAfterDate + 5) : BlockFault{};
    if (date != nullptr) NoteDate(*date);
    return Append(block, fault, error);
}

bool Zt4CardWriter::WriteBrokenFusing(const std::string& dateTime, const std::string& body,
                                      std::string& error) {
    // The root element is closed by a tag that does not match it.
    const std::string xml = "<fit>" + Element("cte", dateTime) + "<fpg>" + body + "</fpg></fix>";
    FramedBlock block = FrameLongBlock(xml, 'O');
    return Append(block, BlockFault{}, error);
}

bool Zt4CardWriter::WriteShort(const std::string& content, std::string& error) {
    FramedBlock block = FrameShortBlock(content);
    return Append(block, BlockFault{}, error);
}

bool Zt4CardWriter::WriteSignature(const std::string& dateTime, bool damaged, std::string& error) {
    std::vector<uint8_t> der;
    if (!SignLastBlock(damaged, der, error)) return false;
    return WriteXml(dateTime, "fsg",
                    Element("sig", EncodeBase64(der)) + Element("pck", publicKeyText_), nullptr,
                    false, error);
}

bool Zt4CardWriter::WriteClosure(const CalendarDate& date, int32_t seconds, const std::string& kind,
                                 const std::string& body, bool damageClosure, bool damageSignature,
                                 std::string& error) {
    // The signature block carries the closure's own date text.
    const std::string at = date.TextAt(seconds);
    const bool noIncident = kind == "fcy" && options_.damage == CardDamage::ClosureIncident;
    // A closure of several sectors: its document ends well into the last of them.
    std::string closureBody = body;
    if (options_.closureSectors > 1) {
        const size_t wanted = (options_.closureSectors - 1) * kSectorBytes + 100;
        const size_t document = Document(at, kind, body).size() + Element("rem", "").size();
        if (document < wanted) closureBody += Element("rem", std::string(wanted - document, ' '));
    }
    return WriteXml(at, kind, closureBody, &date, damageClosure, error) &&
           (noIncident || WriteShort("W;" + date.TextAt(seconds + 1) + ";" + kind + ";", error)) &&
           WriteSignature(at, damageSignature, error);
}

std::string Zt4CardWriter::ReceiptBody(const JournalEvent& r) const {
    std::string body =
        Element("nbr", Number(r.number, 6)) + Element("opr", std::to_string(r.operatorNumber));
    for (const ReceiptItem& item : r.items) {
        body += "<itm>" + Element("plu", std::to_string(item.plu)) + Element("nam", item.name) +
                (item.weighed ? Element("qty", Weight(item.quantity))
                              : Element("pcs", std::to_string(item.quantity))) +
                Element("prc", Amount(item.unitCents)) + Element("amt", Amount(item.amountCents)) +
                "</itm>";
    }
    return body + Element("tot", Amount(r.totalCents));
}

bool Zt4CardWriter::WriteDay(const JournalDay& day, uint32_t dayIndex, std::string& error) {
    StartDay(day, dayIndex);
    const CalendarDate& d = day.date;
    bool receiptSeen = false;
    for (const JournalEvent& e : day.events) {
        bool ok = true;
        switch (e.kind) {
            case JournalEventKind::Receipt:
                ok = WriteXml(d.TextAt(e.seconds), "ftk", ReceiptBody(e), &d,
                              !receiptSeen && TakeBlockDamage(), error);
                receiptSeen = true;
                break;
            case JournalEventKind::UserMessage:
                ok = WriteXml(d.TextAt(e.seconds), "fum", Element("txt", e.text), &d, false, error);
                break;
            case JournalEventKind::Incident:
                ok = WriteShort(IncidentContent(e.incident, d.TextAt(e.seconds), e.text), error);
                break;
        }
        if (!ok) return false;
    }
    if (!day.closed) return true;

    const auto totals = [](const ClosureTotals& t, int width) {
        return Element("nbr", Number(t.number, width)) +
               Element("tkc", std::to_string(t.receipts)) + Element("tot", Amount(t.cents));
    };
    const bool damageClosure = TakeBlockDamage();
    if (!WriteClosure(d, day.closeSeconds, "fcd", totals(day.day, 4), damageClosure,
                      TakeSignatureDamage(), error)) {
        return false;
    }
    char month[8];
    std::snprintf(month, sizeof month, "%04d-%02d", static_cast<int>(d.year),
                  static_cast<int>(d.month));
    if (day.monthEnd &&
        !WriteClosure(d, day.closeSeconds + 60, "fcm", Element("mth", month) + totals(day.month, 4),
                      false, false, error)) {
        return false;
    }
    if (day.yearEnd && !WriteClosure(d, day.closeSeconds + 120, "fcy",
                                     Element("yer", std::to_string(d.year)) + totals(day.year, 2),
                                     false, false, error)) {
        return false;
    }
    if (day.trailingIncident != 0) {
        return WriteShort(
            IncidentContent(day.trailingIncident, d.TextAt(day.trailingSeconds), day.trailingText),
            error);
    }
    return true;
}

bool Zt4CardWriter::Write(std::string& error) {
    std::vector<uint8_t> point;
    if (!DecodeHex(identity_.publicKey, point)) {
        error = "the scale key has no public point";
        return false;
    }
    publicKeyText_ = EncodeBase64(point);

    FramedBlock identifier = FrameLongBlock(
        "ZT4;IDENTIFICATION;HARLAN BRISTOW;VERSION 01.00;SN " + identity_.serialNumber + ";", 'I');
    if (!Append(identifier, BlockFault{}, error)) return false;
    const std::string fusion = options_.start.TextAt(kFusionSeconds);
    const std::string fusing =
        Element("ssn", identity_.serialNumber) + Element("ncd", identity_.printableUid);
    const bool brokenFusing = options_.damage == CardDamage::FusingXml;
    if (!(brokenFusing ? WriteBrokenFusing(fusion, fusing, error)
                       : WriteXml(fusion, "fpg", fusing, nullptr, false, error)) ||
        (options_.originIncident != 0 &&
         !WriteShort(IncidentContent(options_.originIncident, fusion, "MISE EN SERVICE"), error)) ||
        !WriteShort("W;" + options_.start.TextAt(kFusionSeconds + 1) + ";FUSION;", error) ||
        !WriteSignature(options_.start.TextAt(kFusionSeconds + 2), false, error)) {
        return false;
    }

    JournalPlanner planner(options_, Limits(), options_.seed ^ kPlanStream);
    JournalDay day;
    for (uint32_t index = 0; planner.NextDay(day); ++index) {
        if (!WriteDay(day, index, error)) return false;
    }
    return true;
}

}  // namespace tv
