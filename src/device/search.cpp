#include <algorithm>

#include "app/ini_file.h"
#include "device/coin_selector.h"
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

CoinSelector::CoinSelector(TccTfrm& holder, DeviceState& device_state, Ui& user,
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
         language_text(msg::kFoundAt) + link.ComPort1.port_name();
}

bool CoinSelector::SpeedButton11Click() {
  set_device_address(kDefaultAddress);
  PagesDisabled pages(set_pages_enabled);

  // The device may already be on the remembered port at the usual address.
  state.messages_enabled = false;
  const bool quiet_find = identify_device() && link.ComPort1.connected();
  state.messages_enabled = true;
  if (quiet_find) {
    ui.information(found_message());
    return true;
  }

  // Ports that vanish or cannot be listed end the search with the port's
  // own words, as do monitor-mode ports that refuse to open.
  try {
    if (!scan_ports()) {
      if (scan_monitor_ports()) {
        if (ui.question(language_text(msg::kCoinSelInMonitorMode), Buttons::YesNo) == Answer::Yes &&
            open_firmware_download) {
          open_firmware_download();
        }
      } else {
        ui.error(language_text(msg::kCoinSelectorNotFound));
      }
      return false;
    }
    if (!address_poll()) {
      ui.error(language_text(msg::kCoinSelectorNotFound) + std::to_string(link.device_address));
      return false;
    }
    if (identify_device()) {
      ui.information(found_message());
      return true;
    }
  } catch (const PortError& e) {
    ui.error(e.what());
  }
  return false;
}

bool CoinSelector::scan_ports() {
  port_list_ = link.ComPort1.list_ports();
  SerialPort& port = link.ComPort1;
  for (const std::string& name : port_list_) {
    port.close();
    port.set_port_name(name);
    try {
      port.open();
    } catch (const PortError&) {
      continue;  // busy or missing: try the next one
    }
    if (!port.connected()) continue;
    Bytes reply;
    if (link.cctalk_transaction(kBroadcastAddress, Bytes{0xFE}, reply, 5) == kTransactionOk) {
      return true;
    }
  }
  return false;
}

bool CoinSelector::scan_monitor_ports() {
  SerialPort& port = link.ComPort1;
  const Bytes identify_request = text_to_bytes("V");
  Bytes reply;
  bool answered = false;
  try {
    for (const std::string& name : port_list_) {
      port.close();
      port.set_port_name(name);
      for (int rate : {9600, 38400}) {
        port.close();
        link.set_baud_rate(rate);
        port.open();
        link.wait_ms(20);
        if (link.raw_transfer(identify_request, kMonitorIdLength, 10, reply) == kRawOk) {
          answered = true;
          break;
        }
      }
      if (answered) break;
    }
  } catch (const PortError&) {
    port.set_baud_rate(9600);  // the next search starts from the usual rate
    throw;
  }
  link.set_baud_rate(9600);
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

bool CoinSelector::is_supported_type(const std::string& type) const {
  const std::vector<std::string> types = settings.section_keys("SUPPORTED TYPES");
  return std::find(types.begin(), types.end(), type) != types.end();
}

}  // namespace qv82
