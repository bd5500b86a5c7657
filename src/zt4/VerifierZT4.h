// Common base of the two ZT4 validators: the file to check and the remark rules
// that the verification page follows.
#pragma once

#include <string>

namespace tv {

class File;
class ProgressView;
class ResultList;

class CVerifierZT4 {
public:
    explicit CVerifierZT4(std::string path) : filePath(std::move(path)) {}
    virtual ~CVerifierZT4() = default;

    // Checks before the validation: a path, the expected extension (".xml" for an
    // archive, ".log" otherwise, any case) and an existing file.
    bool CheckFile(bool archive);
    virtual bool Verify(ProgressView* progress, ResultList* results) = 0;

    std::string filePath;
    bool remarkPending = true;  // cleared once the validator wrote its own remark
    bool internal = false;      // inside an archive run, without any window
    bool fileMissing = false;

    // Inserts the row "number, file name" at the end and returns its index.
    int InsertResultRow(ResultList& results) const;

protected:
    // Reads exactly n bytes of the file into out, or fails.
    static bool ReadExactly(File& file, std::string& out, size_t n);
};

}  // namespace tv
