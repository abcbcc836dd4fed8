// The table behind the log's explanations: every request the program sends,
// by header, and what the data of each request and of its reply mean.
#include "link/frame_catalogue.h"

#include <algorithm>
#include <cstdio>

#include "files/text.h"
#include "lang/language.h"
#include "link/memory_labels.h"

namespace qv82 {

namespace {

std::string tr(int number) { return language_text(number); }
std::string tr(int number, std::initializer_list<std::string> values) {
  return language_text(number, values);
}

std::string none(const Bytes&) { return {}; }
std::string no_reply(const ReplyData&) { return {}; }

std::string as_hex(const Bytes& data) { return data.empty() ? "" : bytes_to_hex(data); }
std::string reply_as_hex(const ReplyData& d) { return as_hex(d.reply); }
std::string reply_as_text(const ReplyData& d) { return quoted_text(d.reply); }

// Little-endian counters of the standard headers (serial number, insertions).
std::uint32_t low_first(const Bytes& data, std::size_t count) {
  std::uint32_t value = 0;
  for (std::size_t i = std::min(count, data.size()); i-- > 0;) value = (value << 8) | data[i];
  return value;
}

std::string serial_number(const ReplyData& d) {
  if (d.reply.size() < 3) return tr(msg::kLogSerialShort, {as_hex(d.reply)});
  const std::uint32_t number = low_first(d.reply, 3);
  return tr(msg::kLogSerialNumber,
            {number == 0xFFFFFF ? tr(msg::kNotProgrammedLower) : std::to_string(number)});
}

std::string date(const ReplyData& d) {
  if (d.reply.size() < 2) return tr(msg::kLogDateShort, {as_hex(d.reply)});
  return tr(msg::kLogDate, {date_text(static_cast<std::uint16_t>(d.reply[0] << 8 | d.reply[1]),
                                      d.memory.base_year)});
}

std::string base_year(const ReplyData& d) {
  const std::string text = std::string(d.reply.begin(), d.reply.end());
  const bool digits =
      !text.empty() && text.size() <= 4 &&
      std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (!digits) return tr(msg::kLogBaseYearNotANumber, {quoted_text(d.reply)});
  d.memory.base_year = std::stoi(text);
  return tr(msg::kLogBaseYear, {text});
}

std::string new_address(const Bytes& data) {
  return data.empty() ? "" : tr(msg::kLogNewAddress, {std::to_string(data[0])});
}

std::string pin(const Bytes& data) { return tr(msg::kPin) + " " + as_hex(data); }

std::string inhibit_masks(const Bytes& data) {
  if (data.size() < 2) return as_hex(data);
  return tr(msg::kLogInhibitMasks, {hex_byte(data[0]), hex_byte(data[1])});
}
std::string inhibit_masks_reply(const ReplyData& d) { return inhibit_masks(d.reply); }

std::string master_inhibit(const Bytes& data) {
  if (data.empty()) return {};
  return tr((data[0] & 0x01) ? msg::kLogAcceptCoins : msg::kLogRefuseCoins);
}

std::string buffered_events(const ReplyData& d) {
  if (d.reply.empty()) return {};
  std::string text = tr(msg::kLogEventCounter, {std::to_string(d.reply[0])});
  for (std::size_t i = 1; i + 1 < d.reply.size(); i += 2) {
    text += i == 1 ? tr(msg::kLogEvents) : ", ";
    text += d.reply[i] != 0 ? tr(msg::kLogCoin, {std::to_string(d.reply[i])})
                            : tr(msg::kLogRejectedCode, {std::to_string(d.reply[i + 1])});
  }
  return text;
}

std::string insertion_counter(const ReplyData& d) {
  return tr(msg::kLogInsertionCounter, {std::to_string(low_first(d.reply, 3))});
}

std::string output_mask(const Bytes& data) {
  return data.empty() ? "" : tr(msg::kLogMask, {as_hex(data)});
}
std::string input_lines(const ReplyData& d) {
  return d.reply.empty() ? "" : tr(msg::kLogInputs, {as_hex(d.reply)});
}
std::string opto_states(const ReplyData& d) {
  return d.reply.empty() ? "" : tr(msg::kLogOptos, {as_hex(d.reply)});
}

std::string solenoids(const Bytes& data) {
  if (data.empty()) return {};
  static constexpr const char* kNames[] = {"M", "S1", "S2", "S3"};
  std::string text;
  for (int bit = 0; bit < 4; ++bit) {
    if (data[0] & (1 << bit)) text += (text.empty() ? "" : ", ") + std::string(kNames[bit]);
  }
  return text.empty() ? tr(msg::kLogMask, {as_hex(data)}) : tr(msg::kLogPulse, {text});
}

// Vendor commands: the data after the command byte.
std::uint16_t address_of(const Bytes& data) {
  return static_cast<std::uint16_t>(data[0] << 8 | data[1]);
}

std::string read_request(const Bytes& data) {
  if (data.size() < 3) return tr(msg::kLogIncompleteRequest, {as_hex(data)});
  return describe_memory_range(address_of(data), data[2]);
}

std::string read_reply(const ReplyData& d) {
  if (d.request.size() < 3) return as_hex(d.reply);
  std::string text = byte_count(d.reply.size());
  if (d.reply.size() != d.request[2]) text += tr(msg::kLogAskedFor, {std::to_string(d.request[2])});
  if (!d.reply.empty()) text += ": " + describe_memory_bytes(address_of(d.request), d.reply);
  return text;
}

std::string write_request(const Bytes& data) {
  if (data.size() < 3) return tr(msg::kLogIncompleteRequest, {as_hex(data)});
  const Bytes bytes(data.begin() + 2, data.end());
  return describe_memory_range(address_of(data), bytes.size()) + " = " +
         describe_memory_bytes(address_of(data), bytes);
}

std::string challenge_reply(const ReplyData& d) {
  return tr(msg::kLogChallenge, {as_hex(d.reply)});
}
std::string response_request(const Bytes& data) { return tr(msg::kLogResponse, {as_hex(data)}); }

std::string analogue_values(const ReplyData& d) {
  const Bytes& v = d.reply;
  if (v.size() < 11) return tr(msg::kLogValues, {as_hex(v)});
  std::string text = tr(msg::kLogRegulatorDuties,
                        {std::to_string(v[0] << 8 | v[1]), std::to_string(v[2] << 8 | v[3])});
  static constexpr const char* kNames[] = {"AM1", "PH1", "AM2", "PH2", "PI3", "Vcc", "T"};
  for (std::size_t i = 0; i < 7; ++i)
    text += ", " + std::string(kNames[i]) + " " + std::to_string(v[4 + i]);
  if (v.size() > 11) text += tr(msg::kLogThen, {as_hex(Bytes(v.begin() + 11, v.end()))});
  return text;
}

std::string last_coin(const ReplyData& d) {
  std::string text = tr(msg::kLogMeasurements);
  for (const std::uint8_t value : d.reply) text += " " + std::to_string(value);
  return text;
}

// Sorted by code for the lookup.
constexpr FrameKind kHeaders[] = {
    {0x01, msg::kLogResetDevice, none, no_reply},
    {0xAA, msg::kLogRequestBaseYear, none, base_year},
    {0xC0, msg::kLogRequestBuildCode, none, reply_as_text},
    {0xC3, msg::kLogRequestModificationDate, none, date},
    {0xC4, msg::kLogRequestCreationDate, none, date},
    {0xDA, msg::kLogEnterPin, pin, no_reply},
    {0xDB, msg::kLogEnterNewPin, pin, no_reply},
    {0xE2, msg::kLogRequestInsertionCounter, none, insertion_counter},
    {0xE4, msg::kLogModifyMasterInhibit, master_inhibit, no_reply},
    {0xE5, msg::kLogReadBufferedEvents, none, buffered_events},
    {0xE6, msg::kLogRequestInhibitStatus, none, inhibit_masks_reply},
    {0xE7, msg::kLogModifyInhibitStatus, inhibit_masks, no_reply},
    {0xE9, msg::kLogLatchOutputLines, output_mask, no_reply},
    {0xEC, msg::kLogReadOptoStates, none, opto_states},
    {0xED, msg::kLogReadInputLines, none, input_lines},
    {0xEE, msg::kLogTestOutputLines, output_mask, no_reply},
    {0xF0, msg::kLogTestSolenoids, solenoids, no_reply},
    {0xF1, msg::kLogRequestSoftwareRevision, none, reply_as_text},
    {0xF2, msg::kLogRequestSerialNumber, none, serial_number},
    {0xF4, msg::kLogRequestProductCode, none, reply_as_text},
    {0xF6, msg::kLogRequestManufacturerId, none, reply_as_text},
    {0xFB, msg::kLogChangeAddress, new_address, no_reply},
    {0xFD, msg::kLogAddressPoll, none, reply_as_hex},
    {0xFE, msg::kLogSimplePoll, none, no_reply},
    {0xFF, msg::kLogVendorCommand, as_hex, reply_as_hex},
};

constexpr FrameKind kVendorCommands[] = {
    {0x00, msg::kLogVendorChallenge, none, challenge_reply},
    {0x01, msg::kLogVendorUnlockResponse, response_request, no_reply},
    {0x02, msg::kLogVendorReadMemory, read_request, read_reply},
    {0x03, msg::kLogVendorWriteMemory, write_request, no_reply},
    {0x04, msg::kLogVendorAnalogueValues, none, analogue_values},
    {0x05, msg::kLogVendorLastCoin, none, last_coin},
    {0x06, msg::kLogVendorEnterMonitor, none, no_reply},
    {0x07, msg::kLogVendorFactoryUnlockCheck, none, no_reply},
    {0x08, msg::kLogVendorDeviceType, none, reply_as_text},
    {0x09, msg::kLogVendorBeforeUpload, none, no_reply},
};

template <std::size_t N>
const FrameKind* find_in(const FrameKind (&table)[N], std::uint8_t code) {
  const auto found =
      std::lower_bound(std::begin(table), std::end(table), code,
                       [](const FrameKind& kind, std::uint8_t c) { return kind.code < c; });
  return found != std::end(table) && found->code == code ? found : nullptr;
}

}  // namespace

const FrameKind* find_header(std::uint8_t header) { return find_in(kHeaders, header); }

const FrameKind* find_vendor_command(std::uint8_t command, const Bytes& data) {
  static constexpr FrameKind kStore{0x03, msg::kLogVendorStore, none, no_reply};
  if (command == 0x03 && data.empty()) return &kStore;
  return find_in(kVendorCommands, command);
}

std::string quoted_text(const Bytes& bytes) {
  std::string text = "\"";
  for (const std::uint8_t byte : bytes) {
    if (byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\') {
      text += static_cast<char>(byte);
    } else {
      text += "\\x" + hex_byte(byte);
    }
  }
  return text + "\"";
}

std::string date_text(std::uint16_t code, const std::optional<int>& base_year) {
  const int day = code & 0x1F;
  const int month = (code >> 5) & 0x0F;
  const int offset = (code >> 9) & 0x1F;
  const std::string month_day = std::to_string(month) + "/" + std::to_string(day);
  if (base_year) return std::to_string(*base_year + offset) + "/" + month_day;
  return "(" + tr(msg::kLogBaseYear, {"+ " + std::to_string(offset)}) + ")/" + month_day;
}

}  // namespace qv82
