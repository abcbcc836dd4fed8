#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "device/coin_selector.h"

namespace qv82 {

inline constexpr const char* kBackupFolderName = "backups";

// One saved backup, from its name and its content.
struct BackupEntry {
  std::string path;
  std::string serial;
  std::string time;  // "2026-12-07 15:30:12", local time
  std::size_t items = 0;
  std::uintmax_t size = 0;
};

// The serial number a backup's file name carries ("1234567" of
// ".../1234567-20261207-153012.xml"), "" when the name is not a backup's.
std::string backup_serial_of(const std::string& path);

// What the device held before the program overwrote it, as ordinary
// configuration files in backups/ of the data folder, named after the
// device's serial number and the local time. Backups are never deleted
// here: they are the user's way back.
class Backups {
 public:
  Backups(CoinSelector& selector, std::string data_folder, std::string template_path);

  std::string folder() const;
  // Reads the template items that the blocks touch from the device and
  // writes them to a new file. The reason, naming the file, when the
  // reads or the file failed: nothing may be written then.
  std::optional<std::string> back_up(const std::vector<MemoryBlock>& blocks);
  // Every backup, newest first.
  std::vector<BackupEntry> list() const;
  // Those of one device, newest first.
  std::vector<BackupEntry> of_serial(const std::string& serial) const;
  // The serial as the file names carry it, of the identified device.
  std::string device_serial() const;

  // A backup has been written, with its path.
  std::function<void(const std::string&)> written;
  // "YYYYMMDD-HHMMSS" in local time.
  std::function<std::string()> clock_text;

 private:
  std::string next_path(const std::string& serial) const;

  CoinSelector& selector_;
  const std::string data_folder_;
  const std::string template_path_;
};

}  // namespace qv82
