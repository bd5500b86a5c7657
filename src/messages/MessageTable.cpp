#include "messages/MessageTable.h"

#include <cstddef>

#include "platform/Text.h"

namespace tv {

namespace embedded {
extern const unsigned char kEnglishTexts[];
extern const std::size_t kEnglishTextsSize;
extern const unsigned char kFrenchTexts[];
extern const std::size_t kFrenchTextsSize;
extern const unsigned char kFallbackTexts[];
extern const std::size_t kFallbackTextsSize;
}  // namespace embedded

namespace {

std::string_view View(const unsigned char* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

constexpr MessageId kFirstFallbackId = 109;
constexpr MessageId kLastFallbackId = 286;

}  // namespace

std::map<MessageId, std::u16string> MessageTable::Parse(std::string_view data) {
    std::map<MessageId, std::u16string> texts;
    while (!data.empty()) {
        const size_t end = data.find('\n');
        std::string_view line = data.substr(0, end);
        data = end == std::string_view::npos ? std::string_view() : data.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const size_t tab = line.find('\t');
        if (tab == std::string_view::npos || tab == 0 || tab > 5) continue;
        unsigned id = 0;
        bool digits = true;
        for (char c : line.substr(0, tab)) {
            if (c < '0' || c > '9') digits = false;
            id = id * 10 + static_cast<unsigned>(c - '0');
        }
        std::string_view text = line.substr(tab + 1);
        if (!digits || id > 0xFFFF || text.size() < 2 || text.front() != '"' || text.back() != '"') {
            continue;
        }
        text = text.substr(1, text.size() - 2);
        texts[static_cast<MessageId>(id)] = Utf8ToUtf16(text);  // the tables are UTF-8
    }
    return texts;
}

const MessageTable& MessageTable::Builtin() {
    static const MessageTable table = [] {
        MessageTable t;
        t.english_ = Parse(View(embedded::kEnglishTexts, embedded::kEnglishTextsSize));
        t.french_ = Parse(View(embedded::kFrenchTexts, embedded::kFrenchTextsSize));
        t.fallback_ = Parse(View(embedded::kFallbackTexts, embedded::kFallbackTextsSize));
        return t;
    }();
    return table;
}

bool MessageTable::Find(MessageLanguage language, MessageId id, std::u16string& text) const {
    const auto& texts = language == MessageLanguage::French ? french_ : english_;
    const auto it = texts.find(id);
    if (it == texts.end()) return false;
    text = it->second;
    return true;
}

bool MessageTable::FindFallback(MessageId id, std::u16string& text) const {
    if (id < kFirstFallbackId || id > kLastFallbackId) return false;
    const auto it = fallback_.find(id);
    if (it == fallback_.end()) return false;
    text = it->second;
    return true;
}

}  // namespace tv
