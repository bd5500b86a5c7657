// The cost of one P-521 signature verification and one deterministic signature
// through the signature service, next to `openssl speed ecdsap521` of the same
// library on the same machine.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "crypto/Digest.h"
#include "crypto/ScaleKey.h"
#include "crypto/Signature.h"
#include "crypto/TextCodec.h"

int main(int argc, char** argv) {
    using namespace tv;
    const int count = argc > 1 ? std::atoi(argv[1]) : 300;
    std::string privateHex;
    std::string publicHex;
    if (count <= 0 || !GenerateKeyPair(1, privateHex, publicHex)) return 1;
    const std::string key = publicHex.substr(2);

    std::vector<std::string> digests;
    std::vector<std::string> signatures;
    const bench::Stopwatch signWatch;
    for (int i = 0; i < count; ++i) {
        const std::string message = "closure " + std::to_string(i);
        const DigestBytes digest = HashBuffer(reinterpret_cast<const uint8_t*>(message.data()), message.size());
        std::vector<uint8_t> der;
        std::string plain;
        if (!SignDigestWith(privateHex, digest, der) || !DerSignatureToPlainHex(der, plain)) return 1;
        digests.push_back(EncodeHex(digest.data(), digest.size()));
        signatures.push_back(plain);
    }
    const bench::Timing sign = signWatch.Stop();

    ForgetVerifiedSignatures();
    bool valid = VerifyDigest(signatures[0], key, digests[0]);  // the key is validated once
    ForgetVerifiedSignatures();
    const bench::Stopwatch verifyWatch;
    for (int i = 0; i < count; ++i) valid = VerifyDigest(signatures[i], key, digests[i]) && valid;
    const bench::Timing verify = verifyWatch.Stop();

    const double signMs = 1000 * sign.cpu / count;
    const double verifyMs = 1000 * verify.cpu / count;
    std::printf("P-521 through the signature service, %d signatures:\n", count);
    std::printf("  deterministic signature  %6.3f ms cpu each\n", signMs);
    std::printf("  verification             %6.3f ms cpu each  %s\n", verifyMs, valid ? "all valid" : "FAILED");
    char figures[96];
    std::snprintf(figures, sizeof figures, "%.3f ms cpu each (signing %.3f ms)", verifyMs, signMs);
    bench::PrintSummaryRow("P-521 signature verification (OpenSSL libcrypto)", figures, -1,
                           "about 0.44 ms (openssl speed)", valid && verifyMs < 1.0);
    return valid ? 0 : 1;
}
