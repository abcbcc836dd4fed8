#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "link/bytes.h"
#include "stats/xls_records.h"

namespace qv82 {

// The ordered record list of a sheet; records are written in the order they were added and
// followed by the end-of-file record.
class XlsRecordList {
 public:
  void add(std::unique_ptr<XlsRecord> record) { records_.push_back(std::move(record)); }
  void clear() { records_.clear(); }
  const std::vector<std::unique_ptr<XlsRecord>>& records() const { return records_; }
  void write(XlsRecordWriter& writer) const;

  std::uint16_t eof_id = 0x000A;

 private:
  std::vector<std::unique_ptr<XlsRecord>> records_;
};

// A minimal worksheet of label and integer cells in the Excel BIFF record format:
// BOF, CODEPAGE (Windows-1252), DIMENSIONS, the cells in the order they were added, EOF.
class XlsFile {
 public:
  XlsFile();

  // Column and row are 1-based (A1 is 1, 1); numbers outside 1 ... 65536 are a programming
  // error (std::out_of_range). format is a set of CellFormat flags.
  void add_text_cell(int column, int row, std::string_view text, std::uint16_t format = 0);
  void add_number_cell(int column, int row, std::uint16_t value, std::uint16_t format = 0);

  // Back to BOF, CODEPAGE and DIMENSIONS alone.
  void clear_cells();

  // The file's bytes.
  Bytes to_bytes() const;

  // Writes the sheet to a temporary file beside path and renames it over path, so a failed
  // save leaves no half-written sheet behind. On failure returns false with the reason in error.
  bool save_to_file(const std::string& path, std::string* error = nullptr) const;

 private:
  XlsRecordList records_;
};

}  // namespace qv82
