#pragma once

#include <string>
#include <vector>

namespace qv82 {

// Comma-separated values as spreadsheets exchange them: fields that hold a
// comma, a quote or a line break are quoted, quotes doubled, records ended
// by CR LF.
std::string csv_record(const std::vector<std::string>& fields);

struct CsvTable {
  std::vector<std::vector<std::string>> records;
  // The text ended inside a record (no line break after it): a write that
  // was cut short. That record is not in `records`.
  bool torn_tail = false;
};

// Splits text into records; accepts CR LF and LF line ends. Blank lines are
// skipped.
CsvTable parse_csv(const std::string& text);

struct CsvLine {
  int number = 0;     // counted from 1
  bool whole = true;  // false for a line cut short inside a quoted field
  std::vector<std::string> fields;
};

// One record per line, for files whose fields never hold a line break: a
// line cut short spoils only itself. Blank lines are skipped, a leading UTF-8
// byte order mark too.
std::vector<CsvLine> parse_csv_lines(const std::string& text);

}  // namespace qv82
