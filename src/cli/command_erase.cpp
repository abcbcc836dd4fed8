#include <algorithm>
#include <sstream>

#include "channels/channels_page.h"
#include "cli/cli_context.h"
#include "cli/command_device_args.h"
#include "cli/command_registry.h"
#include "config/working_images.h"
#include "stats/erasing.h"
#include "stats/statistics.h"

namespace qv82::cli {

namespace {

// "all" or numbers like 1,2,5 within 1 ... N, into the ticks. False for anything else.
template <std::size_t N>
bool parse_list(const std::string& text, std::array<bool, N>& ticks) {
  if (text == "all") {
    ticks.fill(true);
    return true;
  }
  std::istringstream in(text);
  std::string item;
  bool any = false;
  while (std::getline(in, item, ',')) {
    const auto n = parse_decimal_in(item, 1, static_cast<int>(N));
    if (!n) return false;
    ticks[static_cast<std::size_t>(*n - 1)] = true;
    any = true;
  }
  return any && text.back() != ',';
}

// The "Erasing" dialog: the ticked channels and counters erased, then the statistics re-read.
int run_erase(CliContext& context, const CommandArgs& args) {
  std::array<bool, kChannelCount> channels{};
  std::array<bool, kErasableCounters> counters{};
  for (std::size_t i = 0; i < args.size(); i += 2) {
    const bool ok =
        i + 1 < args.size() && ((args[i] == "--channels" && parse_list(args[i + 1], channels)) ||
                                (args[i] == "--counters" && parse_list(args[i + 1], counters)));
    if (!ok) {
      context.err << "usage: qv82hs-cli erase [--channels LIST|all] [--counters LIST|all]  "
                     "(LIST like 1,2,5)\n";
      return kExitUsage;
    }
  }

  // Nothing ticked would still store and restart the device.
  const auto ticked = [](const auto& ticks) {
    return std::find(ticks.begin(), ticks.end(), true) != ticks.end();
  };
  if (!ticked(channels) && !ticked(counters)) {
    context.err << "qv82hs-cli: erase: nothing chosen; give --channels and/or --counters\n";
    return kExitUsage;
  }

  if (!context.connect_device(true)) return kExitFailed;
  Application& app = context.app();
  ChannelsPage page(app.device.channel_buffer);
  Erasing erasing(app.selector, page, context.ui());
  erasing.channels = channels;
  erasing.statistics = counters;
  const bool done = erasing.erase_selected();

  // As after the dialog, whatever came of it: the counters as the device now has them.
  WorkingImages images;
  StatisticsPage statistics(app.link, app.selector, images, app.settings, context.ui());
  statistics.load_option_names();
  if (statistics.read()) context.out << statistics.rows_text();
  // The dialog closes after a failed store too; the command has failed then.
  return done && erasing.stored ? kExitOk : kExitFailed;
}

const CommandRegistrar erase_command(
    "erase", {"erase [--channels LIST|all] [--counters LIST|all]",
              "erases the listed channels (1..16) and statistic counters (1..20) in the device, "
              "stores and restarts it, then prints the statistics",
              run_erase});

}  // namespace

}  // namespace qv82::cli
