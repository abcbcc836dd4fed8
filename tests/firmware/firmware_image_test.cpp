// Reading "*.u19" images: which files are refused before a device is
// switched into its monitor.
#include "firmware/firmware_image.h"

#include <gtest/gtest.h>

#include "firmware/srecord_writer.h"
#include "support/temp_dir.h"

namespace qv82 {
namespace {

TEST(FirmwareImage, IdentificationIsReadFromTheHeader) {
  const FirmwareImageResult written = parse_firmware_image(
      write_srecord_image({"QV82HS-BL", "QV82HS-2.00", 0xFFF0, Bytes(100, 0xA5), 32}) + "\r\n\r\n");
  ASSERT_TRUE(written.image) << written.error;
  EXPECT_EQ(bytes_to_text(written.image->header_id), "QV82HS-BL");
  EXPECT_EQ(written.image->records.size(), 6u) << "header, four S2 records, end";
}

TEST(FirmwareImage, UnusableFilesAreRefusedWithTheLine) {
  const std::string header = srecord_line('0', 0, text_to_bytes("QV82HS-BL")) + "\n";
  const std::string record = srecord_line('1', 0x100, Bytes{1, 2, 3});
  const std::string end = srecord_line('9', 0, {}) + "\n";
  std::string bad_checksum = record;
  bad_checksum.back() = bad_checksum.back() == '0' ? '1' : '0';
  const std::pair<std::string, std::string> cases[] = {
      {"\n\n", "empty file"},
      {header, "no record after the header"},
      {header + bad_checksum + "\n", "line 2: wrong checksum"},
      {header + "S10600000155\n", "line 2: wrong byte count"},
      {header + "S3030000FC\n", "line 2: record too short"},
      {header + "S4030000FC\n", "line 2: unknown record type"},
      {header + record + "\n", "no end record (S7, S8 or S9)"},
      {header + record + "\n" + end + record + "\n", "line 4: record after the end record"},
  };
  for (const auto& [text, error_part] : cases) {
    const FirmwareImageResult result = parse_firmware_image(text);
    EXPECT_FALSE(result.image) << text;
    EXPECT_NE(result.error.find("File format error"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find(error_part), std::string::npos) << result.error;
  }
}

TEST(FirmwareImage, MissingFileOrFolderIsAnInputOutputError) {
  test::TempDir dir;
  EXPECT_NE(read_firmware_image(dir.file("none.u19"))
                .error.find("Cannot open file " + dir.file("none.u19")),
            std::string::npos);
  EXPECT_EQ(read_firmware_image(dir.path()).error,
            "Cannot read file " + dir.path() + ": it is a folder");
}

}  // namespace
}  // namespace qv82
