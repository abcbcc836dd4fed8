#include "diagnostics/production_record.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "diagnostics/csv.h"
#include "diagnostics/production_limits.h"
#include "files/sync_to_disk.h"
#include "files/text.h"
#include "lang/language.h"
#include "platform/system.h"

namespace qv82 {

namespace {

std::string hex_or_empty(std::optional<std::uint8_t> value) {
  return value ? hex_byte(*value) : "";
}

// The reason a file operation failed, in the system's words.
std::string system_reason(int error_number) {
  return std::generic_category().message(error_number != 0 ? error_number : EIO);
}

// True when the file is missing or empty; false when it ends with a
// complete line. A tail without a line end is a line cut short by a crash:
// the next line must not be glued to it.
// What must be written before the next line: nothing, the header of a new
// file, or the end of a line that a crash cut short. A cut inside a quoted
// field also needs its quote closed, or a reader would take the lines after
// it as part of that field.
std::string before_next_line(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : 0;
  if (size <= 0) return csv_record(production_record_columns());
  // Record lines are short; a longer tail than this is not one of them.
  constexpr std::streamoff kLongestLine = 4096;
  const std::streamoff start = size > kLongestLine ? size - kLongestLine : 0;
  in.seekg(start);
  std::string tail(static_cast<std::size_t>(size - start), '\0');
  in.read(tail.data(), static_cast<std::streamsize>(tail.size()));
  if (tail.back() == '\n') return {};
  const std::size_t line_start = tail.rfind('\n');
  const std::string torn = tail.substr(line_start == std::string::npos ? 0 : line_start + 1);
  const bool open_quote = std::count(torn.begin(), torn.end(), '"') % 2 == 1;
  return open_quote ? "\"\r\n" : "\r\n";
}

// Line breaks never enter a field: every record is one line.
std::string one_line(std::string text) {
  std::replace_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return text;
}

// Device texts are single bytes; the record is UTF-8 so that any reader
// takes it.
std::string as_utf8_field(const std::string& text) {
  std::string out;
  for (unsigned char c : one_line(text)) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace

const std::vector<std::string>& production_record_columns() {
  static const std::vector<std::string> columns = {"tested_at",
                                                   "product_code",
                                                   "serial_number",
                                                   "software_revision",
                                                   "result",
                                                   "failed_step",
                                                   "message",
                                                   "dip_switch_1",
                                                   "dip_switch_2",
                                                   "opto",
                                                   "regulator1_duty",
                                                   "regulator2_duty",
                                                   "am1",
                                                   "ph1",
                                                   "am2",
                                                   "ph2",
                                                   "pi3",
                                                   "vcc",
                                                   "temperature",
                                                   "calibration_ph1",
                                                   "calibration_ph2",
                                                   "calibration_pi3"};
  return columns;
}

std::vector<std::string> production_record_fields(const UnitResult& unit,
                                                  const std::string& tested_at) {
  std::vector<std::string> fields = {tested_at,
                                     as_utf8_field(unit.product_code),
                                     as_utf8_field(unit.serial_number),
                                     as_utf8_field(unit.software_revision),
                                     unit.passed ? "PASS" : "FAIL",
                                     unit.passed ? "" : unit.failed_step,
                                     unit.passed ? "" : one_line(unit.message),  // the program's own UTF-8
                                     hex_or_empty(unit.dip_switch_1),
                                     hex_or_empty(unit.dip_switch_2),
                                     hex_or_empty(unit.opto)};
  if (unit.readings.size() >= Measurements::kSize) {
    const Measurements values{unit.readings};
    for (unsigned value :
         {values.regulator1_duty(), values.regulator2_duty(), unsigned{values.am1()},
          unsigned{values.ph1()}, unsigned{values.am2()}, unsigned{values.ph2()},
          unsigned{values.pi3()}, unsigned{values.vcc()}, unsigned{values.temperature()}}) {
      fields.push_back(std::to_string(value));
    }
  } else {
    fields.resize(fields.size() + 9);
  }
  for (std::size_t i = 0; i < 3; ++i) {
    fields.push_back(i < unit.calibration.size() ? std::to_string(unit.calibration[i]) : "");
  }
  return fields;
}

namespace {

// Seconds of a broken-down time counted as if it were UTC: the difference of
// the local and the UTC reading of one moment is the zone's offset, on every
// system ("%z" gives the zone's name on some).
long long civil_seconds(const std::tm& t) {
  using namespace std::chrono;
  const sys_days day = year{t.tm_year + 1900} / month{static_cast<unsigned>(t.tm_mon + 1)} /
                       static_cast<unsigned>(t.tm_mday);
  return day.time_since_epoch().count() * 86400LL + t.tm_hour * 3600LL + t.tm_min * 60LL +
         t.tm_sec;
}

}  // namespace

std::string local_iso8601_now() {
  const std::time_t now = std::time(nullptr);
  const std::tm local = platform::local_time(now);
  std::tm utc{};
  if (const std::tm* u = std::gmtime(&now)) utc = *u;
  char text[32] = {};
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  const long long offset_min = (civil_seconds(local) - civil_seconds(utc)) / 60;
  // Zones lie within a day of UTC.
  const int magnitude = static_cast<int>(std::min<long long>(
      offset_min < 0 ? -offset_min : offset_min, 24 * 60 - 1));
  char zone[16] = {};  // room for any int, so the compiler sees no cut
  std::snprintf(zone, sizeof zone, "%c%02d:%02d", offset_min < 0 ? '-' : '+', magnitude / 60,
                magnitude % 60);
  return std::string(text) + zone;
}

ProductionRecord::ProductionRecord(std::string path, Clock clock)
    : path_(std::move(path)), clock_(std::move(clock)) {}

std::optional<std::string> ProductionRecord::failure(const std::string& reason) const {
  return language_text(msg::kCannotWriteProductionRecord, {path_, reason});
}

std::optional<std::string> ProductionRecord::prepare() {
  std::error_code ec;
  if (std::filesystem::is_directory(path_, ec)) return failure(language_text(msg::kItIsAFolder));
  return append_text(before_next_line(path_));
}

std::optional<std::string> ProductionRecord::append(const UnitResult& unit) {
  if (auto problem = prepare()) return problem;
  return append_text(csv_record(production_record_fields(unit, clock_())));
}

std::optional<std::string> ProductionRecord::append_text(const std::string& text) {
  // One write of the whole line in append mode: the line lands whole after
  // the lines before it, or not at all.
  std::error_code ec;
  const bool created = !std::filesystem::exists(path_, ec);
  errno = 0;
  std::FILE* file = std::fopen(path_.c_str(), "ab");
  if (file == nullptr) return failure(system_reason(errno));
  if (const int error = write_synced_and_close(file, text)) return failure(system_reason(error));
  // A new file's name must reach the disk too.
  if (created) sync_folder(std::filesystem::path(path_).parent_path());
  return std::nullopt;
}

}  // namespace qv82
