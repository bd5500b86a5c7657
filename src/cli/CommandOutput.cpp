#include "cli/CommandOutput.h"

#include <cstdio>

#include "cli/ResultPrinter.h"
#include "messages/MemoryResultList.h"
#include "platform/Text.h"

namespace tv {

namespace {

// The keys of the result list's columns, in the order the page shows them.
constexpr const char* kRowKeys[] = {"number", "fileName", "result", "remarks", "scaleSerial", "smcUid"};

}  // namespace

CommandOutput::CommandOutput(const char* command, bool json) : json_(json), doc_(nlohmann::json::object()) {
    doc_["command"] = command;
}

void CommandOutput::Line(const std::string& narrowText) {
    if (json_) {
        doc_["messages"].push_back(JsonText(narrowText));
    } else {
        std::printf("%s\n", narrowText.c_str());
    }
}

void CommandOutput::Rows(const MemoryResultList& results, int columns) {
    if (json_) {
        doc_["rows"] = RowsJson(results, columns);
    } else {
        PrintResultRows(results, columns);
    }
}

int CommandOutput::Finish(int status) {
    if (json_) {
        if (!doc_.contains("messages")) doc_["messages"] = nlohmann::json::array();
        doc_["exitStatus"] = status;
        // Card data is bytes, not always UTF-8: what is not becomes U+FFFD
        // rather than failing the whole document.
        const std::string text = doc_.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
        std::printf("%s\n", text.c_str());
    }
    std::fflush(stdout);
    return status;
}

std::string JsonText(const std::string& narrow) { return Utf16ToUtf8(ToUtf16(narrow)); }
std::string JsonText(const std::u16string& text) { return Utf16ToUtf8(text); }

nlohmann::json RowsJson(const MemoryResultList& results, int columns) {
    nlohmann::json rows = nlohmann::json::array();
    if (columns > static_cast<int>(std::size(kRowKeys))) columns = static_cast<int>(std::size(kRowKeys));
    for (int row = 0; row < results.ItemCount(); ++row) {
        nlohmann::json object = nlohmann::json::object();
        for (int column = 0; column < columns; ++column) object[kRowKeys[column]] = JsonText(results.Cell(row, column));
        rows.push_back(std::move(object));
    }
    return rows;
}

}  // namespace tv
