#include <csignal>
#include <optional>

#include "cli/cli_context.h"
#include "cli/command_registry.h"
#include "diagnostics/production_record.h"
#include "diagnostics/production_test.h"
#include "lang/language.h"

namespace qv82::cli {

namespace {

// The signal that asked the loop to stop, 0 while none did.
volatile std::sig_atomic_t stop_signal = 0;
// Set while a device's steps run, so that a stop then is known to have cut
// into a test (the running test still ends, putting the device back).
volatile std::sig_atomic_t testing_device = 0;
volatile std::sig_atomic_t stopped_mid_test = 0;

void request_stop(int signal_number) {
  if (stop_signal == 0 && testing_device) stopped_mid_test = 1;
  stop_signal = signal_number;
}

// The factory test: each step's label as it starts, the errors on stderr
// and the verdict; with --loop device after device until interrupted.
int run_production_test(CliContext& context, const CommandArgs& args) {
  bool loop = false;
  std::optional<std::string> record_path;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--loop" && !loop) {
      loop = true;
    } else if (args[i] == "--record" && i + 1 < args.size() && !record_path) {
      record_path = args[++i];
    } else {
      context.err << "usage: qv82hs-cli production-test [--loop] [--record FILE]\n";
      return kExitUsage;
    }
  }
  Application& app = context.app();
  ProductionRecord record(record_path.value_or(app.path_of(kProductionRecordFileName)));
  // Before the device is touched: a unit tested but not recorded is lost.
  if (auto problem = record.prepare()) {
    context.err << *problem << "\n";
    return kExitFailed;
  }
  if (!context.connect_device(false)) return kExitFailed;
  // As the " Factory test" button: only with write access to the modes.
  if (!app.selector.check_access(AccessKind::Write, kAreaModes)) return kExitFailed;

  IniFile limits(app.path_of(kProductionFileName));
  ProductionTest test(app.link, app.selector, limits);
  test.record = &record;
  std::string printed_label;
  std::size_t printed_results = 0;
  test.view_changed = [&] {
    testing_device = test.view.panel == PanelColour::Aqua ? 1 : 0;
    if (stop_signal) test.view.loop_mode = false;
    if (!test.view.label.empty() && test.view.label != printed_label) {
      printed_label = test.view.label;
      context.out << english_form(printed_label) << "\n" << std::flush;
    }
    if (test.view.results.size() < printed_results) printed_results = 0;
    for (; printed_results < test.view.results.size(); ++printed_results) {
      context.out << "  " << english_form(test.view.results[printed_results]) << "\n" << std::flush;
    }
  };
  test.on_open();

  if (!loop) return test.start_single() ? kExitOk : kExitFailed;

  std::signal(SIGINT, request_stop);
  std::signal(SIGTERM, request_stop);
  test.stop_wanted = [] { return stop_signal != 0; };
  test.choose_mode(true);
  while (!stop_signal && test.timer_enabled) {
    app.link.wait_ms(kProductionTickMs);
    if (!stop_signal) test.on_loop_tick();
  }
  test.on_close();
  context.out << "Devices tested: " << test.passed + test.failed << ", passed: " << test.passed
              << ", failed: " << test.failed << "\n";
  const bool all_passed = test.failed == 0 && test.passed > 0;
  // The shell's status of a program ended by the signal, unless the stop
  // came between devices after nothing but passes.
  if (stop_signal != 0 && (!all_passed || stopped_mid_test)) return 128 + stop_signal;
  return all_passed ? kExitOk : kExitFailed;
}

const CommandRegistrar production_test_command(
    "production-test",
    {"production-test [--loop] [--record FILE]",
     "the factory test of the connected device against Production.ini of the working "
     "directory; --loop tests device after device until SIGINT or SIGTERM, then prints how "
     "many passed; each tested device is appended to FILE (default production_log.csv in "
     "the working directory); exit 0 only when every device tested passed (after a signal: "
     "only when it came between devices, else 130 for SIGINT, 143 for SIGTERM)",
     run_production_test});

}  // namespace

}  // namespace qv82::cli
