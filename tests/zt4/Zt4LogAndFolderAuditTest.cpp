// The records of a card's Archive.log read back after real archive runs, and
// the validation of a folder of ZT4 archives made by two runs.
#include <algorithm>
#include <filesystem>

#include "archive/RunFixture.h"
#include "audit/FileAudit.h"
#include "zt4/ArchiveLogRecords.h"
#include "zt4/FolderValidation.h"
#include "zt4/Zt4Audit.h"

namespace tv {
namespace {

namespace fs = std::filesystem;

constexpr char kEndLabel[] = "Archive end date             : ";

class Zt4LogAndFolderAuditTest : public test::RunFixture {
protected:
    void TearDown() override {
        ctx_->auditTrail = nullptr;
        RunFixture::TearDown();
    }
    // A complete run of the card, then a continue run after three more days,
    // both into the folder "archives": two run folders there.
    void TwoRuns() {
        CardOptions o = Small(CardFamily::Zt4, 4);
        o.receiptsPerDay = 6;
        card_ = MountCard('E', o);
        ctx_->maxArchiveSize = 16 * 1024;
        ASSERT_TRUE(Complete().success) << LogText();
        const size_t first = Files(Archives()).size();
        Grow(3);
        ASSERT_TRUE(Continue().success) << LogText();
        ASSERT_GT(Files(Archives()).size(), first);
    }
    std::string Archives() const { return TempPath("archives"); }
    static std::vector<std::string> Files(const std::string& folder) {
        std::vector<std::string> paths;
        std::error_code ec;
        for (const auto& e : fs::recursive_directory_iterator(folder, ec)) {
            if (e.is_regular_file() && e.path().extension() == ".xml") paths.push_back(e.path().string());
        }
        std::sort(paths.begin(), paths.end());
        return paths;
    }
    std::string CardLog() const { return ReadFile(Join(CardFolder('E'), "Archive.log")); }
    // The records of a log text written to a file of its own.
    bool Records(const std::string& text, std::vector<LogRecord>& records) {
        const std::string path = TempPath("Archive.log");
        WriteFile(path, text);
        std::string uid;
        return ReadArchiveLogRecords(path, uid, records);
    }
    static std::vector<std::string> Names(const std::vector<LogRecord>& records) {
        std::vector<std::string> names;
        for (const LogRecord& r : records) names.push_back(r.fileName);
        return names;
    }
    static std::vector<std::string> Column(const MemoryResultList& rows, int column) {
        std::vector<std::string> cells;
        for (int r = 0; r < rows.ItemCount(); ++r) cells.push_back(ToNarrow(rows.Cell(r, column)));
        return cells;
    }
};

TEST_F(Zt4LogAndFolderAuditTest, TheLogsRecordsAreTheFilesOfEachRunWithTheRunsFacts) {
    TwoRuns();
    const auto files = Files(Archives());
    std::string uid;
    std::vector<LogRecord> records;
    ASSERT_TRUE(ReadArchiveLogRecords(Join(CardFolder('E'), "Archive.log"), uid, records));
    EXPECT_EQ(uid, card_.smcUid);
    // The runs' files in the order they were made, which is name order here.
    ASSERT_EQ(records.size(), files.size());
    std::vector<std::string> folders;
    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i]);
        const fs::path file(files[i]);
        EXPECT_EQ(records[i].fileName, file.filename().string());
        EXPECT_EQ(records[i].archivePath, file.parent_path().string());
        EXPECT_EQ(records[i].scaleSerial, card_.scaleSerialNumber);
        EXPECT_EQ(records[i].smcUid, card_.smcUid);
        EXPECT_EQ(records[i].startDate, StampAsDate(records[i].fileName.substr(0, 14)));
        EXPECT_EQ(records[i].endDate, StampAsDate(records[i].fileName.substr(15, 14)));
        if (folders.empty() || folders.back() != records[i].archivePath) folders.push_back(records[i].archivePath);
    }
    EXPECT_EQ(folders.size(), 2u);
}

