#include "cli/cli_context.h"
#include "cli/command_config_args.h"
#include "cli/command_registry.h"
#include "lang/language.h"

namespace qv82::cli {

namespace {

// "Upload" followed by "File Save": the chosen sections of the device's
// configuration into a configuration file.
int run_upload(CliContext& context, const CommandArgs& args) {
  const auto parsed = parse_transfer_args(context, args, true);
  if (!parsed) {
    context.err << "usage: qv82hs-cli upload -o FILE [--sections LIST]\n  " << kSectionsHelp
                << "\n";
    return kExitUsage;
  }
  if (!prepare_configuration(context, *parsed)) return kExitFailed;
  if (!context.connect_device(false)) return kExitFailed;

  Application& app = context.app();
  CliUi& ui = context.ui();
  // The upload's own "Operation finished" would come before the file is
  // written; stdout says it once the file is there.
  ui.information_to_err = true;
  const bool read = app.configuration.transfer.upload();
  ui.information_to_err = false;
  if (!read) return kExitFailed;

  ui.file_choice = parsed->file;
  const auto written = app.configuration.files.save();
  if (!written) return kExitFailed;
  if (*written != parsed->file) context.err << "Saved as " << *written << "\n";
  context.out << english_text(msg::kOperationFinished) << "\n";
  return kExitOk;
}

const CommandRegistrar upload_command(
    "upload",
    {"upload -o FILE [--sections LIST]",
     "reads the configuration from the device and saves it as a configuration file (.xml); " +
         std::string(kSectionsHelp),
     run_upload});

}  // namespace

}  // namespace qv82::cli
