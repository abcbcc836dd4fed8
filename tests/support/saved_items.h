#pragma once

#include <fstream>
#include <string>

#include "channels/channel_record.h"
#include "link/bytes.h"
#include "support/test_files.h"

namespace qv82::test {

namespace saved_items_detail {
// Where the hex of the item at the address starts and ends in the file's text; npos for both
// when there is no such item.
inline std::pair<std::size_t, std::size_t> item_span(const std::string& text,
                                                     const std::string& address) {
  const std::size_t tag = text.find("address=\"" + address + "\"");
  const std::size_t at = tag == std::string::npos ? tag : text.find('>', tag);
  const std::size_t end = at == std::string::npos ? at : text.find('<', at);
  if (end == std::string::npos) return {std::string::npos, std::string::npos};
  return {at + 1, end};
}
}  // namespace saved_items_detail

// The hex of the saved file's item at the address; empty when the file has no such item.
inline std::string saved_item(const std::string& path, const std::string& address) {
  const std::string text = file_text(path);
  const auto [begin, end] = saved_items_detail::item_span(text, address);
  return begin == std::string::npos ? std::string() : text.substr(begin, end - begin);
}

// Sets the hex of the saved file's item at the address; empty when the file
// has no such item (the caller's comparisons then fail, nothing crashes).
inline std::string set_saved_item(const std::string& path, const std::string& address,
                                  const std::string& hex) {
  std::string text = file_text(path);
  const auto [begin, end] = saved_items_detail::item_span(text, address);
  if (begin == std::string::npos) return {};
  text.replace(begin, end - begin, hex);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  return hex;
}

// The saved file with channel 3's value raised by 5; the new record's hex.
inline std::string raise_channel_3_value(const std::string& path) {
  const std::string record = saved_item(path, "0x05B0");
  if (record.size() != 64) return {};
  DecodedChannel channel = StrToChannel(hex_to_bytes(record));
  channel.view.value += 5;
  return set_saved_item(path, "0x05B0",
                        bytes_to_hex(ChannelToStr(channel.view, channel.status_high_bits)));
}

}  // namespace qv82::test
