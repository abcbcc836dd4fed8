#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "link/bytes.h"

namespace qv82 {

// What a firmware image is made of: the 9 identification bytes of the device
// type it is for, the revision text the new firmware reports, and the code.
struct FirmwareImageLayout {
  std::string device_id;  // padded with blanks or cut to 9 characters
  std::string revision;
  std::uint32_t start_address = 0;
  Bytes data;
  std::size_t record_size = 32;  // data bytes per record
};

// The image as "*.u19" text: an S0 header holding the identification and
// the revision, S1 records (S2 when the code reaches beyond 64 KiB), and the
// matching termination record; lines end with CR LF.
std::string write_srecord_image(const FirmwareImageLayout& layout);

// One S-record line without its line end: type digit, count, address of
// as many bytes as the type has, data, checksum. Throws std::invalid_argument
// for a type without an address or data too long for the count byte.
std::string srecord_line(char type, std::uint32_t address, const Bytes& data);

}  // namespace qv82
