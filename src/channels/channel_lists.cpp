#include "channels/channel_lists.h"

#include <array>

namespace qv82 {

namespace {

constexpr std::array<std::string_view, 16> kCvfChannels = {"001", "002", "2.5", "005", "010", "020",
                                                           "025", "050", "100", "200", "250", "500",
                                                           "1K0", "2K0", "5K0", "..."};

constexpr std::array<std::string_view, 16> kCvfCoinProgramming = {
    "001", "002", "2.5", "005", "010", "020", "025", "050",
    "100", "200", "250", "500", "...", "...", "...", "..."};

constexpr std::array<std::string_view, 4> kMints = {"A", "B", "C", "."};

constexpr std::array<std::string_view, 9> kDirections = {"0", "1", "2", "3", "4",
                                                         "5", "6", "7", "8"};

}  // namespace

std::span<const std::string_view> cvf_list(CvfListKind kind) {
  return kind == CvfListKind::kChannelsPage ? kCvfChannels : kCvfCoinProgramming;
}

std::span<const std::string_view> mint_list() { return kMints; }

std::span<const std::string_view> direction_list() { return kDirections; }

std::string_view list_item(std::span<const std::string_view> list, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return {};
  return list[index];
}

}  // namespace qv82
