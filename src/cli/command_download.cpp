#include "cli/cli_context.h"
#include "cli/command_config_args.h"
#include "cli/command_registry.h"

namespace qv82::cli {

namespace {

// "File Open" followed by "Download": the chosen sections of a
// configuration file into the device, stored and restarted.
int run_download(CliContext& context, const CommandArgs& args) {
  const auto parsed = parse_transfer_args(context, args, false);
  if (!parsed) {
    context.err << "usage: qv82hs-cli download FILE [--sections LIST]\n  " << kSectionsHelp << "\n";
    return kExitUsage;
  }
  if (!prepare_configuration(context, *parsed)) return kExitFailed;
  Application& app = context.app();
  // The file first: a file that will not open costs no device traffic.
  if (!app.configuration.files.open(parsed->file)) return kExitFailed;
  if (!context.connect_device(false)) return kExitFailed;
  return app.configuration.transfer.download() ? kExitOk : kExitFailed;
}

const CommandRegistrar download_command(
    "download",
    {"download FILE [--sections LIST]",
     "writes the sections of a configuration file into the device, then stores and restarts it; " +
         std::string(kSectionsHelp),
     run_download});

}  // namespace

}  // namespace qv82::cli
