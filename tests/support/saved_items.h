#pragma once

#include <fstream>
#include <iterator>
#include <string>

#include "channels/channel_record.h"
#include "link/bytes.h"

namespace qv82::test {

// Sets the hex of the saved file's item at the address; empty when the file
// has no such item (the caller's comparisons then fail, nothing crashes).
inline std::string set_saved_item(const std::string& path, const std::string& address,
                                  const std::string& hex) {
  std::ifstream in(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  const std::size_t tag = text.find("address=\"" + address + "\"");
  const std::size_t at = tag == std::string::npos ? tag : text.find('>', tag);
  const std::size_t end = at == std::string::npos ? at : text.find('<', at);
  if (end == std::string::npos) return {};
  text.replace(at + 1, end - at - 1, hex);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  return hex;
}

// The saved file with channel 3's value raised by 5; the new record's hex.
inline std::string raise_channel_3_value(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string tag = "address=\"0x05B0\" length=\"32\">";
  const std::size_t at = text.find(tag);
  if (at == std::string::npos) return {};
  DecodedChannel channel = StrToChannel(hex_to_bytes(text.substr(at + tag.size(), 64)));
  channel.view.value += 5;
  return set_saved_item(path, "0x05B0",
                        bytes_to_hex(ChannelToStr(channel.view, channel.status_high_bits)));
}

}  // namespace qv82::test
