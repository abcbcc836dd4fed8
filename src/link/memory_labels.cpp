#include "link/memory_labels.h"

#include <cctype>
#include <cstdio>
#include <vector>

#include "lang/language.h"
#include "link/memory_map.h"

namespace qv82 {

namespace {

std::string tr(int number) { return language_text(number); }
std::string tr(int number, std::initializer_list<std::string> values) {
  return language_text(number, values);
}

constexpr std::uint16_t kIoBase = 0x0770;
constexpr std::size_t kIoRecordSize = 8;
constexpr const char* kIoRecordNames[] = {"Output1", "Output2", "Output3", "Output4",
                                          "Output5", "Output6", "In2Out7", "Input1"};

// A caption of the pages as a label inside a sentence: " Common parameters "
// becomes "common parameters".
std::string lower_first(int number) {
  std::string text = language_text(number);
  text.erase(0, text.find_first_not_of(' '));
  text.erase(text.find_last_not_of(' ') + 1);
  if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  return text;
}

std::string address_text(std::uint32_t address) {
  char text[12];
  std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(address));
  return text;
}

// The label of one byte of memory; neighbours with the same label belong
// to one piece.
std::string label_of(std::uint32_t address) {
  if (address > 0xFFFF) return tr(msg::kLogBeyondMemory);
  switch (area_of_address(static_cast<std::uint16_t>(address))) {
    case kAreaChannels:
      return tr(msg::kLogChannel,
                {std::to_string((address - kChannelBaseAddress) / kChannelRecordSize + 1)});
    case kAreaIoConfiguration: {
      const std::size_t index = (address - kIoBase) / kIoRecordSize;
      return tr(msg::kLogIoRecord, {std::to_string(index + 1), kIoRecordNames[index]});
    }
    case kAreaModes:
      return address >= kAccessMaskAddress && address < kAccessMaskAddress + 4u
                 ? tr(msg::kLogModesAccessMasks)
                 : tr(msg::kLogModes);
    case kAreaCommonParameters:
      return lower_first(msg::kCommonParameters);
    case kAreaStatisticOptions:
      return lower_first(msg::kStatisticOptions);
    case kAreaStatisticCounters:
      return tr(msg::kLogStatisticCounters);
    default:
      return tr(msg::kLogOutsideConfiguration);
  }
}

struct Piece {
  std::uint32_t first;
  std::size_t length;
  std::string label;
};

std::vector<Piece> pieces_of(std::uint16_t address, std::size_t length) {
  std::vector<Piece> pieces;
  for (std::size_t i = 0; i < length; ++i) {
    const std::uint32_t at = address + static_cast<std::uint32_t>(i);
    std::string label = label_of(at);
    if (pieces.empty() || pieces.back().label != label) {
      pieces.push_back({at, 0, std::move(label)});
    }
    ++pieces.back().length;
  }
  return pieces;
}

}  // namespace

std::string memory_label(std::uint32_t address) { return label_of(address); }

std::string byte_count(std::size_t count) {
  return tr(plural_message(count, msg::kLogOneByte, msg::kLogFewBytes, msg::kLogBytes), {std::to_string(count)});
}

std::string describe_memory_range(std::uint16_t address, std::size_t length) {
  std::string text = address_text(address) + ", " + byte_count(length);
  const std::vector<Piece> pieces = pieces_of(address, length);
  for (std::size_t i = 0; i < pieces.size(); ++i) text += (i == 0 ? ": " : ", ") + pieces[i].label;
  return text;
}

std::string describe_memory_bytes(std::uint16_t address, const Bytes& bytes) {
  std::string text;
  std::size_t at = 0;
  for (const Piece& piece : pieces_of(address, bytes.size())) {
    if (!text.empty()) text += "; ";
    const auto from = bytes.begin() + static_cast<std::ptrdiff_t>(at);
    text += address_text(piece.first) + " " + piece.label + ": " +
            bytes_to_hex(Bytes(from, from + static_cast<std::ptrdiff_t>(piece.length)));
    at += piece.length;
  }
  return text;
}

}  // namespace qv82
