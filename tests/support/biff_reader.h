#pragma once

#include <map>
#include <string>
#include <variant>
#include <vector>

#include "link/bytes.h"

namespace qv82::test {

// A reader of BIFF sheet files of the tests' own, so that a test does not trust the writer's
// idea of the format. Malformed files throw std::runtime_error.
struct BiffRecord {
  unsigned id;
  Bytes body;
};

std::vector<BiffRecord> parse_biff_records(const Bytes& file);

// A label (UTF-8) or an integer.
using BiffCell = std::variant<std::string, unsigned>;
// Cells by name ("B2"). Labels are decoded from the code page of the CODEPAGE record, which
// must come before the first label and name Windows-1252.
std::map<std::string, BiffCell> biff_cells(const std::vector<BiffRecord>& records);

// The cells of a sheet file, integers written in decimal.
std::map<std::string, std::string> biff_cell_texts(const std::string& path);

}  // namespace qv82::test
