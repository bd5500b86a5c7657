// --json: one JSON document on stdout instead of the rows, with the keys
// docs/json.md lists for each command.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/AuditCliFixture.h"

namespace tv::test {

namespace {

using nlohmann::json;

// Parses the whole of stdout as one document; a failure names what was printed.
json Parse(const CliRun& run) {
    json doc = json::parse(run.out, nullptr, false);
    EXPECT_FALSE(doc.is_discarded()) << run.out << run.err;
    return doc.is_discarded() ? json::object() : doc;
}

void ExpectKeys(const json& object, std::initializer_list<const char*> keys) {
    ASSERT_TRUE(object.is_object()) << object.dump();
    for (const char* key : keys) EXPECT_TRUE(object.contains(key)) << key << " missing from " << object.dump();
}

}  // namespace

TEST_F(AuditCliTest, VerifyPrintsTheTrailAndContinuityAsJson) {
    WriteChanged(Join(folder_, "z-bad.csv"));
    CliRun r = Cli(Data() + "verify " + folder_ + " --json --all-findings");
    EXPECT_EQ(r.status, 1);
    json doc = Parse(r);
    ExpectKeys(doc, {"command", "path", "folder", "card", "rows", "status", "allFindings", "pinnedKey", "files",
                     "continuity", "report", "messages", "exitStatus"});
    EXPECT_EQ(doc["command"], "verify");
    EXPECT_EQ(doc["exitStatus"], 1);
    EXPECT_EQ(doc["folder"], true);
    EXPECT_EQ(doc["allFindings"], true);
    EXPECT_TRUE(doc["card"].is_null());
    EXPECT_EQ(doc["status"], "Verification of one or more archive(s) failed.");
    ASSERT_EQ(doc["rows"].size(), 2u);
    ExpectKeys(doc["rows"][0], {"number", "fileName", "result", "remarks", "scaleSerial", "smcUid"});
    EXPECT_EQ(doc["rows"][0]["fileName"], "good.csv");
    EXPECT_EQ(doc["rows"][0]["result"], "Success");
    EXPECT_EQ(doc["rows"][1]["result"], "Failure");
    EXPECT_EQ(doc["rows"][0]["smcUid"], summary_.smcUid);

    ASSERT_EQ(doc["files"].size(), 2u);
    for (const json& file : doc["files"]) {
        ExpectKeys(file, {"path", "family", "size", "sha256", "against", "keySource", "publicKey", "smcUid",
                          "scaleSerial", "rootHash", "checks", "findings", "findingsNotListed", "outcome", "blocks",
                          "logRecords"});
        EXPECT_EQ(file["family"], "dX");
        EXPECT_EQ(file["sha256"].get<std::string>().size(), 64u);
        EXPECT_EQ(file["against"]["card"], false);
        for (const json& check : file["checks"]) ExpectKeys(check, {"check", "verdict", "detail"});
    }
    EXPECT_EQ(doc["files"][0]["outcome"], "verified");
    EXPECT_EQ(doc["files"][0]["size"], JoinLines(blocks_).size());
    EXPECT_EQ(doc["files"][1]["outcome"], "integrityFailure");
    ASSERT_FALSE(doc["files"][1]["findings"].empty());
    ExpectKeys(doc["files"][1]["findings"][0], {"position", "number", "reason"});

    ExpectKeys(doc["continuity"], {"complete", "cards"});
    for (const json& card : doc["continuity"]["cards"]) {
        ExpectKeys(card, {"family", "smcUid", "scaleSerial", "complete", "files", "covered", "joins", "logGiven",
                          "missingFromFolder", "differingFromLog", "notInLog"});
    }
    // Nothing but the document on stdout.
    EXPECT_EQ(r.out.find("Archive(s)"), std::string::npos);

    r = Cli(Data() + Card() + "verify " + good_ + " --card K --json");
    EXPECT_EQ(r.status, 0) << r.err;
    doc = Parse(r);
    EXPECT_EQ(doc["card"], "K");
    EXPECT_TRUE(doc["continuity"].is_null());
    ASSERT_EQ(doc["files"].size(), 1u);
    EXPECT_EQ(doc["files"][0]["against"]["card"], true);
    EXPECT_EQ(doc["files"][0]["keySource"], "card");
}

TEST_F(AuditCliTest, CardCommandsPrintJson) {
    CliRun r = Cli(Data() + Card() + "cards --json");
    EXPECT_EQ(r.status, 0) << r.err;
    json doc = Parse(r);
    EXPECT_EQ(doc["command"], "cards");
    ASSERT_EQ(doc["cards"].size(), 1u);
    ExpectKeys(doc["cards"][0], {"entry", "drive", "family", "fillPercent", "full"});
    EXPECT_EQ(doc["cards"][0]["entry"], summary_.printableUid + " (K:)");
    EXPECT_EQ(doc["cards"][0]["drive"], "K");
    EXPECT_EQ(doc["cards"][0]["family"], "dX");

    r = Cli(Data() + Card() + "identify --card K --json");
    EXPECT_EQ(r.status, 0) << r.err;
    doc = Parse(r);
    ExpectKeys(doc, {"command", "drive", "purpose", "accepted", "entry", "reason", "family", "archiveLog", "exitStatus"});
    EXPECT_EQ(doc["accepted"], true);
    EXPECT_EQ(doc["family"], "dX");
    r = Cli(Data() + "identify --card Q --json");
    EXPECT_EQ(r.status, 1);
    doc = Parse(r);
    EXPECT_EQ(doc["accepted"], false);
    EXPECT_EQ(doc["reason"], "no card");

    r = Cli(Data() + "profile --json");
    EXPECT_EQ(r.status, 0) << r.err;
    doc = Parse(r);
    ExpectKeys(doc, {"command", "file", "entries", "messages", "exitStatus"});
    EXPECT_TRUE(doc["entries"].empty());

    const std::string archives = TempPath("out");
    std::filesystem::create_directories(archives);
    r = Cli(Data() + Card() + "--yes archive complete --card K --to " + archives + " --json");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    doc = Parse(r);
    ExpectKeys(doc, {"command", "kind", "drive", "to", "cardDates", "previous", "rows", "status", "message",
                     "messages", "exitStatus"});
    EXPECT_EQ(doc["kind"], "complete");
    ASSERT_EQ(doc["rows"].size(), 1u);
    ExpectKeys(doc["rows"][0], {"number", "fileName", "result", "remarks"});
    EXPECT_EQ(doc["rows"][0]["result"], "Success");

    r = Cli(Data() + Card() + "profile --card K --json");
    EXPECT_EQ(r.status, 0) << r.err;
    doc = Parse(r);
    ExpectKeys(doc, {"command", "drive", "entry", "accepted", "profile", "info", "continueAvailable"});
    EXPECT_EQ(doc["profile"], "valid");
    EXPECT_EQ(doc["continueAvailable"], true);
    r = Cli(Data() + "profile --json");
    doc = Parse(r);
    ASSERT_EQ(doc["entries"].size(), 1u);
    EXPECT_EQ(doc["entries"][0]["scaleSerial"], summary_.scaleSerialNumber);
}

TEST_F(CliTest, ValidateJsonHoldsTheLogAndItsRecords) {
    GetAppContext();
    const std::string missing = TempPath("none.xml");
    const CliRun r = Cli("--data-dir " + DataFolder() + " validate " + missing + " --json");
    EXPECT_EQ(r.status, 2);
    const json doc = Parse(r);
    ExpectKeys(doc, {"command", "path", "folder", "rows", "status", "archiveLog", "continuityLog", "files",
                     "continuity", "report", "exitStatus"});
    EXPECT_EQ(doc["command"], "validate");
    EXPECT_EQ(doc["status"], "Archive validation failed.");
    ASSERT_EQ(doc["rows"].size(), 1u);
    EXPECT_EQ(doc["rows"][0]["remarks"], "File not found.");
    EXPECT_TRUE(doc["rows"][0].contains("number"));
    EXPECT_FALSE(doc["rows"][0].contains("smcUid"));
    EXPECT_TRUE(doc["continuity"].is_null());
}

}  // namespace tv::test
