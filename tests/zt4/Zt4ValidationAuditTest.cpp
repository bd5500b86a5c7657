// What the ZT4 validators record in an audit trail: the checks, the outcome and
// the facts of archives and logs made by real archive runs of generated cards;
// and that without a trail the result rows stay as they were.
#include <algorithm>
#include <filesystem>

#include "archive/RunFixture.h"
#include "audit/FileAudit.h"
#include "messages/Messages.h"
#include "zt4/ValidationRun.h"
#include "zt4/Zt4Audit.h"

namespace tv {
namespace {

namespace fs = std::filesystem;

class Zt4ValidationAuditTest : public test::RunFixture {
protected:
    void TearDown() override {
        ctx_->auditTrail = nullptr;
        RunFixture::TearDown();
    }
    static CardOptions Card(uint32_t days) {
        CardOptions o = Small(CardFamily::Zt4, days);
        o.receiptsPerDay = 6;
        return o;
    }
    // A complete run cut by the size limit into several files of one run folder.
    std::vector<std::string> SplitRun() {
        ctx_->maxArchiveSize = 16 * 1024;
        card_ = MountCard('E', Card(8));
        EXPECT_TRUE(Complete().success) << LogText();
        const auto files = Files(TempPath("archives"));
        EXPECT_GE(files.size(), 3u);
        return files;
    }
    static std::vector<std::string> Files(const std::string& folder) {
        std::vector<std::string> paths;
        std::error_code ec;
        for (const auto& e : fs::recursive_directory_iterator(folder, ec)) {
            if (e.is_regular_file() && e.path().extension() == ".xml") paths.push_back(e.path().string());
        }
        std::sort(paths.begin(), paths.end());
        return paths;
    }
    std::string CardLogPath() const { return Join(CardFolder('E'), "Archive.log"); }

    struct Run {
        bool ok = false;
        std::vector<std::string> row;
    };
    // One file validated as the verification page does, with or without a trail.
    Run Validate(uint32_t kind, const std::string& path, AuditTrail* trail) {
        ctx_->auditTrail = trail;
        auto verifier = MakeZt4Verifier(kind, path);
        MemoryResultList rows;
        test::RecordingProgress progress;
        Run run;
        run.ok = RunZt4Validation(verifier.get(), kind, false, 2, &progress, &rows);
        ctx_->auditTrail = nullptr;
        EXPECT_EQ(rows.ItemCount(), 1);
        for (int c = 0; c < 4 && rows.ItemCount() == 1; ++c) run.row.push_back(ToNarrow(rows.Cell(0, c)));
        return run;
    }
    // The one audit of a file validated with a trail.
    FileAudit Audit(uint32_t kind, const std::string& path) {
        AuditTrail trail;
        Validate(kind, path, &trail);
        EXPECT_EQ(trail.files.size(), 1u) << path;
        return trail.files.empty() ? FileAudit{} : trail.files[0];
    }
    static std::vector<CheckKind> Kinds(const FileAudit& a) {
        std::vector<CheckKind> kinds;
        for (const CheckResult& c : a.checks) kinds.push_back(c.kind);
        return kinds;
    }
    static Verdict VerdictOf(const FileAudit& a, CheckKind kind) {
        const CheckResult* c = a.FindCheck(kind);
        return c == nullptr ? Verdict::kNotChecked : c->verdict;
    }
    static std::string Reason(const FileAudit& a) {
        return a.findings.empty() ? std::string() : ToNarrow(a.findings[0].reason);
    }
    static std::string Text(MessageId id) { return ToNarrow(GetMessageText(id)); }
    static std::string NameOf(const std::string& path) { return fs::path(path).filename().string(); }
};

TEST_F(Zt4ValidationAuditTest, SoundArchivesAndTheirLogAreVerifiedWithTheirFacts) {
    const auto files = SplitRun();
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        const FileAudit a = Audit(1, path);
        EXPECT_EQ(a.outcome, FileOutcome::kVerified);
        EXPECT_EQ(a.family, "ZT4");
        EXPECT_EQ(a.path, path);
        EXPECT_EQ(Kinds(a), (std::vector<CheckKind>{CheckKind::kFileReadable, CheckKind::kArchiveFrame,
                                                     CheckKind::kArchiveSignature}));
        for (const CheckResult& c : a.checks) EXPECT_EQ(c.verdict, Verdict::kPassed);
        EXPECT_TRUE(a.findings.empty());
        EXPECT_EQ(a.size, static_cast<int64_t>(fs::file_size(path)));
        EXPECT_EQ(a.keySource, KeySource::kBuiltIn);
        EXPECT_EQ(a.publicKey.size(), 266u);
        EXPECT_EQ(a.smcUid, card_.printableUid);  // <ncd>, the card's printable UID
        EXPECT_EQ(a.scaleSerial, card_.scaleSerialNumber);
        const std::string name = NameOf(path);
        EXPECT_EQ(a.firstDate, StampAsDate(name.substr(0, 14)));
        EXPECT_EQ(a.lastDate, StampAsDate(name.substr(15, 14)));
        EXPECT_EQ(a.firstDate.size(), 19u);
        EXPECT_LE(a.firstDate, a.lastDate);
    }

