#include "stats/xls_records.h"

#include "stats/windows_1252.h"

namespace qv82 {

void XlsRecordWriter::write_word(std::uint16_t w) {
  bytes_.push_back(static_cast<std::uint8_t>(w & 0xFF));
  bytes_.push_back(static_cast<std::uint8_t>(w >> 8));
}

void XlsRecordWriter::write_bytes(std::string_view text) {
  bytes_.insert(bytes_.end(), text.begin(), text.end());
}

void XlsRecordWriter::patch_word(std::size_t at, std::uint16_t w) {
  bytes_.at(at) = static_cast<std::uint8_t>(w & 0xFF);
  bytes_.at(at + 1) = static_cast<std::uint8_t>(w >> 8);
}

std::uint8_t XlsRecordReader::read_byte() {
  if (at_ >= data_.size()) {
    ok_ = false;
    return 0;
  }
  return data_[at_++];
}

std::uint16_t XlsRecordReader::read_word() {
  const std::uint8_t low = read_byte();
  const std::uint8_t high = read_byte();
  return static_cast<std::uint16_t>(low | high << 8);
}

void XlsRecord::write_record(XlsRecordWriter& writer) const {
  writer.write_word(id_);
  const std::size_t length_at = writer.position();
  writer.write_word(0);
  write(writer);
  writer.patch_word(length_at, static_cast<std::uint16_t>(writer.position() - length_at - 2));
}

void XlsBeginOfFile::write(XlsRecordWriter& writer) const {
  writer.write_word(0x0000);
  writer.write_word(0x0010);  // worksheet
  writer.write_word(0x0000);
}

XlsCodePage::XlsCodePage() : XlsRecord(0x0042), code_page(kWindows1252) {}

void XlsCodePage::write(XlsRecordWriter& writer) const { writer.write_word(code_page); }

void XlsDimension::write(XlsRecordWriter& writer) const {
  writer.write_word(first_row);
  writer.write_word(last_row);
  writer.write_word(first_column);
  writer.write_word(last_column);
}

XlsCell::XlsCell(std::uint16_t id, std::uint16_t column, std::uint16_t row, std::uint16_t format)
    : XlsRecord(id), column(column), row(row) {
  // Byte 0: protection; byte 1: font and number format (always the defaults);
  // byte 2: alignment, borders and shading.
  if (format & kCellLocked) attributes[0] |= 0x40;
  if (format & kCellHidden) attributes[0] |= 0x80;
  if (format & kCellAlignLeft) attributes[2] |= 0x01;
  if (format & kCellAlignCenter) attributes[2] |= 0x02;
  if (format & kCellAlignRight) attributes[2] |= 0x03;
  if (format & kCellFill) attributes[2] |= 0x04;
  if (format & kCellLeftBorder) attributes[2] |= 0x08;
  if (format & kCellRightBorder) attributes[2] |= 0x10;
  if (format & kCellTopBorder) attributes[2] |= 0x20;
  if (format & kCellBottomBorder) attributes[2] |= 0x40;
  if (format & kCellShaded) attributes[2] |= 0x80;
}

void XlsCell::write(XlsRecordWriter& writer) const {
  writer.write_word(row);
  writer.write_word(column);
  for (std::uint8_t a : attributes) writer.write_byte(a);
}

XlsNumberCell::XlsNumberCell(std::uint16_t column, std::uint16_t row, std::uint16_t value,
                             std::uint16_t format)
    : XlsCell(0x0002, column, row, format), value(value) {}

void XlsNumberCell::write(XlsRecordWriter& writer) const {
  XlsCell::write(writer);
  writer.write_word(value);
}

XlsTextCell::XlsTextCell(std::uint16_t column, std::uint16_t row, std::string_view text,
                         std::uint16_t format)
    : XlsCell(0x0004, column, row, format), text(to_windows_1252(text).substr(0, kMaxLength)) {}

void XlsTextCell::write(XlsRecordWriter& writer) const {
  const std::string_view t = std::string_view(text).substr(0, kMaxLength);
  XlsCell::write(writer);
  writer.write_byte(static_cast<std::uint8_t>(t.size()));
  writer.write_bytes(t);
}

}  // namespace qv82
