// Texts at the border between the engine (UTF-16 strings, message IDs) and Qt.
#pragma once

#include <QString>
#include <string>

#include "messages/MessageTable.h"

namespace tv {

QString ToQString(const std::u16string& text);
std::u16string ToU16(const QString& text);
// The message table text in the current language.
QString UiText(MessageId id);

}  // namespace tv
