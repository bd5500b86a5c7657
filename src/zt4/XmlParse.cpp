#include "zt4/XmlParse.h"

namespace tv {

namespace {

constexpr std::u16string_view kCdataHeader = u"CDATA[";

bool IsBlank(int32_t c) { return c == ' '; }
bool IsLineBlank(int32_t c) { return c == ' ' || c == '\r' || c == '\n'; }
bool IsQuote(int32_t c) { return c == '"' || c == '\''; }

}  // namespace

CXmlParse::CXmlParse() { ClearFields(); }

CXmlParse::~CXmlParse() = default;

void CXmlParse::Load(const void* bytes, size_t length) {
    if (bytes == nullptr) {
        length = 0;
    }
    if (input_ == nullptr || length != inputSize_) {
        input_ = std::make_unique<char16_t[]>(length);
        inputSize_ = length;
    }
    const auto* p = static_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < length; ++i) {
        input_[i] = static_cast<char16_t>(p[i]);
    }
}

int CXmlParse::Parse() {
    length_ = input_ == nullptr ? 0 : inputSize_;
    position_ = 0;
    ClearFields();

    if (Scan() != kScanOk) {
        return kMalformed;
    }
    if (date_.length == 0) {
        return kNoDate;
    }
    const std::string_view kind = kind_.View();
    if (kind == "fsg") {
        if (signature_.length == 0) {
            return kNoSignature;
        }
        if (publicKey_.length == 0) {
            return kNoPublicKey;
        }
    }
    if (kind == "fpg") {
        if (serialNumber_.length == 0) {
            return kNoSerialNumber;
        }
        if (printableUid_.length == 0) {
            return kNoPrintableUid;
        }
    }
    return depth_ == -1 ? kOk : kMalformed;
}

void CXmlParse::ClearFields() {
    date_.Clear();
    kind_.Clear();
    signature_.Clear();
    publicKey_.Clear();
    serialNumber_.Clear();
    printableUid_.Clear();
}

int CXmlParse::Scan() {
    depth_ = -1;
    state_ = kBetweenTags;
    attributeNameLength_ = 0;
    attributeValueLength_ = 0;
    markupStart_ = 0;
    piOpened_ = piClosed_ = 0;
    commentsOpened_ = commentsClosed_ = 0;
    cdataOpened_ = cdataClosed_ = 0;
    dateTapped_ = kindTapped_ = false;
    signatureTapped_ = publicKeyTapped_ = false;
    serialNumberTapped_ = printableUidTapped_ = false;

    while (position_ < length_) {
        if (depth_ > kMaxDepth) {
            return kScanTooDeep;
        }
        const size_t at = position_;
        const char16_t c = input_[position_++];
        RunTaps(at);
        if (!Step(c, at)) {
            return kScanFailed;
        }
    }
    if (depth_ > kMaxDepth) {
        return kScanTooDeep;
    }
    // A tag that is still being read ran past the end of the text.
    switch (state_) {
    case kElementName:
    case kEndTagName:
    case kAttributeName:
    case kAttributeValue:
        return kScanFailed;
    default:
        break;
    }
    if (piOpened_ != piClosed_ || commentsOpened_ != commentsClosed_ ||
        cdataOpened_ != cdataClosed_) {
        return kScanFailed;
    }
    return kScanOk;
}

// The taps look at the state before the character at `at` is handled.
void CXmlParse::RunTaps(size_t at) {
    if (state_ == kContent) {
        const Level* level = CurrentLevel();
        if (level == nullptr) {
            return;
        }
        const char16_t* name = level->name;
        const size_t n = level->nameLength;
        if (!dateTapped_ && StartsWith(name, n, "cte")) {
            CopyContent(at, date_);
            dateTapped_ = true;
        }
        const std::string_view kind = kind_.View();
        if (kind == "fsg") {
            if (!signatureTapped_ && StartsWith(name, n, "sig")) {
                CopyContent(at, signature_);
                signatureTapped_ = true;
            } else if (signatureTapped_ && !publicKeyTapped_ && StartsWith(name, n, "pck")) {
                CopyContent(at, publicKey_);
                publicKeyTapped_ = true;
            }
        } else if (kind == "fpg") {
            if (!serialNumberTapped_ && StartsWith(name, n, "ssn")) {
                CopyContent(at, serialNumber_);
                serialNumberTapped_ = true;
            } else if (serialNumberTapped_ && !printableUidTapped_ &&
                       StartsWith(name, n, "ncd")) {
                CopyContent(at, printableUid_);
                printableUidTapped_ = true;
            }
        }
    } else if (state_ == kEndTagName && !kindTapped_) {
        const Level* level = CurrentLevel();
        if (level != nullptr && StartsWith(level->endName, level->endNameLength, "cte")) {
            // At the ">" of "</cte>" the kind element's name begins two further on.
            kind_.Clear();
            for (size_t i = at + 2; i < length_ && i < at + 2 + kKindWidth; ++i) {
                kind_.Append(input_[i]);
            }
            kindTapped_ = true;
        }
    }
}

