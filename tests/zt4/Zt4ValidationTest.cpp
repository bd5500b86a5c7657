// Validation of signed ZT4 archives and Archive.log files, as the verification
// page runs it.
#include <gtest/gtest.h>

#include <random>

#include "app/AppContext.h"
#include "messages/MemoryResultList.h"
#include "platform/Text.h"
#include "support/TestEnvironment.h"
#include "support/Zt4Samples.h"
#include "zt4/ArchiveSignatureWriter.h"
#include "zt4/ArchiveVerifierZT4.h"
#include "zt4/LogSignatureWriter.h"
#include "zt4/LogVerifierZT4.h"
#include "zt4/ValidationRun.h"

namespace tv {
namespace {

// The card of the sample log: the archives here are of the same card.
constexpr const char* kUid = test::kSampleZt4Uid;

class Zt4ValidationTest : public test::TestEnvironment {
protected:
    void SetUp() override {
        TestEnvironment::SetUp();
        GetAppContext();
    }

    static std::string ArchiveBody() {
        std::string s = "<?xml version=\"1.0\"?>\n<ZT4>";
        s += "<fit><cte>2015-01-02 08:00:00</cte><fpg><ssn>K7Q29</ssn><ncd>";
        s += kUid;
        s += "</ncd></fpg></fit>";
        for (int i = 0; i < 20; ++i) {
            s += "<fit><cte>2015-01-02 08:" + std::to_string(10 + i) +
                 ":00</cte><ftk><amt>" + std::to_string(100 + i) + "</amt></ftk></fit>";
        }
        s += "<fit><cte>2015-01-02 20:00:00</cte><fcd><n>1</n></fcd></fit></ZT4>";
        return s;
    }
    static std::string LogBody() { return test::SampleZt4Log(); }
    std::string SignedArchive(const std::string& name = "20150102080000_20150102200000.xml") {
        const std::string path = TempPath(name);
        WriteFile(path, ArchiveBody());
        EXPECT_TRUE(SignArchiveFile(path));
        return path;
    }
    std::string SignedLog(const std::string& name = "Archive.log") {
        const std::string path = TempPath(name);
        WriteFile(path, LogBody());
        EXPECT_TRUE(SignLogFile(path));
        return path;
    }

