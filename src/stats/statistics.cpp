#include "stats/statistics.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>
#include <stdexcept>

#include "config/working_images.h"
#include "device/coin_selector.h"
#include "device/unstored_writes.h"
#include "files/ini_file.h"
#include "files/text.h"
#include "lang/language.h"
#include "link/cctalk_link.h"
#include "link/errors.h"
#include "platform/system.h"
#include "stats/xls_export.h"

namespace qv82 {

namespace {

constexpr std::size_t kOptionDigits = 2 * kStatisticRows;
constexpr std::size_t kCounterDigits = 6;
constexpr unsigned kSettleMs = 120;
constexpr std::uint8_t kRequestProductCode = 244;
constexpr std::uint8_t kRequestSerialNumber = 242;
constexpr int kDevicePolls = 5;

std::size_t row_index(int row) {
  if (row < 1 || row > kStatisticRows) {
    throw std::out_of_range("statistic row " + std::to_string(row) + " outside 1 ... 20");
  }
  return static_cast<std::size_t>(row - 1);
}

// Value of a key as the settings file gives it: the first key of that name, "" when missing.
const std::string& code_of(const std::vector<std::pair<std::string, std::string>>& codes,
                           const std::string& name) {
  static const std::string kMissing;
  for (const auto& [key, value] : codes) {
    if (same_text_ignoring_case(key, name)) return value;
  }
  return kMissing;
}

bool is_hex_pair(const std::string& text, std::size_t at) {
  return at + 2 <= text.size() && hex_pair(std::string_view(text).substr(at, 2)) >= 0;
}

}  // namespace

MemoryBlock counter_block(int i) {
  const std::size_t index = row_index(i);
  return {static_cast<std::uint16_t>(kStatCountersAddress + 3 * index), 3, kAreaStatisticCounters};
}

int erase_statistic_counter(CoinSelector& selector, int i) {
  const std::size_t index = row_index(i);
  const auto address = static_cast<std::uint16_t>(kStatCountersAddress + 3 * index);
  return selector.write_memory(address, Bytes{0x01}, kAreaStatisticCounters);
}

std::string local_short_date() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  const std::tm local = platform::local_time(now);
  std::ostringstream text;
  try {
    text.imbue(std::locale(""));
    text << std::put_time(&local, "%x");
  } catch (const std::runtime_error&) {
    // An environment naming a locale the system lacks.
    text.str("");
    text.imbue(std::locale::classic());
    text << std::put_time(&local, "%Y-%m-%d");
  }
  return text.str();
}

StatisticsPage::StatisticsPage(CcTalkLink& link, CoinSelector& selector, WorkingImages& images,
                               IniFile& settings, Ui& ui)
    : short_date(local_short_date),
      link_(link),
      selector_(selector),
      images_(images),
      settings_(settings),
      ui_(ui) {
  selected.fill(-1);
}

std::vector<std::pair<std::string, std::string>> StatisticsPage::option_codes() const {
  return settings_.section_entries(kStatisticOptionsSection);
}

void StatisticsPage::load_option_names() {
  option_names = settings_.section_keys(kStatisticOptionsSection);
  for (int& s : selected) s = option_names.empty() ? -1 : 0;
}

void StatisticsPage::select_option(int row, int index) {
  const std::size_t i = row_index(row);
  if (index < -1 || index >= static_cast<int>(option_names.size())) {
    throw std::out_of_range("statistic option " + std::to_string(index) + " not in the list");
  }
  selected[i] = index;
  images_.loaded_sections |= kSectionStatistics;
}

bool StatisticsPage::select_option(int row, const std::string& name) {
  for (std::size_t k = 0; k < option_names.size(); ++k) {
    if (same_text_ignoring_case(option_names[k], name)) {
      select_option(row, static_cast<int>(k));
      return true;
    }
  }
  return false;
}

std::string StatisticsPage::option_name(int row) const {
  const int index = selected[row_index(row)];
  return index < 0 ? std::string() : option_names[static_cast<std::size_t>(index)];
}

std::string StatisticsPage::option_code(int row) const {
  const std::string name = option_name(row);
  return name.empty() ? std::string() : code_of(option_codes(), name);
}

