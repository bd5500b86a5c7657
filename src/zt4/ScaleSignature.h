// The scale's own signature blocks of a ZT4 card ("fsg"): the signature of the
// block's previous hash by the public key that the block carries.
#pragma once

#include <string>
#include <string_view>

#include "store/WormBlock.h"

namespace tv {

// sig: Base64 of the DER signature; pck: Base64 of the 133-byte point 04||X||Y.
bool VerifyZt4SignatureBlock(std::string_view sig, std::string_view pck, const BlockHash& previousHash);

// The 266 hex digits of 04||X||Y from a pck text; empty when it is not 133 bytes.
std::string Zt4PublicKeyHex(std::string_view pck);

}  // namespace tv
