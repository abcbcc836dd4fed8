#include "support/biff_reader.h"

#include <array>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace qv82::test {

namespace {

constexpr unsigned kLabel = 0x0004;
constexpr unsigned kInteger = 0x0002;
constexpr unsigned kCodePage = 0x0042;

unsigned word(const Bytes& b, std::size_t at) { return b.at(at) | b.at(at + 1) << 8; }

// Windows-1252 bytes 0x80 ... 0x9F as Unicode; 0 where the code page defines none.
constexpr std::array<unsigned, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void append_utf8(std::string& out, unsigned c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string from_cp1252(Bytes::const_iterator first, Bytes::const_iterator last) {
  std::string out;
  for (auto it = first; it != last; ++it) {
    unsigned c = *it;
    if (c >= 0x80 && c < 0xA0) {
      c = kCp1252High[c - 0x80];
      if (c == 0) throw std::runtime_error("label byte undefined in Windows-1252");
    }
    append_utf8(out, c);
  }
  return out;
}

std::string cell_name(unsigned row, unsigned column) {
  return std::string(1, static_cast<char>('A' + column)) + std::to_string(row + 1);
}

}  // namespace

std::vector<BiffRecord> parse_biff_records(const Bytes& file) {
  std::vector<BiffRecord> records;
  std::size_t at = 0;
  while (at < file.size()) {
    if (at + 4 > file.size()) throw std::runtime_error("record header cut short");
    const unsigned id = word(file, at);
    const unsigned length = word(file, at + 2);
    if (at + 4 + length > file.size()) throw std::runtime_error("record overruns the file");
    records.push_back({id, Bytes(file.begin() + at + 4, file.begin() + at + 4 + length)});
    at += 4 + length;
  }
  return records;
}

std::map<std::string, BiffCell> biff_cells(const std::vector<BiffRecord>& records) {
  std::map<std::string, BiffCell> cells;
  unsigned code_page = 0;
  for (const BiffRecord& r : records) {
    if (r.id == kCodePage) {
      if (r.body.size() != 2) throw std::runtime_error("CODEPAGE body is not one word");
      code_page = word(r.body, 0);
    } else if (r.id == kLabel) {
      if (r.body.size() < 8 || r.body.size() != 8u + r.body[7]) {
        throw std::runtime_error("LABEL length byte disagrees with its record");
      }
      if (code_page != 1252) throw std::runtime_error("LABEL without a Windows-1252 CODEPAGE");
      cells[cell_name(word(r.body, 0), word(r.body, 2))] =
          from_cp1252(r.body.begin() + 8, r.body.end());
    } else if (r.id == kInteger) {
      if (r.body.size() != 9) throw std::runtime_error("INTEGER body is not 9 bytes");
      cells[cell_name(word(r.body, 0), word(r.body, 2))] = word(r.body, 7);
    }
  }
  return cells;
}

std::map<std::string, std::string> biff_cell_texts(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::map<std::string, std::string> texts;
  for (const auto& [name, cell] : biff_cells(parse_biff_records(file))) {
    texts[name] = std::holds_alternative<unsigned>(cell) ? std::to_string(std::get<unsigned>(cell))
                                                         : std::get<std::string>(cell);
  }
  return texts;
}

}  // namespace qv82::test
