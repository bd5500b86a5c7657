// The English and French message texts and the built-in English fallback,
// compiled into the program from the data files of this folder.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace tv {

using MessageId = uint16_t;

enum class MessageLanguage { English, French };

class MessageTable {
public:
    // The tables compiled into the program.
    static const MessageTable& Builtin();

    // Parses "ID<TAB>"text"" lines; comment and blank lines are skipped and a
    // malformed line is ignored. Returns the texts by ID.
    static std::map<MessageId, std::u16string> Parse(std::string_view data);

    // The table text in a language; false when the table has none.
    bool Find(MessageLanguage language, MessageId id, std::u16string& text) const;
    // The built-in English text (IDs 109 to 286 only); false when there is none.
    bool FindFallback(MessageId id, std::u16string& text) const;

private:
    std::map<MessageId, std::u16string> english_;
    std::map<MessageId, std::u16string> french_;
    std::map<MessageId, std::u16string> fallback_;
};

}  // namespace tv
