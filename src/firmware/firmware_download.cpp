#include "firmware/firmware_download.h"

#include <algorithm>

#include "device/coin_selector.h"
#include "lang/language.h"
#include "link/cctalk_link.h"
#include "link/errors.h"

namespace qv82 {

namespace {

constexpr std::uint8_t kIdentifyRequest = 0x56;  // "V"
constexpr std::uint8_t kRecordMark = 0x55;
constexpr std::uint8_t kHeaderType = 0x30;  // '0'
constexpr int kPollBeforeMonitorPolls = 50;
constexpr unsigned kSettleMs = 20;
constexpr unsigned kAfterDownloadMs = 400;

bool retried(char status) { return status >= '3' && status <= '6'; }

// An identification as the user can compare it: its characters where they
// are printable, and its bytes.
std::string identification_text(const Bytes& id) {
  if (id.empty()) return language_text(msg::kNoIdentification);
  const bool printable =
      std::all_of(id.begin(), id.end(), [](std::uint8_t b) { return b >= 0x20 && b < 0x7F; });
  const std::string hex = bytes_to_hex(id);
  return printable ? bytes_to_text(id) + " (" + hex + ")" : hex;
}

}  // namespace

FirmwareDownload::FirmwareDownload(CcTalkLink& link, CoinSelector& selector)
    : link_(link), selector_(selector) {}

void FirmwareDownload::changed() {
  if (view_changed) view_changed();
}

void FirmwareDownload::set_status(const std::string& text) {
  view.status_label = text;
  changed();
}

void FirmwareDownload::set_progress(int value) {
  view.progress = value;
  changed();
}

void FirmwareDownload::report_error(const std::string& text) {
  if (before_message) before_message();
  selector_.ui.error(text);
}

std::string FirmwareDownload::where_the_device_waits(const std::string& text) const {
  return monitor_id.empty() ? text : text + "\n" + language_text(msg::kStaysInMonitor);
}

void FirmwareDownload::report_failure(const std::string& text) {
  report_error(where_the_device_waits(text));
}

void FirmwareDownload::report_information(const std::string& text) {
  if (before_message) before_message();
  selector_.ui.information(text);
}

void FirmwareDownload::on_open() {
  // Each opening starts without a file: a name left from the last time
  // would be shown but not sent.
  view.file_chosen = false;
  view.file_label.clear();
  path_.clear();
  completed = false;
  changed();
}

void FirmwareDownload::choose_file(const std::string& path) {
  path_ = path;
  view.file_label = path;
  view.file_chosen = true;
  changed();
}

bool FirmwareDownload::start() {
  if (!view.file_chosen) {
    report_error(language_text(msg::kOpenFileFirst));
    return false;
  }
  // A file that cannot be sent is refused before the device leaves its
  // application for the monitor.
  const FirmwareImageResult file = read_firmware_image(path_);
  if (!file.image) {
    report_error(file.error);
    return false;
  }
  int monitor = kNoMonitor;
  try {
    monitor = start_monitor();
  } catch (const PortError& e) {
    // Gone on the way into the monitor: where the device is now is unknown.
    throw_port_lost(e);
  }
  // A refused access check has said why already.
  if (monitor == kNoMonitor) report_error(language_text(msg::kMonitorProgramError));
  if (monitor != kMonitorReady) return true;
  return download_prgm(*file.image);
}

void FirmwareDownload::on_close() {
  view.progress = 0;
  restore_rate();
  set_status({});
}

void FirmwareDownload::restore_rate() {
  // A port that failed has been reported and closed; opening it again here
  // would only repeat the message. The rate is kept for the next open.
  if (link_.port.connected()) {
    link_.set_baud_rate(9600);
  } else {
    link_.port.set_baud_rate(9600);
  }
}

bool FirmwareDownload::identify() {
  Bytes reply;
  if (link_.raw_transfer(Bytes{kIdentifyRequest}, kMonitorIdLength, kIdentifyPolls, reply) !=
      kRawOk) {
    return false;
  }
  monitor_id = reply;
  return true;
}

int FirmwareDownload::start_monitor() {
  const std::uint8_t address = selector_.state.download_address;
  int result = kMonitorReady;
  monitor_id.clear();

  // A device that still runs its application is asked to enter the monitor,
  // if it lets this user upgrade it.
  Bytes reply;
  if (link_.cctalk_transaction(address, Bytes{0xFE}, reply, kPollBeforeMonitorPolls) ==
      kTransactionOk) {
    if (selector_.check_access(AccessKind::Write, kAreaFirmwareUpgrade)) {
      link_.cctalk_transaction(address, Bytes{0xFF, 0x06}, reply, kPollBeforeMonitorPolls);
    } else {
      result = kUpgradeNotPermitted;
    }
  }

  // A port that will not open ends the start at its first error (thrown).
  link_.wait_ms(kSettleMs);
  link_.set_baud_rate(9600);
  bool answered = identify();
  if (!answered && result != kUpgradeNotPermitted) {
    link_.wait_ms(kSettleMs);
    link_.set_baud_rate(38400);
    answered = identify();
    if (!answered) result = kNoMonitor;
  }
  link_.wait_ms(kSettleMs);
  if (result != kMonitorReady) monitor_id.clear();
  return result;
}

bool FirmwareDownload::download_prgm(const std::string& path) {
  const FirmwareImageResult file = read_firmware_image(path);
  return run(file.image ? &*file.image : nullptr, file.error);
}

bool FirmwareDownload::download_prgm(const FirmwareImage& image) { return run(&image, {}); }

bool FirmwareDownload::run(const FirmwareImage* image, const std::string& file_error) {
  const std::uint64_t started = link_.pump.now_ms();
  const bool log_was_enabled = link_.log_enabled;
  set_status(language_text(msg::kProgramming));
  set_progress(0);
  // Thousands of records would bury the communication log.
  link_.log_enabled = false;
  records_accepted = 0;
  programming_time_ms = 0;
  last_status = kStatusNoAnswer;
  completed = false;

  bool accepted = false;
  try {
    if (image) {
      accepted = send_image(*image, started);
    } else {
      report_failure(file_error);
      set_status({});
    }
    link_.wait_ms(kAfterDownloadMs);
  } catch (const PortError& e) {
    // The port vanished: the record in progress is abandoned, the window
    // is left usable, and the message is shown once by whoever catches it.
    finish(log_was_enabled);
    throw_port_lost(e);
  }
  finish(log_was_enabled);
  completed = accepted;
  return accepted;
}

bool FirmwareDownload::send_image(const FirmwareImage& image, std::uint64_t started_ms) {
  // The bar counts the records after the header, so the last one fills it.
  view.progress_max = static_cast<int>(image.body_count());
  changed();

  // Checked before the header record, whose arrival makes the monitor erase
  // the flash.
  if (monitor_id.empty() || image.header_id != monitor_id) {
    report_failure(language_text(msg::kTypeError) + "\n" + language_text(msg::kImageHeader) +
                   identification_text(image.header_id) + "\n" +
                   language_text(msg::kMonitorIdentification) + identification_text(monitor_id));
    set_status({});
    return false;
  }

  Bytes frame{kRecordMark, kHeaderType};
  frame.insert(frame.end(), image.header().bytes.begin(), image.header().bytes.end());
  Bytes reply;
  if (link_.raw_transfer(frame, 1, kHeaderPolls, reply) != kRawOk) {
    report_failure(language_text(msg::kTimeOut));
    set_status({});
    return false;
  }
  last_status = static_cast<char>(reply.front());
  if (last_status != kStatusAccepted) {
    report_failure(monitor_status_text(static_cast<std::uint8_t>(last_status)));
    return false;
  }

  for (std::size_t i = 1; i < image.records.size(); ++i) {
    set_progress(records_accepted);
    const FirmwareRecord& record = image.records[i];
    last_status = send_record(record.type, record.bytes, kRecordPolls, kRecordSends);
    if (last_status != kStatusAccepted) break;
    ++records_accepted;
  }
  if (last_status != kStatusAccepted) {
    report_failure(monitor_status_text(static_cast<std::uint8_t>(last_status)));
    return false;
  }

  set_progress(records_accepted);
  programming_time_ms = link_.pump.now_ms() - started_ms;
  set_status(language_text(msg::kProgrammingTime) + std::to_string(programming_time_ms) + " ms");
  report_information(language_text(msg::kOperationFinished));
  return true;
}

char FirmwareDownload::send_record(char type, const Bytes& bytes, int polls, int sends) {
  Bytes frame{kRecordMark, static_cast<std::uint8_t>(type)};
  frame.insert(frame.end(), bytes.begin(), bytes.end());
  char status = kStatusNoAnswer;
  for (int send = 0; send < sends; ++send) {
    Bytes reply;
    link_.raw_transfer(frame, 1, polls, reply);  // "6" when nothing came
    status = reply.empty() ? kStatusNoAnswer : static_cast<char>(reply.front());
    if (!retried(status)) break;
  }
  return status;
}

void FirmwareDownload::throw_port_lost(const PortError& e) {
  const std::string failed = language_text(msg::kUpgradeDidNotComplete);
  set_status(failed);
  throw PortError(std::string(e.what()) + "\n" + where_the_device_waits(failed));
}

void FirmwareDownload::finish(bool log_was_enabled) {
  link_.log_enabled = log_was_enabled;
  set_progress(0);
  restore_rate();
}

}  // namespace qv82
