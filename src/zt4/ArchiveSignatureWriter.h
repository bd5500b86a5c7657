// The signature of a finished ZT4 archive: the file, which ends in "</ZT4>", gets
// "<digisign>" + signature text + "</digisign>" in front of that end tag.
#pragma once

#include <string>
#include <string_view>

namespace tv {

// Replaces the final "</ZT4>" by "<digisign>" + text + "</digisign></ZT4>".
bool InsertSignature(const std::string& path, std::string_view signatureText);

// Signs the archive as it stands (everything up to and including "</ZT4>") with
// the built-in key and inserts the signature.
bool SignArchiveFile(const std::string& path);

}  // namespace tv
