// The writer of dX archives: every block of a run becomes one line of a ".csv"
// file in the data folder, after its hash chain and, for signature blocks, the
// scale's signature have been checked. A run that outgrows the maximum file size
// is cut after its last complete closure group; every part starts with the
// origin of trust block and the blocks up to the first signature block, so that
// each part can be verified on its own. The runs (complete, continue from last,
// date-based) derive from this class and decide the range of blocks.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/BaseArchiver.h"
#include "platform/Platform.h"
#include "store/WormBlock.h"

namespace tv {

class CArchiverdX : public CBaseArchiver {
public:
    // A split point not seen yet.
    static constexpr uint32_t kNoBlock = UINT32_MAX;

    explicit CArchiverdX(AppContext& context);
    ~CArchiverdX() override;

    // --- the family's operations ------------------------------------------------------
    // Runs the dX verifier on the finished temporary file.
    bool VerifyWrittenArchive(const std::string& path) override;
    // The archive base name; false: the archive has no folder of its own.
    bool GetArchiveFolderName(std::string& name) const override;
    const char* GetBackupExtension() const override { return ".csv.bak"; }
    const char* GetArchiveExtension() const override { return ".csv"; }
    // The signature of a signature block (the hexadecimal DER text of its
    // payload) over its previous hash as 64 hex digits, with the card's public
    // key. Result 2 on failure.
    bool VerifySignatureBlock(const WormBlock& signatureBlock, int& result) override;
    // Writes count sectors' worth of blocks from firstBlockNumber into the
    // temporary file (MakeDxArchiveName named it), splitting at the maximum file
    // size, and finishes and publishes the archive. searchLimit bounds the search
    // for the first transaction of a new part.
    bool CreateArchive(uint32_t count, uint32_t searchLimit, uint32_t firstBlockNumber, int& result,
                       ProgressView* progress, ResultList* results, StatusView* status) override;

    // --- steps of a run ---------------------------------------------------------------
    // Forgets everything of an earlier run: the shared fields (publish state,
    // flags, paths, hashes, boundaries, printable UID), the card identity, the
    // dates and names and the split points.
    void ResetFields();
    // Before writing: the origin of trust block gives the card's identity
    // (storeInfo), and the blocks from it up to the first signature block must
    // chain and that signature must verify. count: the sectors that may be read.
    bool CheckPublicKeyIntegrity(uint32_t count);
    // The run's name from the first dated block (firstBlock) and the last closure
    // (lastClosure): serial number_UID_start_end.csv in the data folder, as
    // tempArchivePath and cleanupArchivePath.
    bool MakeDxArchiveName(int& result);
    // MakeDxArchiveName, then one question about the existing archives the run
    // replaces, then the progress bar is reset.
    bool InitArchive(int& result, ProgressView* progress, ResultList* results, StatusView* status);
    // The archives of this card in the archive folder, other than finalPath,
    // whose dates lie within the run's (parts the run replaces), by name.
    std::vector<std::string> CoveredArchives(const std::string& finalPath) const;
    // The names of a split: the completed part (ending with the closure block)
    // and the file that continues from the first transaction at or after the
    // incident block, up to searchLimit. On success the run's start date and
    // firstBlock move to that transaction. A path too long is remarked in the
    // result list.
    bool MakeSplitNames(uint32_t closureBlock, uint32_t incidentBlock, uint32_t searchLimit,
                        std::string& completedPath, std::string& nextPath, ResultList* results);
    // The leading blocks of a file: from block 0 up to and including the first
    // signature block, or until count sectors are used up. Their hashes are taken
    // but not checked.
    bool WriteOriginOfTrustInfo(uint32_t count);
    // Appends the block's line to the temporary file; fileSize is the file's size
    // after it. The file stays open and the lines gather in a buffer until
    // FlushArchiveFile, a full buffer or another temporary file.
    bool WriteBlockLine(const WormBlock& lineBlock, uint64_t& fileSize);
    // Writes the buffered lines out and closes the temporary file, so that it can
    // be read, verified, copied or removed. True when nothing is open.
    bool FlushArchiveFile();

    // --- fields -----------------------------------------------------------------------
    WormBlock block;        // the block being written
    std::string startDate;  // compact (YYYYMMDDhhmm), of the file being written
    std::string endDate;
    std::string archiveBaseName;        // the run's file name without ".csv"
    uint64_t lastSignatureLineEnd = 0;  // file offset just after the last S line written
    // Where the file being written may be cut: the closure and signature
    // incident block of the last complete closure group within the maximum size,
    // and the end of its signature line.
    uint32_t splitClosure = kNoBlock;
    uint32_t splitIncident = kNoBlock;
    uint64_t splitOffset = 0;
    // Date-based runs that end past the end date: the last closure block need not
    // be of type E.
    bool endIsNotClosure = false;

private:
    // Remembers the split points after a block that kept the file within the
    // maximum size.
    void NoteSplitPoints(const WormBlock& written, uint32_t blockNumber);
    void ClearSplitPoints();
    // Cuts the temporary file after the last complete closure group, publishes
    // the completed part and names the file that continues; the run goes on from
    // the split incident block.
    bool SplitArchive(uint32_t searchLimit, int& result, ResultList* results, StatusView* status);
    // Copies the temporary file up to the split offset into the completed part.
    bool WriteCompletedPart(const std::string& completedPath);
    // A row of the result list for the file being written: number and final path.
    void AddResultRow(ResultList* results);
    bool ReadDatedBlock(uint32_t number, WormBlock& dated);
    // Closes the temporary file before it is removed.
    void AbortCleanupFiles(const std::function<void(const std::string&)>& remove) override;
    // Writes the buffered lines to the open temporary file.
    bool WritePendingLines();

    uint32_t lastClosureSeen_ = kNoBlock;
    uint32_t candidateIncident_ = kNoBlock;
    uint32_t partsPublished_ = 0;
    std::vector<std::string> partPaths_;  // the completed parts of this run
    std::string line_;
    // The temporary file being written, with the lines not yet written to it.
    std::unique_ptr<File> archiveFile_;
    std::string archiveFilePath_;
    std::string pendingLines_;
    uint64_t archiveFileSize_ = 0;  // written and pending bytes
    // False once this archiver is destroyed: an orderly exit in the middle of a run
    // destroys the context (and this archiver) before the run's stack is left.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tv
