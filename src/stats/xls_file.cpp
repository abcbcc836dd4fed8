#include "stats/xls_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <system_error>

#include "files/replace_file.h"

namespace qv82 {

namespace {

std::uint16_t cell_index(int number, const char* what) {
  if (number < 1 || number > 65536) {
    throw std::out_of_range(std::string("sheet ") + what + " " + std::to_string(number) +
                            " outside 1 ... 65536");
  }
  return static_cast<std::uint16_t>(number - 1);
}

bool fail(std::string* error, const std::string& path, const std::string& reason) {
  if (error) *error = "Unable to save file " + path + ": " + reason;
  return false;
}

}  // namespace

void XlsRecordList::write(XlsRecordWriter& writer) const {
  for (const auto& record : records_) record->write_record(writer);
  writer.write_word(eof_id);
  writer.write_word(0);
}

XlsFile::XlsFile() { clear_cells(); }

void XlsFile::add_text_cell(int column, int row, std::string_view text, std::uint16_t format) {
  records_.add(std::make_unique<XlsTextCell>(cell_index(column, "column"), cell_index(row, "row"),
                                             text, format));
}

void XlsFile::add_number_cell(int column, int row, std::uint16_t value, std::uint16_t format) {
  records_.add(std::make_unique<XlsNumberCell>(cell_index(column, "column"), cell_index(row, "row"),
                                               value, format));
}

void XlsFile::clear_cells() {
  records_.clear();
  records_.add(std::make_unique<XlsBeginOfFile>());
  records_.add(std::make_unique<XlsCodePage>());
  records_.add(std::make_unique<XlsDimension>());
}

Bytes XlsFile::to_bytes() const {
  XlsRecordWriter writer;
  records_.write(writer);
  return writer.bytes();
}

bool XlsFile::save_to_file(const std::string& path, std::string* error) const {
  if (path.empty()) return fail(error, path, "no file name");
  const Bytes bytes = to_bytes();
  if (const auto failure = replace_file(path, std::string(bytes.begin(), bytes.end()))) {
    return fail(error, path, *failure);
  }
  return true;
}

}  // namespace qv82
