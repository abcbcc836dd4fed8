#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qv82::cli {

// Options that every command understands, accepted anywhere on the line.
struct GlobalOptions {
  std::optional<std::string> port;
  std::optional<int> address;
  bool simulate = false;
  std::optional<std::string> log_file;
  std::optional<std::string> workdir;
  std::optional<std::string> password;
  std::optional<std::string> pin;
  bool yes = false;
  // Speed measurements only: writes are stored without their read-back,
  // and without the backup before them.
  bool no_verify = false;
  bool no_backup = false;
  // A language base (1000, 2000, 3000) from --language; 0: the setting's.
  int language = 0;
  bool help = false;
  bool version = false;

  std::string command;
  std::vector<std::string> args;  // what follows the command, globals removed
};

// Throws std::invalid_argument with a message fit for the user.
GlobalOptions parse_global_options(const std::vector<std::string>& argv);

std::string global_options_help();

}  // namespace qv82::cli
