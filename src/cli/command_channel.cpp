#include "channels/channels_page.h"
#include "cli/cli_context.h"
#include "cli/command_config_args.h"
#include "cli/command_device_args.h"
#include "cli/command_registry.h"
#include "config/working_images.h"
#include "lang/language.h"

namespace qv82::cli {

namespace {

// One coin channel as the channels page shows it, read from the device or
// taken from a configuration file.
int run_channel(CliContext& context, const CommandArgs& args) {
  const auto channel =
      !args.empty() && args.size() <= 2 ? parse_decimal_in(args[0], 1, 16) : std::nullopt;
  if (!channel) {
    context.err << "usage: qv82hs-cli channel N [FILE]  (N 1..16)\n";
    return kExitUsage;
  }
  Application& app = context.app();
  ChannelsPage& page = app.configuration.channels;

  if (args.size() == 2) {
    TransferArgs file;
    file.file = args[1];
    file.sections = kSectionChannels;
    file.sections_given = true;
    if (!prepare_configuration(context, file)) return kExitFailed;
    if (!app.configuration.files.open(file.file)) return kExitFailed;
    if (!(app.configuration.images.loaded_sections & kSectionChannels)) {
      context.ui().error(file.file + " holds no channel data");
      return kExitFailed;
    }
  } else {
    if (!context.connect_device(false)) return kExitFailed;
    const int result = app.selector.read_channel(*channel);
    if (result != kMemoryOk) {
      // A refusal has been explained by the access check.
      if (result == kMemoryFailed) context.ui().error(language_text(msg::kErrorReadingData));
      return kExitFailed;
    }
  }
  page.change_channel(*channel);
  const ScopedLanguage printed_form(kEnglishBase);
  context.out << channel_text(page.view, *channel);
  return kExitOk;
}

const CommandRegistrar channel_command(
    "channel", {"channel N [FILE]",
                "shows coin channel N (1..16) of the device, or of a configuration file, as the "
                "channels page does",
                run_channel});

}  // namespace

}  // namespace qv82::cli
