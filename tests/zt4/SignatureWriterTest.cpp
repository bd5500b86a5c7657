// Signing a finished ZT4 archive and Archive.log: where the signature goes, that
// it covers exactly the bytes before it, and the failures of the two writers.
#include <gtest/gtest.h>

#include "crypto/CryptoTestSupport.h"
#include "crypto/Digest.h"
#include "crypto/Signature.h"
#include "log/LogFile.h"
#include "support/TestEnvironment.h"
#include "zt4/ArchiveSignatureWriter.h"
#include "zt4/LogSignatureWriter.h"

namespace tv {
namespace {

const char kArchive[] =
    "<?xml version=\"1.0\"?>\n<ZT4><fit><cte>2015-01-02 08:00:00</cte><fpg><ssn>K7Q29</ssn>"
    "<ncd>00112233445566778899AABBCCDDEEFF</ncd></fpg></fit>"
    "<fit><cte>2015-01-02 08:10:00</cte><ftk><amt>100</amt></ftk></fit></ZT4>";
const char kLog[] =
    "[00112233445566778899AABBCCDDEEFF]\r\n\r\n"
    "Scale serial num             : K7Q29\r\n"
    "A.Completion date time       : 2016-03-01 10:15:02\r\n";
const char kTrailer[] = "\r\nDigital Signature:\r\n";

class SignatureWriterTest : public test::TestEnvironment {
protected:
    std::string LastError() const {
        const auto errors = test::LoggedErrors(LogText(), kModArchiverZt4);
        return errors.empty() ? std::string() : errors.back();
    }
    size_t ErrorCount() const { return test::LoggedErrors(LogText(), kModArchiverZt4).size(); }

