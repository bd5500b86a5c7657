#include "ui/UiText.h"

#include "messages/Messages.h"

namespace tv {

QString ToQString(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string ToU16(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<size_t>(text.size()));
}

QString UiText(MessageId id) { return ToQString(GetMessageText(id)); }

}  // namespace tv
