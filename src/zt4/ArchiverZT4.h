// The writer of ZT4 archives: block XML in a signed ".xml" file inside a folder
// named after the card and the range. Its runs derive from it. The writing loop
// itself arrives with the ZT4 archive runs; the family's names, extensions and
// the scale signature check are here.
#pragma once

#include <string>

#include "archive/BaseArchiver.h"

namespace tv {

class CArchiverZT4 : public CBaseArchiver {
public:
    using CBaseArchiver::CBaseArchiver;

    // The archive folder name (serial number_UID_start_end); true: archives of
    // this family live in a folder of their own.
    bool GetArchiveFolderName(std::string& name) const override;
    const char* GetBackupExtension() const override { return ".xml.bak"; }
    const char* GetArchiveExtension() const override { return ".xml"; }
    // The "fsg" block's <sig> over its previous hash with its <pck>; result 2 on failure.
    bool VerifySignatureBlock(const WormBlock& block, int& result) override;
    bool CreateArchive(uint32_t count, uint32_t searchLimit, uint32_t firstBlockNumber, int& result,
                       ProgressView* progress, ResultList* results, StatusView* status) override;
    virtual bool MakeArchiveName(std::string& path, int& result);

    std::string folderName;
};

}  // namespace tv