std::string StatisticsPage::rows_text() const {
  std::size_t width = 0;
  for (int row = 1; row <= kStatisticRows; ++row) width = std::max(width, option_name(row).size());
  std::ostringstream text;
  for (int row = 1; row <= kStatisticRows; ++row) {
    const std::string name = option_name(row);
    text << std::setw(3) << (std::to_string(row) + ".") << ' ' << name
         << std::string(width - name.size(), ' ') << ' ' << std::setw(8) << values[row - 1] << '\n';
  }
  return text.str();
}

bool StatisticsPage::read() {
  Bytes options;
  if (selector_.read_memory(kStatOptionsAddress, kStatisticRows, kAreaStatisticOptions, options) !=
      kMemoryOk) {
    ui_.error(language_text(msg::kReadingError));
    return false;
  }
  images_.stat_options_image = bytes_to_hex(options);
  Bytes counters;
  if (selector_.read_memory(kStatCountersAddress, 3 * kStatisticRows, kAreaStatisticCounters,
                            counters) != kMemoryOk) {
    ui_.error(language_text(msg::kReadingError));
    return false;
  }
  images_.stat_counters_image = bytes_to_hex(counters);
  images_.loaded_sections |= kSectionStatistics;
  // The device's own options: every one of them takes part from now on.
  images_.take_whole_sections(kSectionStatistics);
  display();
  return true;
}

void StatisticsPage::display() {
  const std::string& counters = images_.stat_counters_image;
  std::array<std::uint32_t, kStatisticRows> new_values{};
  for (std::size_t i = 0; i < kStatisticRows; ++i) {
    const std::size_t at = kCounterDigits * i;
    if (at >= counters.size()) break;  // an image cut short holds no more counters
    new_values[i] =
        static_cast<std::uint32_t>(parse_hex_number(counters.substr(at, kCounterDigits)));
  }

  const auto codes = option_codes();
  const std::string& image = images_.stat_options_image;
  for (std::size_t i = 0; i < kStatisticRows; ++i) {
    const std::string device_code = image.size() >= 2 * i + 2 ? image.substr(2 * i, 2) : "";
    int choice = option_names.empty() ? -1 : 0;
    for (std::size_t k = 0; k < option_names.size(); ++k) {
      if (code_of(codes, option_names[k]) == device_code) {
        choice = static_cast<int>(k);
        break;
      }
    }
    selected[i] = choice;
  }
  values = new_values;
  if (changed) changed();
}

void StatisticsPage::encode_options() {
  const auto codes = option_codes();
  std::string image;
  // Every code is checked before anything changes: a bad one would shift the later options
  // into the wrong rows, and a replaced image would hide the changed rows from the next Write.
  for (int row = 1; row <= kStatisticRows; ++row) {
    const std::string name = option_name(row);
    const std::string& code = code_of(codes, name);
    if (code.empty()) {
      image += "FF";
    } else if (code.size() == 2 && is_hex_pair(code, 0)) {
      image += code;
    } else {
      // A long value is quoted only in part.
      const std::string shown = code.size() > 60 ? code.substr(0, 60) + "..." : code;
      throw ConversionError("Row " + std::to_string(row) + ": [" + kStatisticOptionsSection + "] " +
                            name + "=" + shown + " in " + settings_.path() +
                            " is not a two-digit hexadecimal code");
    }
  }
  counters_to_erase = 0;
  const std::string& current = images_.stat_options_image;
  if (current.size() == kOptionDigits) {
    for (std::size_t i = 0; i < kStatisticRows; ++i) {
      if (current.compare(2 * i, 2, image, 2 * i, 2) != 0) counters_to_erase |= 1u << i;
    }
  }
  images_.stat_options_image = image;
}

