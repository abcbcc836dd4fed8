#pragma once

#include <map>
#include <string>
#include <vector>

namespace qv82 {

// A unit's serial number as the record holds it, seen in more than one test.
struct RetestedUnit {
  std::string serial_number;
  int tests = 0;
  std::string latest_result;  // PASS or FAIL
  std::string latest_step;    // the failing step of the latest test
  std::string latest_time;
};

// The production record summed up.
struct ProductionSummary {
  int tests = 0;
  int passed = 0;
  int failed = 0;
  int units = 0;  // distinct serial numbers (unprogrammed ones each count)
  std::map<std::string, int> failures_by_step;
  std::vector<RetestedUnit> retested;  // in order of first appearance
  // Lines that are not records of this kind (cut short, wrong field count),
  // by line number; they are left out of the figures.
  std::vector<int> damaged_lines;
};

// Reads the text of a production record. Throws std::runtime_error when
// the text has no header row of the record's columns.
ProductionSummary summarise_production_record(const std::string& text);

// The summary as the command line prints it.
std::string format_production_summary(const ProductionSummary& summary);

}  // namespace qv82

namespace qv82 {

// The last `count` units of the record file, oldest first, one line each
// ("2026-12-07T14:05:09+01:00  123456  FAIL  DIP switch test: DIP SW1 error").
// Only the end of the file is read, so a long record costs nothing.
std::vector<std::string> recent_production_units(const std::string& path, std::size_t count);

}  // namespace qv82
