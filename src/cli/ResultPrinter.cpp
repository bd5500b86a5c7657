#include "cli/ResultPrinter.h"

#include <cstdio>
#include <string>

#include "cli/TerminalUi.h"
#include "messages/MemoryResultList.h"

namespace tv {

void PrintResultRows(const MemoryResultList& results, int columns) {
    for (int row = 0; row < results.ItemCount(); ++row) {
        std::string line;
        for (int column = 0; column < columns; ++column) {
            if (column > 0) line.push_back('\t');
            line += TerminalText(results.Cell(row, column), true);
        }
        std::printf("%s\n", line.c_str());
    }
}

}  // namespace tv
