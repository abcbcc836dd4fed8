#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "device/coin_selector.h"
#include "device/ui.h"

namespace qv82 {

class CoinSelector;
class IniFile;
class CcTalkLink;
struct WorkingImages;

inline constexpr int kStatisticRows = 20;
// Settings section whose keys are the option names and whose values their two-digit codes.
inline constexpr const char* kStatisticOptionsSection = "Statistic options";

// Clears counter i (1 ... 20) in the device: the single byte 01 written at its first address.
// The three bytes of counter i (1..20), as a block about to be written.
MemoryBlock counter_block(int i);

// Result as write_memory: 0 done, 1 failed, 2 access denied.
int erase_statistic_counter(CoinSelector& selector, int i);

// The "Statistics" page without its widgets: 20 rows of an option drop-down ("Setting") and a
// counter ("Value"), over the main window's stat_options_image and stat_counters_image.
class StatisticsPage {
 public:
  StatisticsPage(CcTalkLink& link, CoinSelector& selector, WorkingImages& images, IniFile& settings,
                 Ui& ui);
  StatisticsPage(const StatisticsPage&) = delete;
  StatisticsPage& operator=(const StatisticsPage&) = delete;

  // Start-up: every drop-down gets the key names of "Statistic options".
  void load_option_names();

  // The user picked item index (into option_names) in row 1 ... 20.
  void select_option(int row, int index);
  // The user picked an option by its name (any letter case); false when no item has it.
  bool select_option(int row, const std::string& name);
  // The name selected in row 1 ... 20, "" when none is.
  std::string option_name(int row) const;
  // The code the settings file gives the name selected in row 1 ... 20, "" when none.
  std::string option_code(int row) const;
  // The 20 rows as text for the command line: number, option name and counter value.
  std::string rows_text() const;

  // "Read": options and counters from the device, then the display. True when both were read.
  bool read();
  // Draws the rows from the two images. Throws ConversionError (and changes nothing) for a
  // counter that is not hex text.
  void display();
  // The images from the rows: stat_options_image and counters_to_erase. Throws ConversionError
  // naming the entry (and changes nothing) when a chosen option's code is not two hex digits.
  void encode_options();
  // "Write": options to the device, erases the counters whose option changed, stores.
  bool write();
  // "Erase all": all 20 counters after the user's OK.
  bool erase_all();
  // "Export to XLS": asks for a file name and writes the page with the device's data.
  bool export_xls();
  // The export to a file name already chosen (".xls" is appended unless it ends so).
  bool export_xls_to(const std::string& chosen);

  // The system's short date for the export; the windows supply their locale's.
  std::function<std::string()> short_date;
  // Called whenever the rows changed (read, display).
  std::function<void()> changed;

  std::vector<std::string> option_names;
  std::array<int, kStatisticRows> selected;  // item index per row, -1 for none
  std::array<std::uint32_t, kStatisticRows> values{};
  // Bit i - 1: counter i is erased by the next Write, its option having changed.
  std::uint32_t counters_to_erase = 0;

 private:
  std::vector<std::pair<std::string, std::string>> option_codes() const;
  std::string device_text(std::uint8_t header);

  CcTalkLink& link_;
  CoinSelector& selector_;
  WorkingImages& images_;
  IniFile& settings_;
  Ui& ui_;
  // Counters whose option changed but whose erase did not happen because a Write failed;
  // a later Write erases them even though the options image no longer shows the change.
  std::uint32_t unerased_ = 0;
};

// The local short date ("06/12/2026" or as the locale writes it).
std::string local_short_date();

}  // namespace qv82