bool CXmlParse::Step(char16_t c, size_t at) {
    switch (state_) {
    case kBetweenTags:
        return c == '<' ? OpenMarkup(false) : true;

    case kContent:
        return c == '<' ? OpenMarkup(true) : true;

    case kProcessingInstruction:
        if (c == '>' && at >= markupStart_ + 1 && input_[at - 1] == '?') {
            ++piClosed_;
            state_ = kBetweenTags;
        }
        return true;

    case kComment:
        if (c == '<' && Peek(position_) == '!' && Peek(position_ + 1) == '-' &&
            Peek(position_ + 2) == '-') {
            ++commentsOpened_;
        } else if (c == '>' && at >= markupStart_ + 2 && input_[at - 1] == '-' &&
                   input_[at - 2] == '-') {
            ++commentsClosed_;
            state_ = kBetweenTags;
        }
        return true;

    case kCdata: {
        // The body must begin with "CDATA["; its "]]>" can only follow that.
        const size_t offset = at - markupStart_;
        if (offset < kCdataHeader.size()) {
            return c == kCdataHeader[offset];
        }
        if (c == '>' && offset >= kCdataHeader.size() + 2 && input_[at - 1] == ']' &&
            input_[at - 2] == ']') {
            ++cdataClosed_;
            state_ = kBetweenTags;
        }
        return true;
    }

    case kElementName: {
        Level* level = CurrentLevel();
        if (level == nullptr) {
            return false;
        }
        if (c == '>' || c == '/' || IsBlank(c)) {
            if (level->nameLength == 0) {
                return false;
            }
            if (c == '>') {
                state_ = kContent;
                return true;
            }
            return c == '/' ? SelfClose() : AfterTagSpace();
        }
        Keep(level->name, level->nameLength, c);
        return true;
    }

    case kEndTagName: {
        Level* level = CurrentLevel();
        if (level == nullptr) {
            return false;
        }
        if (c == '>') {
            return EndTag();
        }
        Keep(level->endName, level->endNameLength, c);
        return true;
    }

    case kAttributeName:
        if (c == '=') {
            if (attributeNameLength_ == 0) {
                return false;
            }
            while (IsBlank(Peek(position_))) {
                ++position_;
            }
            if (!IsQuote(Peek(position_))) {
                return false;
            }
            ++position_;
            attributeValueLength_ = 0;
            state_ = kAttributeValue;
            return true;
        }
        if (!IsBlank(c)) {
            Keep(attributeName_, attributeNameLength_, c);
        }
        return true;

    case kAttributeValue:
        // Either quote ends the value, whichever one opened it.
        if (IsQuote(c)) {
            return AfterAttributeValue();
        }
        Keep(attributeValue_, attributeValueLength_, c);
        return true;

    default:
        return false;
    }
}

// After "<" in content or between tags; position_ is at the next character.
bool CXmlParse::OpenMarkup(bool inContent) {
    const int32_t next = Peek(position_);
    if (next < 0) {
        return false;
    }
    if (next == '?') {
        if (inContent) {
            return SkipProcessingInstructionInContent();
        }
        ++position_;
        markupStart_ = position_;
        ++piOpened_;
        state_ = kProcessingInstruction;
        return true;
    }
    if (next == '!') {
        const int32_t kind = Peek(position_ + 1);
        if (kind == '[') {
            position_ += 2;
            markupStart_ = position_;
            ++cdataOpened_;
            state_ = kCdata;
            return true;
        }
        if (kind == '-') {
            position_ += 2;
            markupStart_ = position_;
            ++commentsOpened_;
            state_ = kComment;
            return true;
        }
        // Declarations such as <!DOCTYPE are not part of block documents.
        return false;
    }
    if (next == '/') {
        Level* level = CurrentLevel();
        if (level == nullptr) {
            return false;  // an end tag with no element open
        }
        ++position_;
        level->endNameLength = 0;
        state_ = kEndTagName;
        return true;
    }
    // A child element: its name begins with `next`, read in the next step,
    // which first checks the depth.
    ++depth_;
    if (Level* level = CurrentLevel()) {
        level->nameLength = 0;
    }
    state_ = kElementName;
    return true;
}

