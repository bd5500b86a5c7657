// SHA-256 digests of buffers and files: known answers, chunked reading, the
// partial digest of validation, aborts and unreadable files.
#include <gtest/gtest.h>

#include <random>

#include "app/AppContext.h"
#include "crypto/CryptoTestSupport.h"
#include "crypto/Digest.h"
#include "crypto/TextCodec.h"
#include "log/LogFile.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

std::string HexOf(const std::string& bytes) {
    const DigestBytes d = HashBuffer(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return EncodeHex(d.data(), d.size());
}

std::string RandomBytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(rng());
    return s;
}

// Presses Cancel during the given pump.
class AbortingUi : public test::RecordingUi {
public:
    explicit AbortingUi(int abortAt) : abortAt_(abortAt) {}
    void Pump() override {
        if (++pumps == abortAt_) GetAppContext().abortRequested = true;
    }

private:
    int abortAt_;
};

class DigestTest : public test::TestEnvironment {
protected:
    bool Logged(const std::string& message) const {
        for (const auto& e : test::LoggedErrors(LogText(), kModSignature)) {
            if (e == message) return true;
        }
        return false;
    }
};

TEST_F(DigestTest, BufferDigestsMatchTheStandardVectors) {
    EXPECT_EQ(HexOf(""), "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855");
    EXPECT_EQ(HexOf("abc"), "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD");
    EXPECT_EQ(HexOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248D6A61D20638B8E5C026930C3E6039A33CE45964FF2167F6ECEDD419DB06C1");
    EXPECT_EQ(HexOf(std::string(1000000, 'a')),
              "CDC76E5C9914FB9281A1C7E284D73E67F1809A48A497200E046D39CCC7112CD0");
}

TEST_F(DigestTest, FileDigestEqualsTheDigestOfItsBytesAtEveryChunkBoundary) {
    const std::string path = TempPath("data.bin");
    for (size_t size : {0u, 1u, 4095u, 4096u, 4097u, 3u * 4096u + 5u}) {
        const std::string content = RandomBytes(size, static_cast<unsigned>(size));
        WriteFile(path, content);
        ui_.pumps = 0;
        std::string digest;
        ASSERT_TRUE(HashFile(path, digest)) << size;
        EXPECT_EQ(digest, HexOf(content)) << size;
        // One pump before every read, the final empty one included.
        EXPECT_EQ(ui_.pumps, static_cast<int>((size + 4095) / 4096 + 1)) << size;
    }
}

TEST_F(DigestTest, FileDigestFailsWithoutPathOrReadableFile) {
    std::string digest = "stale";
    EXPECT_FALSE(HashFile("", digest));
    EXPECT_TRUE(digest.empty());
    EXPECT_EQ(platform_->Calls(FaultOp::Open), 0);

    const std::string missing = TempPath("missing.bin");
    EXPECT_FALSE(HashFile(missing, digest));
    EXPECT_TRUE(Logged("Opening file for hash generation failed. E(2)"));
    EXPECT_NE(LogText().find("File name : " + missing), std::string::npos);

    const std::string path = TempPath("locked.bin");
    WriteFile(path, "content");
    platform_->InjectFault(FaultOp::Open, kErrAccessDenied, "locked.bin");
    EXPECT_FALSE(HashFile(path, digest));
    EXPECT_FALSE(HashFileWithoutSignature(path, 3, 0, false, nullptr, digest));
    EXPECT_TRUE(Logged("Opening file for hash generation failed. E(5)"));
    EXPECT_FALSE(HashFile(DataFolder(), digest));
}

TEST_F(DigestTest, PartialDigestLeavesOutTheSkippedBytes) {
    const std::string kept = RandomBytes(10000, 7);
    const std::string skipped = "<digisign>" + std::string(188, 'Q') + "</digisign>";
    const std::string path = TempPath("archive.xml");
    WriteFile(path, kept + skipped + "</ZT4>" + "trailing");
    const auto skip = static_cast<uint16_t>(skipped.size());

    test::RecordingProgress progress;
    std::string digest;
    ASSERT_TRUE(HashFileWithoutSignature(path, kept.size(), skip, true, &progress, digest));
    EXPECT_EQ(digest, HexOf(kept + "</ZT4>"));
    // 10 + 80 * share, truncated, after each step of at most 4096 bytes.
    EXPECT_EQ(progress.positions, (std::vector<int32_t>{42, 75, 90}));
    ASSERT_TRUE(HashFileWithoutSignature(path, kept.size(), skip, false, nullptr, digest));
    EXPECT_EQ(digest, HexOf(kept));
    ASSERT_TRUE(HashFileWithoutSignature(path, 0, 4, true, nullptr, digest));
    EXPECT_EQ(digest, HexOf(kept.substr(4, 6)));
    // A tail cut short by the end of the file is hashed as far as it goes.
    ASSERT_TRUE(HashFileWithoutSignature(path, kept.size(), skip + 10, true, nullptr, digest));
    EXPECT_EQ(digest, HexOf(kept + "ling"));

    // A file shorter than the part to keep fails instead of hashing less.
    EXPECT_FALSE(HashFileWithoutSignature(path, 20000, 0, false, nullptr, digest));
    EXPECT_TRUE(digest.empty());
    EXPECT_TRUE(Logged("File is shorter than the length to be hashed"));
    EXPECT_FALSE(HashFileWithoutSignature("", 10, 0, false, nullptr, digest));
}

TEST_F(DigestTest, AbortEndsTheProgramUndoingTheArchiveRunOnlyDuringArchiving) {
    const std::string path = TempPath("big.bin");
    WriteFile(path, RandomBytes(5 * 4096, 3));
    std::string digest;
    AbortingUi ui(3);
    InstallEnvironment(*platform_, ui, DataFolder());
    try {
        HashFile(path, digest);
        ADD_FAILURE() << "the digest ran to its end";
    } catch (const ExitRequested& exit) {
        EXPECT_EQ(exit.code, 0);
    }
    EXPECT_EQ(ui.pumps, 3);
    EXPECT_FALSE(HasAppContext());
    EXPECT_TRUE(Logged("Archive element not found"));
    EXPECT_NE(LogText().find("Application aborted"), std::string::npos);

    WriteFile(Join(DataFolder(), "Tallyvault.log"), "");
    AbortingUi validating(2);
    InstallEnvironment(*platform_, validating, DataFolder());
    GetAppContext().operation = 2;
    EXPECT_THROW(HashFileWithoutSignature(path, 4 * 4096, 0, false, nullptr, digest),
                 ExitRequested);
    EXPECT_FALSE(Logged("Archive element not found"));
    EXPECT_NE(LogText().find("Application aborted"), std::string::npos);

    AbortingUi archiving(1);
    InstallEnvironment(*platform_, archiving, DataFolder());
    EXPECT_THROW(HashFileWithoutSignature(path, 100, 0, false, nullptr, digest), ExitRequested);
    EXPECT_TRUE(Logged("Archive element not found"));
    InstallEnvironment(*platform_, ui_, DataFolder());
}

}  // namespace
}  // namespace tv
