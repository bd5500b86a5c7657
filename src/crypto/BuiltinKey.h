// The system's own ECDSA key pair on secp521r1, which signs ZT4 archives and
// Archive.log. Both halves are upper-case hexadecimal text.
#pragma once

namespace tv {

// The private scalar, 66 bytes big-endian: 132 hex digits. Only the signer uses it.
extern const char kBuiltinPrivateKey[];
// The uncompressed public point: "04", X (132 digits), Y (132 digits): 266 digits.
extern const char kBuiltinPublicKey[];

}  // namespace tv