// "<?" inside content: the instruction must be followed directly by markup,
// i.e. the next "<" must come right after its "?>". position_ is at the "?".
bool CXmlParse::SkipProcessingInstructionInContent() {
    const size_t bodyStart = position_ + 1;
    size_t next = bodyStart;
    while (next < length_ && input_[next] != '<') {
        ++next;
    }
    if (next >= length_) {
        return false;
    }
    if (next < bodyStart + 2 || input_[next - 2] != '?' || input_[next - 1] != '>') {
        return false;
    }
    position_ = next;
    return true;
}

// A blank after the element name: attributes, ">" or "/>" follow.
bool CXmlParse::AfterTagSpace() {
    while (IsBlank(Peek(position_))) {
        ++position_;
    }
    const int32_t next = Peek(position_);
    if (next < 0) {
        return false;
    }
    if (next == '>') {
        ++position_;
        state_ = kContent;
        return true;
    }
    if (next == '/') {
        ++position_;
        return SelfClose();
    }
    attributeNameLength_ = 0;
    state_ = kAttributeName;
    return true;
}

// After the quote that ends an attribute value.
bool CXmlParse::AfterAttributeValue() {
    int32_t next = Peek(position_);
    if (IsLineBlank(next)) {
        while (IsLineBlank(Peek(position_))) {
            ++position_;
        }
        next = Peek(position_);
        if (next < 0) {
            return false;
        }
        if (next != '>' && next != '/') {
            attributeNameLength_ = 0;
            state_ = kAttributeName;
            return true;
        }
    }
    if (next == '>') {
        ++position_;
        state_ = kContent;
        return true;
    }
    if (next == '/') {
        ++position_;
        return SelfClose();
    }
    return false;
}

// The "/" of a tag has been read; it must be followed by ">".
bool CXmlParse::SelfClose() {
    if (Peek(position_) != '>') {
        return false;
    }
    ++position_;
    --depth_;
    state_ = kBetweenTags;
    return true;
}

// The ">" of an end tag: the name, without trailing blanks, must be the one
// of the innermost open element.
bool CXmlParse::EndTag() {
    Level* level = CurrentLevel();
    if (level == nullptr) {
        return false;
    }
    size_t n = level->endNameLength;
    while (n > 0 && IsBlank(level->endName[n - 1])) {
        --n;
    }
    if (n != level->nameLength) {
        return false;
    }
    for (size_t i = 0; i < n; ++i) {
        if (level->endName[i] != level->name[i]) {
            return false;
        }
    }
    --depth_;
    state_ = kBetweenTags;
    return true;
}

int32_t CXmlParse::Peek(size_t index) const {
    return index < length_ ? static_cast<int32_t>(input_[index]) : -1;
}

CXmlParse::Level* CXmlParse::CurrentLevel() {
    if (depth_ < 0 || depth_ > kMaxDepth) {
        return nullptr;
    }
    return &levels_[depth_];
}

bool CXmlParse::StartsWith(const char16_t* name, size_t length, std::string_view prefix) {
    if (length < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (name[i] != static_cast<char16_t>(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

void CXmlParse::Keep(char16_t* buffer, size_t& length, char16_t c) {
    if (length < kNameKept) {
        buffer[length++] = c;
        buffer[length] = u'\0';
    }
}

// Element content from `from` up to, not including, the next "<", cut to the
// field's width; verbatim, without entity decoding or trimming.
template <size_t Width>
void CXmlParse::CopyContent(size_t from, Field<Width>& field) const {
    field.Clear();
    for (size_t i = from; i < length_ && field.length < Width; ++i) {
        if (input_[i] == '<') {
            break;
        }
        field.Append(input_[i]);
    }
}

}  // namespace tv
