#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "link/bytes.h"
#include "stats/xls_file.h"

namespace qv82 {

inline constexpr int kExportStatisticCount = 20;

// Captions of the exported sheet that follow the user-interface language.
struct XlsSheetCaptions {
  std::string statistic_data_for = "Statistic data for:";
  std::string serial_number = "Serial number:";
  std::string date = "Date";
  std::string stat_type = "Stat. type";
  std::string value = "Value";
  std::string not_programmed = "not programmed";
};

// The captions in the current language.
XlsSheetCaptions xls_sheet_captions();

// What the statistics page shows, as the export writes it.
struct StatisticsExport {
  std::string product_code;
  std::string serial;  // see export_serial_text
  std::string date;    // the system's short date
  std::array<std::string, kExportStatisticCount> option_names;
  std::array<std::uint32_t, kExportStatisticCount> counters{};
};

// A fresh sheet (so a second export never repeats the cells of the first) holding the device
// data in A1:B4 and the 20 statistics in A6:C27. Counters keep their low 16 bits.
XlsFile build_statistics_sheet(const StatisticsExport& data, const XlsSheetCaptions& captions);

// The serial number text from the data bytes of the serial number reply: decimal, low byte
// first, or not_programmed for FF FF FF. A reply too short to hold a serial gives "".
std::string export_serial_text(const Bytes& data, const std::string& not_programmed);

// The chosen file name with ".xls" appended unless it already ends so (any letter case).
std::string xls_file_name(const std::string& chosen);

}  // namespace qv82
