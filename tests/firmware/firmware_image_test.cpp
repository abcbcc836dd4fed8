// Reading "*.u19" images: what is sent, and which files are refused before
// a device is switched into its monitor.
#include "firmware/firmware_image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "firmware/srecord_writer.h"
#include "support/temp_dir.h"

namespace qv82 {
namespace {

TEST(FirmwareImage, WrittenImageReadsBackRecordForRecord) {
  FirmwareImageLayout layout{"QV82HS-BL", "QV82HS-2.00", 0x1000, Bytes(100, 0xA5), 32};
  const std::string text = write_srecord_image(layout);
  const FirmwareImageResult result = parse_firmware_image(text + "\r\n\r\n");
  ASSERT_TRUE(result.image) << result.error;
  const FirmwareImage& image = *result.image;
  // Header, four data records (32, 32, 32, 4 bytes) and the termination.
  ASSERT_EQ(image.records.size(), 6u);
  EXPECT_EQ(image.body_count(), 5u);
  EXPECT_EQ(bytes_to_text(image.header_id), "QV82HS-BL");
  EXPECT_EQ(image.records[1].type, '1');
  EXPECT_EQ(bytes_to_hex(Bytes(image.records[1].bytes.begin(), image.records[1].bytes.begin() + 3)),
            "231000");
  EXPECT_EQ(image.records[4].bytes.size(), 1u + 2 + 4 + 1);
  EXPECT_EQ(image.records[5].type, '9');
}

TEST(FirmwareImage, ShortIdentificationTakesCharactersNineToTwentySix) {
  // A header whose data hold only three bytes has no identification.
  const std::string text = srecord_line('0', 0, 2, text_to_bytes("ABC")) + "\n" +
                           srecord_line('1', 0, 2, Bytes{0xAA, 0x55}) + "\n" +
                           srecord_line('9', 0, 2, {}) + "\n";
  const FirmwareImageResult result = parse_firmware_image(text);
  ASSERT_TRUE(result.image) << result.error;
  EXPECT_TRUE(result.image->header_id.empty());
}

TEST(FirmwareImage, UnusableFilesAreRefusedWithTheLine) {
  const std::string header = srecord_line('0', 0, 2, text_to_bytes("QV82HS-BL")) + "\n";
  const std::string record = srecord_line('1', 0x100, 2, Bytes{1, 2, 3});
  const std::string end = srecord_line('9', 0, 2, {}) + "\n";
  std::string bad_checksum = record;
  bad_checksum.back() = bad_checksum.back() == '0' ? '1' : '0';
  struct Case {
    std::string text;
    std::string error_part;
  } cases[] = {
      {"", "empty file"},
      {"\n\n", "empty file"},
      {header, "no record after the header"},
      {header + "S\n", "line 2: no record type"},
      {header + record.substr(0, record.size() - 1) + "\n", "line 2: odd number"},
      {header + "S1050000ZZ5500\n", "line 2: not a hex number"},
      {header + bad_checksum + "\n", "line 2: wrong checksum"},
      {header + "S10600000155\n", "line 2: wrong byte count"},
      {header + "\n" + "S1\n", "line 3: record too short"},
      // Cut at a record boundary, or carrying lines past its end.
      {header + record + "\n", "no end record (S7, S8 or S9)"},
      {header + record + "\n" + end + record + "\n", "line 4: record after the end record"},
  };
  for (const Case& c : cases) {
    const FirmwareImageResult result = parse_firmware_image(c.text);
    EXPECT_FALSE(result.image) << c.text;
    EXPECT_NE(result.error.find("File format error"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find(c.error_part), std::string::npos) << result.error;
  }
}

TEST(FirmwareImage, MissingFileOrFolderIsAnInputOutputError) {
  const std::string dir = test::make_temp_dir();
  const FirmwareImageResult result = read_firmware_image(dir + "/none.u19");
  EXPECT_FALSE(result.image);
  EXPECT_NE(result.error.find("Cannot open file " + dir + "/none.u19"), std::string::npos);
  const FirmwareImageResult folder = read_firmware_image(dir);
  EXPECT_FALSE(folder.image);
  EXPECT_EQ(folder.error, "Cannot read file " + dir + ": it is a folder");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace qv82
