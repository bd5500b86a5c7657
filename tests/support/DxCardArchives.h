// The archive lines of the dX card at a drive letter, as a complete archive
// holds them, and the same lines with one byte changed inside a transaction.
#pragma once

#include <string>
#include <vector>

#include "dx/CardCsv.h"

namespace tv::test {

struct DxArchives {
    std::string good;
    std::string tampered;
};

inline DxArchives ArchivesOf(char letter) {
    const std::vector<CardBlock> blocks = ReadCardBlocks(letter);
    DxArchives a;
    a.good = JoinLines(blocks);
    a.tampered = a.good;
    size_t at = 0;
    for (size_t i = 0; i < FindBlock(blocks, 'T'); ++i) at += blocks[i].line.size();
    a.tampered[at + 60] ^= 1;
    return a;
}

}  // namespace tv::test