    struct Outcome {
        bool ok = false;
        std::vector<std::string> row;
    };
    Outcome Validate(uint32_t kind, const std::string& path) {
        auto verifier = MakeZt4Verifier(kind, path);
        MemoryResultList results;
        test::RecordingProgress progress;
        Outcome o;
        o.ok = RunZt4Validation(verifier.get(), kind, false, 2, &progress, &results);
        EXPECT_EQ(results.ItemCount(), 1);
        for (int c = 0; c < 4; ++c) o.row.push_back(ToNarrow(results.Cell(0, c)));
        if (o.ok) {
            EXPECT_EQ(progress.Last(), 100);
        }
        return o;
    }
    bool LogHas(const std::string& text) { return LogText().find(text) != std::string::npos; }
};

TEST_F(Zt4ValidationTest, SignedArchiveValidates) {
    const std::string path = SignedArchive();
    const std::string text = ReadFile(path);
    EXPECT_EQ(text.substr(text.size() - 17), "</digisign></ZT4>");
    const Outcome o = Validate(1, path);
    EXPECT_TRUE(o.ok);
    EXPECT_EQ(o.row, (std::vector<std::string>{"1", "20150102080000_20150102200000.xml", "Success", ""}));
    EXPECT_TRUE(LogHas("INFO    - Scale SN:K7Q29\r\n"));
    EXPECT_TRUE(LogHas(std::string("INFO    - SMC P.UID:") + kUid + "\r\n"));
    EXPECT_TRUE(LogHas("INFO    - Validation success\r\n"));
    EXPECT_TRUE(Validate(1, SignedArchive("upper.XML")).ok);
}

TEST_F(Zt4ValidationTest, AnyChangedByteBeforeTheSignatureFails) {
    const std::string path = SignedArchive();
    const std::string original = ReadFile(path);
    const size_t signatureAt = original.find("<digisign>");
    for (size_t at = 0; at < signatureAt; at += 37) {
        std::string changed = original;
        changed[at] = static_cast<char>(changed[at] ^ 0x20);
        WriteFile(path, changed);
        const Outcome o = Validate(1, path);
        EXPECT_FALSE(o.ok) << at;
        EXPECT_EQ(o.row[2], "Failure") << at;
        EXPECT_EQ(o.row[3], "Incorrect data found.") << at;
    }
}

TEST_F(Zt4ValidationTest, AnotherWellFormedSignatureFails) {
    const std::string path = SignedArchive();
    std::string other = ArchiveBody();
    other.replace(other.find("K7Q29"), 5, "K7Q30");  // a different document
    WriteFile(TempPath("other.xml"), other);
    ASSERT_TRUE(SignArchiveFile(TempPath("other.xml")));
    const std::string signed2 = ReadFile(TempPath("other.xml"));
    const std::string mine = ReadFile(path);
    const std::string tail2 = signed2.substr(signed2.find("<digisign>"));
    WriteFile(path, mine.substr(0, mine.find("<digisign>")) + tail2);
    const Outcome o = Validate(1, path);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.row[3], "Incorrect data found.");
    EXPECT_TRUE(LogHas("Signature validation failed"));
}

TEST_F(Zt4ValidationTest, BrokenFramesFailWithTheirReason) {
    const std::string path = SignedArchive();
    const std::string good = ReadFile(path);
    struct Case {
        std::string content;
        std::string logged;
        std::string remark;
    };
    std::string digiSign = good;
    digiSign.replace(digiSign.find("<digisign>"), 10, "<DigiSign>");
    std::string shortSignature = good;
    shortSignature.erase(shortSignature.find("<digisign>") + 10, 4);
    const std::vector<Case> cases = {
        {good + "\r\n", "Last element in archive is not '</ZT4>'[ZT4>", "Incorrect data found."},
        {digiSign, "Signature start element '<digisign>' is not found. So archive validation failed",
         "Incorrect data found."},
        {good.substr(0, good.size() - 17) + "</digisgn></ZT4>",
         "Element before '</ZT4>' in archive is not '</digisign>'", "Incorrect data found."},
        {"<?xml version=\"1.0\"?>\n<ZT5>" + good.substr(27),
         "Archive start element '<ZT4>' is not found. So archive validation failed", "Incorrect data found."},
        {good.substr(0, 200), "Moving file pointer in archive failed E[", "Incorrect data found."},
        {shortSignature, "Initial Signature validation failed", "Check log file."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.logged);
        WriteFile(path, c.content);
        const Outcome o = Validate(1, path);
        EXPECT_FALSE(o.ok);
        EXPECT_EQ(o.row[2], "Failure");
        EXPECT_EQ(o.row[3], c.remark);
        EXPECT_TRUE(LogHas(c.logged));
    }
}

TEST_F(Zt4ValidationTest, FileChecksComeFirst) {
    Outcome o = Validate(1, TempPath("missing.xml"));
    EXPECT_EQ(o.row, (std::vector<std::string>{"1", "missing.xml", "Failure", "File not found."}));
    WriteFile(TempPath("a.txt"), "x");
    o = Validate(1, TempPath("a.txt"));
    EXPECT_EQ(o.row[3], "Check log file.");
    EXPECT_TRUE(LogHas("INFO    - File is not of extension .xml\r\n"));
    o = Validate(3, SignedArchive());
    EXPECT_TRUE(LogHas("INFO    - File is not of extension .log\r\n"));
    EXPECT_FALSE(o.ok);
}

TEST_F(Zt4ValidationTest, SignedLogValidatesInBothSettings) {
    const std::string path = SignedLog();
    const std::string text = ReadFile(path);
    EXPECT_NE(text.find("\r\n\r\nDigital Signature:\r\n"), std::string::npos);
    const Outcome o = Validate(3, path);
    EXPECT_TRUE(o.ok);
    EXPECT_EQ(o.row, (std::vector<std::string>{"1", "Archive.log", "Success", ""}));
    EXPECT_TRUE(LogHas(std::string("INFO    - SMC UID:") + kUid + "\r\n"));

    CLogVerifierZT4 internal(path);
    internal.internal = true;
    EXPECT_TRUE(internal.Verify(nullptr, nullptr));
    CLogVerifierZT4 page(path);
    EXPECT_FALSE(page.Verify(nullptr, nullptr));
}

TEST_F(Zt4ValidationTest, DamagedLogsFail) {
    const std::string path = SignedLog();
    const std::string good = ReadFile(path);
    const size_t trailer = good.find("\r\nDigital Signature:");
    struct Case {
        std::string content;
        std::string logged;
        std::string remark;
    };
    std::string extended = good;
    extended.insert(trailer - 2, "X");
    const std::vector<Case> cases = {
        {good + "\r\n", "New line characters found at unexpected position in log. So log validation failed",
         "Incorrect data found."},
        {" " + good.substr(1), "Opening square bracket is not found at the beginning of log.[ ]",
         "Incorrect data found."},
        {extended, "Signature validation failed", "Incorrect data found."},
        {good.substr(0, 200), "Moving file pointer in log failed E[", "Incorrect data found."},
        {good.substr(0, trailer) + "\r\nDigital signature:" + good.substr(trailer + 20),
         "'Digital Signature:' text is not found in log", "Incorrect data found."},
        {"[" + std::string(40, 'A') + good.substr(35), "Closing square bracket is not found in first line of log",
         "Incorrect data found."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.logged);
        WriteFile(path, c.content);
        const Outcome o = Validate(3, path);
        EXPECT_FALSE(o.ok);
        EXPECT_EQ(o.row[3], c.remark);
        EXPECT_TRUE(LogHas(c.logged));
    }
}

TEST_F(Zt4ValidationTest, ArbitraryContentNeverCrashes) {
    std::mt19937 random(7);
    const std::string archive = ReadFile(SignedArchive());
    const std::string log = ReadFile(SignedLog());
    for (int i = 0; i < 200; ++i) {
        const std::string& base = i % 2 == 0 ? archive : log;
        std::string content = base.substr(0, random() % (base.size() + 1));
        for (int k = 0; k < 3; ++k) {
            if (!content.empty()) content[random() % content.size()] = static_cast<char>(random());
        }
        const std::string path = TempPath(i % 2 == 0 ? "fuzz.xml" : "fuzz.log");
        WriteFile(path, content);
        EXPECT_FALSE(Validate(i % 2 == 0 ? 1 : 3, path).ok && content != base);
    }
}

}  // namespace
}  // namespace tv
