// A small reader of card images, written for the tests apart from the engine's
// block decoder: the info sector, the store files joined, the block framing, the
// hash chain, the scale's signatures and the dX sector headers.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "crypto/Digest.h"
#include "crypto/Signature.h"
#include "crypto/TextCodec.h"
#include "zt4/XmlParse.h"

namespace tv::test {

inline uint32_t Be32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}
inline uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string StoreName(uint32_t k) {
    std::string name = "WORMSTOR.DAT";
    if (k != 0) name[7] = static_cast<char>(k < 10 ? '0' + k : 'A' + (k - 10));
    return name;
}

struct ImageBlock {
    uint32_t number = 0;
    uint32_t contentLength = 0;  // L
    uint16_t shortLength = 0;    // S
    uint32_t paddedLength = 0;
    uint32_t sectors = 0;
    char type = 0;     // dX: byte 8 or 6; ZT4: from the XML kind
    std::string kind;  // ZT4 XML blocks: the kind name
    std::string date;  // dX E/T/U: offsets 22-31; ZT4: the date text
    std::vector<uint8_t> bytes;
    bool hashOk = false;    // current hash = SHA-256 of the first P + 32 bytes
    bool chainOk = false;   // previous hash = current hash of the block before
    int dsVersion = -1;     // dX long form
    bool headersOk = true;  // dX long form: every sector's header as laid out
    int signatureOk = -1;   // S blocks: 1 verifies, 0 does not
    int xmlResult = 0;      // ZT4 XML blocks: CXmlParse result

    const uint8_t* PreviousHash() const { return bytes.data() + paddedLength; }
    const uint8_t* CurrentHash() const { return bytes.data() + paddedLength + 32; }
    std::string Text(size_t from, size_t to) const {
        return std::string(reinterpret_cast<const char*>(bytes.data()) + from, to - from);
    }
};

class CardImageReader {
public:
    std::string error;
    std::array<uint8_t, 512> info{};
    std::vector<uint8_t> store;  // all store files joined
    std::vector<uint64_t> fileSizes;
    std::vector<ImageBlock> blocks;

    std::string CustId() const { return std::string(reinterpret_cast<const char*>(&info[0]), 4); }
    std::string UidHex() const { return EncodeHex(&info[4], 16); }
    uint32_t Total() const { return Be32(&info[20]); }
    uint32_t NextWrite() const { return Be32(&info[24]); }
    uint32_t LastWrite() const { return Be32(&info[64]); }
    bool Fused() const { return (info[28] & 0x80) != 0; }
    std::string PrintableUid() const {
        return std::string(reinterpret_cast<const char*>(&info[256]), 32);
    }

    // Reads the info sector and the store files until the total store size.
    bool Load(const std::string& folder) {
        const std::string infoText = ReadAll(folder + "/WORMINFO.DAT");
        if (infoText.size() != 512 || ReadAll(folder + "/WORMCOMM.DAT") != std::string(512, '\0')) {
            return Fail("info or command sector is not 512 bytes");
        }
        std::memcpy(info.data(), infoText.data(), 512);
        for (uint32_t k = 0; k < 16 && store.size() < uint64_t{Total()} * 512; ++k) {
            const std::string part = ReadAll(folder + "/" + StoreName(k));
            if (part.empty() || part.size() % 512 != 0) return Fail("store file " + StoreName(k));
            fileSizes.push_back(part.size());
            store.insert(store.end(), part.begin(), part.end());
        }
        if (store.size() != uint64_t{Total()} * 512) return Fail("store size is not the total");
        return true;
    }

    // Walks the blocks from sector 0 to the next write index.
    bool ReadBlocks(bool zt4, const std::string& publicKey) {
        std::array<uint8_t, 32> last{};
        for (uint32_t at = 0; at < NextWrite();) {
            ImageBlock b;
            if (!Frame(at, b)) return false;
            b.hashOk = HashBuffer(b.bytes.data(), b.paddedLength + 32) == ToDigest(b.CurrentHash());
            b.chainOk = std::memcmp(b.PreviousHash(), last.data(), 32) == 0;
            std::memcpy(last.data(), b.CurrentHash(), 32);
            if (zt4) {
                ReadZt4(b);
            } else {
                ReadDx(b);
            }
            if (b.type == 'S') b.signatureOk = VerifySignature(b, zt4, publicKey) ? 1 : 0;
            at += b.sectors;
            blocks.push_back(std::move(b));
        }
        return true;
    }

    // The record types in store order: for ZT4 closures D (fcd), M (fcm), Y (fcy).
    std::string TypeSequence() const {
        std::string s;
        for (const auto& b : blocks) {
            s += b.kind == "fcd" ? 'D' : b.kind == "fcm" ? 'M' : b.kind == "fcy" ? 'Y' : b.type;
        }
        return s;
    }