    const FileAudit log = Audit(3, CardLogPath());
    EXPECT_EQ(log.outcome, FileOutcome::kVerified);
    EXPECT_EQ(log.family, "Archive.log");
    EXPECT_EQ(Kinds(log), (std::vector<CheckKind>{CheckKind::kFileReadable, CheckKind::kLogEntries,
                                                   CheckKind::kLogSignature}));
    for (const CheckResult& c : log.checks) EXPECT_EQ(c.verdict, Verdict::kPassed);
    EXPECT_EQ(log.smcUid, card_.smcUid);
    // One record per file of the run, in the order the files were made.
    ASSERT_EQ(log.logRecords.size(), files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        const LogRecord& r = log.logRecords[i];
        const std::string name = NameOf(files[i]);
        EXPECT_EQ(r.fileName, name);
        EXPECT_EQ(r.startDate, StampAsDate(name.substr(0, 14)));
        EXPECT_EQ(r.endDate, StampAsDate(name.substr(15, 14)));
        EXPECT_EQ(r.scaleSerial, card_.scaleSerialNumber);
        EXPECT_EQ(r.smcUid, card_.smcUid);
        EXPECT_EQ(r.archivePath, fs::path(files[i]).parent_path().string());
        EXPECT_EQ(r.created.size(), 19u);
        EXPECT_LE(r.created, r.completed);
    }
}

TEST_F(Zt4ValidationAuditTest, ChangedOrCutFilesAreIntegrityFailuresAndOtherFilesAreNotChecked) {
    const std::string path = SplitRun().front();
    const std::string good = ReadFile(path);
    const std::string work = TempPath("20160208000000_20160209000000.xml");

    std::string changed = good;
    const size_t block = changed.find("<ftk>");
    ASSERT_NE(block, std::string::npos);
    changed[block + 2] = 'X';
    WriteFile(work, changed);
    FileAudit a = Audit(1, work);
    EXPECT_EQ(a.outcome, FileOutcome::kIntegrityFailure);
    EXPECT_EQ(VerdictOf(a, CheckKind::kArchiveFrame), Verdict::kPassed);
    EXPECT_EQ(VerdictOf(a, CheckKind::kArchiveSignature), Verdict::kFailed);
    EXPECT_EQ(Reason(a), Text(656));
    EXPECT_EQ(a.firstDate, "2016-02-08 00:00:00");  // the name, whatever the content
    EXPECT_EQ(a.smcUid, card_.printableUid);

    WriteFile(work, good.substr(0, good.size() - 100));
    a = Audit(1, work);
    EXPECT_EQ(a.outcome, FileOutcome::kIntegrityFailure);
    EXPECT_EQ(VerdictOf(a, CheckKind::kFileReadable), Verdict::kPassed);
    EXPECT_EQ(VerdictOf(a, CheckKind::kArchiveFrame), Verdict::kFailed);
    EXPECT_EQ(VerdictOf(a, CheckKind::kArchiveSignature), Verdict::kNotChecked);
    EXPECT_EQ(Reason(a), Text(654));

    // Only a little is left of it: still an archive cut short.
    WriteFile(work, good.substr(0, 200));
    EXPECT_EQ(Audit(1, work).outcome, FileOutcome::kIntegrityFailure);

    // A damaged signature text (one character less) is a changed file too.
    std::string shorter = good;
    shorter.erase(shorter.find("<digisign>") + 10, 4);
    WriteFile(work, shorter);
    a = Audit(1, work);
    EXPECT_EQ(a.outcome, FileOutcome::kIntegrityFailure);
    EXPECT_EQ(Reason(a), Text(655));

    const std::string text = TempPath("notes.xml");
    const std::string notes = std::string(2000, 'x') + "\r\nsome notes, not an archive\r\n";
    WriteFile(text, notes);
    a = Audit(1, text);
    EXPECT_EQ(a.outcome, FileOutcome::kNotChecked);
    EXPECT_EQ(VerdictOf(a, CheckKind::kFileReadable), Verdict::kFailed);
    EXPECT_EQ(Reason(a), Text(653));
    EXPECT_EQ(a.size, static_cast<int64_t>(notes.size()));
    EXPECT_TRUE(a.firstDate.empty());  // not named after its dates

    a = Audit(1, TempPath("missing.xml"));
    EXPECT_EQ(a.outcome, FileOutcome::kNotChecked);
    EXPECT_EQ(a.size, -1);
    EXPECT_TRUE(a.sha256.empty());
    EXPECT_EQ(Reason(a), Text(650));
    a = Audit(1, CardLogPath());  // an archive validation of a .log file
    EXPECT_EQ(a.outcome, FileOutcome::kNotChecked);
    EXPECT_EQ(Reason(a), Text(651));

    // The log: cut short or changed is an integrity failure, garbage is not checked.
    const std::string log = ReadFile(CardLogPath());
    const std::string workLog = TempPath("Archive.log");
    WriteFile(workLog, log.substr(0, log.size() - 30));
    a = Audit(3, workLog);
    EXPECT_EQ(a.outcome, FileOutcome::kIntegrityFailure);
    EXPECT_EQ(VerdictOf(a, CheckKind::kLogSignature), Verdict::kFailed);
    std::string appended = log;
    appended.insert(appended.find("Archive file name            : ") + 31, "9");
    WriteFile(workLog, appended);
    a = Audit(3, workLog);
    EXPECT_EQ(a.outcome, FileOutcome::kIntegrityFailure);
    EXPECT_EQ(Reason(a), Text(656));
    EXPECT_EQ(a.logRecords.size(), Files(TempPath("archives")).size());  // read all the same
    WriteFile(workLog, std::string(600, '#'));
    a = Audit(3, workLog);
    EXPECT_EQ(a.outcome, FileOutcome::kNotChecked);
    EXPECT_EQ(VerdictOf(a, CheckKind::kLogEntries), Verdict::kFailed);
    EXPECT_EQ(Reason(a), Text(657));
}

TEST_F(Zt4ValidationAuditTest, RowsAndResultsAreTheSameWithOrWithoutATrail) {
    const std::string path = SplitRun().front();
    const std::string good = ReadFile(path);
    std::vector<std::pair<uint32_t, std::string>> cases = {{1, path}, {3, CardLogPath()},
                                                           {1, TempPath("missing.xml")}, {3, path}};
    const auto add = [&](const std::string& name, const std::string& content) {
        WriteFile(TempPath(name), content);
        cases.push_back({1, TempPath(name)});
    };
    std::string changed = good;
    changed[good.find("<ftk>") + 2] = 'X';
    add("changed.xml", changed);
    add("cut.xml", good.substr(0, good.size() - 50));
    add("text.xml", std::string(500, 'x'));
    for (const auto& [kind, file] : cases) {
        SCOPED_TRACE(file);
        const Run plain = Validate(kind, file, nullptr);
        AuditTrail trail;
        const Run audited = Validate(kind, file, &trail);
        EXPECT_EQ(plain.ok, audited.ok);
        EXPECT_EQ(plain.row, audited.row);
        ASSERT_EQ(trail.files.size(), 1u);
        EXPECT_EQ(trail.files[0].outcome == FileOutcome::kVerified, plain.ok);
    }
}

}  // namespace
}  // namespace tv
