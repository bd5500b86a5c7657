// Who a generated card belongs to: the scale's serial number and key pair, and
// the card's unique IDs, all made from the seed.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "emulator/CardOptions.h"

namespace tv {

struct CardIdentity {
    std::string serialNumber;  // dX: 10 letters and digits; ZT4: 12
    std::array<uint8_t, 16> uid{};
    std::string uidHex;        // the unique ID as 32 upper-case hex digits
    std::string printableUid;  // 32 upper-case letters and digits
    std::string privateKey;    // the scale's key pair (crypto/ScaleKey.h forms)
    std::string publicKey;
};

bool MakeCardIdentity(const CardOptions& options, CardIdentity& identity, std::string& error);

}  // namespace tv
