#include "stats/xls_file.h"

#include <gtest/gtest.h>

#include <map>
#include <variant>

#include "stats/xls_export.h"
#include "support/biff_reader.h"

namespace qv82 {
namespace {

using test::BiffCell;
using test::parse_biff_records;

using Sheet = std::map<std::string, test::BiffCell>;  // "B2" -> content

unsigned word(const Bytes& b, std::size_t at) { return b.at(at) | b.at(at + 1) << 8; }

StatisticsExport sample_export() {
  StatisticsExport data;
  data.product_code = "QV82HS";
  data.serial = "123456";
  data.date = "01.02.2024";
  for (int i = 0; i < 20; ++i) {
    data.option_names[i] = "Option " + std::to_string(i + 1);
    data.counters[i] = static_cast<std::uint32_t>(i * 10);
  }
  data.counters[0] = 70000;
  data.counters[1] = 65535;
  return data;
}

TEST(XlsFileTest, RecordsAreFramedAsTheFormatRequires) {
  XlsFile sheet;
  sheet.add_text_cell(2, 3, "Statistic data for:");  // 19 characters
  sheet.add_number_cell(3, 8, 4464);
  const Bytes file = sheet.to_bytes();
  const auto records = parse_biff_records(file);
  ASSERT_EQ(records.size(), 6u);
  EXPECT_EQ(records[0].id, 0x0809u);
  EXPECT_EQ(records[0].body, (Bytes{0x00, 0x00, 0x10, 0x00, 0x00, 0x00}));
  EXPECT_EQ(records[1].id, 0x0042u);  // CODEPAGE 1252
  EXPECT_EQ(records[1].body, (Bytes{0xE4, 0x04}));
  EXPECT_EQ(records[5].id, 0x000Au);
  EXPECT_TRUE(records[5].body.empty());
  // Id, length, then row and column, little-endian and 0-based.
  EXPECT_EQ(Bytes(file.begin() + 28, file.begin() + 36),
            (Bytes{0x04, 0x00, 0x1B, 0x00, 0x02, 0x00, 0x01, 0x00}));
}

TEST(XlsFileTest, ExportSheetPutsEveryCellInItsPlace) {
  const XlsFile sheet = build_statistics_sheet(sample_export(), XlsSheetCaptions{});
  const auto records = parse_biff_records(sheet.to_bytes());
  ASSERT_EQ(records.size(), 3u + 69u + 1u);

  Sheet cells = test::biff_cells(records);
  EXPECT_EQ(cells.size(), 69u);
  const std::pair<const char*, BiffCell> expected[] = {
      {"A1", "Statistic data for:"},
      {"B2", "123456"},
      {"B4", "01.02.2024"},
      {"A27", "Stat. 20"},
      {"B8", "Option 1"},
      {"C6", "Value"},
      {"C8", 4464u},
      {"C9", 65535u},
      {"C27", 190u},
  };
  for (const auto& [name, content] : expected) EXPECT_EQ(cells[name], content) << name;
}

TEST(XlsFileTest, LongTextIsCutToWhatItsLengthByteHolds) {
  XlsFile sheet;
  sheet.add_text_cell(1, 1, std::string(300, 'x'));
  sheet.add_text_cell(1, 2, "", kCellShaded | kCellAlignRight);
  const auto records = parse_biff_records(sheet.to_bytes());
  ASSERT_EQ(records.size(), 6u);
  EXPECT_EQ(records[3].body[7], 255);
  EXPECT_EQ(records[3].body.size(), 8u + 255u);
  EXPECT_EQ(records[4].body, (Bytes{1, 0, 0, 0, 0, 0, 0x83, 0}));
  EXPECT_THROW(sheet.add_number_cell(0, 1, 1), std::out_of_range);
}

TEST(XlsFileTest, LabelsAreWrittenInWindows1252) {
  const std::pair<std::string, std::string> labels[] = {
      {"M\u00FCnzen angenommen", "M\u00FCnzen angenommen"},
      {"\u20AC 5 \u2013 \u017Deton \u201Cx\u201D", "\u20AC 5 \u2013 \u017Deton \u201Cx\u201D"},
      {"\u0395\u03BB \u20AA", "?? ?"},  // Greek and the shekel sign: not in the code page
      {"\xE2\x82x", "??x"},             // a lead byte without its tail
      {"\xC0\xAF", "??"},               // an overlong '/'
  };
  XlsFile sheet;
  for (std::size_t i = 0; i < std::size(labels); ++i) {
    sheet.add_text_cell(1, static_cast<int>(i) + 1, labels[i].first);
  }
  // 200 two-byte characters become 200 bytes: nothing is cut.
  std::string long_label;
  for (int i = 0; i < 200; ++i) long_label += "\u00E9";
  sheet.add_text_cell(2, 1, long_label);

  Sheet cells = test::biff_cells(parse_biff_records(sheet.to_bytes()));
  for (std::size_t i = 0; i < std::size(labels); ++i) {
    EXPECT_EQ(cells["A" + std::to_string(i + 1)], BiffCell(labels[i].second)) << labels[i].first;
  }
  EXPECT_EQ(cells["B1"], BiffCell(long_label));
}

TEST(XlsFileTest, SecondExportDoesNotRepeatTheFirst) {
  XlsFile sheet;
  sheet.add_number_cell(1, 1, 7);
  sheet.clear_cells();
  sheet.add_number_cell(1, 1, 8);
  const auto records = parse_biff_records(sheet.to_bytes());
  ASSERT_EQ(records.size(), 5u);
  EXPECT_EQ(word(records[3].body, 7), 8u);
}

TEST(XlsExport, FileNameAndSerialText) {
  const std::pair<std::string, std::string> names[] = {
      {"a.Xls", "a.Xls"}, {"a", "a.xls"}, {"a.xlsx", "a.xlsx.xls"}, {"xls", "xls.xls"}};
  for (const auto& [chosen, used] : names) EXPECT_EQ(xls_file_name(chosen), used);
  EXPECT_EQ(export_serial_text({0xFF, 0xFF, 0xFF}, "not programmed"), "not programmed");
  EXPECT_EQ(export_serial_text({0x40, 0xE2, 0x01}, "np"), "123456");
  EXPECT_EQ(export_serial_text({0x40, 0xE2}, "np"), "");
}

}  // namespace
}  // namespace qv82
