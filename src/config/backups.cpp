#include "config/backups.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "config/config_file.h"
#include "config/held_items.h"
#include "config/parameter_tree.h"
#include "files/text.h"
#include "lang/language.h"
#include "platform/system.h"

namespace qv82 {

namespace fs = std::filesystem;

namespace {

std::string local_clock_text() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  const std::tm local = platform::local_time(now);
  char text[20];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

bool all_digits(const std::string& text, std::size_t count) {
  return text.size() == count &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

struct BackupName {
  std::string serial;
  std::string stamp;  // YYYYMMDD-HHMMSS
  int number = 1;     // a second backup in the same second is -2, ...
};

// "1234567-20261207-153012.xml" or "1234567-20261207-153012-2.xml".
std::optional<BackupName> parse_name(const std::string& file_name) {
  if (file_name.size() < 4 || file_name.substr(file_name.size() - 4) != ".xml") return {};
  std::vector<std::string> parts;
  std::string part;
  for (const char c : file_name.substr(0, file_name.size() - 4)) {
    if (c == '-') {
      parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  parts.push_back(part);
  BackupName name;
  if (parts.size() >= 4 && all_digits(parts[parts.size() - 3], 8) &&
      all_digits(parts[parts.size() - 2], 6) && !parts.back().empty() &&
      all_digits(parts.back(), parts.back().size()) && parts.back().size() < 6) {
    name.number = std::stoi(parts.back());
    parts.pop_back();
  }
  if (parts.size() < 3 || !all_digits(parts[parts.size() - 2], 8) || !all_digits(parts.back(), 6)) {
    return {};
  }
  name.stamp = parts[parts.size() - 2] + "-" + parts.back();
  parts.resize(parts.size() - 2);
  for (std::size_t i = 0; i < parts.size(); ++i) name.serial += (i ? "-" : "") + parts[i];
  if (name.serial.empty()) return {};
  return name;
}

std::string shown_time(const std::string& stamp) {
  return stamp.substr(0, 4) + "-" + stamp.substr(4, 2) + "-" + stamp.substr(6, 2) + " " +
         stamp.substr(9, 2) + ":" + stamp.substr(11, 2) + ":" + stamp.substr(13, 2);
}

std::size_t held_item_count(const std::string& path) {
  std::size_t count = 0;
  try {
    for (const std::string& line : read_text_lines(path)) {
      const std::size_t end = line.find("</Data>");
      if (end != std::string::npos && end > 0 && line[end - 1] != '>') ++count;
    }
  } catch (const std::exception&) {
    // An unreadable backup is listed with no items.
  }
  return count;
}

bool overlaps(const HeldItem& item, const MemoryBlock& block) {
  return item.address < block.address + block.length && block.address < item.address + item.length;
}

// The blocks as items of their own, for a write no template item covers or
// when the template cannot be used.
std::vector<HeldItem> block_items(const std::vector<MemoryBlock>& blocks) {
  std::vector<HeldItem> items;
  for (const MemoryBlock& block : blocks) {
    items.push_back({item_caption({}, block.address), block.address, block.length, {}});
  }
  return items;
}

// An ordinary configuration file of the items alone: File Open lays them
// into the template by address, restore writes them as they stand.
std::vector<std::string> plain_configuration(const std::vector<HeldItem>& items) {
  std::vector<std::string> lines = {"<?xml version=\"1.0\"?>",
                                    "<!-- " + std::string(kFormatMarker) + " -->", "<MachineData>"};
  for (const HeldItem& item : items) {
    lines.push_back("  <Data caption=\"" + item.caption + "\" address=\"" +
                    hex_address(item.address) + "\" length=\"" + std::to_string(item.length) +
                    "\">" + item.text + "</Data>");
  }
  lines.push_back("</MachineData>");
  return lines;
}

}  // namespace

Backups::Backups(CoinSelector& selector, std::string data_folder, std::string template_path)
    : clock_text(local_clock_text),
      selector_(selector),
      data_folder_(std::move(data_folder)),
      template_path_(std::move(template_path)) {}

std::string Backups::folder() const {
  return (fs::path(data_folder_) / kBackupFolderName).string();
}

std::string backup_serial_of(const std::string& path) {
  const auto name = parse_name(fs::path(path).filename().string());
  return name ? name->serial : std::string();
}

std::string Backups::device_serial() const {
  std::string serial;
  for (const char c : selector_.state.info.serial_number) {
    serial += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  }
  return serial.empty() ? "unknown" : serial;
}

std::string Backups::next_path(const std::string& serial) const {
  const std::string base = (fs::path(folder()) / (serial + "-" + clock_text())).string();
  std::string path = base + ".xml";
  std::error_code error;
  // Never over an earlier backup, even one made in the same second.
  for (int n = 2; fs::exists(path, error); ++n) path = base + "-" + std::to_string(n) + ".xml";
  return path;
}

std::optional<std::string> Backups::back_up(const std::vector<MemoryBlock>& blocks) {
  const std::string path = next_path(device_serial());
  const auto refused = [&path](const std::string& why) {
    return language_text(msg::kBackupNotWritten) + path + "\n" + why;
  };
  ParameterTree tree;
  std::vector<HeldItem> items;
  bool in_template = true;
  try {
    (void)read_template_lines(template_path_);
    tree.load_file(template_path_);
    for (const HeldItem& item : tree_items(tree, false)) {
      if (std::any_of(blocks.begin(), blocks.end(),
                      [&item](const MemoryBlock& block) { return overlaps(item, block); })) {
        items.push_back(item);
      }
    }
  } catch (const std::exception&) {
    // A broken template must not cost the backup.
    items.clear();
  }
  if (items.empty()) {
    in_template = false;
    items = block_items(blocks);
  }
  const auto read = read_held_items(selector_, items);
  if (!read) return refused(language_text(msg::kErrorReadingData));
  std::error_code error;
  fs::create_directories(folder(), error);
  if (error) return refused(folder() + ": " + error.message());
  try {
    if (in_template) {
      lay_items(tree, *read);
      write_configuration(template_path_, tree, path);
    } else {
      write_text_lines(path, plain_configuration(*read));
    }
  } catch (const ConfigFileError& e) {
    return refused(e.what());
  }
  if (written) written(path);
  return std::nullopt;
}

std::vector<BackupEntry> Backups::list() const {
  struct Found {
    BackupName name;
    BackupEntry entry;
  };
  std::vector<Found> found;
  std::error_code error;
  for (fs::directory_iterator it(folder(), error), end; !error && it != end; it.increment(error)) {
    if (!it->is_regular_file(error)) continue;
    const auto name = parse_name(it->path().filename().string());
    if (!name) continue;
    BackupEntry entry;
    entry.path = it->path().string();
    entry.serial = name->serial;
    entry.time = shown_time(name->stamp);
    entry.items = held_item_count(entry.path);
    entry.size = it->file_size(error);
    found.push_back({*name, entry});
  }
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    if (a.name.stamp != b.name.stamp) return a.name.stamp > b.name.stamp;
    if (a.name.number != b.name.number) return a.name.number > b.name.number;
    return a.entry.path > b.entry.path;
  });
  std::vector<BackupEntry> entries;
  for (Found& f : found) entries.push_back(std::move(f.entry));
  return entries;
}

std::vector<BackupEntry> Backups::of_serial(const std::string& serial) const {
  std::vector<BackupEntry> entries = list();
  std::erase_if(entries, [&serial](const BackupEntry& e) { return e.serial != serial; });
  return entries;
}

}  // namespace qv82