TEST_F(Zt4LogAndFolderAuditTest, DamagedRecordsAreSkippedAndGarbageIsNoLog) {
    TwoRuns();
    const std::string log = CardLog();
    std::vector<LogRecord> all;
    ASSERT_TRUE(Records(log, all));
    ASSERT_GE(all.size(), 3u);
    const std::vector<std::string> names = Names(all);
    std::vector<LogRecord> records;

    // The first record without its end date: the others are all there.
    std::string text = log;
    const size_t end = text.find(kEndLabel);
    text.erase(end, text.find("\r\n", end) + 2 - end);
    ASSERT_TRUE(Records(text, records));
    EXPECT_EQ(Names(records), std::vector<std::string>(names.begin() + 1, names.end()));

    // The second record with a date that is not one.
    text = log;
    const size_t second = text.find(kEndLabel, text.find(kEndLabel) + 1);
    text.replace(second + 31, 19, "2016-02-3O 10:00:00");
    ASSERT_TRUE(Records(text, records));
    std::vector<std::string> expected = names;
    expected.erase(expected.begin() + 1);
    EXPECT_EQ(Names(records), expected);

    // A run header that lost its path line: that run's records are not taken
    // for another run's.
    text = log;
    const size_t path = text.find("Archive file path            : ");
    text.erase(path, text.find("\r\n", path) + 2 - path);
    ASSERT_TRUE(Records(text, records));
    ASSERT_FALSE(records.empty());
    EXPECT_LT(records.size(), all.size());
    for (const LogRecord& r : records) EXPECT_EQ(r.archivePath, all.back().archivePath);

    // Cut in the middle of the last record: the records before it.
    ASSERT_TRUE(Records(log.substr(0, log.rfind("A.Creation date time")), records));
    EXPECT_EQ(Names(records), std::vector<std::string>(names.begin(), names.end() - 1));

    // Lines beyond the signature trailer are not records.
    ASSERT_TRUE(Records(log + "\r\n" + log.substr(log.find("\r\n") + 2), records));
    EXPECT_EQ(records.size(), all.size());

    // Not a log at all, or not there.
    EXPECT_FALSE(Records(std::string(5000, '\0'), records));
    EXPECT_TRUE(records.empty());
    EXPECT_FALSE(Records("", records));
    EXPECT_FALSE(Records("[" + card_.smcUid.substr(0, 31) + "]\r\n", records));
    EXPECT_FALSE(Records(log.substr(1), records));
    std::string uid;
    EXPECT_FALSE(ReadArchiveLogRecords(TempPath("none.log"), uid, records));
    // A header alone is a log without records.
    EXPECT_TRUE(Records("[" + card_.smcUid + "]\r\n", records));
    EXPECT_TRUE(records.empty());
    // Labels and values thrown together do not read outside the text.
    std::string jumble;
    for (int i = 0; i < 200; ++i) {
        jumble += i % 7 == 0 ? "Scale serial num             : " : i % 3 == 0 ? "Archive start date           : " : "A";
        if (i % 5 == 0) jumble += "\r\n";
    }
    EXPECT_TRUE(Records("[" + card_.smcUid + "]\r\n" + jumble, records));
    EXPECT_TRUE(records.empty());
}

TEST_F(Zt4LogAndFolderAuditTest, AFolderOfTwoRunsIsValidatedFileByFileInNameOrder) {
    TwoRuns();
    const auto files = Files(Archives());
    // A file two levels down is not one of the folder's archives.
    const std::string deeper = Join(Join(fs::path(files[0]).parent_path().string(), "old"), "x.xml");
    fs::create_directories(fs::path(deeper).parent_path());
    fs::copy_file(files[0], deeper);

    AuditTrail trail;
    ctx_->auditTrail = &trail;
    MemoryResultList rows;
    test::RecordingProgress progress;
    EXPECT_TRUE(ValidateZt4Folder(Archives(), &progress, &rows)) << LogText();
    ctx_->auditTrail = nullptr;

    ASSERT_EQ(rows.ItemCount(), static_cast<int>(files.size()));
    std::vector<std::string> numbers, names;
    for (size_t i = 0; i < files.size(); ++i) {
        numbers.push_back(std::to_string(i + 1));
        names.push_back(fs::path(files[i]).filename().string());
    }
    EXPECT_EQ(Column(rows, 0), numbers);
    EXPECT_EQ(Column(rows, 1), names);
    EXPECT_EQ(Column(rows, 2), std::vector<std::string>(files.size(), "Success"));
    ASSERT_EQ(trail.files.size(), files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(trail.files[i].path, files[i]);
        EXPECT_EQ(trail.files[i].outcome, FileOutcome::kVerified);
    }
    EXPECT_EQ(ExitStatusOf(trail), 0);
    // The bar runs once over the whole folder.
    EXPECT_TRUE(std::is_sorted(progress.positions.begin(), progress.positions.end()));
    EXPECT_EQ(progress.Last(), 100);

    // One changed file: its row fails, the others still pass.
    std::string changed = ReadFile(files[1]);
    changed[changed.find("<ftk>") + 2] = 'X';
    WriteFile(files[1], changed);
    rows = MemoryResultList();
    EXPECT_FALSE(ValidateZt4Folder(Archives(), &progress, &rows));
    ASSERT_EQ(rows.ItemCount(), static_cast<int>(files.size()));
    std::vector<std::string> results(files.size(), "Success");
    results[1] = "Failure";
    EXPECT_EQ(Column(rows, 2), results);
    EXPECT_EQ(ToNarrow(rows.Cell(1, 3)), "Incorrect data found.");

    // Nothing to validate.
    const std::string empty = TempPath("empty");
    fs::create_directories(empty);
    rows = MemoryResultList();
    EXPECT_FALSE(ValidateZt4Folder(empty, &progress, &rows));
    EXPECT_FALSE(ValidateZt4Folder(TempPath("absent"), &progress, &rows));
    EXPECT_EQ(rows.ItemCount(), 0);
}

}  // namespace
}  // namespace tv
