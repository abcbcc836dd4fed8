#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace qv82::cli {

class CliContext;

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 64;
// An installation or data file that cannot be used (a missing or broken
// qv82hs.ini, template.xml, a working directory that is not there).
inline constexpr int kExitData = 65;

using CommandArgs = std::vector<std::string>;
using CommandFn = std::function<int(CliContext&, const CommandArgs&)>;

struct Command {
  std::string usage;    // "send HEX"
  std::string summary;  // one line for --help
  CommandFn run;
};

// Commands register themselves from their own files, so adding one touches
// no shared list.
std::map<std::string, Command>& commands();

struct CommandRegistrar {
  CommandRegistrar(const std::string& name, Command command) {
    commands().emplace(name, std::move(command));
  }
};

}  // namespace qv82::cli
