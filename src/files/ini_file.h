#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qv82 {

// A Windows-style INI file: "[Section]" headers, "key=value" lines and lines
// starting with ';' as comments. Section and key names are matched without
// regard to letter case; blanks around names and values are ignored, blanks
// inside them are kept ("Stop time min", "Show:"). A line inside a section
// that has no '=' counts as a key with an empty value. When a section or key
// occurs twice, the first one is used.
//
// Every call looks at the file, so changes by another writer are always
// seen, but the text is parsed again only when it changed (by size and time,
// or by content for a file written in the last seconds, whose time may not
// tell two writes apart); lookups are by name, not a pass over the file. A missing or unreadable
// file (one that is not a regular file, or larger than a settings file can be) reads as empty.
//
// write_string changes a single line and keeps everything else of the file
// as it was (comments, order, line endings). It writes a temporary file in
// the same directory and renames it over the old one, so the settings file is
// either the old one or the complete new one, never half written.
class IniFile {
 public:
  explicit IniFile(std::string path);

  const std::string& path() const { return path_; }

  // Section names in file order.
  std::vector<std::string> section_names() const;
  bool section_exists(std::string_view section) const;

  // The section's key names in file order; empty for a missing section.
  std::vector<std::string> section_keys(std::string_view section) const;

  // The section's keys with their values, in file order.
  std::vector<std::pair<std::string, std::string>> section_entries(std::string_view section) const;

  // The value of the key, or `fallback` when the section or key is missing.
  // A key that is present with an empty value gives "".
  std::string read_string(std::string_view section, std::string_view key,
                          std::string_view fallback) const;

  // Sets one key: in place when it exists, otherwise appended at the end of
  // its section, or in a new section at the end of the file. Returns false,
  // with last_error() set and the old file untouched, when the file cannot be
  // read or written or the names or value cannot be stored in an INI line.
  bool write_string(std::string_view section, std::string_view key, std::string_view value);

  // Whether write_string can store a section or key of that name so that it
  // reads back as the same name (surrounding blanks are dropped).
  static bool valid_section_name(std::string_view name);
  static bool valid_key_name(std::string_view name);

  // The reason of the last failure, "" after a successful write.
  const std::string& last_error() const { return last_error_; }

 private:
  struct Parsed;
  // The file's size and time when it was last read.
  struct Stamp {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type written{};
    bool settled = false;  // written long enough before: a change will show in the time
  };
  std::shared_ptr<const Parsed> parsed() const;

  std::string path_;
  std::string last_error_;
  mutable std::shared_ptr<const Parsed> cache_;
  mutable Stamp stamp_;
};

// A hexadecimal number of the file, the fallback when the key is missing.
// Throws ConversionError naming the file, the section and the key.
unsigned long read_hex_setting(const IniFile& file, std::string_view section, std::string_view key,
                               std::string_view fallback);

}  // namespace qv82
