#include "app/data_folder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "app/application.h"
#include "diagnostics/production_limits.h"
#include "files/ini_file.h"
#include "files/read_file.h"
#include "files/replace_file.h"
#include "files/text.h"
#include "lang/language.h"

namespace qv82 {

namespace {

namespace fs = std::filesystem;

const char* const kDataFiles[] = {kSettingsFileName, kIoFileName, kTemplateFileName,
                                  kProductionFileName};

// Beside the copies: the fingerprint of the installed file each copy was
// last taken from, or last told about.
constexpr const char* kInstalledCopiesName = ".installed-copies";
constexpr const char* kCopiesSection = "copies";

// FNV-1a: enough to tell one version of a data file from another.
std::string fingerprint(std::string_view text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  char digits[17];
  std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
  return digits;
}

// The settings the program writes into qv82hs.ini itself. They are not the
// user's change of the file: a copy that differs from the installed one only
// in them still follows an update, and keeps their values.
const char* const kProgramsOwnSettings[] = {"ComPort", "ccTalkAddr", "ProductionRecord", "Language"};

bool is_programs_own_setting(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  const std::string_view key = trim(line.substr(0, equals));
  for (const char* own : kProgramsOwnSettings) {
    if (same_text_ignoring_case(key, own)) return true;
  }
  return false;
}

// What tells one version of a data file from another: the whole file, or
// for the settings all but the program's own settings.
std::string version_print(const char* name, const std::string& content) {
  if (std::string_view(name) != kSettingsFileName) return fingerprint(content);
  std::string kept;
  std::size_t begin = 0;
  while (begin < content.size()) {
    std::size_t end = content.find('\n', begin);
    end = end == std::string::npos ? content.size() : end + 1;
    const std::string_view line(content.data() + begin, end - begin);
    if (!is_programs_own_setting(line)) kept += line;
    begin = end;
  }
  return fingerprint(kept);
}

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

std::string installed_data_folder(const std::string& executable_dir) {
  return (fs::path(executable_dir) / ".." / "share" / "qv82hs").lexically_normal().string();
}

DataFolderPlaces data_folder_places(const std::string& current, const std::string& executable_dir) {
  return {current, installed_data_folder(executable_dir), environment("XDG_CONFIG_HOME"),
          environment("HOME")};
}

bool holds_data_files(const std::string& folder) {
  std::error_code error;
  for (const char* name : kDataFiles) {
    if (fs::exists(fs::path(folder) / name, error)) return true;
  }
  return false;
}

namespace {

// The per-user folder when the rule takes it, empty when it takes the
// current folder.
fs::path per_user_folder(const DataFolderPlaces& places) {
  if (holds_data_files(places.current) || !holds_data_files(places.installed_data)) return {};
  // A relative $XDG_CONFIG_HOME is to be ignored, as the base directory
  // convention says.
  if (!places.config_home.empty() && fs::path(places.config_home).is_absolute()) {
    return fs::path(places.config_home) / "qv82hs";
  }
  if (!places.home.empty()) return fs::path(places.home) / ".config" / "qv82hs";
  return {};
}

}  // namespace

int data_folder_language(const DataFolderPlaces& places) {
  const fs::path folder = per_user_folder(places);
  if (folder.empty()) return language_of_settings(IniFile(places.current + "/" + kSettingsFileName));
  std::error_code error;
  const fs::path mine = folder / kSettingsFileName;
  return language_of_settings(IniFile(
      fs::exists(mine, error) ? mine.string()
                              : (fs::path(places.installed_data) / kSettingsFileName).string()));
}

DataFolder choose_data_folder(const DataFolderPlaces& places) {
  const fs::path folder = per_user_folder(places);
  if (folder.empty()) return {places.current, false, {}, {}};
  std::error_code error;
  fs::create_directories(folder, error);
  if (error || !fs::is_directory(folder, error)) {
    return {
        {},
        false,
        language_text(msg::kCannotMakeSettingsFolder,
                      {folder.string(), error ? error.message() : language_text(msg::kNotAFolder)}),
        {}};
  }
  // First start, or an update that brought a new file: what is missing
  // comes from the installation, a copy the user never changed follows it,
  // a changed one is kept.
  DataFolder chosen{folder.string(), true, {}, {}};
  IniFile copies((folder / kInstalledCopiesName).string());
  for (const char* name : kDataFiles) {
    const fs::path from = fs::path(places.installed_data) / name;
    const fs::path to = folder / name;
    if (!fs::exists(from, error)) continue;
    const bool missing = !fs::exists(to, error);
    const FileContent installed = read_whole_file(from.string(), kConfigurationFileLimit);
    if (installed.failure != ReadFailure::kNone) {
      if (!missing) continue;
      return {{},
              false,
              language_text(msg::kCannotCopy, {from.string(), to.string(), installed.reason}),
              {}};
    }
    const std::string installed_print = version_print(name, installed.content);
    const std::string recorded = copies.read_string(kCopiesSection, name, "");
    if (!missing) {
      const FileContent mine = read_whole_file(to.string(), kConfigurationFileLimit);
      const std::string mine_print =
          mine.failure == ReadFailure::kNone ? version_print(name, mine.content) : std::string();
      if (mine_print == installed_print || recorded == installed_print) {
        if (recorded != installed_print) copies.write_string(kCopiesSection, name, installed_print);
        continue;
      }
      if (mine_print.empty() || recorded != mine_print) {
        chosen.notices.push_back(language_text(msg::kNewerDataFileInstalled) + to.string() +
                                 language_text(msg::kInstalledDataFile) + from.string());
        copies.write_string(kCopiesSection, name, installed_print);
        continue;
      }
    }
    // The program's own settings of the copy go over to the new version.
    std::vector<std::pair<std::string, std::string>> own_settings;
    if (!missing && std::string_view(name) == kSettingsFileName) {
      const IniFile old_copy(to.string());
      for (const char* key : kProgramsOwnSettings) {
        const std::string value = old_copy.read_string("SETTINGS", key, "");
        if (!value.empty()) own_settings.emplace_back(key, value);
      }
    }
    // Through a fresh file renamed into place: a copy cut short (a full
    // disk) must not stay behind as the user's file for good.
    if (const auto failure = replace_file(to.string(), installed.content)) {
      if (!missing) continue;  // the user's copy stays as it was
      return {
          {}, false, language_text(msg::kCannotCopy, {from.string(), to.string(), *failure}), {}};
    }
    if (!own_settings.empty()) {
      IniFile new_copy(to.string());
      for (const auto& [key, value] : own_settings) new_copy.write_string("SETTINGS", key, value);
    }
    copies.write_string(kCopiesSection, name, installed_print);
  }
  return chosen;
}

const char* data_folder_help() {
  return "Without --workdir the data files (qv82hs.ini, io.ini, template.xml,\n"
         "Production.ini) are those of the current folder when it has any of them;\n"
         "otherwise an installed program uses $XDG_CONFIG_HOME/qv82hs (default\n"
         "~/.config/qv82hs), filled from its share/qv82hs on first start, and the\n"
         "settings it writes go there.\n";
}

}  // namespace qv82
