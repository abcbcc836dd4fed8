#include "link/log_decoder.h"

#include <cstdio>

#include "files/srecord.h"
#include "lang/language.h"
#include "link/errors.h"
#include "link/frame_decoder.h"
#include "link/monitor_status.h"

namespace qv82 {

namespace {

std::string tr(int number) { return language_text(number); }
std::string tr(int number, std::initializer_list<std::string> values) {
  return language_text(number, values);
}

constexpr std::uint8_t kMonitorIdentify = 'V';
constexpr std::uint8_t kMonitorRecordMark = 0x55;
// Raw lines shorter than this are padded so that short frames line up.
constexpr std::size_t kExplanationColumn = 28;

bool is_digit(std::uint8_t byte) { return byte >= '0' && byte <= '9'; }

std::string monitor_record(const Bytes& bytes) {
  const std::uint8_t type = bytes[1];
  const Bytes record(bytes.begin() + 2, bytes.end());
  const std::string type_text(1, static_cast<char>(type));
  // A type no monitor knows is shown with the shortest address.
  const std::size_t known = srecord_address_bytes(static_cast<char>(type));
  const std::size_t width = known != 0 ? known : 2;
  if (record.size() < 1 + width + 1) {
    return tr(msg::kLogMonitorRecordIncomplete, {type_text, bytes_to_hex(record)});
  }
  unsigned long address = 0;
  for (std::size_t i = 1; i <= width; ++i) address = address << 8 | record[i];
  const std::size_t data_count = record.size() - 1 - width - 1;
  char at[16];
  std::snprintf(at, sizeof at, "0x%0*lX", static_cast<int>(width * 2), address);
  std::string text = tr(msg::kLogMonitorRecord, {type_text, at, std::to_string(data_count)});
  constexpr std::size_t kIdentificationLength = 9;
  if (type == '0' && data_count >= kIdentificationLength) {
    const auto id = record.begin() + 1 + static_cast<long>(width);
    text += tr(msg::kLogDevice, {quoted_text(Bytes(id, id + kIdentificationLength))});
  }
  return text;
}

std::string monitor_status(std::uint8_t status) {
  std::string digit =
      is_digit(status) ? std::string(1, static_cast<char>(status)) : quoted_text(Bytes{status});
  const std::string meaning = monitor_status_text(status);
  return tr(msg::kLogMonitorStatus,
            {digit, meaning.empty() ? tr(msg::kLogRecordAccepted) : meaning});
}

}  // namespace

std::string LogDecoder::explain(std::string_view line) {
  const bool sent = line.substr(0, 3) == "-> ";
  const bool received = line.substr(0, 3) == "<- ";
  if (!sent && !received) return tr(msg::kLogNotALogLine);
  const std::string_view digits = raw_log_line(line).substr(3);
  Bytes bytes;
  try {
    bytes = hex_to_bytes(digits);
  } catch (const ConversionError&) {
    last_sent_ = Sent::kNothing;
    return tr(msg::kLogNotHexText);
  }
  if (digits.size() % 2 != 0) {
    last_sent_ = Sent::kNothing;
    return tr(msg::kLogOddHexDigits);
  }
  if (bytes.empty()) {
    last_sent_ = Sent::kNothing;
    return tr(msg::kLogNothing, {tr(sent ? msg::kLogSent : msg::kLogReceived)});
  }
  return sent ? explain_sent(bytes) : explain_received(bytes);
}

std::string LogDecoder::explain_sent(const Bytes& bytes) {
  if (bytes.size() == 1 && bytes[0] == kMonitorIdentify) {
    last_sent_ = Sent::kMonitorIdentification;
    return tr(msg::kLogMonitorIdentificationRequest);
  }
  if (bytes.size() >= 2 && bytes[0] == kMonitorRecordMark && is_digit(bytes[1]) &&
      !is_sound_frame(bytes)) {
    last_sent_ = Sent::kMonitorRecord;
    return monitor_record(bytes);
  }
  last_sent_ = Sent::kFrame;
  last_frame_ = bytes;
  return explain_frame(true, bytes, {}, memory_);
}

std::string LogDecoder::explain_received(const Bytes& bytes) {
  const Sent answered = last_sent_;
  last_sent_ = Sent::kNothing;
  if (answered == Sent::kMonitorIdentification) {
    return tr(msg::kLogMonitorIdentification, {quoted_text(bytes)});
  }
  if (answered == Sent::kMonitorRecord && bytes.size() == 1) return monitor_status(bytes[0]);
  return explain_frame(false, bytes, answered == Sent::kFrame ? last_frame_ : Bytes{}, memory_);
}

std::string_view raw_log_line(std::string_view line) {
  if (line.substr(0, 3) != "-> " && line.substr(0, 3) != "<- ") return line;
  const std::size_t end = line.find_first_of(" \t\r", 3);
  return end == std::string_view::npos ? line : line.substr(0, end);
}

std::string explained_line(const std::string& line, const std::string& explanation) {
  std::string text = line;
  if (text.size() < kExplanationColumn) text.resize(kExplanationColumn, ' ');
  return text + "  " + explanation;
}

}  // namespace qv82
