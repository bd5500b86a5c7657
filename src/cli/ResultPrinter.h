// Result rows on standard output: one line a row, cells separated by a tab.
#pragma once

namespace tv {

class MemoryResultList;

void PrintResultRows(const MemoryResultList& results, int columns);

}  // namespace tv
