// The card options of the commands: "--card L" and the card list entry of a
// drive letter.
#pragma once

#include <string>
#include <vector>

namespace tv {

class AppContext;

// When args[i] is "--card" followed by one letter: takes both, advancing i, and
// gives the upper-case letter.
bool TakeCardOption(const std::vector<std::string>& args, size_t& i, char& letter);

// The card list entry of the card in a drive, as the card page lists it; empty
// when there is no card there, or a damaged one (then `damaged` is set).
std::string CardEntryOf(AppContext& ctx, char letter, bool& damaged);

}  // namespace tv
