#include "cli/cli_context.h"
#include "cli/command_registry.h"

namespace qv82::cli {

namespace {

// The Search button: prints what it found, or the reason on stderr.
int run_search(CliContext& context, const CommandArgs& args) {
  if (!args.empty()) {
    context.err << "usage: qv82hs-cli search\n";
    return kExitUsage;
  }
  // The search always starts from address 2, whatever --address says.
  context.options.address.reset();
  return context.connect_device(true) ? kExitOk : kExitFailed;
}

const CommandRegistrar search_command(
    "search", {"search",
               "finds the coin selector on every port and address and identifies it, as the "
               "Search button does; exit 0 when found, 1 otherwise",
               run_search});

}  // namespace

}  // namespace qv82::cli