    // The digest as validation makes it: the file without its signature element.
    std::string ArchiveDigest(const std::string& path, size_t signatureOffset, size_t textLength) {
        std::string digest;
        EXPECT_TRUE(HashFileWithoutSignature(
            path, signatureOffset, static_cast<uint16_t>(textLength + 21), true, nullptr, digest));
        return digest;
    }
};

TEST_F(SignatureWriterTest, SignedArchiveEndsWithItsSignatureElementOverTheUnsignedFile) {
    const std::string path = TempPath("20150102080000_20150102081000.xml");
    const std::string body = kArchive;
    WriteFile(path, body);
    ASSERT_TRUE(SignArchiveFile(path));

    const std::string signedFile = ReadFile(path);
    const std::string unsignedPart = body.substr(0, body.size() - 6);
    ASSERT_EQ(signedFile.compare(0, unsignedPart.size(), unsignedPart), 0);
    const size_t open = unsignedPart.size();
    ASSERT_EQ(signedFile.compare(open, 10, "<digisign>"), 0);
    const std::string end = "</digisign></ZT4>";
    ASSERT_EQ(signedFile.compare(signedFile.size() - end.size(), end.size(), end), 0);
    const std::string text =
        signedFile.substr(open + 10, signedFile.size() - end.size() - open - 10);

    EXPECT_TRUE(CheckSignatureText(text));
    // The digest leaves the element out but keeps the end tag: the file as signed.
    const std::string digest = ArchiveDigest(path, open, text.size());
    std::string signedDigest;
    WriteFile(TempPath("copy.xml"), body);
    ASSERT_TRUE(HashFile(TempPath("copy.xml"), signedDigest));
    EXPECT_EQ(digest, signedDigest);
    EXPECT_TRUE(VerifySignatureText(text, digest));
    EXPECT_EQ(ErrorCount(), 0u);

    // One byte of block XML changed: the signature no longer fits.
    std::string changed = signedFile;
    changed[40] = 'X';
    WriteFile(path, changed);
    EXPECT_FALSE(VerifySignatureText(text, ArchiveDigest(path, open, text.size())));

    // The same archive with its element replaced by that of another signed file.
    const std::string other = TempPath("other.xml");
    WriteFile(other, std::string(kArchive).replace(body.find("100"), 3, "101"));
    ASSERT_TRUE(SignArchiveFile(other));
    const std::string otherFile = ReadFile(other);
    const std::string otherText =
        otherFile.substr(open + 10, otherFile.size() - end.size() - open - 10);
    ASSERT_NE(otherText, text);
    WriteFile(path, unsignedPart + "<digisign>" + otherText + end);
    EXPECT_TRUE(CheckSignatureText(otherText));
    EXPECT_FALSE(VerifySignatureText(otherText, ArchiveDigest(path, open, otherText.size())));
}

TEST_F(SignatureWriterTest, SignatureInsertionRefusesFilesWithoutTheEndTag) {
    EXPECT_FALSE(InsertSignature("", "QUJD"));
    EXPECT_EQ(LastError(), "Invalid input file name");

    EXPECT_FALSE(InsertSignature(TempPath("missing.xml"), "QUJD"));
    EXPECT_EQ(LastError(), "Archive file open failed");

    const std::string path = TempPath("a.xml");
    WriteFile(path, "<ZT4>");
    EXPECT_FALSE(InsertSignature(path, "QUJD"));
    EXPECT_EQ(LastError(),
              "Moving file pointer in archive failed E[87]. So archive validation failed");

    WriteFile(path, std::string(kArchive) + "  ");
    EXPECT_FALSE(InsertSignature(path, "QUJD"));
    EXPECT_EQ(LastError(), "Last element in archive is not '</ZT4>'(ZT4>  )");
    EXPECT_EQ(ReadFile(path), std::string(kArchive) + "  ");

    // A file of exactly the end tag takes the element in front of it.
    WriteFile(path, "</ZT4>");
    EXPECT_TRUE(InsertSignature(path, "QUJD"));
    EXPECT_EQ(ReadFile(path), "<digisign>QUJD</digisign></ZT4>");
}

TEST_F(SignatureWriterTest, ArchiveSigningReportsEachFailedStep) {
    EXPECT_FALSE(SignArchiveFile(""));
    EXPECT_EQ(LastError(), "Invalid input parameter");

    const std::string path = TempPath("a.xml");
    EXPECT_FALSE(SignArchiveFile(path));
    EXPECT_EQ(LastError(), "Signature generation failed(Error num - 3)");

    WriteFile(path, "<ZT4>no end tag");
    EXPECT_FALSE(SignArchiveFile(path));
    EXPECT_EQ(LastError(), "Writing signature to archive failed");

    WriteFile(path, kArchive);
    platform_->InjectFault(FaultOp::Write, kErrDiskFull, "a.xml");
    EXPECT_FALSE(SignArchiveFile(path));
    const auto errors = test::LoggedErrors(LogText(), kModArchiverZt4);
    ASSERT_GE(errors.size(), 2u);
    EXPECT_EQ(errors[errors.size() - 2], "Resizing archive file failed. E(112)");
    EXPECT_EQ(errors.back(), "Writing signature to archive failed");
    EXPECT_EQ(ReadFile(path), kArchive);

    platform_->ClearFaults();
    platform_->InjectFault(FaultOp::Open, kErrAccessDenied, "a.xml");
    EXPECT_FALSE(SignArchiveFile(path));
    EXPECT_EQ(LastError(), "Signature generation failed(Error num - 3)");
}

TEST_F(SignatureWriterTest, SignedLogEndsWithTheTrailerOverEveryByteBeforeIt) {
    const std::string path = TempPath("Archive.log");
    const std::string body = kLog;
    WriteFile(path, body);
    ASSERT_TRUE(SignLogFile(path));

    const std::string signedLog = ReadFile(path);
    ASSERT_EQ(signedLog.compare(0, body.size(), body), 0);
    ASSERT_EQ(signedLog.compare(body.size(), 22, kTrailer), 0);
    const std::string text = signedLog.substr(body.size() + 22);
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
    EXPECT_TRUE(CheckSignatureText(text));

    std::string digest;
    ASSERT_TRUE(HashFileWithoutSignature(path, body.size(), static_cast<uint16_t>(text.size() + 22),
                                         false, nullptr, digest));
    EXPECT_TRUE(VerifySignatureText(text, digest));

    // One character added to a record line.
    std::string changed = signedLog;
    changed.insert(body.size() - 2, "0");
    WriteFile(path, changed);
    ASSERT_TRUE(HashFileWithoutSignature(
        path, body.size() + 1, static_cast<uint16_t>(text.size() + 22), false, nullptr, digest));
    EXPECT_FALSE(VerifySignatureText(text, digest));
    EXPECT_EQ(ErrorCount(), 0u);
}

TEST_F(SignatureWriterTest, LogSigningReportsEachFailedStep) {
    EXPECT_FALSE(AppendLogSignature("QUJD", ""));
    EXPECT_EQ(LastError(), "Invalid input file name");
    EXPECT_FALSE(SignLogFile(""));
    EXPECT_EQ(LastError(), "Invalid input parameter");

    const std::string path = TempPath("Archive.log");
    EXPECT_FALSE(SignLogFile(path));
    EXPECT_EQ(LastError(), "Signature generation failed(Error num - 3)");

    WriteFile(path, kLog);
    platform_->InjectFault(FaultOp::Write, kErrDiskFull, "Archive.log");
    EXPECT_FALSE(SignLogFile(path));
    const auto errors = test::LoggedErrors(LogText(), kModArchiverZt4);
    ASSERT_GE(errors.size(), 2u);
    EXPECT_EQ(errors[errors.size() - 2], "Writing signature into 'Archive.log' failed. E(112)");
    EXPECT_EQ(errors.back(), "Writing signature to log file failed");
    EXPECT_EQ(ReadFile(path), kLog);

    platform_->ClearFaults();
    platform_->InjectFault(FaultOp::Open, kErrAccessDenied, "Archive.log");
    EXPECT_FALSE(AppendLogSignature("QUJD", path));
    EXPECT_EQ(LastError(), "Archive.log file open failed");

    platform_->ClearFaults();
    EXPECT_TRUE(AppendLogSignature("QUJD", path));
    EXPECT_EQ(ReadFile(path), std::string(kLog) + kTrailer + "QUJD");
}

}  // namespace
}  // namespace tv
