#include "cli/cli_context.h"
#include "cli/command_registry.h"
#include "lang/language.h"

namespace qv82::cli {

namespace {

// The six fields of the main window's bottom panel, one a line.
int run_identify(CliContext& context, const CommandArgs& args) {
  if (!args.empty()) {
    context.err << "usage: qv82hs-cli identify\n";
    return kExitUsage;
  }
  if (!context.connect_device(false)) return kExitFailed;
  const ScopedLanguage printed_form(kEnglishBase);
  for (const auto& [caption, value] : context.app().device_info()) {
    context.out << caption << " " << value << "\n";
  }
  return kExitOk;
}

const CommandRegistrar identify_command(
    "identify", {"identify",
                 "product code, serial number, build code, software revision and dates of the "
                 "coin selector, one \"Caption: value\" a line",
                 run_identify});

}  // namespace

}  // namespace qv82::cli
