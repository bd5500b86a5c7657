// The reader of a card's Archive.log records on any file: a log it refuses
// leaves nothing behind, and every record it keeps is whole.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzEnvironment.h"
#include "zt4/ArchiveLogRecords.h"

using namespace tv;

namespace {

// The five labelled lines of a record, each at least its 31-character label.
constexpr size_t kRecordBytes = 5 * 31;

bool IsDate(const std::string& text) { return text.size() == 19; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzEnvironment& env = fuzz::Env();
    const std::string path = env.Path("Archive.log");
    if (!env.WriteFile(path, data, size)) return 0;
    std::string uid = "left over";
    std::vector<LogRecord> records(1);
    if (!ReadArchiveLogRecords(path, uid, records)) {
        if (!uid.empty() || !records.empty()) std::abort();
        return 0;
    }
    if (uid.size() != 32 || records.size() * kRecordBytes > size) std::abort();
    for (const LogRecord& r : records) {
        if (!IsDate(r.startDate) || !IsDate(r.endDate) || !IsDate(r.created) || !IsDate(r.completed) ||
            r.fileName.empty() || r.scaleSerial.empty() || r.archivePath.empty()) {
            std::abort();
        }
    }
    return 0;
}
