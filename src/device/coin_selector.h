#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "device/device_state.h"
#include "device/ui.h"
#include "link/bytes.h"
#include "link/cctalk_link.h"

namespace qv82 {

class IniFile;

enum class AccessKind { Read, Write };

// A stretch of configuration memory an operation is about to write.
struct MemoryBlock {
  std::uint16_t address = 0;
  std::size_t length = 0;
  std::uint8_t area = 0;
};

// Results of the memory operations.
inline constexpr int kMemoryOk = 0;
inline constexpr int kMemoryFailed = 1;
inline constexpr int kMemoryDenied = 2;

// Everything the application does with the coin selector beyond single
// transactions: finding and identifying it, reading and writing its memory
// behind the access check, changing its address and PIN, and the terminal.
// It talks to the person only through Ui, with the message table's words.
class CoinSelector {
 public:
  // settings is qv82hs.ini of the working directory: the supported types
  // are read from it, and the found port and address written to it.
  CoinSelector(CcTalkLink& link, DeviceState& state, Ui& ui, IniFile& settings);

  CcTalkLink& link;
  DeviceState& state;
  Ui& ui;
  IniFile& settings;

  // Hooks of the main window, all optional.
  std::function<void(bool)> set_pages_enabled;
  // The firmware download window, opened modally when a device waits in its
  // boot monitor and the user wants the upgrade; true when the download
  // completed.
  std::function<bool()> open_firmware_download;
  // The device information fields have new values.
  std::function<void()> device_info_changed;

  // --- discovery (search.cpp, identify.cpp) ---
  // The Search button: finds and identifies the coin selector on any port
  // and address and says so. True when a device was found.
  bool search();
  bool identify_device();
  // Whether anything answered the last identify_device: a device that
  // answered and was refused has had its reason told already.
  bool device_answered() const { return device_answered_; }
  bool scan_ports();
  bool scan_monitor_ports();
  bool address_poll();
  bool is_supported_type(const std::string& type) const;
  // Why the settings file accepts no device type at all (missing file,
  // empty section), naming the file; empty when it lists some.
  std::string supported_types_problem() const;
  // The names scan_ports found, in the order they were tried.
  const std::vector<std::string>& port_list() const { return port_list_; }
  // "Coin selector with address 3 found at  COM1"
  std::string found_message() const;

  // --- memory (memory_access.cpp, check_access.cpp) ---
  // 0 done, 1 failed, 2 access denied (nothing sent).
  int read_memory(std::uint16_t address, std::uint8_t length, std::uint8_t area, Bytes& data);
  int write_memory(std::uint16_t address, const Bytes& data, std::uint8_t area);
  // Channel n (1..16) into or out of state.channel_buffer.
  int read_channel(int channel);
  int write_channel(int channel);
  // Stores the written data and restarts the device with it.
  bool commit_and_reset();
  // How far the last commit_and_reset came: a port lost under it leaves
  // the stage it was lost in, which decides what the device holds.
  enum class CommitStage { kReadingBack, kStoring, kRestarting, kDone };
  CommitStage commit_stage() const { return commit_stage_; }
  // What an operation is about to overwrite is saved first (the back_up
  // hook). False, with the reason shown, when it could not be saved: the
  // operation must then write nothing.
  bool prepare_writes(const std::vector<MemoryBlock>& blocks);
  // Every write since the last store is read back by commit_and_reset
  // before the store command; a mismatch restarts the device without
  // storing. Off only for speed measurements.
  bool verify_writes = true;
  // Whether the last commit_and_reset refused to store because a read-back
  // differed or failed, or the writes were made before the port failed;
  // its message has been shown.
  bool verify_failed() const { return verify_failed_; }
  const std::string& verify_message() const { return verify_message_; }
  // The device restarted without storing: what was written is gone.
  void forget_unstored_writes() { unstored_.clear(); }
  // Saves the device's current contents of the blocks; the reason when it
  // could not. Unset: nothing is saved.
  std::function<std::optional<std::string>(const std::vector<MemoryBlock>&)> back_up;
  // The caption of the item an address belongs to, for messages. Unset:
  // the memory map's label.
  std::function<std::string(std::uint16_t)> caption_of;

  // Obtains permission from the device for the kind of access to the area,
  // asking for the factory password or the PIN where the masks require it.
  bool check_access(AccessKind kind, std::uint8_t area);

  // --- dialogs (dialogs.cpp) ---
  // The address dialog's OK: FB to the current address. True when changed.
  bool change_address(std::uint8_t new_address);
  // The PIN dialog's OK. True when the device took the new PIN (the dialog
  // closes); every failure has been shown.
  bool change_pin(const std::string& current_pin, const std::string& new_pin,
                  const std::string& confirmation);

  // --- terminal (terminal.cpp) ---
  // Sends a typed command (header and data as hex text, blanks between the
  // bytes allowed), unlocking the
  // memory it addresses first. The transaction result, or nothing when the
  // text was too short to send. Throws ConversionError for text that is not
  // hex; nothing is sent then.
  std::optional<std::uint8_t> terminal_send(const std::string& text);

 private:
  enum class SearchOutcome { kFound, kMonitor, kNothing, kNoSingleAddress, kNotIdentified };
  SearchOutcome find_device();
  void note_port_failure(const std::string& text);
  void set_device_address(std::uint8_t address);
  void report(const std::string& text);
  bool ask_key(int caption, const std::string& note, std::size_t length, Bytes& key);
  void read_information();
  std::string read_date(std::uint8_t header);

  struct WrittenBlock {
    std::uint16_t address;
    std::uint8_t area;
    Bytes expected;
  };
  void note_written(std::uint16_t address, const Bytes& data, std::uint8_t area);
  // Writes made before the port failed are not stored with later ones: the
  // device restarts without storing, and the user is told. True when it did.
  bool drop_writes_lost_with_port();
  // The message for the first written byte the device does not hold.
  std::optional<std::string> read_back_unstored();

  std::vector<WrittenBlock> unstored_;
  std::uint64_t unstored_port_failures_ = 0;  // the link's count at the first of them
  CommitStage commit_stage_ = CommitStage::kDone;
  bool verify_failed_ = false;
  std::string verify_message_;
  std::vector<std::string> port_list_;
  bool device_answered_ = false;
  // Ports of the current search that would not open or failed under it.
  std::vector<std::string> port_failures_;
};

// The device's answer to an unlock challenge for the factory password.
std::array<std::uint8_t, 6> unlock_response(const std::array<std::uint8_t, 6>& challenge,
                                            const std::array<std::uint8_t, 6>& key);

}  // namespace qv82
