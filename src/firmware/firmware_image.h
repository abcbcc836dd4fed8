#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/bytes.h"

namespace qv82 {

// One line of a "*.u19" image: the record type digit and the bytes of the
// characters after it (count, address, data and checksum), passed to the
// monitor unchanged.
struct FirmwareRecord {
  char type = '0';
  Bytes bytes;
  int line = 0;  // 1-based line number in the file
};

// A firmware image in Motorola S-record layout, one record per line. The
// first record is the header; its data begin with the 9 identification bytes
// of the device type the image is made for.
struct FirmwareImage {
  std::vector<FirmwareRecord> records;
  // Characters 9 to 26 of the header line read as 9 bytes; empty when the
  // header is too short to hold them.
  Bytes header_id;

  const FirmwareRecord& header() const { return records.front(); }
  // The records sent after the header.
  std::size_t body_count() const { return records.empty() ? 0 : records.size() - 1; }
};

inline constexpr std::size_t kMonitorIdLength = 9;

// Outcome of reading an image: the image, or the reason in the program's
// words (the file cannot be read, or a line is not an S-record).
struct FirmwareImageResult {
  std::optional<FirmwareImage> image;
  std::string error;
};

// Reads the image from text. Blank lines (such as a last empty line) are
// skipped. Every other line must start with 'S', a type digit and an even
// number of hex digits; the image needs a header, at least one record after
// it and an end record (S7, S8 or S9) last, so that a monitor never erases
// its flash for nothing nor waits for the rest of a file cut short.
FirmwareImageResult parse_firmware_image(std::string_view text);

// Reads and parses the file; an unreadable file is reported with its name.
FirmwareImageResult read_firmware_image(const std::string& path);

}  // namespace qv82
