// The block XML reader: well-formedness, the field taps and their widths,
// and safety on truncated and arbitrary input.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "support/TestEnvironment.h"
#include "zt4/XmlParse.h"

namespace tv {
namespace {

const std::string kDate = "2015-01-02 08:00:00";
const std::string kTransaction =
    "<?xml version=\"1.0\"?><!-- block 12 --><fit v=\"2\"><cte>" + kDate +
    "</cte><ftk id='7'><it n=\"1\"/><note><![CDATA[a<b]]></note><amt>12.50</amt></ftk></fit>";
const std::string kFusing = "<fit><cte>" + kDate +
                            "</cte><fpg><ssn>K7Q29</ssn><ncd>0123456789ABCDEF</ncd></fpg></fit>";
const std::string kSignature = "<fit><cte>" + kDate +
                               "</cte><fsg><sig>MIGIAkIB+s=</sig><pck>BAHk/p==</pck></fsg></fit>";

class XmlParseTest : public test::TestEnvironment {
protected:
    int Parse(const std::string& text) {
        reader.Load(text);
        return reader.Parse();
    }
    CXmlParse reader;
};

TEST_F(XmlParseTest, WellFormedBlocksFillTheirFields) {
    EXPECT_EQ(Parse(kTransaction), CXmlParse::kOk);
    EXPECT_EQ(reader.DateText(), kDate);
    EXPECT_EQ(reader.KindName(), "ftk");

    EXPECT_EQ(Parse(kFusing), CXmlParse::kOk);
    EXPECT_EQ(reader.KindName(), "fpg");
    EXPECT_EQ(reader.SerialNumber(), "K7Q29");
    EXPECT_EQ(reader.PrintableUid(), "0123456789ABCDEF");

    EXPECT_EQ(Parse(kSignature), CXmlParse::kOk);
    EXPECT_EQ(reader.KindName(), "fsg");
    EXPECT_EQ(reader.SignatureText(), "MIGIAkIB+s=");
    EXPECT_EQ(reader.PublicKeyText(), "BAHk/p==");

    // Only the first three letters name the date element; contents are verbatim.
    EXPECT_EQ(Parse("<fit><ctex> 2015&amp;x </ctex><fcd/></fit>"), CXmlParse::kOk);
    EXPECT_EQ(reader.DateText(), " 2015&amp;x ");
    // The kind is read two characters after the ">" of the date's end tag.
    EXPECT_EQ(Parse("<fit><cte>" + kDate + "</cte>\n<fpg><ncd>U</ncd></fpg></fit>"),
              CXmlParse::kOk);
    EXPECT_EQ(reader.KindName(), "<fp");
    // A comment or CDATA section ends the copied text at its "<".
    EXPECT_EQ(Parse("<fit><cte>2015<!--x-->99</cte><fcm/></fit>"), CXmlParse::kOk);
    EXPECT_EQ(reader.DateText(), "2015");
}

TEST_F(XmlParseTest, MissingFieldsAreReportedInOrder) {
    const std::string head = "<fit><cte>" + kDate + "</cte>";
    EXPECT_EQ(Parse(""), CXmlParse::kNoDate);
    EXPECT_EQ(Parse("<fit><cte></cte><ftk/></fit>"), CXmlParse::kNoDate);
    EXPECT_EQ(Parse("<fit><cte/><ftk/></fit>"), CXmlParse::kNoDate);
    // Text after a comment is between tags and is not taken as the date.
    EXPECT_EQ(Parse("<fit><cte><!--x-->" + kDate + "</cte><ftk/></fit>"), CXmlParse::kNoDate);
    EXPECT_EQ(Parse("<fit><cte></cte><fsg/></fit>"), CXmlParse::kNoDate);

    EXPECT_EQ(Parse(head + "<fpg><ncd>U</ncd></fpg></fit>"), CXmlParse::kNoSerialNumber);
    EXPECT_EQ(Parse(head + "<fpg><ssn></ssn><ncd>U</ncd></fpg></fit>"),
              CXmlParse::kNoSerialNumber);
    EXPECT_EQ(Parse(head + "<fpg><ssn>S</ssn></fpg></fit>"), CXmlParse::kNoPrintableUid);
    EXPECT_EQ(Parse(head + "<fpg><ncd>U</ncd><ssn>S</ssn></fpg></fit>"),
              CXmlParse::kNoPrintableUid);
    EXPECT_EQ(Parse(head + "<fsg><pck>K</pck></fsg></fit>"), CXmlParse::kNoSignature);
    EXPECT_EQ(Parse(head + "<fsg><sig>S</sig></fsg></fit>"), CXmlParse::kNoPublicKey);
    EXPECT_EQ(Parse(head + "<fsg><pck>K</pck><sig>S</sig></fsg></fit>"), CXmlParse::kNoPublicKey);
    // The field checks come before the check for elements left open.
    EXPECT_EQ(Parse(head + "<fpg><ssn>S</ssn>"), CXmlParse::kNoPrintableUid);
    EXPECT_EQ(Parse("<fit>"), CXmlParse::kNoDate);
    EXPECT_EQ(Parse(head), CXmlParse::kMalformed);
}

TEST_F(XmlParseTest, ReusedReaderStartsEveryDocumentWithEmptyFields) {
    ASSERT_EQ(Parse(kSignature), CXmlParse::kOk);
    EXPECT_EQ(Parse("<fit><cte>" + kDate + "</cte><fsg><pck>K</pck></fsg></fit>"),
              CXmlParse::kNoSignature);
    EXPECT_EQ(reader.SignatureText(), "");
    ASSERT_EQ(Parse(kFusing), CXmlParse::kOk);
    EXPECT_EQ(Parse("<fit><cte/><fpg><ssn>S</ssn><ncd>U</ncd></fpg></fit>"), CXmlParse::kNoDate);
    EXPECT_EQ(reader.DateText(), "");
    EXPECT_EQ(reader.KindName(), "");
}

TEST_F(XmlParseTest, ElementsMustBalanceAndNest) {
    const std::string head = "<fit><cte>" + kDate + "</cte><ftk>";
    EXPECT_EQ(Parse(head + "<a><b></a></b></ftk></fit>"), CXmlParse::kMalformed);
    EXPECT_EQ(Parse(head + "</fit>"), CXmlParse::kMalformed);
    EXPECT_EQ(Parse(kTransaction + "</fit>"), CXmlParse::kMalformed);
    EXPECT_EQ(Parse(head + "</ftk  ></fit>"), CXmlParse::kOk);
    EXPECT_EQ(Parse(head + "</ ftk></fit>"), CXmlParse::kMalformed);
    EXPECT_EQ(Parse(head + "<a/ ></ftk></fit>"), CXmlParse::kMalformed);
    EXPECT_EQ(Parse(head + "<a /></ftk></fit>"), CXmlParse::kOk);
    EXPECT_EQ(Parse(head + "<></></ftk></fit>"), CXmlParse::kMalformed);
    EXPECT_EQ(Parse(head + "< a></a></ftk></fit>"), CXmlParse::kMalformed);
    EXPECT_EQ(Parse(head + "<!DOCTYPE x></ftk></fit>"), CXmlParse::kMalformed);
    const std::string longName(200, 'n');
    EXPECT_EQ(Parse(head + "<" + longName + ">x</" + longName + "></ftk></fit>"),
              CXmlParse::kOk);
    EXPECT_EQ(LogText(), "");  // the reader only answers with its code
}

TEST_F(XmlParseTest, AttributeValuesMustBeQuoted) {
    auto withTag = [](const std::string& tag) {
        return "<fit><cte>" + kDate + "</cte><ftk>" + tag + "</ftk></fit>";
    };
    EXPECT_EQ(Parse(withTag("<a b=\"1'>x</a>")), CXmlParse::kOk);
    EXPECT_EQ(Parse(withTag("<a b = '1'\r\n c=\"<>\"/>")), CXmlParse::kOk);
    EXPECT_EQ(Parse(withTag("<a b=\"1\"/>")), CXmlParse::kOk);
    EXPECT_EQ(Parse(withTag("<a b=1>x</a>")), CXmlParse::kMalformed);
    EXPECT_EQ(Parse(withTag("<a b=\"1\"c=\"2\"/>")), CXmlParse::kMalformed);
    EXPECT_EQ(Parse(withTag("<a b=\"1\"/ >")), CXmlParse::kMalformed);
    EXPECT_EQ(Parse(withTag("<a =\"1\"/>")), CXmlParse::kMalformed);
    EXPECT_EQ(Parse(withTag("<a b=\"1/>")), CXmlParse::kMalformed);
}

TEST_F(XmlParseTest, AtMostEightLevelsNest) {
    auto nested = [](int levels, const std::string& innermost) {
        std::string open = "<fit><cte>" + kDate + "</cte><ftk>";
        std::string close = "</ftk></fit>";
        for (int i = 2; i < levels; ++i) {
            open += "<e" + std::to_string(i) + ">";
            close = "</e" + std::to_string(i) + ">" + close;
        }
        return open + innermost + close;
    };
    EXPECT_EQ(Parse(nested(8, "x")), CXmlParse::kOk);
    EXPECT_EQ(Parse(nested(9, "x")), CXmlParse::kMalformed);
    EXPECT_EQ(Parse(nested(8, "<z/>")), CXmlParse::kMalformed);
    EXPECT_EQ(Parse(nested(8, "<!--c--><?p?><![CDATA[d]]>")), CXmlParse::kOk);
    std::string siblings;
    for (int i = 0; i < 50; ++i) siblings += "<a><b/></a>";
    EXPECT_EQ(Parse(nested(6, siblings)), CXmlParse::kOk);
}

TEST_F(XmlParseTest, CommentsInstructionsAndCdataMustClose) {
    const std::string head = "<fit><cte>" + kDate + "</cte><ftk>";
    const std::string tail = "</ftk></fit>";
    EXPECT_EQ(Parse(head + "<!-- note -->" + tail), CXmlParse::kOk);
    EXPECT_EQ(Parse(head + "<!-- note " + tail), CXmlParse::kMalformed);
    EXPECT_EQ(Parse(head + "<!-- a <!-- b --> c -->" + tail), CXmlParse::kMalformed);
    EXPECT_EQ(Parse(head + "<!-->" + tail), CXmlParse::kMalformed);
    EXPECT_EQ(Parse(kTransaction + "<?pi data?>"), CXmlParse::kOk);
    EXPECT_EQ(Parse(kTransaction + "<?pi data>"), CXmlParse::kMalformed);
    EXPECT_EQ(Parse(kTransaction + "<?>"), CXmlParse::kMalformed);
    // Inside content an instruction must be followed directly by markup.
    EXPECT_EQ(Parse(head + "<?pi x?><a/>" + tail), CXmlParse::kOk);
    EXPECT_EQ(Parse(head + "<?pi x?>text" + tail), CXmlParse::kMalformed);
    EXPECT_EQ(Parse(head + "<?pi x?>"), CXmlParse::kMalformed);
    EXPECT_EQ(Parse(head + "<![CDATA[ ]] ]>]]>" + tail), CXmlParse::kOk);
    EXPECT_EQ(Parse(head + "<![CDATX[x]]>" + tail), CXmlParse::kMalformed);
    EXPECT_EQ(Parse(head + "<![]]>" + tail), CXmlParse::kMalformed);
    EXPECT_EQ(Parse(head + "<![CDATA[x]>" + tail), CXmlParse::kMalformed);
}

TEST_F(XmlParseTest, FieldsAreCutToTheirWidths) {
    const std::string sig(250, 's'), key(250, 'k');
    EXPECT_EQ(Parse("<fit><cte>" + std::string(30, '9') + "</cte><fsgX><sig>" + sig +
                    "</sig><pck>" + key + "</pck></fsgX></fit>"),
              CXmlParse::kOk);
    EXPECT_EQ(reader.DateText(), std::string(CXmlParse::kDateWidth, '9'));
    EXPECT_EQ(reader.KindName(), "fsg");
    EXPECT_EQ(reader.SignatureText(), sig.substr(0, CXmlParse::kSignatureWidth));
    EXPECT_EQ(reader.PublicKeyText(), key.substr(0, CXmlParse::kPublicKeyWidth));

    EXPECT_EQ(Parse("<fit><cte>" + kDate + "</cte><fpg><ssn>" + std::string(25, 'S') +
                    "</ssn><ncd>" + std::string(40, 'U') + "</ncd></fpg></fit>"),
              CXmlParse::kOk);
    EXPECT_EQ(reader.SerialNumber(), std::string(CXmlParse::kSerialNumberWidth, 'S'));
    EXPECT_EQ(reader.PrintableUid(), std::string(CXmlParse::kPrintableUidWidth, 'U'));
    EXPECT_EQ(reader.PrintableUid().data()[CXmlParse::kPrintableUidWidth], '\0');
}

TEST_F(XmlParseTest, BytesPassThroughUnchanged) {
    const std::string raw("\xE9\xFF\0\x80\xC3(", 6);
    EXPECT_EQ(Parse(std::string("<fit>\0\xFE", 7) + "<cte>" + kDate + "</cte><fpg><ssn>" + raw +
                    "</ssn><ncd>\xC3\xA9</ncd></fpg></fit>"),
              CXmlParse::kOk);
    EXPECT_EQ(reader.SerialNumber(), raw);
    EXPECT_EQ(reader.PrintableUid(), "\xC3\xA9");
    reader.Load(nullptr, 10);
    EXPECT_EQ(reader.Parse(), CXmlParse::kNoDate);
}

// The result expected for the first n bytes of a document: -2 while a tag or
// other markup is open, else the code of the last landmark passed.
struct Landmark {
    std::string after;
    int code;
};

int ExpectedForPrefix(const std::string& doc, size_t n, const std::vector<Landmark>& marks) {
    if (n == doc.size()) return CXmlParse::kOk;
    const std::string prefix = doc.substr(0, n);
    const size_t lt = prefix.rfind('<'), gt = prefix.rfind('>');
    if (lt != std::string::npos && (gt == std::string::npos || gt < lt)) {
        return CXmlParse::kMalformed;
    }
    int code = CXmlParse::kNoDate;
    for (const Landmark& m : marks) {
        if (n >= doc.find(m.after) + m.after.size()) code = m.code;
    }
    return code;
}

TEST_F(XmlParseTest, EveryTruncationGivesItsResult) {
    const std::vector<std::pair<std::string, std::vector<Landmark>>> docs = {
        {kTransaction, {{"<cte>2", CXmlParse::kMalformed}}},
        {kFusing,
         {{"<cte>2", CXmlParse::kMalformed},
          {"<fpg>", CXmlParse::kNoSerialNumber},
          {"<ssn>K", CXmlParse::kNoPrintableUid},
          {"<ncd>0", CXmlParse::kMalformed}}},
        {kSignature,
         {{"<cte>2", CXmlParse::kMalformed},
          {"<fsg>", CXmlParse::kNoSignature},
          {"<sig>M", CXmlParse::kNoPublicKey},
          {"<pck>B", CXmlParse::kMalformed}}},
    };
    for (const auto& [doc, marks] : docs) {
        for (size_t n = 0; n <= doc.size(); ++n) {
            // An exactly sized buffer, so that a read past its end is caught.
            auto bytes = std::make_unique<char[]>(n);
            std::memcpy(bytes.get(), doc.data(), n);
            reader.Load(bytes.get(), n);
            EXPECT_EQ(reader.Parse(), ExpectedForPrefix(doc, n, marks))
                << "prefix " << n << ": " << doc.substr(0, n);
        }
    }
}

TEST_F(XmlParseTest, ArbitraryBytesAreHandledDeterministically) {
    static const std::string kAlphabet = "<>/?!-[]=\"' \r\nCDATcesigpknfg";
    std::mt19937 random(20160301);
    auto check = [&](const std::string& text) {
        auto bytes = std::make_unique<char[]>(text.size());
        std::memcpy(bytes.get(), text.data(), text.size());
        reader.Load(bytes.get(), text.size());
        const int code = reader.Parse();
        EXPECT_TRUE(code >= CXmlParse::kMalformed && code <= CXmlParse::kNoPublicKey && code != -1)
            << code;
        EXPECT_LE(reader.DateText().size(), CXmlParse::kDateWidth);
        EXPECT_LE(reader.KindName().size(), CXmlParse::kKindWidth);
        EXPECT_LE(reader.SignatureText().size(), CXmlParse::kSignatureWidth);
        // A fresh reader agrees with the reused one.
        CXmlParse fresh;
        fresh.Load(text);
        EXPECT_EQ(fresh.Parse(), code);
        EXPECT_EQ(fresh.DateText(), reader.DateText());
        EXPECT_EQ(fresh.SerialNumber(), reader.SerialNumber());
    };
    for (int i = 0; i < 20000; ++i) {
        std::string text(random() % 96, '\0');
        for (char& c : text) {
            c = random() % 4 == 0 ? static_cast<char>(random() % 256)
                                  : kAlphabet[random() % kAlphabet.size()];
        }
        check(text);
    }
    // Every single-byte change of the valid documents.
    for (const std::string& doc : {kTransaction, kFusing, kSignature}) {
        for (size_t at = 0; at < doc.size(); ++at) {
            for (char c : std::string("<>/?!-]'\"= \0", 12)) {
                std::string changed = doc;
                changed[at] = c;
                check(changed);
            }
        }
    }
}

}  // namespace
}  // namespace tv