bool StatisticsPage::write() {
  try {
    encode_options();
  } catch (const ConversionError& e) {
    ui_.error(e.what());
    return false;
  }
  const std::string& image = images_.stat_options_image;
  std::uint32_t to_erase = counters_to_erase | unerased_;
  std::vector<MemoryBlock> blocks = {
      {kStatOptionsAddress, image.size() / 2, kAreaStatisticOptions}};
  for (int i = 1; i <= kStatisticRows; ++i) {
    if (to_erase & (1u << (i - 1))) blocks.push_back(counter_block(i));
  }
  if (!selector_.prepare_writes(blocks)) return false;
  unerased_ = to_erase;
  const int options_result =
      selector_.write_memory(kStatOptionsAddress, hex_to_bytes(image), kAreaStatisticOptions);
  if (options_result == kMemoryFailed) {
    ui_.error(language_text(msg::kErrorWritingStatisticSettings));
    return false;
  }
  if (options_result == kMemoryDenied) return false;
  for (int i = 1; i <= kStatisticRows; ++i) {
    const std::uint32_t bit = 1u << (i - 1);
    if (!(to_erase & bit)) continue;
    const int result = erase_statistic_counter(selector_, i);
    if (result == kMemoryFailed) {
      ui_.error(language_text(msg::kErrorEraseStatisticPrefix) + std::to_string(i));
      return false;
    }
    if (result == kMemoryDenied) return false;
    unerased_ &= ~bit;
  }
  if (!selector_.commit_and_reset()) {
    if (!selector_.verify_failed()) ui_.error(language_text(msg::kErrorWriteToNvMemory));
    return false;
  }
  link_.wait_ms(kSettleMs);
  read();
  ui_.information(language_text(msg::kOperationFinished));
  return true;
}

bool StatisticsPage::erase_all() {
  // This question has no translation.
  if (ui_.question(language_text(msg::kEraseAllCountersQuestion), Buttons::OkCancel) !=
      Answer::Ok) {
    return false;
  }
  std::vector<MemoryBlock> blocks;
  for (int i = 1; i <= kStatisticRows; ++i) blocks.push_back(counter_block(i));
  if (!selector_.prepare_writes(blocks)) return false;
  ui_.wait_cursor(true);
  int erased = 0;
  for (int i = 1; i <= kStatisticRows; ++i) {
    if (erase_statistic_counter(selector_, i) == kMemoryOk) ++erased;
  }
  bool done = false;
  if (erased == 0) {
    // Nothing reached the device: the page still shows what it holds.
    ui_.error(language_text(msg::kErrorEraseStatisticPrefix));
    ui_.wait_cursor(false);
    return false;
  }
  if (erased < kStatisticRows) {
    // The counters erased so far must not be stored by a later operation.
    ui_.error(language_text(msg::kErrorEraseStatisticPrefix) + "\n" +
              abandon_unstored_writes(selector_, erased, kStatisticRows));
  } else if (selector_.commit_and_reset()) {
    done = true;
  } else if (!selector_.verify_failed()) {
    ui_.error(language_text(msg::kErrorWriteToNvMemory));
  }
  // The page shows what the device holds after its restart, stored or not;
  // "finished" only once the erase is stored.
  read();
  if (done) ui_.information(language_text(msg::kOperationFinished));
  ui_.wait_cursor(false);
  return done;
}

// The data bytes of an acknowledged reply to a request without data; empty otherwise.
std::string StatisticsPage::device_text(std::uint8_t header) {
  Bytes reply;
  if (link_.cctalk_transaction(link_.device_address, Bytes{header}, reply, kDevicePolls) !=
          kTransactionOk ||
      !reply_is_ack(reply)) {
    return {};
  }
  return bytes_to_text(reply_data(reply));
}

bool StatisticsPage::export_xls() {
  const auto chosen = ui_.save_file("XLS files|*.xls");
  return chosen && export_xls_to(*chosen);
}

bool StatisticsPage::export_xls_to(const std::string& chosen) {
  const XlsSheetCaptions captions = xls_sheet_captions();
  StatisticsExport data;
  data.product_code = device_text(kRequestProductCode);
  data.serial =
      export_serial_text(text_to_bytes(device_text(kRequestSerialNumber)), captions.not_programmed);
  data.date = short_date ? short_date() : local_short_date();
  for (int row = 1; row <= kStatisticRows; ++row) {
    data.option_names[row - 1] = option_name(row);
    data.counters[row - 1] = values[row - 1];
  }
  std::string error;
  if (!build_statistics_sheet(data, captions).save_to_file(xls_file_name(chosen), &error)) {
    ui_.error(error);
    return false;
  }
  return true;
}

}  // namespace qv82
