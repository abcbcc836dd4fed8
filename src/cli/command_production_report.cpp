#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "cli/cli_context.h"
#include "cli/command_registry.h"
#include "diagnostics/production_report.h"

namespace qv82::cli {

namespace {

// Totals, pass rate, failures by step and retested units of a production
// record file.
int run_production_report(CliContext& context, const CommandArgs& args) {
  if (args.size() != 1) {
    context.err << "usage: qv82hs-cli production-report FILE\n";
    return kExitUsage;
  }
  errno = 0;
  std::ifstream in(args[0], std::ios::binary);
  std::error_code ec;
  if (!in || std::filesystem::is_directory(args[0], ec)) {
    const int reason = errno != 0 ? errno : EISDIR;
    context.err << "Cannot read the production record " << args[0] << ": "
                << std::generic_category().message(reason) << "\n";
    return kExitFailed;
  }
  std::ostringstream text;
  text << in.rdbuf();
  try {
    context.out << format_production_summary(summarise_production_record(text.str()));
  } catch (const std::runtime_error& e) {
    context.err << args[0] << ": " << e.what() << "\n";
    return kExitFailed;
  }
  return kExitOk;
}

const CommandRegistrar production_report_command(
    "production-report",
    {"production-report FILE",
     "the totals, pass rate, failures by step and units tested more than once of a production "
     "record written by production-test",
     run_production_report});

}  // namespace

}  // namespace qv82::cli
