#include "cli/command_registry.h"

namespace qv82::cli {

std::map<std::string, Command>& commands() {
  static std::map<std::string, Command> registry;
  return registry;
}

}  // namespace qv82::cli
