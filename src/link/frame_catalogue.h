#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "link/bytes.h"

namespace qv82 {

// What earlier lines of a log told that later ones need: the base year
// turns date codes into dates.
struct DecoderMemory {
  std::optional<int> base_year;
};

// The data of a reply, with the data of the request it answers.
struct ReplyData {
  const Bytes& request;
  const Bytes& reply;
  DecoderMemory& memory;
};

// One request the program knows: its name and how to word its data and the
// data of an acknowledge to it. Empty words: nothing to add.
struct FrameKind {
  std::uint8_t code;
  int name;  // message number
  std::string (*request_data)(const Bytes& data);
  std::string (*reply_data)(const ReplyData& data);
};

// The standard ccTalk headers the program sends, and the vendor commands
// under header 255 by their first data byte. nullptr: not one of them.
const FrameKind* find_header(std::uint8_t header);
// A vendor command with its data after the command byte: 03 alone stores
// what was written instead of writing.
const FrameKind* find_vendor_command(std::uint8_t command, const Bytes& data);

inline constexpr std::uint8_t kVendorHeader = 0xFF;

// Device text as it reads, with anything unprintable as \xNN.
std::string quoted_text(const Bytes& bytes);

// "2007/3/9", or the parts known without a base year.
std::string date_text(std::uint16_t code, const std::optional<int>& base_year);

}  // namespace qv82
