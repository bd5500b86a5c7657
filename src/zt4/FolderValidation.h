// Validation of every ZT4 archive in a folder: each ".xml" file of the folder
// and of its subfolders (one level, as the archive folder holds one folder per
// run) is validated on its own, one result row each, in name order.
#pragma once

#include <string>

namespace tv {

class ProgressView;
class ResultList;

// True when at least one archive was found and every one is valid.
bool ValidateZt4Folder(const std::string& folder, ProgressView* progress, ResultList* results);

}  // namespace tv
