#include "firmware/firmware_image.h"

#include <cctype>
#include <sstream>

#include "files/read_file.h"
#include "files/srecord.h"
#include "files/text.h"
#include "lang/language.h"

namespace qv82 {

namespace {

// The identification follows the count byte and the header's address.
constexpr std::size_t kHeaderIdOffset = 1 + srecord_address_bytes('0');

bool is_blank(std::string_view line) {
  for (char c : line) {
    if (!std::isspace(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// The bytes of a record line, or the reason it is not one.
std::optional<std::string> decode_line(std::string_view line, FirmwareRecord& record) {
  if (line.size() < 2 || !std::isdigit(static_cast<unsigned char>(line[1]))) {
    return "no record type";
  }
  record.type = line[1];
  // A type the monitor does not know, or a record too short for its own
  // address, is refused here, before the device leaves its program.
  const std::size_t address_bytes = srecord_address_bytes(record.type);
  if (address_bytes == 0) return "unknown record type";
  const std::string_view digits = line.substr(2);
  if (digits.size() % 2 != 0) return "odd number of hex digits";
  record.bytes.clear();
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    const int high = hex_digit(digits[i]);
    const int low = hex_digit(digits[i + 1]);
    if (high < 0 || low < 0) return "not a hex number";
    record.bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  if (record.bytes.size() < 2 + address_bytes) return "record too short";
  if (record.bytes[0] != record.bytes.size() - 1) return "wrong byte count";
  unsigned sum = 0;
  for (std::size_t i = 0; i + 1 < record.bytes.size(); ++i) sum += record.bytes[i];
  if (static_cast<std::uint8_t>(~sum) != record.bytes.back()) return "wrong checksum";
  return std::nullopt;
}

FirmwareImageResult failure(const std::string& reason) {
  return FirmwareImageResult{std::nullopt, reason};
}

bool is_end_record(const FirmwareRecord& record) {
  return record.type == '7' || record.type == '8' || record.type == '9';
}

}  // namespace

FirmwareImageResult parse_firmware_image(std::string_view text) {
  FirmwareImage image;
  std::istringstream input{std::string(text)};
  std::string raw;
  int line_number = 0;
  while (std::getline(input, raw)) {
    ++line_number;
    if (is_blank(raw)) continue;
    FirmwareRecord record;
    record.line = line_number;
    if (auto reason = decode_line(trim_end(raw), record)) {
      return failure(language_text(msg::kFileFormatError) + ", line " +
                     std::to_string(line_number) + ": " + *reason);
    }
    // The monitor leaves for the new firmware at the end record: a line
    // after it would go to a device that no longer listens.
    if (!image.records.empty() && is_end_record(image.records.back())) {
      return failure(language_text(msg::kFileFormatError) + ", line " +
                     std::to_string(line_number) + ": record after the end record");
    }
    image.records.push_back(std::move(record));
  }
  if (image.records.empty()) return failure(language_text(msg::kFileFormatError) + ": empty file");
  if (image.records.size() < 2) {
    return failure(language_text(msg::kFileFormatError) + ": no record after the header");
  }
  // Without it the monitor never leaves for the new firmware: a file cut
  // short must not be sent.
  if (!is_end_record(image.records.back())) {
    return failure(language_text(msg::kFileFormatError) + ": no end record (S7, S8 or S9)");
  }
  const Bytes& header = image.records.front().bytes;
  if (header.size() >= kHeaderIdOffset + kMonitorIdLength + 1) {
    image.header_id.assign(header.begin() + kHeaderIdOffset,
                           header.begin() + kHeaderIdOffset + kMonitorIdLength);
  }
  return FirmwareImageResult{std::move(image), {}};
}

FirmwareImageResult read_firmware_image(const std::string& path) {
  const FileContent file = read_whole_file(path, kFirmwareImageLimit);
  if (file.failure == ReadFailure::kCannotRead) {
    return failure(language_text(msg::kCannotReadFile) + " " + path + ": " + file.reason);
  }
  if (!file.ok()) {
    return failure(language_text(msg::kCannotOpenFile) + " " + path + ": " + file.reason);
  }
  return parse_firmware_image(file.content);
}

}  // namespace qv82
