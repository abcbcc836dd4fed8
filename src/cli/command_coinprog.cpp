#include <algorithm>

#include "channels/channels_page.h"
#include "channels/coin_programming.h"
#include "cli/cli_context.h"
#include "cli/command_device_args.h"
#include "cli/command_registry.h"
#include "lang/language.h"

namespace qv82::cli {

namespace {

constexpr int kDefaultTimeoutSeconds = 120;

struct CoinprogArgs {
  int channel = 0;
  ToleranceLevel tolerance = ToleranceLevel::kMiddle;
  int samples = 0;  // 0: MIN_INSERTION
  bool save = false;
  int timeout_s = kDefaultTimeoutSeconds;
};

bool parse_args(const CommandArgs& args, CoinprogArgs& out) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    if (name == "--save") {
      out.save = true;
      continue;
    }
    if (i + 1 >= args.size()) return false;
    const std::string& value = args[++i];
    if (name == "--channel") {
      const auto n = parse_decimal_in(value, 1, kChannelCount);
      if (!n) return false;
      out.channel = *n;
    } else if (name == "--tolerance") {
      if (!parse_tolerance_level(value, out.tolerance)) return false;
    } else if (name == "--samples") {
      const auto k = parse_decimal_in(value, 1, 1000);
      if (!k) return false;
      out.samples = *k;
    } else if (name == "--timeout") {
      const auto s = parse_decimal_in(value, 1, 86400);
      if (!s) return false;
      out.timeout_s = *s;
    } else {
      return false;
    }
  }
  return out.channel != 0;
}

// The coin programming window on the terminal: samples are taken as coins are inserted, the
// channel is computed from them and, with --save, written and stored in the device.
int run_coinprog(CliContext& context, const CommandArgs& args) {
  CoinprogArgs options;
  if (!parse_args(args, options)) {
    context.err << "usage: qv82hs-cli coinprog --channel N [--tolerance High|Middle|Low] "
                   "[--samples K] [--save] [--timeout SECONDS]\n";
    return kExitUsage;
  }
  if (!context.connect_device(false)) return kExitFailed;
  context.ui().information_to_err = true;

  Application& app = context.app();
  ChannelsPage page(app.device.channel_buffer);
  CoinProgramming prog(app.link, app.selector, page, app.settings, context.ui());
  prog.sample_added = [&context](const std::string& line) { context.out << line << std::endl; };
  if (!prog.prepare()) return kExitFailed;
  prog.on_open();
  if (!prog.tick_running()) {
    prog.on_close();
    return kExitFailed;
  }
  if (options.channel != prog.prog_channel) prog.choose_channel(options.channel);
  prog.set_tolerance(options.tolerance);

  const std::size_t wanted = static_cast<std::size_t>(
      options.samples > 0 ? options.samples : std::max(1u, prog.min_insertions));
  context.err << "Insert " << wanted << " coins for channel " << options.channel << std::endl;
  EventPump& pump = context.pump();
  const std::uint64_t deadline = pump.now_ms() + 1000ull * options.timeout_s;
  while (prog.samples.size() < wanted) {
    if (pump.now_ms() >= deadline) {
      context.ui().error("Timed out waiting for coins: " + std::to_string(prog.samples.size()) +
                         " of " + std::to_string(wanted) + " inserted");
      prog.on_close();
      return kExitFailed;
    }
    pump.wait_ms(kCoinProgrammingTickMs);
    if (prog.tick_running()) prog.on_sample_tick();
  }
  if (!prog.computed()) {
    // The view still holds the channel as it was before the samples; saving it would program
    // a coin nobody measured.
    context.ui().error("Channel " + std::to_string(options.channel) +
                       " was not computed from the samples; nothing saved");
    prog.on_close();
    return kExitFailed;
  }
  {
    const ScopedLanguage printed_form(kEnglishBase);
    context.out << channel_text(prog.view, options.channel);
  }

  bool ok = true;
  if (options.save) {
    ok = prog.channelsave();
    if (ok) {
      prog.samples_unsaved = false;
      ok = prog.save_to_nv();
    }
  }
  prog.on_close();
  return ok ? kExitOk : kExitFailed;
}

const CommandRegistrar coinprog_command(
    "coinprog",
    {"coinprog --channel N [--tolerance High|Middle|Low] [--samples K] [--save] "
     "[--timeout SECONDS]",
     "programs channel N from K inserted coins (default MIN_INSERTION), printing each sample and "
     "the computed channel; --save writes it and stores it in the device (time limit default "
     "120 s)",
     run_coinprog});

}  // namespace

}  // namespace qv82::cli
