#include <stdexcept>

#include "cli/cli_context.h"
#include "cli/command_registry.h"
#include "diagnostics/production_report.h"
#include "files/read_file.h"

namespace qv82::cli {

namespace {

// Totals, pass rate, failures by step and retested units of a production
// record file.
int run_production_report(CliContext& context, const CommandArgs& args) {
  if (args.size() != 1) {
    context.err << "usage: qv82hs-cli production-report FILE\n";
    return kExitUsage;
  }
  // A production record of many years is still far below this.
  constexpr std::size_t kRecordLimit = 256 * kMiB;
  const FileContent file = read_whole_file(args[0], kRecordLimit);
  if (!file.ok()) {
    context.err << "Cannot read the production record " << args[0] << ": " << file.reason << "\n";
    return kExitFailed;
  }
  try {
    context.out << format_production_summary(summarise_production_record(file.content));
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
