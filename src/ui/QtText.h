// Texts at the boundary between the engine and Qt: message table texts by ID,
// and conversions of the engine's UTF-16 and narrow texts.
#pragma once

#include <QString>
#include <string>

#include "messages/MessageTable.h"

namespace tv {

QString ToQString(const std::u16string& text);
QString ToQString(const std::string& narrow);
std::string ToNarrowPath(const QString& text);
std::u16string ToU16(const QString& text);
// The message text in the selected language.
QString Text(MessageId id);

}  // namespace tv
