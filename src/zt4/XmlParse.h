// One-pass reader of the XML documents of ZT4 blocks: checks that a document
// is well formed in a simple sense and, in the same pass, picks out the few
// element contents the archive writer needs (date, kind, the signature fields
// of "fsg" blocks, the identity fields of "fpg" blocks).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace tv {

class CXmlParse {
public:
    // Results of Parse.
    static constexpr int kOk = 0;
    static constexpr int kNoSerialNumber = 1;
    static constexpr int kNoPrintableUid = 2;
    static constexpr int kNoDate = 3;
    static constexpr int kNoSignature = 4;
    static constexpr int kNoPublicKey = 5;
    static constexpr int kMalformed = -2;

    // Deepest element index: at most eight levels of nesting.
    static constexpr int32_t kMaxDepth = 7;
    // Characters kept of an element, end-tag or attribute name and of a value.
    static constexpr size_t kNameKept = 127;

    // Widths of the extracted fields, in characters.
    static constexpr size_t kDateWidth = 24;
    static constexpr size_t kKindWidth = 3;
    static constexpr size_t kSignatureWidth = 199;
    static constexpr size_t kPublicKeyWidth = 199;
    static constexpr size_t kSerialNumberWidth = 20;
    static constexpr size_t kPrintableUidWidth = 32;

    CXmlParse();
    virtual ~CXmlParse();

    CXmlParse(const CXmlParse&) = delete;
    CXmlParse& operator=(const CXmlParse&) = delete;

    // Keeps a copy of the document. Every byte is one character (0x00-0xFF as
    // U+0000-U+00FF), so card bytes pass unchanged whatever their encoding.
    void Load(const void* bytes, size_t length);
    void Load(std::string_view text) { Load(text.data(), text.size()); }

    // Scans the loaded document; one of the result constants above. Every
    // extracted field is cleared first, so a field the document does not
    // fill is empty afterwards.
    int Parse();

    // Extracted fields: the exact bytes of the element contents, cut to the
    // field's width (NUL bytes included; each text is also NUL-terminated).
    std::string_view DateText() const { return date_.View(); }
    std::string_view KindName() const { return kind_.View(); }
    std::string_view SignatureText() const { return signature_.View(); }
    std::string_view PublicKeyText() const { return publicKey_.View(); }
    std::string_view SerialNumber() const { return serialNumber_.View(); }
    std::string_view PrintableUid() const { return printableUid_.View(); }

private:
    enum State : int32_t {
        kBetweenTags = -1,
        kProcessingInstruction = 0,
        kComment = 1,
        kElementName = 2,
        kEndTagName = 3,
        kContent = 4,
        kAttributeName = 5,
        kAttributeValue = 6,
        kCdata = 7,
    };

    // Internal outcomes of the scan.
    static constexpr int kScanOk = 0;
    static constexpr int kScanFailed = -2;
    static constexpr int kScanTooDeep = -3;

    template <size_t Width>
    struct Field {
        char text[Width + 1] = {};
        size_t length = 0;

        void Clear() {
            length = 0;
            text[0] = '\0';
        }
        void Append(char16_t c) {
            if (length < Width) {
                text[length++] = static_cast<char>(c & 0xFF);
                text[length] = '\0';
            }
        }
        std::string_view View() const { return std::string_view(text, length); }
    };

    // One open element: its name and the end-tag name read against it.
    struct Level {
        char16_t name[kNameKept + 1] = {};
        char16_t endName[kNameKept + 1] = {};
        size_t nameLength = 0;
        size_t endNameLength = 0;
    };

    int Scan();
    void RunTaps(size_t at);
    bool Step(char16_t c, size_t at);

    bool OpenMarkup(bool inContent);
    bool SkipProcessingInstructionInContent();
    bool EndElementName();
    bool AfterTagSpace();
    bool AfterAttributeValue();
    bool SelfClose();
    bool EndTag();

    // Character at index, or -1 past the end of the text.
    int32_t Peek(size_t index) const;
    Level* CurrentLevel();
    static bool StartsWith(const char16_t* name, size_t length, std::string_view prefix);
    static void Keep(char16_t* buffer, size_t& length, char16_t c);

    template <size_t Width>
    void CopyContent(size_t from, Field<Width>& field) const;
    void ClearFields();

    // The document, held in a buffer of exactly its size.
    std::unique_ptr<char16_t[]> input_;
    size_t inputSize_ = 0;
    size_t length_ = 0;
    size_t position_ = 0;
    int32_t depth_ = -1;
    int32_t state_ = kBetweenTags;
    Level levels_[kMaxDepth + 1];

    size_t attributeNameLength_ = 0;
    size_t attributeValueLength_ = 0;
    char16_t attributeName_[kNameKept + 1] = {};
    char16_t attributeValue_[kNameKept + 1] = {};

    // Where the body of the open comment, instruction or CDATA section begins.
    size_t markupStart_ = 0;
    uint32_t piOpened_ = 0;
    uint32_t piClosed_ = 0;
    uint32_t commentsOpened_ = 0;
    uint32_t commentsClosed_ = 0;
    uint32_t cdataOpened_ = 0;
    uint32_t cdataClosed_ = 0;

    bool dateTapped_ = false;
    bool kindTapped_ = false;
    bool signatureTapped_ = false;
    bool publicKeyTapped_ = false;
    bool serialNumberTapped_ = false;
    bool printableUidTapped_ = false;

    Field<kDateWidth> date_;
    Field<kKindWidth> kind_;
    Field<kSignatureWidth> signature_;
    Field<kPublicKeyWidth> publicKey_;
    Field<kSerialNumberWidth> serialNumber_;
    Field<kPrintableUidWidth> printableUid_;
};

}  // namespace tv
