// The journal of a ZT4 scale: the identifier block "ZT4...", the fusing block
// (followed, when asked, by an incident block), a signature incident / signature
// pair, then per day the receipts and user
// messages as XML blocks, incidents, and the closures, each followed by a
// signature incident and a signature block: the daily closure, at a month end the
// monthly one, at the year end (31 December) the yearly one.
//
// Every XML block is <fit><cte>YYYY-MM-DD HH:MM:SS</cte><KIND>...</KIND></fit>
// with the kind element directly after </cte>: fpg (ssn, ncd), fsg (sig: Base64
// DER, pck: Base64 of 04||X||Y), fcd, fcm, fcy, ftk (receipts), fum (user
// messages). A signature block carries the date text of the closure it signs.
#pragma once

#include <string>

#include "emulator/CardWriter.h"

namespace tv {

class Zt4CardWriter : public CardWriter {
public:
    using CardWriter::CardWriter;

    bool Write(std::string& error) override;

    static ItemLimits Limits() { return ItemLimits{3, 6, 24}; }

private:
    bool WriteXml(const std::string& dateTime, const std::string& kind, const std::string& body,
                  const CalendarDate* date, bool damage, std::string& error);
    bool WriteShort(const std::string& content, std::string& error);
    bool WriteBrokenFusing(const std::string& dateTime, const std::string& body, std::string& error);
    // A closure of the given kind, its signature incident block and its signature.
    bool WriteClosure(const CalendarDate& date, int32_t seconds, const std::string& kind,
                      const std::string& body, bool damageClosure, bool damageSignature,
                      std::string& error);
    bool WriteSignature(const std::string& dateTime, bool damaged, std::string& error);
    bool WriteDay(const JournalDay& day, uint32_t dayIndex, std::string& error);
    std::string ReceiptBody(const JournalEvent& receipt) const;

    std::string publicKeyText_;  // Base64 of the 133-byte public point
};

}  // namespace tv
