#include "cli/cli_context.h"
#include "cli/command_registry.h"
#include "diagnostics/coin_selector_test.h"
#include "lang/language.h"

namespace qv82::cli {

namespace {

// One tick of the coin selector test's normal mode, as the window shows
// it: DIP switches, inputs, opto states and analogue values.
int run_test(CliContext& context, const CommandArgs& args) {
  if (!args.empty()) {
    context.err << "usage: qv82hs-cli test\n";
    return kExitUsage;
  }
  if (!context.connect_device(false)) return kExitFailed;
  Application& app = context.app();
  CoinSelectorTest test(app.link, app.selector);
  // As with "Impuls" chosen and nothing ticked: no output is driven, so
  // whatever the device's outputs are doing is left alone.
  test.view.latch = false;
  test.tick_normal();
  const ScopedLanguage printed_form(kEnglishBase);
  for (const std::string& line : check_view_lines(test.view)) context.out << line << "\n";
  return kExitOk;
}

const CommandRegistrar test_command(
    "test", {"test",
             "reads DIP switches, inputs, opto states and analogue values once, as the Test "
             "window shows them, without driving any output",
             run_test});

}  // namespace

}  // namespace qv82::cli
