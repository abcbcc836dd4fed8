#include "cli/cli_context.h"
#include "cli/command_registry.h"
#include "device/dialogs.h"
#include "files/text.h"

namespace qv82::cli {

namespace {

// The PIN dialog: the current PIN, then the new one (given once; the
// command line needs no confirmation field).
int run_set_pin(CliContext& context, const CommandArgs& args) {
  if (args.size() != 2) {
    context.err << "usage: qv82hs-cli set-pin OLD NEW  (8 hex digits each)\n";
    return kExitUsage;
  }
  const std::string current = upper_case(args[0]);
  const std::string fresh = upper_case(args[1]);
  if (const auto problem = check_pin_fields(current, fresh, fresh)) {
    context.err << *problem << "\n";
    return kExitUsage;
  }
  if (!context.connect_device(false)) return kExitFailed;
  return context.app().selector.change_pin(current, fresh, fresh) ? kExitOk : kExitFailed;
}

const CommandRegistrar set_pin_command("set-pin",
                                       {"set-pin OLD NEW",
                                        "changes the coin selector's PIN (8 hex digits each)",
                                        run_set_pin});

}  // namespace

}  // namespace qv82::cli