    // The text of a dX label: its value of n characters, searched from an offset.
    static std::string LabelValue(const ImageBlock& b, size_t from, const std::string& label,
                                  size_t n) {
        const std::string text(
            reinterpret_cast<const char*>(b.bytes.data()) + from,
            strnlen(reinterpret_cast<const char*>(b.bytes.data()) + from, b.bytes.size() - from));
        const size_t at = text.find(label);
        if (at == std::string::npos) return "<missing>";
        const size_t value = at + label.size();
        const size_t end = text.find(';', value);
        return end - value == n ? text.substr(value, n) : "<length>";
    }

private:
    bool Fail(const std::string& what) {
        error = what;
        return false;
    }

    static DigestBytes ToDigest(const uint8_t* p) {
        DigestBytes d;
        std::memcpy(d.data(), p, d.size());
        return d;
    }

    bool Frame(uint32_t at, ImageBlock& b) {
        const uint64_t offset = uint64_t{at} * 512;
        if (offset + 512 > store.size()) return Fail("block beyond the store");
        const uint8_t* s = store.data() + offset;
        b.number = at;
        b.contentLength = Be32(s);
        if (b.contentLength != 0) {
            b.paddedLength = (b.contentLength + 19) / 16 * 16;
        } else {
            b.shortLength = Be16(s + 4);
            b.paddedLength = (b.shortLength + 21u) / 16 * 16;
            b.type = static_cast<char>(s[6]);
        }
        b.sectors = (b.paddedLength + 575) / 512;
        if (at + uint64_t{b.sectors} > NextWrite())
            return Fail("block beyond the next write index");
        b.bytes.assign(s, s + uint64_t{b.sectors} * 512);
        return true;
    }

    void ReadDx(ImageBlock& b) {
        if (b.contentLength == 0) return;
        b.type = static_cast<char>(b.bytes[8]);
        b.dsVersion = b.bytes[10];
        const uint32_t n = b.sectors;
        for (uint32_t k = 0; k < n; ++k) {
            const uint8_t* s = b.bytes.data() + k * 512;
            const bool ok = s[4] == ';' && Be16(s + 5) == k && s[7] == ';' && s[8] == b.bytes[8] &&
                            s[9] == ';' && s[10] == b.bytes[10] && Be32(s + 11) == b.number + k &&
                            Be16(s + 15) == n && Be32(s + 17) == Be32(b.bytes.data() + 17) &&
                            s[21] == ';' && (k == 0 || Be32(s) == b.contentLength - 512 * k);
            if (!ok) b.headersOk = false;
        }
        // The last sector holds payload beyond its header.
        if (b.paddedLength - 512 * (n - 1) <= 22) b.headersOk = false;
        if (b.type == 'E' || b.type == 'T' || b.type == 'U') b.date = b.Text(22, 32);
    }

    void ReadZt4(ImageBlock& b) {
        if (b.contentLength == 0) return;
        if (b.number == 0) {
            b.type = b.Text(4, 7) == "ZT4" ? 'I' : '?';
            return;
        }
        CXmlParse xml;
        xml.Load(b.bytes.data() + 4, b.contentLength);
        b.xmlResult = xml.Parse();
        b.kind = std::string(xml.KindName());
        b.date = std::string(xml.DateText());
        b.type = b.kind == "fpg"                                           ? 'O'
                 : b.kind == "fsg"                                         ? 'S'
                 : (b.kind == "fcd" || b.kind == "fcm" || b.kind == "fcy") ? 'E'
                                                                           : 'T';
        if (b.type == 'S') {
            signature_ = std::string(xml.SignatureText());
            keyText_ = std::string(xml.PublicKeyText());
        }
        if (b.type == 'O') {
            serial_ = std::string(xml.SerialNumber());
            printable_ = std::string(xml.PrintableUid());
        }
        // A scan backwards takes a sector with "<fit>" at 4 for a block's first.
        for (uint32_t k = 1; k < b.sectors; ++k) {
            if (b.Text(k * 512 + 4, k * 512 + 9) == "<fit>" && Be32(&b.bytes[k * 512]) != 0) {
                b.headersOk = false;
            }
        }
    }

    bool VerifySignature(const ImageBlock& b, bool zt4, const std::string& publicKey) {
        std::string plain;
        std::string key = publicKey.size() == 266 ? publicKey.substr(2) : "";
        if (zt4) {
            const std::vector<uint8_t> point = DecodeBase64(keyText_);
            if (point.size() != 133 || EncodeHex(point) != publicKey) return false;
            if (!SignatureToPlainHex(signature_, plain)) return false;
        } else {
            // 30 81 LL 02 LX r 02 LY s in hex from offset 22.
            std::vector<uint8_t> der;
            if (b.Text(22, 26) != "3081") return false;
            const size_t length = std::stoul(b.Text(26, 28), nullptr, 16);
            if (!DecodeHex(b.Text(22, 22 + 2 * (length + 3)), der)) return false;
            if (!DerSignatureToPlainHex(der, plain)) return false;
        }
        return VerifyDigest(plain, key, EncodeHex(b.PreviousHash(), 32));
    }

    std::string signature_, keyText_;

public:
    // What the fusing block of a ZT4 card names.
    std::string serial_, printable_;
};

}  // namespace tv::test
