// What a command prints: its rows and lines as text (the default), or one JSON
// document on standard output with the same facts, for scripts.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace tv {

class MemoryResultList;

class CommandOutput {
public:
    CommandOutput(const char* command, bool json);
    CommandOutput(const CommandOutput&) = delete;
    CommandOutput& operator=(const CommandOutput&) = delete;

    bool Json() const { return json_; }
    nlohmann::json& Doc() { return doc_; }

    // A line of the text output; in JSON it joins the document's "messages".
    void Line(const std::string& narrowText);
    // The result rows; in JSON the document's "rows", one object a row.
    void Rows(const MemoryResultList& results, int columns);
    // Prints the document (JSON only) and gives the exit status back.
    int Finish(int status);

private:
    bool json_;
    nlohmann::json doc_;
};

// Narrow text of this system (file names, card data) as the UTF-8 JSON holds.
std::string JsonText(const std::string& narrow);
std::string JsonText(const std::u16string& text);
// The result rows as JSON objects, keys after the columns the page shows.
nlohmann::json RowsJson(const MemoryResultList& results, int columns);

}  // namespace tv
