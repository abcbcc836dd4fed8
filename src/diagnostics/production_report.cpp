#include "diagnostics/production_report.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "diagnostics/csv.h"
#include "diagnostics/production_record.h"

namespace qv82 {

namespace {

// Serial numbers that do not tell one unit from another.
bool identifies_unit(const std::string& serial) {
  return !serial.empty() && serial != "Not programmed";
}

int column_of(const std::vector<std::string>& header, const std::string& name) {
  const auto found = std::find(header.begin(), header.end(), name);
  if (found == header.end()) {
    throw std::runtime_error("not a production record: the column \"" + name + "\" is missing");
  }
  return static_cast<int>(found - header.begin());
}

}  // namespace

ProductionSummary summarise_production_record(const std::string& text) {
  const std::vector<CsvLine> lines = parse_csv_lines(text);
  if (lines.empty() || !lines.front().whole) {
    throw std::runtime_error("not a production record: no header row");
  }
  const std::vector<std::string>& header = lines.front().fields;
  const int when = column_of(header, "tested_at");
  const int serial = column_of(header, "serial_number");
  const int result = column_of(header, "result");
  const int step = column_of(header, "failed_step");

  ProductionSummary summary;
  std::map<std::string, std::size_t> seen;  // serial -> index in `retested` candidates
  std::vector<RetestedUnit> units;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string>& record = lines[i].fields;
    const bool verdict_known = lines[i].whole && record.size() == header.size() &&
                               (record[result] == "PASS" || record[result] == "FAIL");
    if (!verdict_known) {
      summary.damaged_lines.push_back(lines[i].number);
      continue;
    }
    ++summary.tests;
    const bool pass = record[result] == "PASS";
    if (pass) {
      ++summary.passed;
    } else {
      ++summary.failed;
      ++summary.failures_by_step[record[step].empty() ? "(no step)" : record[step]];
    }
    RetestedUnit latest{record[serial], 1, record[result], pass ? "" : record[step], record[when]};
    if (!identifies_unit(record[serial])) {
      ++summary.units;
      continue;
    }
    const auto [entry, inserted] = seen.emplace(record[serial], units.size());
    if (inserted) {
      ++summary.units;
      units.push_back(latest);
    } else {
      latest.tests = units[entry->second].tests + 1;
      units[entry->second] = latest;
    }
  }
  for (const RetestedUnit& unit : units) {
    if (unit.tests > 1) summary.retested.push_back(unit);
  }
  return summary;
}

std::string format_production_summary(const ProductionSummary& summary) {
  std::ostringstream out;
  out << "Tests: " << summary.tests << "\n";
  out << "Units: " << summary.units << "\n";
  out << "Passed: " << summary.passed << "\n";
  out << "Failed: " << summary.failed << "\n";
  char rate[16] = "-";
  if (summary.tests > 0) {
    std::snprintf(rate, sizeof rate, "%.1f %%", 100.0 * summary.passed / summary.tests);
  }
  out << "Pass rate: " << rate << "\n";
  if (!summary.failures_by_step.empty()) {
    out << "Failures by step:\n";
    std::vector<std::pair<std::string, int>> steps(summary.failures_by_step.begin(),
                                                   summary.failures_by_step.end());
    std::stable_sort(steps.begin(), steps.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    for (const auto& [step, count] : steps) out << "  " << step << ": " << count << "\n";
  }
  if (!summary.retested.empty()) {
    out << "Tested more than once:\n";
    for (const RetestedUnit& unit : summary.retested) {
      out << "  " << unit.serial_number << ": " << unit.tests << " tests, latest "
          << unit.latest_result;
      if (!unit.latest_step.empty()) out << " (" << unit.latest_step << ")";
      out << " at " << unit.latest_time << "\n";
    }
  }
  if (!summary.damaged_lines.empty()) {
    out << "Damaged lines left out:";
    for (int line : summary.damaged_lines) out << " " << line;
    out << "\n";
  }
  return out.str();
}

}  // namespace qv82

namespace qv82 {

std::vector<std::string> recent_production_units(const std::string& path, std::size_t count) {
  constexpr std::streamoff kTail = 16 * 1024;
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return {};
  const std::streamoff size = in.tellg();
  const std::streamoff start = size > kTail ? size - kTail : 0;
  in.seekg(start);
  std::string text(static_cast<std::size_t>(size - start), '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  // Begin at a line start: the first line of a tail is usually cut.
  if (start > 0) {
    const std::size_t first_end = text.find('\n');
    text.erase(0, first_end == std::string::npos ? text.size() : first_end + 1);
  }

  const std::vector<std::string>& columns = production_record_columns();
  auto index = [&columns](const char* name) {
    return static_cast<std::size_t>(std::find(columns.begin(), columns.end(), name) -
                                    columns.begin());
  };
  const std::size_t when = index("tested_at"), serial = index("serial_number"),
                    result = index("result"), step = index("failed_step"),
                    message = index("message");
  std::vector<std::string> lines;
  for (const CsvLine& csv_line : parse_csv_lines(text)) {
    const std::vector<std::string>& record = csv_line.fields;
    if (record.size() != columns.size() || (record[result] != "PASS" && record[result] != "FAIL")) {
      continue;  // the header row, or a damaged line
    }
    std::string line = record[when] + "  " + record[serial] + "  " + record[result];
    if (record[result] == "FAIL") {
      line += "  " + record[step];
      if (!record[message].empty()) line += ": " + record[message];
    }
    lines.push_back(std::move(line));
  }
  if (lines.size() > count) lines.erase(lines.begin(), lines.end() - static_cast<long>(count));
  return lines;
}

}  // namespace qv82
