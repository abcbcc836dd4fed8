#include "cli/cli_context.h"
#include "cli/command_device_args.h"
#include "cli/command_registry.h"

namespace qv82::cli {

namespace {

// The address dialog: the device takes a new ccTalk address.
int run_set_address(CliContext& context, const CommandArgs& args) {
  const auto address = args.size() == 1 ? parse_decimal_in(args[0], 2, 254) : std::nullopt;
  if (!address) {
    context.err << "usage: qv82hs-cli set-address N  (N 2..254 decimal)\n";
    return kExitUsage;
  }
  if (!context.connect_device(false)) return kExitFailed;
  return context.app().selector.change_address(static_cast<std::uint8_t>(*address)) ? kExitOk
                                                                                    : kExitFailed;
}

const CommandRegistrar set_address_command("set-address",
                                           {"set-address N",
                                            "gives the coin selector the ccTalk address N (2..254)",
                                            run_set_address});

}  // namespace

}  // namespace qv82::cli
