#include "firmware/srecord_writer.h"

#include <algorithm>
#include <stdexcept>

#include "files/srecord.h"
#include "firmware/firmware_image.h"

namespace qv82 {

std::string srecord_line(char type, std::uint32_t address, const Bytes& data) {
  const std::size_t address_size = srecord_address_bytes(type);
  if (address_size == 0) throw std::invalid_argument("S-record type without an address");
  if (data.size() + address_size + 1 > 255) {
    throw std::invalid_argument("S-record does not fit its count byte");
  }
  Bytes body;
  body.push_back(static_cast<std::uint8_t>(address_size + data.size() + 1));
  for (std::size_t i = address_size; i-- > 0;) {
    body.push_back(static_cast<std::uint8_t>(address >> (8 * i)));
  }
  body.insert(body.end(), data.begin(), data.end());
  unsigned sum = 0;
  for (std::uint8_t b : body) sum += b;
  body.push_back(static_cast<std::uint8_t>(~sum));
  return std::string("S") + type + bytes_to_hex(body);
}

std::string write_srecord_image(const FirmwareImageLayout& layout) {
  if (layout.record_size == 0) throw std::invalid_argument("record size 0");
  std::string id = layout.device_id;
  id.resize(kMonitorIdLength, ' ');
  Bytes header(id.begin(), id.end());
  header.insert(header.end(), layout.revision.begin(), layout.revision.end());

  const bool wide = layout.start_address + layout.data.size() > 0x10000;
  const char data_type = wide ? '2' : '1';
  const char end_type = wide ? '8' : '9';

  std::string text = srecord_line('0', 0, header) + "\r\n";
  for (std::size_t offset = 0; offset < layout.data.size(); offset += layout.record_size) {
    const std::size_t length = std::min(layout.record_size, layout.data.size() - offset);
    const Bytes chunk(layout.data.begin() + static_cast<std::ptrdiff_t>(offset),
                      layout.data.begin() + static_cast<std::ptrdiff_t>(offset + length));
    text +=
        srecord_line(data_type, layout.start_address + static_cast<std::uint32_t>(offset), chunk) +
        "\r\n";
  }
  text += srecord_line(end_type, layout.start_address, {}) + "\r\n";
  return text;
}

}  // namespace qv82
