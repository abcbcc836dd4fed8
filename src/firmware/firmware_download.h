#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "firmware/firmware_image.h"
#include "link/bytes.h"
#include "link/monitor_status.h"

namespace qv82 {

class CoinSelector;
class CcTalkLink;
class PortError;

// Results of start_monitor.
inline constexpr int kMonitorReady = 0;
inline constexpr int kUpgradeNotPermitted = 1;
inline constexpr int kNoMonitor = 2;

// Polls of the monitor frames: the header waits for the flash erase.
inline constexpr int kIdentifyPolls = 50;
inline constexpr int kHeaderPolls = 300;
inline constexpr int kRecordPolls = 20;
// A record answered 3 to 6 is sent again, up to this many sends in all.
inline constexpr int kRecordSends = 3;

// What the firmware upgrade window shows.
struct DownloadView {
  std::string file_label;
  std::string status_label;
  int progress = 0;
  int progress_max = 100;
  bool file_chosen = false;
};

// The firmware upgrade: switches the device into its boot monitor and sends
// an image record by record through raw_transfer. Messages go through the
// coin selector's Ui; the view is for the window to render.
class FirmwareDownload {
 public:
  FirmwareDownload(CcTalkLink& link, CoinSelector& selector);

  DownloadView view;
  // Called whenever view changed, so that a window repaints during the
  // transfer (the progress bar) and a terminal prints a progress line.
  std::function<void()> view_changed;
  // Called before a message is shown (a terminal ends its progress line).
  std::function<void()> before_message;

  // The 9 bytes the monitor answered to "V"; empty when none answered.
  Bytes monitor_id;

  // Outcome of the last download.
  bool completed = false;  // every record accepted: the device runs the new firmware
  char last_status = kStatusNoAnswer;
  std::uint64_t programming_time_ms = 0;
  int records_accepted = 0;

  // --- the window's handlers ---
  void on_open();
  void choose_file(const std::string& path);
  // "Start": true when the window closes (the monitor could not be started
  // or every record was accepted).
  bool start();
  // "Close" and closing the window.
  void on_close();

  // 0 monitor ready, 1 upgrade not permitted, 2 no monitor answered. The
  // rate stays where the monitor answered. A port that will not open throws
  // PortError at once.
  int start_monitor();
  // Sends the file; true when the monitor accepted every record. On every
  // outcome the line returns to 9600 baud and logging comes back on; a port
  // that vanishes on the way is thrown on as PortError, its text saying that
  // the upgrade did not complete and where the device waits.
  bool download_prgm(const std::string& path);
  bool download_prgm(const FirmwareImage& image);

 private:
  bool run(const FirmwareImage* image, const std::string& file_error);
  bool send_image(const FirmwareImage& image, std::uint64_t started_ms);
  char send_record(char type, const Bytes& bytes, int polls, int sends);
  void finish(bool log_was_enabled);
  void restore_rate();
  bool identify();
  void report_error(const std::string& text);
  // A download that failed after the monitor answered: the device waits
  // there, and the user is told so.
  void report_failure(const std::string& text);
  // The text followed, once the monitor has answered, by where the device waits.
  std::string where_the_device_waits(const std::string& text) const;
  // The port vanished: the label says the upgrade did not complete, and the
  // error thrown on says so after the port's own words.
  [[noreturn]] void throw_port_lost(const PortError& e);
  void report_information(const std::string& text);
  void set_status(const std::string& text);
  void set_progress(int value);
  void changed();

  CcTalkLink& link_;
  CoinSelector& selector_;
  std::string path_;
};

}  // namespace qv82
