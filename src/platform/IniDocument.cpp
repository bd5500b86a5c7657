#include "platform/IniDocument.h"

#include <algorithm>

#include "platform/Text.h"

namespace tv {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::u16string Unquote(std::u16string v) {
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front()) {
        return v.substr(1, v.size() - 2);
    }
    return v;
}

}  // namespace

IniDocument::Line IniDocument::Classify(std::string text) {
    Line line;
    const std::string trimmed = Trim(text);
    if (!trimmed.empty() && trimmed.front() == '[') {
        const size_t close = trimmed.find(']');
        const std::string name =
            Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        line.isSection = true;
        line.section = ToUtf16(name);
    } else if (!trimmed.empty() && trimmed.front() != ';') {
        const size_t eq = trimmed.find('=');
        if (eq != std::string::npos) {
            line.isKey = true;
            line.key = ToUtf16(Trim(trimmed.substr(0, eq)));
        }
    }
    line.text = std::move(text);
    return line;
}

void IniDocument::Parse(const std::string& content) {
    lines_.clear();
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        const bool last = end == std::string::npos;
        if (last) end = content.size();
        std::string text = content.substr(start, end - start);
        if (!text.empty() && text.back() == '\r') text.pop_back();
        lines_.push_back(Classify(std::move(text)));
        start = last ? end : end + 1;
    }
}

std::string IniDocument::Serialize() const {
    std::string out;
    for (const Line& line : lines_) {
        out += line.text;
        out += "\r\n";
    }
    return out;
}

size_t IniDocument::FindSection(const std::u16string& section) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].isSection && EqualsNoCase(lines_[i].section, section)) return i;
    }
    return std::string::npos;
}

size_t IniDocument::SectionEnd(size_t header) const {
    size_t i = header + 1;
    while (i < lines_.size() && !lines_[i].isSection) ++i;
    return i;
}

size_t IniDocument::FindKey(size_t header, const std::u16string& key) const {
    const size_t end = SectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
        if (lines_[i].isKey && EqualsNoCase(lines_[i].key, key)) return i;
    }
    return std::string::npos;
}

bool IniDocument::Find(const std::u16string& section, const std::u16string& key,
                       std::u16string& value) const {
    const size_t header = FindSection(section);
    if (header == std::string::npos) return false;
    const size_t at = FindKey(header, key);
    if (at == std::string::npos) return false;
    const std::string& text = lines_[at].text;
    value = Unquote(ToUtf16(Trim(text.substr(text.find('=') + 1))));
    return true;
}

bool IniDocument::Keys(const std::u16string& section, std::vector<std::u16string>& keys) const {
    keys.clear();
    const size_t header = FindSection(section);
    if (header == std::string::npos) return false;
    const size_t end = SectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
        if (lines_[i].isKey) keys.push_back(lines_[i].key);
    }
    return true;
}

void IniDocument::Set(const std::u16string& section, const std::u16string& key,
                      const std::u16string& value) {
    // The value is stored without its leading blanks (reading drops them anyway).
    size_t first = 0;
    while (first < value.size() && (value[first] == u' ' || value[first] == u'\t')) ++first;
    const std::string text = "=" + ToNarrow(std::u16string_view(value).substr(first));
    size_t header = FindSection(section);
    if (header == std::string::npos) {
        lines_.push_back(Classify("[" + ToNarrow(section) + "]"));
        lines_.push_back(Classify(ToNarrow(key) + text));
        return;
    }
    // A key that exists keeps its name as the file spells it.
    const size_t at = FindKey(header, key);
    if (at != std::string::npos) {
        lines_[at] = Classify(ToNarrow(lines_[at].key) + text);
        return;
    }
    Line line = Classify(ToNarrow(key) + text);
    // After the last non-blank line of the section, so that blank lines that
    // separate it from the next section stay where they are.
    size_t insert = SectionEnd(header);
    while (insert > header + 1 && Trim(lines_[insert - 1].text).empty()) --insert;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insert), std::move(line));
}

void IniDocument::RemoveKey(const std::u16string& section, const std::u16string& key) {
    const size_t header = FindSection(section);
    if (header == std::string::npos) return;
    const size_t at = FindKey(header, key);
    if (at != std::string::npos) lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(at));
}

void IniDocument::RemoveSection(const std::u16string& section) {
    const size_t header = FindSection(section);
    if (header == std::string::npos) return;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd(header)));
}

uint32_t CopyProfileValue(const std::u16string& value, char16_t* buffer, uint32_t size) {
    if (buffer == nullptr || size == 0) return 0;
    const auto n = static_cast<uint32_t>(std::min<size_t>(value.size(), size - 1));
    std::copy_n(value.data(), n, buffer);
    buffer[n] = 0;
    return n;
}

uint32_t CopyProfileKeyList(const std::vector<std::u16string>& keys, char16_t* buffer,
                            uint32_t size) {
    if (buffer == nullptr || size == 0) return 0;
    if (size == 1) {
        buffer[0] = 0;
        return 0;
    }
    std::u16string list;
    for (const auto& k : keys) {
        list += k;
        list.push_back(0);
    }
    if (list.size() + 1 <= size) {
        std::copy(list.begin(), list.end(), buffer);
        buffer[list.size()] = 0;
        if (list.empty()) {
            buffer[1] = 0;  // an empty list still reads as two NULs
            return 0;
        }
        return static_cast<uint32_t>(list.size());
    }
    std::copy_n(list.data(), size - 2, buffer);
    buffer[size - 2] = 0;
    buffer[size - 1] = 0;
    return size - 2;
}

}  // namespace tv
