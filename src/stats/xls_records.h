#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "link/bytes.h"

namespace qv82 {

// Little-endian byte writer over an in-memory stream; a record's length is patched in once its
// body has been written.
class XlsRecordWriter {
 public:
  void write_byte(std::uint8_t b) { bytes_.push_back(b); }
  void write_word(std::uint16_t w);
  void write_bytes(std::string_view text);
  std::size_t position() const { return bytes_.size(); }
  void patch_word(std::size_t at, std::uint16_t w);
  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
};

// The reading twin of XlsRecordWriter. Reads past the end give 0 and clear ok().
class XlsRecordReader {
 public:
  explicit XlsRecordReader(std::span<const std::uint8_t> data) : data_(data) {}
  std::uint8_t read_byte();
  std::uint16_t read_word();
  bool ok() const { return ok_; }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

// Something that streams itself through the byte writer. Sheets are only ever written, so
// reading does nothing.
class XlsStreamable {
 public:
  virtual ~XlsStreamable() = default;
  virtual void write(XlsRecordWriter& writer) const = 0;
  virtual void read(XlsRecordReader& /*reader*/) {}
};

// A record of the sheet file: 16-bit id, 16-bit body length, body.
class XlsRecord : public XlsStreamable {
 public:
  explicit XlsRecord(std::uint16_t id) : id_(id) {}
  std::uint16_t id() const { return id_; }
  // Id, a placeholder length, the body, then the real length.
  void write_record(XlsRecordWriter& writer) const;

 private:
  std::uint16_t id_;
};

class XlsBeginOfFile : public XlsRecord {
 public:
  XlsBeginOfFile() : XlsRecord(0x0809) {}
  void write(XlsRecordWriter& writer) const override;
};

// CODEPAGE record: the code page the labels' bytes are in.
class XlsCodePage : public XlsRecord {
 public:
  XlsCodePage();
  void write(XlsRecordWriter& writer) const override;

  std::uint16_t code_page;
};

class XlsDimension : public XlsRecord {
 public:
  XlsDimension() : XlsRecord(0x0000) {}
  void write(XlsRecordWriter& writer) const override;

  std::uint16_t first_row = 0;
  std::uint16_t last_row = 1000;
  std::uint16_t first_column = 0;
  std::uint16_t last_column = 100;
};

// Cell format flags; each sets a bit of the cell's three attribute bytes.
enum CellFormat : std::uint16_t {
  kCellLocked = 0x0001,
  kCellHidden = 0x0002,
  kCellAlignLeft = 0x0004,
  kCellAlignCenter = 0x0008,
  kCellAlignRight = 0x0010,
  kCellFill = 0x0020,
  kCellLeftBorder = 0x0040,
  kCellRightBorder = 0x0080,
  kCellTopBorder = 0x0100,
  kCellBottomBorder = 0x0200,
  kCellShaded = 0x0400,
};

class XlsCell : public XlsRecord {
 public:
  // column and row are 0-based.
  XlsCell(std::uint16_t id, std::uint16_t column, std::uint16_t row, std::uint16_t format);
  void write(XlsRecordWriter& writer) const override;

  std::array<std::uint8_t, 3> attributes{};
  std::uint16_t column;
  std::uint16_t row;
};

// INTEGER record: an unsigned 16-bit number.
class XlsNumberCell : public XlsCell {
 public:
  XlsNumberCell(std::uint16_t column, std::uint16_t row, std::uint16_t value, std::uint16_t format);
  void write(XlsRecordWriter& writer) const override;

  std::uint16_t value;
};

// LABEL record: a text of at most 255 bytes, its length held in one byte.
class XlsTextCell : public XlsCell {
 public:
  static constexpr std::size_t kMaxLength = 255;
  // text is UTF-8; it is kept in the sheet's code page (Windows-1252), cut to kMaxLength bytes.
  XlsTextCell(std::uint16_t column, std::uint16_t row, std::string_view text, std::uint16_t format);
  void write(XlsRecordWriter& writer) const override;

  std::string text;  // Windows-1252
};

}  // namespace qv82
