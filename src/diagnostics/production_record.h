#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/bytes.h"

namespace qv82 {

inline constexpr const char* kProductionRecordFileName = "production_log.csv";

// What one completed production test of one device found.
struct UnitResult {
  std::string product_code;
  std::string serial_number;
  std::string software_revision;
  bool passed = false;
  std::string failed_step;  // the label of the step that failed
  std::string message;      // its error text
  std::optional<std::uint8_t> dip_switch_1;
  std::optional<std::uint8_t> dip_switch_2;
  std::optional<std::uint8_t> opto;
  Bytes readings;     // the eleven measurement bytes checked against the limits
  Bytes calibration;  // PH1, PH2 and PI3 as written; empty when nothing was
};

// The column names of the record, in order.
const std::vector<std::string>& production_record_columns();

// One record line's fields for a unit tested at the given time.
std::vector<std::string> production_record_fields(const UnitResult& unit,
                                                  const std::string& tested_at);

// The local date and time as ISO 8601 with the offset from UTC
// ("2026-12-07T14:05:09+01:00").
std::string local_iso8601_now();

// The production record: one CSV line per tested device, only ever
// appended to, so earlier units survive a crash or a power loss.
class ProductionRecord {
 public:
  using Clock = std::function<std::string()>;
  explicit ProductionRecord(std::string path, Clock clock = local_iso8601_now);

  const std::string& path() const { return path_; }
  void set_path(std::string path) { path_ = std::move(path); }

  // Makes sure the file can be appended to, creating it with its header row
  // when it is new. Nothing on success, otherwise a message naming the file.
  std::optional<std::string> prepare();
  // Appends the unit's line and hands it to the disk before returning.
  std::optional<std::string> append(const UnitResult& unit);

 private:
  std::optional<std::string> append_text(const std::string& text);
  std::optional<std::string> failure(const std::string& reason) const;

  std::string path_;
  Clock clock_;
};

}  // namespace qv82
