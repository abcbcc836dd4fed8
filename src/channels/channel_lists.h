#pragma once

#include <span>
#include <string_view>

namespace qv82 {

// Item texts of the channel view's drop-downs; the item index is what the record stores.

// Which screen shows the "CVF" list: the coin programming screen lists only the first
// twelve coin value codes and shows "..." for the others.
enum class CvfListKind { kChannelsPage, kCoinProgramming };

std::span<const std::string_view> cvf_list(CvfListKind kind);
std::span<const std::string_view> mint_list();       // "A", "B", "C", "."
std::span<const std::string_view> direction_list();  // "0" ... "8"

// Text of item index in list, or "" for no selection / an index outside the list.
std::string_view list_item(std::span<const std::string_view> list, int index);

}  // namespace qv82
