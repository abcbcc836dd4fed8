#pragma once

#include <string>
#include <vector>

namespace qv82 {

// The rule every front end follows for the folder of the data files
// (qv82hs.ini, io.ini, template.xml, Production.ini) when no --workdir is
// given:
//  * the current folder, when it holds any of the data files (a bench set
//    up by hand, or the build tree's data/);
//  * otherwise, when the program is installed (its data next to the
//    executable in ../share/qv82hs), the user's own folder
//    $XDG_CONFIG_HOME/qv82hs (default ~/.config/qv82hs), filled from the
//    installation with the files it lacks, so that the settings the program
//    writes never go into the installation; a copy the user never changed
//    follows the installed file when a package update changes it, a changed
//    one is kept;
//  * otherwise the current folder, as before.
struct DataFolderPlaces {
  std::string current;         // the current folder
  std::string installed_data;  // the installation's share/qv82hs
  std::string config_home;     // $XDG_CONFIG_HOME, empty when unset
  std::string home;            // $HOME, empty when unset
};

struct DataFolder {
  std::string path;
  // The per-user folder was chosen (and filled where needed).
  bool per_user = false;
  // Why the per-user folder could not be made or filled; path is then empty.
  std::string error;
  // Worth a word at start-up: a newer installed file beside a copy the user
  // changed, told once per installed version.
  std::vector<std::string> notices;
};

// The installation's data folder for an executable in executable_dir.
std::string installed_data_folder(const std::string& executable_dir);

// The places from the environment, for an executable in executable_dir.
DataFolderPlaces data_folder_places(const std::string& current, const std::string& executable_dir);

// True when the folder holds any of the data files.
bool holds_data_files(const std::string& folder);

DataFolder choose_data_folder(const DataFolderPlaces& places);

// The language of the settings the rule will take, before it is applied:
// what choosing the folder says is said in it.
int data_folder_language(const DataFolderPlaces& places);

// The rule in a few lines, for --help.
const char* data_folder_help();

}  // namespace qv82
