#include <algorithm>

#include "device/coin_selector.h"
#include "files/ini_file.h"
#include "files/read_file.h"
#include "lang/language.h"
#include "link/errors.h"

namespace qv82 {

namespace {

constexpr std::uint8_t kBroadcastAddress = 0;
constexpr std::uint8_t kDefaultAddress = 2;
constexpr std::uint8_t kMonitorIdLength = 9;
constexpr std::size_t kFrameEchoAndAnswer = 6;  // FD's 5-byte echo and one address byte

// Re-enables the pages on every way out of a search.
class PagesDisabled {
 public:
  explicit PagesDisabled(const std::function<void(bool)>& hook) : hook_(hook) {
    if (hook_) hook_(false);
  }
  ~PagesDisabled() {
    if (hook_) hook_(true);
  }
  PagesDisabled(const PagesDisabled&) = delete;
  PagesDisabled& operator=(const PagesDisabled&) = delete;

 private:
  const std::function<void(bool)>& hook_;
};

}  // namespace

CoinSelector::CoinSelector(CcTalkLink& holder, DeviceState& device_state, Ui& user,
                           IniFile& settings_file)
    : link(holder), state(device_state), ui(user), settings(settings_file) {}

void CoinSelector::set_device_address(std::uint8_t address) {
  link.device_address = address;
  state.download_address = address;
}

void CoinSelector::report(const std::string& text) {
  if (state.messages_enabled) ui.error(text);
}

std::string CoinSelector::found_message() const {
  return language_text(msg::kCoinSelectorWithAddress) + std::to_string(link.device_address) +
         language_text(msg::kFoundAt) + link.port.port_name();
}

bool CoinSelector::search() {
  set_device_address(kDefaultAddress);
  PagesDisabled pages(set_pages_enabled);
  port_failures_.clear();

  // Busy for the whole search, not only during each transfer: its waits
  // between transfers must not let Search, Upload or Exit start inside it.
  // The outcome is told after, so that a question or the firmware window it
  // opens do not find the window busy.
  SearchOutcome outcome = SearchOutcome::kNotIdentified;
  try {
    BusyScope busy(link);
    outcome = find_device();
  } catch (const PortError& e) {
    ui.error(e.what());
    return false;
  }
  switch (outcome) {
    case SearchOutcome::kFound:
      ui.information(found_message());
      return true;
    case SearchOutcome::kMonitor:
      // After a completed upgrade the device runs its new firmware: find it.
      if (ui.question(language_text(msg::kCoinSelInMonitorMode), Buttons::YesNo) == Answer::Yes &&
          open_firmware_download && open_firmware_download()) {
        return search();
      }
      break;
    case SearchOutcome::kNothing: {
      // A port that refused to open is the likely reason: name it.
      std::string text = language_text(msg::kCoinSelectorNotFound);
      for (const std::string& failure : port_failures_) text += "\n" + failure;
      ui.error(text);
      break;
    }
    case SearchOutcome::kNoSingleAddress:
      ui.error(language_text(msg::kCoinSelectorNotFoundAt, {std::to_string(link.device_address)}));
      break;
    case SearchOutcome::kNotIdentified:
      break;  // identify_device has said why
  }
  return false;
}

CoinSelector::SearchOutcome CoinSelector::find_device() {
  // The device may already be on the remembered port at the usual address.
  // A port that failed since the last transfer is one more port to scan.
  state.messages_enabled = false;
  bool quiet_find = false;
  try {
    quiet_find = identify_device() && link.port.connected();
  } catch (const PortError& e) {
    note_port_failure(e.what());
  }
  state.messages_enabled = true;
  if (quiet_find) return SearchOutcome::kFound;

  // A port list that cannot be read, or a port that vanishes under a
  // device that answered, ends the search with the port's own words.
  if (!scan_ports()) {
    return scan_monitor_ports() ? SearchOutcome::kMonitor : SearchOutcome::kNothing;
  }
  if (!address_poll()) return SearchOutcome::kNoSingleAddress;
  return identify_device() ? SearchOutcome::kFound : SearchOutcome::kNotIdentified;
}

void CoinSelector::note_port_failure(const std::string& text) {
  if (std::find(port_failures_.begin(), port_failures_.end(), text) == port_failures_.end()) {
    port_failures_.push_back(text);
  }
}

bool CoinSelector::scan_ports() {
  port_list_ = link.port.list_ports();
  SerialPort& port = link.port;
  for (const std::string& name : port_list_) {
    port.close();
    port.set_port_name(name);
    try {
      port.open();
      if (!port.connected()) continue;
      Bytes reply;
      if (link.cctalk_transaction(kBroadcastAddress, Bytes{0xFE}, reply, 5) == kTransactionOk) {
        return true;
      }
    } catch (const PortError& e) {
      note_port_failure(e.what());  // busy, missing or gone: try the next one
    }
  }
  return false;
}

bool CoinSelector::scan_monitor_ports() {
  SerialPort& port = link.port;
  const Bytes identify_request = text_to_bytes("V");
  Bytes reply;
  bool answered = false;
  for (const std::string& name : port_list_) {
    port.close();
    port.set_port_name(name);
    try {
      for (int rate : {9600, 38400}) {
        link.set_baud_rate(rate);
        link.wait_ms(20);
        if (link.raw_transfer(identify_request, kMonitorIdLength, 10, reply) == kRawOk) {
          answered = true;
          break;
        }
      }
    } catch (const PortError& e) {
      // Said with "Coin selector not found!" if nothing else answers.
      note_port_failure(e.what());
    }
    if (answered) break;
  }
  try {
    link.set_baud_rate(9600);
  } catch (const PortError& e) {
    port.set_baud_rate(9600);  // the next open starts from the usual rate
    note_port_failure(e.what());
  }
  return answered && is_supported_type(bytes_to_text(reply));
}

bool CoinSelector::address_poll() {
  set_device_address(kDefaultAddress);
  Bytes reply;
  // Answers to an address poll are bare bytes, never a frame: the exchange
  // always runs into its time-out, and the answers lie in rx_buffer.
  if (link.cctalk_transaction(kBroadcastAddress, Bytes{0xFD}, reply, 120) != kTransactionTimeout) {
    return false;
  }
  const Bytes& heard = link.rx_buffer;
  if (heard.size() != kFrameEchoAndAnswer && heard.size() != 1) return false;
  set_device_address(heard.back());
  return true;
}

std::string CoinSelector::supported_types_problem() const {
  const std::string problem = file_problem(settings.path());
  if (!problem.empty()) return problem + ", so [SUPPORTED TYPES] accepts no device type";
  if (settings.section_keys("SUPPORTED TYPES").empty()) {
    return "[SUPPORTED TYPES] in " + settings.path() + " lists no device type";
  }
  return {};
}

bool CoinSelector::is_supported_type(const std::string& type) const {
  const std::vector<std::string> types = settings.section_keys("SUPPORTED TYPES");
  return std::find(types.begin(), types.end(), type) != types.end();
}

}  // namespace qv82
