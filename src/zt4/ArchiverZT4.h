// The writer of ZT4 archives: the XML of the card's blocks, in card order, in a
// signed ".xml" file inside a folder named after the card and the range, each
// finished file recorded in the card's Archive.log. A file is cut at the
// configured year end, after a year closure group and at the maximum size; every
// journal block stands in exactly one file, and every file begins with the
// card's leading blocks up to the first scale signature. The runs (complete,
// continue from last, date-based) derive from this class and choose the range.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/BaseArchiver.h"
#include "store/WormBlock.h"
#include "zt4/BufferedArchiveFile.h"
#include "zt4/Zt4BlockReader.h"

namespace tv {

class CArchiverZT4 : public CBaseArchiver {
public:
    static constexpr uint32_t kNoBlock = UINT32_MAX;

    explicit CArchiverZT4(AppContext& context);
    ~CArchiverZT4() override;

    // The two date hooks: nothing here; the date-based run keeps its dates.
    void SetStartDate(int64_t /*date*/) override {}
    void SetEndDate(int64_t /*date*/) override {}
    // The archive folder name (serial number_UID_start_end); true: archives of
    // this family live in a folder of their own.
    bool GetArchiveFolderName(std::string& name) const override;
    const char* GetBackupExtension() const override { return ".xml.bak"; }
    const char* GetArchiveExtension() const override { return ".xml"; }
    // The "fsg" block's <sig> over its previous hash with its <pck>; result 2 on failure.
    bool VerifySignatureBlock(const WormBlock& block, int& result) override;
    // Writes count sectors' worth of blocks from firstBlockNumber, splitting at the
    // year end, after year closures and at the maximum size, and finishes,
    // records and publishes every file.
    bool CreateArchive(uint32_t count, uint32_t searchLimit, uint32_t firstBlockNumber, int& result,
                       ProgressView* progress, ResultList* results, StatusView* status) override;
    // The folder and file name of the run from firstBlock and lastClosure, the
    // folder created in the data folder; path receives the temporary file.
    virtual bool MakeArchiveName(std::string& path, int& result);

    // --- steps of a run ---------------------------------------------------------------
    void ResetFields();
    // The card's identity from the blocks up to the first scale signature, whose
    // chain and signature must hold.
    bool CheckPublicKeyIntegrity(uint32_t count);
    // MakeArchiveName, one question about the existing files the run replaces,
    // the year end, the progress bar.
    bool InitArchive(int& result, ProgressView* progress, ResultList* results, StatusView* status);
    // The archive files in the run's archive folder other than the one of the
    // temporary file's name, by name.
    std::vector<std::string> ExistingParts(const std::string& tempPath) const;
    // The year end that follows a date (YYYYMMDD) under the configured year end.
    bool UpdateYearEnd(const std::string& compactDate);
    // From block 0: the blocks up to and including the first signature block,
    // or until count sectors are used up.
    bool WritePreamble(uint32_t count, int& result);
    // Appends what the reader's current block contributes to the file.
    bool WriteBlock(uint64_t& fileSize);
    // Appends "</ZT4>" and closes the file.
    bool WriteEndTag();
    // The finished part (start_P) and the file that continues (C_end) from the
    // file being written.
    bool MakeSplitNames(const std::string& finishedEnd, const std::string& nextStart, std::string& finished,
                        std::string& next, ResultList* results);

    // --- fields -----------------------------------------------------------------------
    std::string folderName;
    std::string startStamp;     // YYYYMMDDhhmmss of the run
    std::string endStamp;
    std::string yearEndDate;    // YYYYMMDD
    std::string creationTime;   // of the file being written
    std::string completionTime;
    bool headerWritten = false;
    uint64_t lastWrittenEnd = 0;  // file size after the last E, S or T block

protected:
    // Publishing hooks: Archive.log to the card, the ".err" file, the clean-up.
    bool PublishArchiveLog(int mode) override;
    void CopyFailedOnCard(const std::string& finalPath, const std::string& tempPath) override;
    void AbortCleanupFiles(const std::function<void(const std::string&)>& remove) override;

    CZt4BlockReader reader_;

private:
    // Where a file may be cut for the size limit: in front of a dated block,
    // with no closure sequence open. The part ends with the block before it and
    // the next part starts with it.
    struct CutPoint {
        uint32_t block = kNoBlock;
        uint64_t offset = 0;
        BlockHash chainHash{};     // current hash of the block before
        std::string finishedEnd;   // stamp of the last block of the part
        std::string nextStart;     // stamp of the block that starts the next part
    };

    void AddResultRow(ResultList* results);
    bool StartFile(uint32_t searchLimit, int& result, ResultList* results, StatusView* status);
    void ApplyYearEndRules();
    void ApplyClosureRules();
    void ResetFileState();
    bool FinishFile(const std::string& path);
    bool RecordInLog(const std::string& path);
    bool SplitAtYearEnd(int& result, ResultList* results, StatusView* status);
    bool SplitAtSize(int& result, ResultList* results, StatusView* status);
    bool PublishPart(const std::string& finished, const std::string& next, ResultList* results, StatusView* status);
    bool CopyFilePrefix(const std::string& from, const std::string& to, uint64_t length);
    void RemoveTempXmlFolder();
    // The scale signature of the reader's current signature block.
    bool VerifyZt4SignatureBlockOf(int& result);

    CBufferedArchiveFile file_;
    std::string lastWrittenDate_;  // date text of the last XML block written
    bool yearSplit_ = false;
    bool closeFile_ = false;
    bool yearPassed_ = false;       // a block after the year end stands in this file
    bool countingClosures_ = false;
    uint32_t closuresAfterYearEnd_ = 0;
    int sequence_ = 0;              // year closure sequence: 0 none, 1 wants W, 2 wants S, 3 complete
    std::string sequenceDate_;
    bool journalInFile_ = false;    // a block after the leading ones stands in this file
    CutPoint cut_;
    int fileIndex_ = 1;
    uint32_t partsPublished_ = 0;
    bool publishingPart_ = false;
    std::vector<std::string> partPaths_;
};

}  // namespace tv
