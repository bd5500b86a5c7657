// ECDSA signatures on secp521r1 over SHA-256 digests: signing files with the
// built-in key, the shape checks of a signature text and verification.
//
// Text forms: a plain signature is r then s, each as 132 hex digits (264 in all);
// a public-key text is X then Y, each as 132 hex digits; a signature text is the
// Base64 of the DER form SEQUENCE { INTEGER r, INTEGER s }.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tv {

enum SignResult : int {
    kSignOk = 0,
    kSignNoPath = 1,
    kSignKeyInvalid = 2,
    kSignDigestFailed = 3,
    kSignDerTooLong = 4,
};

// Signs the SHA-256 digest of the file with the built-in private key (random
// nonce) and gives the DER form of the signature.
SignResult SignFile(const std::string& path, std::vector<uint8_t>& der);

// SignFile, then the DER form as a signature text. Failures are logged as those of
// signing an archive or Archive.log.
bool SignFileToText(const std::string& path, std::string& signatureText);

// Whether the plain signature (264 hex digits) is a valid signature of the digest
// text (64 hex digits) by the public key (X then Y). A public key that fails
// validation, and texts of another form, give false.
bool VerifyDigest(std::string_view plainSignature, std::string_view publicKey,
                  std::string_view digestText);
// VerifyDigest remembers the signatures it found valid; this forgets them (so
// that a measurement verifies every signature again).
void ForgetVerifiedSignatures();

// Shape checks of a signature text and of the DER bytes inside it; the first
// failed check is logged.
bool CheckSignatureText(std::string_view signatureText);

// The plain signature of a DER signature: r and s, each left-padded with "0" to
// 132 digits. False when the bytes are too short for the lengths they give, or a
// length is outside 1..66.
bool DerSignatureToPlainHex(const std::vector<uint8_t>& der, std::string& plainSignature);
// The same for the DER bytes of a signature text.
bool SignatureToPlainHex(std::string_view signatureText, std::string& plainSignature);

// Verifies a signature text against a digest text with the built-in public key;
// a failure is logged.
bool VerifySignatureText(std::string_view signatureText, std::string_view digestText);

}  // namespace tv
