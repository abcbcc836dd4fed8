#include "app/data_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "app/application.h"
#include "diagnostics/production_limits.h"
#include "files/read_file.h"
#include "files/replace_file.h"

namespace qv82 {

namespace {

namespace fs = std::filesystem;

const char* const kDataFiles[] = {kSettingsFileName, kIoFileName, kTemplateFileName,
                                  kProductionFileName};

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

DataFolder choose_data_folder(const DataFolderPlaces& places) {
  if (holds_data_files(places.current) || !holds_data_files(places.installed_data)) {
    return {places.current, false, {}};
  }
  // A relative $XDG_CONFIG_HOME is to be ignored, as the base directory
  // convention says.
  fs::path base;
  if (!places.config_home.empty() && fs::path(places.config_home).is_absolute()) {
    base = places.config_home;
  } else if (!places.home.empty()) {
    base = fs::path(places.home) / ".config";
  } else {
    return {places.current, false, {}};
  }
  const fs::path folder = base / "qv82hs";
  std::error_code error;
  fs::create_directories(folder, error);
  if (error || !fs::is_directory(folder, error)) {
    return {{},
            false,
            "cannot make the settings folder " + folder.string() + ": " +
                (error ? error.message() : std::string("not a folder"))};
  }
  // First start, or an update that brought a new file: what the user has
  // is kept, what is missing comes from the installation.
  for (const char* name : kDataFiles) {
    const fs::path from = fs::path(places.installed_data) / name;
    const fs::path to = folder / name;
    if (fs::exists(to, error) || !fs::exists(from, error)) continue;
    // Through a fresh file renamed into place: a copy cut short (a full
    // disk) must not stay behind as the user's file for good.
    const FileContent content = read_whole_file(from.string(), kConfigurationFileLimit);
    std::optional<std::string> failure = content.failure == ReadFailure::kNone
                                             ? replace_file(to.string(), content.content)
                                             : std::optional<std::string>(content.reason);
    if (failure) {
      return {{}, false, "cannot copy " + from.string() + " to " + to.string() + ": " + *failure};
    }
  }
  return {folder.string(), true, {}};
}

const char* data_folder_help() {
  return "Without --workdir the data files (qv82hs.ini, io.ini, template.xml,\n"
         "Production.ini) are those of the current folder when it has any of them;\n"
         "otherwise an installed program uses $XDG_CONFIG_HOME/qv82hs (default\n"
         "~/.config/qv82hs), filled from its share/qv82hs on first start, and the\n"
         "settings it writes go there.\n";
}

}  // namespace qv82
