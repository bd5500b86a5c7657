// The reader of the XML documents of ZT4 blocks on any bytes, twice on one
// reader (a second document must not see the first one's fields).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "zt4/XmlParse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tv::CXmlParse parser;
    for (int pass = 0; pass < 2; ++pass) {
        parser.Load(data, size);
        const int result = parser.Parse();
        if (parser.DateText().size() > tv::CXmlParse::kDateWidth ||
            parser.SignatureText().size() > tv::CXmlParse::kSignatureWidth ||
            parser.PublicKeyText().size() > tv::CXmlParse::kPublicKeyWidth ||
            parser.SerialNumber().size() > tv::CXmlParse::kSerialNumberWidth ||
            parser.PrintableUid().size() > tv::CXmlParse::kPrintableUidWidth) {
            std::abort();
        }
        (void)result;
        size = size / 2;  // the second pass reads the first half
    }
    return 0;
}
