#include "ui/QtText.h"

#include "messages/Messages.h"
#include "platform/Text.h"

namespace tv {

QString ToQString(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QString ToQString(const std::string& narrow) {
    return ToQString(ToUtf16(narrow));
}

std::string ToNarrowPath(const QString& text) { return ToNarrow(ToU16(text)); }

std::u16string ToU16(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
}

QString Text(MessageId id) { return ToQString(GetMessageText(id)); }

}  // namespace tv
