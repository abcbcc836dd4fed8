#include "stats/xls_export.h"

#include <algorithm>
#include <cctype>

#include "files/text.h"
#include "lang/language.h"

namespace qv82 {

namespace {

constexpr int kColumnA = 1;
constexpr int kColumnB = 2;
constexpr int kColumnC = 3;
constexpr int kFirstStatisticRow = 8;

}  // namespace

XlsSheetCaptions xls_sheet_captions() {
  XlsSheetCaptions c;
  c.statistic_data_for = language_text(msg::kStatisticDataFor);
  c.serial_number = language_text(msg::kSerialNumber);
  c.date = language_text(msg::kDate);
  c.stat_type = language_text(msg::kStatType);
  c.value = language_text(msg::kValue);
  c.not_programmed = language_text(msg::kNotProgrammedLower);
  return c;
}

XlsFile build_statistics_sheet(const StatisticsExport& data, const XlsSheetCaptions& captions) {
  XlsFile sheet;
  sheet.add_text_cell(kColumnA, 1, captions.statistic_data_for);
  sheet.add_text_cell(kColumnA, 2, captions.serial_number);
  sheet.add_text_cell(kColumnB, 1, data.product_code);
  sheet.add_text_cell(kColumnB, 2, data.serial);
  sheet.add_text_cell(kColumnB, 4, data.date);
  sheet.add_text_cell(kColumnA, 4, captions.date);
  sheet.add_text_cell(kColumnA, 6, "Stat. No");
  for (int i = 0; i < kExportStatisticCount; ++i) {
    sheet.add_text_cell(kColumnA, kFirstStatisticRow + i, "Stat. " + std::to_string(i + 1));
  }
  sheet.add_text_cell(kColumnB, 6, captions.stat_type);
  for (int i = 0; i < kExportStatisticCount; ++i) {
    sheet.add_text_cell(kColumnB, kFirstStatisticRow + i, data.option_names[i]);
  }
  sheet.add_text_cell(kColumnC, 6, captions.value);
  for (int i = 0; i < kExportStatisticCount; ++i) {
    sheet.add_number_cell(kColumnC, kFirstStatisticRow + i,
                          static_cast<std::uint16_t>(data.counters[i] & 0xFFFF));
  }
  return sheet;
}

std::string export_serial_text(const Bytes& data, const std::string& not_programmed) {
  if (data.size() < 3) return "";
  const std::uint32_t serial = data[0] + 256u * data[1] + 65536u * data[2];
  return serial == 0xFFFFFF ? not_programmed : std::to_string(serial);
}

std::string xls_file_name(const std::string& chosen) {
  const std::string tail = chosen.size() >= 4 ? chosen.substr(chosen.size() - 4) : chosen;
  return upper_case(tail) == ".XLS" ? chosen : chosen + ".xls";
}

}  // namespace qv82
