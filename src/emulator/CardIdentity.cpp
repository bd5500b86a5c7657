#include "emulator/CardIdentity.h"

#include "crypto/ScaleKey.h"
#include "crypto/TextCodec.h"
#include "emulator/SeededRandom.h"

namespace tv {

namespace {

constexpr uint64_t kIdentityStream = 0x1D3E7A5C0FFEE001ULL;
constexpr char kAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

std::string Digits(SeededRandom& random, size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text += static_cast<char>('0' + random.Between(0, 9));
    return text;
}

}  // namespace

bool MakeCardIdentity(const CardOptions& options, CardIdentity& identity, std::string& error) {
    SeededRandom random(options.seed ^ kIdentityStream);
    identity = CardIdentity{};
    identity.serialNumber =
        options.family == CardFamily::Dx ? "DX" + Digits(random, 8) : "ZS" + Digits(random, 10);
    for (uint8_t& b : identity.uid) b = static_cast<uint8_t>(random.Next());
    identity.uidHex = EncodeHex(identity.uid.data(), identity.uid.size());
    for (size_t i = 0; i < 32; ++i) {
        identity.printableUid += kAlphabet[random.Between(0, sizeof kAlphabet - 2)];
    }
    if (!GenerateKeyPair(options.seed, identity.privateKey, identity.publicKey)) {
        error = "the scale key could not be made";
        return false;
    }
    return true;
}

}  // namespace tv
