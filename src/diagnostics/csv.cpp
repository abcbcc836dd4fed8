#include "diagnostics/csv.h"

#include <string_view>

namespace qv82 {

namespace {

bool needs_quotes(const std::string& field) {
  return field.find_first_of(",\"\r\n") != std::string::npos;
}

}  // namespace

std::string csv_record(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += ',';
    const std::string& field = fields[i];
    if (!needs_quotes(field)) {
      line += field;
      continue;
    }
    line += '"';
    for (char c : field) {
      if (c == '"') line += '"';
      line += c;
    }
    line += '"';
  }
  return line + "\r\n";
}

CsvTable parse_csv(const std::string& text) {
  CsvTable table;
  std::vector<std::string> record;
  std::string field;
  bool quoted = false;
  bool field_started = false;
  auto end_record = [&] {
    if (field_started || !record.empty()) {
      record.push_back(std::move(field));
      table.records.push_back(std::move(record));
    }
    record.clear();
    field.clear();
    field_started = false;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c != '"') {
        field += c;
      } else if (i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else {
        quoted = false;
      }
      continue;
    }
    switch (c) {
      case '"':
        quoted = true;
        field_started = true;
        break;
      case ',':
        record.push_back(std::move(field));
        field.clear();
        field_started = true;
        break;
      case '\r':
        break;
      case '\n':
        end_record();
        break;
      default:
        field += c;
        field_started = true;
    }
  }
  table.torn_tail = quoted || field_started || !record.empty();
  return table;
}

std::vector<CsvLine> parse_csv_lines(const std::string& text) {
  std::vector<CsvLine> lines;
  const std::string_view bom = "\xEF\xBB\xBF";
  std::size_t start = text.compare(0, bom.size(), bom) == 0 ? bom.size() : 0;
  for (int number = 1; start < text.size(); ++number) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    if (line.find_first_not_of('\r') == std::string::npos) continue;
    CsvTable table = parse_csv(line + "\n");
    CsvLine parsed{number, !table.torn_tail && table.records.size() == 1, {}};
    if (parsed.whole) parsed.fields = std::move(table.records[0]);
    lines.push_back(std::move(parsed));
  }
  return lines;
}

}  // namespace qv82
