// A scale's public key given by the user to pin a standalone verification: the
// 04-prefixed uncompressed point as 266 hex digits, typed or in a file.
#pragma once

#include <string>

namespace tv {

// arg is the hex text itself or the path of a file holding it (blanks and line
// ends around it are ignored). On success keyHex is "04" + 264 upper-case hex
// digits; otherwise error says why (English, for the command line).
bool LoadPinnedScaleKey(const std::string& arg, std::string& keyHex, std::string& error);

}  // namespace tv
