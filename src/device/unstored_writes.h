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

// The same run stopped by a port that went away: nothing can restart the device,
// so the user is told what its working memory holds and how to get back to
// what it stores.
std::string writes_cut_off_by_port(int written, int chosen);

}  // namespace qv82
