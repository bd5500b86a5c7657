// The signature trailer of Archive.log: "\r\nDigital Signature:\r\n" and the
// signature text, with no line break after it.
#pragma once

#include <string>
#include <string_view>

namespace tv {

// Appends the trailer with the signature text in one write.
bool AppendLogSignature(std::string_view signatureText, const std::string& logPath);

// Signs every byte of the log as it stands with the built-in key and appends the
// trailer.
bool SignLogFile(const std::string& logPath);

}  // namespace tv
