#pragma once

#include <string>

namespace qv82 {

class CoinSelector;

// A run of writes (a download, an erase) stopped part-way: the device's
// working memory holds what was written, but nothing was stored. Restarts
// the device without storing (header 01), so that it runs its stored
// configuration again, and returns the lines that tell the user how many of
// the chosen items were written and what became of them.
std::string abandon_unstored_writes(CoinSelector& selector, int written, int chosen);

}  // namespace qv82
