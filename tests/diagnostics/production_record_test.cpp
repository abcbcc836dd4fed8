// The production record: what lands in the CSV file and what the report
// makes of it, including a file cut short by a crash.
#include "diagnostics/production_record.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "diagnostics/csv.h"
#include "diagnostics/production_report.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace qv82 {
namespace {

class RecordFile : public ::testing::Test {
 protected:
  test::TempDir folder;
  std::string dir = folder.path();
  std::string path = folder.file("production_log.csv");
  ProductionRecord record{path, [] { return std::string("2026-12-07T10:00:00+01:00"); }};
};

UnitResult failed_unit(const std::string& serial, const std::string& step,
                       const std::string& message) {
  UnitResult unit;
  unit.product_code = "QV82";
  unit.serial_number = serial;
  unit.software_revision = "1.02";
  unit.failed_step = step;
  unit.message = message;
  return unit;
}

TEST(Csv, FieldsWithSeparatorsQuotesAndLineBreaksSurviveTheRoundTrip) {
  const std::vector<std::string> fields = {"plain", "a,b", "say \"hi\"", "two\nlines", "", "x"};
  const CsvTable table = parse_csv(csv_record(fields) + csv_record({"next"}));
  ASSERT_EQ(table.records.size(), 2u);
  EXPECT_EQ(table.records[0], fields);
  EXPECT_FALSE(table.torn_tail);
  EXPECT_TRUE(parse_csv("a,b\r\nc,\"d").torn_tail);
  EXPECT_TRUE(parse_csv("a,b\r\nc").torn_tail);
}

TEST_F(RecordFile, EachUnitIsOneLineUnderAHeaderWrittenOnce) {
  UnitResult pass;
  pass.product_code = "QV82";
  pass.serial_number = "1234567";
  pass.software_revision = "1.02";
  pass.passed = true;
  pass.dip_switch_1 = 0xC5;
  pass.dip_switch_2 = 0x05;
  pass.opto = 0xFB;
  pass.readings = {0x02, 0x00, 0x01, 0xFF, 100, 101, 102, 103, 104, 12, 25};
  pass.calibration = {101, 103, 104};
  ASSERT_FALSE(record.append(pass));
  ASSERT_FALSE(record.append(failed_unit("7", "DIP switch test", "DIP SW1 error, \"bank\" 1")));

  const CsvTable table = parse_csv(test::file_text(path));
  ASSERT_EQ(table.records.size(), 3u);
  EXPECT_EQ(table.records[0], production_record_columns());
  // Fields without separators or quotes: the line reads as written.
  const char* const pass_line =
      "2026-12-07T10:00:00+01:00,QV82,1234567,1.02,PASS,,,C5,05,FB,512,511,100,101,102,103,104,"
      "12,25,101,103,104\n";
  EXPECT_EQ(table.records[1], parse_csv(pass_line).records.at(0));
  const std::vector<std::string>& fail = table.records[2];
  EXPECT_EQ(std::vector<std::string>(fail.begin() + 4, fail.begin() + 7),
            (std::vector<std::string>{"FAIL", "DIP switch test", "DIP SW1 error, \"bank\" 1"}));
}

TEST_F(RecordFile, ALineCutShortByACrashSpoilsOnlyItself) {
  ASSERT_FALSE(record.append(failed_unit("1", "Test optic pairs", "Opto sensor error, FT3 FB")));
  const std::string before = test::file_text(path);
  // Cut after the unit's fields, and inside its quoted message.
  for (const char* torn : {"2026-12-07T10:01:00+01:00,QV82,2",
                           "2026-12-07T10:01:00+01:00,QV82,2,1.02,FAIL,x,\"Opto sensor"}) {
    std::ofstream(path, std::ios::app | std::ios::binary) << torn;
    ASSERT_FALSE(record.append(failed_unit("3", "DIP switch test", "DIP SW2 error")));
  }
  ASSERT_FALSE(record.append(failed_unit("4", "DIP switch test", "DIP SW2 error")));

  const std::string after = test::file_text(path);
  EXPECT_EQ(after.substr(0, before.size()), before) << "earlier lines are never touched";
  const ProductionSummary summary = summarise_production_record(after);
  EXPECT_EQ(summary.tests, 4);
  EXPECT_EQ(summary.damaged_lines, (std::vector<int>{3, 5}));
  // A spreadsheet reading the whole file sees every later unit as its own row.
  const CsvTable table = parse_csv(after);
  ASSERT_EQ(table.records.size(), 7u);
  EXPECT_EQ(table.records.back()[2], "4");
  EXPECT_EQ(recent_production_units(path, 1),
            std::vector<std::string>{"2026-12-07T10:00:00+01:00  4  FAIL  DIP switch test: DIP "
                                     "SW2 error"});
}

TEST_F(RecordFile, DeviceTextsAreWrittenAsUtf8AndReadBackBehindAByteOrderMark) {
  ASSERT_FALSE(record.append(failed_unit("R\xE9v", "Product code test", "two\nlines")));
  const std::string text = test::file_text(path);
  EXPECT_NE(text.find(",R\xC3\xA9v,"), std::string::npos);
  EXPECT_NE(text.find(",two lines,"), std::string::npos);
  EXPECT_EQ(summarise_production_record("\xEF\xBB\xBF" + text).tests, 1);
}

// Units without a serial number count one each; the command line's report of a whole
// record is checked end to end.
TEST_F(RecordFile, UnitsWithoutASerialNumberCountOneEach) {
  for (const char* serial : {"10", "Not programmed", "Not programmed", "10"}) {
    ASSERT_FALSE(record.append(failed_unit(serial, "DIP switch test", "x")));
  }
  const ProductionSummary summary = summarise_production_record(test::file_text(path));
  EXPECT_EQ(summary.tests, 4);
  EXPECT_EQ(summary.units, 3);
  EXPECT_THROW(summarise_production_record("a,b\r\n1,2\r\n"), std::runtime_error);
}

TEST(RecordTime, LocalTimeIsIso8601WithItsOffset) {
  EXPECT_TRUE(std::regex_match(local_iso8601_now(),
                               std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)")));
}

}  // namespace
}  // namespace qv82
