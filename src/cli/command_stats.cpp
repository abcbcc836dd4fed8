#include <utility>
#include <vector>

#include "cli/cli_context.h"
#include "cli/command_device_args.h"
#include "cli/command_registry.h"
#include "config/working_images.h"
#include "stats/statistics.h"

namespace qv82::cli {

namespace {

constexpr const char* kUsage =
    "usage: qv82hs-cli stats [--export FILE | set I NAME [I NAME ...] | erase-all]\n";

int usage(CliContext& context) {
  context.err << kUsage;
  return kExitUsage;
}

// The statistics page: read and print, export, change options and write, or erase all.
int run_stats(CliContext& context, const CommandArgs& args) {
  std::vector<std::pair<int, std::string>> changes;
  std::string export_file;
  bool erase_all = false;
  if (args.size() == 2 && args[0] == "--export") {
    export_file = args[1];
  } else if (args.size() == 1 && args[0] == "erase-all") {
    erase_all = true;
  } else if (!args.empty() && args[0] == "set" && args.size() >= 3 && args.size() % 2 == 1) {
    for (std::size_t i = 1; i < args.size(); i += 2) {
      const auto row = parse_decimal_in(args[i], 1, kStatisticRows);
      if (!row) return usage(context);
      changes.emplace_back(*row, args[i + 1]);
    }
  } else if (!args.empty()) {
    return usage(context);
  }

  Application& app = context.app();
  WorkingImages images;
  StatisticsPage page(app.link, app.selector, images, app.settings, context.ui());
  page.load_option_names();
  // Names are checked before the device is touched.
  for (const auto& [row, name] : changes) {
    bool known = false;
    for (const std::string& option : page.option_names) known = known || option == name;
    if (!known) {
      context.err << "qv82hs-cli: '" << name << "' is no option of [" << kStatisticOptionsSection
                  << "] in " << app.settings.path() << "; the options are:\n";
      for (const std::string& option : page.option_names) context.err << "  " << option << "\n";
      return kExitUsage;
    }
  }

  if (!context.connect_device(false)) return kExitFailed;
  if (erase_all) return page.erase_all() ? kExitOk : kExitFailed;

  // Only the rows (or nothing) on stdout; the reports go to stderr.
  context.ui().information_to_err = true;
  if (!page.read()) return kExitFailed;
  if (!export_file.empty()) return page.export_xls_to(export_file) ? kExitOk : kExitFailed;
  if (!changes.empty()) {
    for (const auto& [row, name] : changes) page.select_option(row, name);
    if (!page.write()) return kExitFailed;
  }
  context.out << page.rows_text();
  return kExitOk;
}

const CommandRegistrar stats_command(
    "stats",
    {"stats [--export FILE | set I NAME [I NAME ...] | erase-all]",
     "prints the 20 statistics (number, option name, counter); --export writes them to an XLS "
     "sheet; set changes options (erasing their counters) and writes them; erase-all clears "
     "every counter",
     run_stats});

}  // namespace

}  // namespace qv82::cli
