#include "cli/cli_context.h"
#include "cli/command_registry.h"
#include "config/config_file.h"
#include "lang/language.h"

namespace qv82::cli {

namespace {

// A file that is no configuration file costs no device traffic.
bool is_configuration_file(CliContext& context, const std::string& path) {
  try {
    if (!has_format_marker(path)) {
      context.err << "qv82hs-cli: " << language_text(msg::kFileFormatError) << ": " << path << "\n";
      return false;
    }
  } catch (const std::exception& e) {
    context.err << "qv82hs-cli: " << e.what() << "\n";
    return false;
  }
  return true;
}

// Differences between a configuration file and the device (only the items
// the file holds are read) or between two files.
int run_compare(CliContext& context, const CommandArgs& args) {
  if (args.empty() || args.size() > 2) {
    context.err << "usage: qv82hs-cli compare FILE [FILE2]\n";
    return kExitUsage;
  }
  for (const std::string& path : args) {
    if (!is_configuration_file(context, path)) return kExitFailed;
  }
  Application& app = context.app();
  // The search speaks the chosen language; the difference lines are a
  // printed form: English, as their words are made while comparing.
  if (args.size() == 1 && !context.connect_device(false)) return kExitFailed;
  const ScopedLanguage printed_form(kEnglishBase);
  std::optional<std::vector<ItemDifference>> differences;
  if (args.size() == 2) {
    differences = app.compare_files(args[0], args[1]);
  } else {
    differences = app.compare_with_device(args[0]);
  }
  if (context.data_error_shown()) return kExitData;
  if (!differences) return kExitFailed;
  for (const std::string& line : difference_lines(*differences)) context.out << line << "\n";
  return differences->empty() ? kExitOk : kExitFailed;
}

const CommandRegistrar compare_command(
    "compare", {"compare FILE [FILE2]",
                "the items of a configuration file that the device (or FILE2) holds "
                "differently, one line each with both values and what they mean; exits 0 when "
                "there are none, 1 when there are",
                run_compare});

}  // namespace

}  // namespace qv82::cli
