#include "zt4/ArchiveLogRecords.h"

#include <array>
#include <cstdint>
#include <string_view>

#include "app/AppContext.h"

namespace tv {

namespace {

// A card's log grows by a few hundred bytes per archive file; anything larger
// than this is not a log this system wrote.
constexpr int64_t kMaxLogSize = 4 * 1024 * 1024;
constexpr size_t kLabelSize = 31;
constexpr size_t kUidSize = 32;

constexpr std::string_view kSerialLabel = "Scale serial num             : ";
constexpr std::string_view kUidLabel = "SMC Unique ID                : ";
constexpr std::string_view kPathLabel = "Archive file path            : ";
constexpr std::array<std::string_view, 5> kRecordLabels = {
    "Archive start date           : ", "Archive end date             : ",
    "Archive file name            : ", "A.Creation date time         : ",
    "A.Completion date time       : ",
};
constexpr std::string_view kTrailerLine = "Digital Signature:";

bool ReadWhole(const std::string& path, std::string& text) {
    auto file = Sys().OpenFile(path, OpenMode::Read);
    if (!file) return false;
    const int64_t size = file->Size();
    if (size < 0 || size > kMaxLogSize) return false;
    text.assign(static_cast<size_t>(size), '\0');
    size_t done = 0;
    while (done < text.size()) {
        const int64_t r = file->Read(text.data() + done, text.size() - done);
        if (r < 0) return false;
        if (r == 0) break;
        done += static_cast<size_t>(r);
    }
    text.resize(done);
    return true;
}

// The lines of the text without their line ends (CR LF, or a lone LF).
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t from = 0;
    while (from < text.size()) {
        size_t end = text.find('\n', from);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(from, end - from);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        from = end + 1;
    }
    return lines;
}

bool IsHex(std::string_view text) {
    for (char c : text) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        if (!hex) return false;
    }
    return true;
}

// "YYYY-MM-DD HH:MM:SS"
bool IsDateTime(std::string_view text) {
    if (text.size() != 19) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool ok = (i == 4 || i == 7) ? c == '-' : i == 10 ? c == ' ' : (i == 13 || i == 16) ? c == ':'
                                                                                                   : (c >= '0' && c <= '9');
        if (!ok) return false;
    }
    return true;
}

// The value of a line with the label, when it has it.
bool ValueOf(std::string_view line, std::string_view label, std::string_view& value) {
    if (line.size() < kLabelSize || line.substr(0, kLabelSize) != label) return false;
    value = line.substr(kLabelSize);
    return true;
}

}  // namespace

bool ReadArchiveLogRecords(const std::string& path, std::string& uid, std::vector<LogRecord>& records) {
    uid.clear();
    records.clear();
    std::string text;
    if (!ReadWhole(path, text)) return false;
    const std::vector<std::string_view> lines = SplitLines(text);
    if (lines.empty()) return false;
    const std::string_view header = lines[0];
    if (header.size() != kUidSize + 2 || header.front() != '[' || header.back() != ']' ||
        !IsHex(header.substr(1, kUidSize))) {
        return false;
    }
    uid = std::string(header.substr(1, kUidSize));

    // The run the records belong to; none after a damaged run header, whose
    // records cannot be told apart from another card's.
    bool inRun = false;
    LogRecord run;
    size_t i = 1;
    while (i < lines.size()) {
        const std::string_view line = lines[i];
        if (line == kTrailerLine) break;
        std::string_view value;
        if (ValueOf(line, kSerialLabel, value)) {
            std::string_view runUid, runPath;
            inRun = i + 2 < lines.size() && ValueOf(lines[i + 1], kUidLabel, runUid) &&
                    ValueOf(lines[i + 2], kPathLabel, runPath) && !value.empty() && !runPath.empty();
            if (inRun) {
                run.scaleSerial = std::string(value);
                run.smcUid = std::string(runUid);
                run.archivePath = std::string(runPath);
                i += 3;
            } else {
                ++i;
            }
            continue;
        }
        if (!ValueOf(line, kRecordLabels[0], value)) {
            ++i;  // an empty line or one of a damaged record or run header
            continue;
        }
        // The five lines of a record, in order; at the first that is not there
        // the record is skipped and reading goes on from that line.
        std::array<std::string_view, 5> values;
        size_t n = 0;
        while (n < values.size() && i + n < lines.size() && ValueOf(lines[i + n], kRecordLabels[n], values[n])) ++n;
        const bool whole = n == values.size() && IsDateTime(values[0]) && IsDateTime(values[1]) &&
                           !values[2].empty() && IsDateTime(values[3]) && IsDateTime(values[4]);
        if (whole && inRun) {
            LogRecord record = run;
            record.startDate = std::string(values[0]);
            record.endDate = std::string(values[1]);
            record.fileName = std::string(values[2]);
            record.created = std::string(values[3]);
            record.completed = std::string(values[4]);
            records.push_back(std::move(record));
        }
        i += n == 0 ? 1 : n;
    }
    return true;
}

}  // namespace tv
