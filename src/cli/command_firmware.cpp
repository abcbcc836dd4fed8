
#include <cstdio>

#include "cli/cli_context.h"
#include "cli/command_registry.h"
#include "firmware/firmware_download.h"
#include "lang/language.h"
#include "platform/system.h"

namespace qv82::cli {

namespace {

// The firmware upgrade: the device enters its monitor (or waits there
// already) and takes the image record by record.
int run_firmware(CliContext& context, const CommandArgs& args) {
  if (args.size() != 1) {
    context.err << "usage: qv82hs-cli firmware FILE\n";
    return kExitUsage;
  }
  // Refused before the device is touched: a bad file must not leave it in
  // its monitor.
  const FirmwareImageResult file = read_firmware_image(args[0]);
  if (!file.image) {
    context.ui().error(file.error);
    return kExitFailed;
  }

  Application& app = context.app();
  // A device still running its application tells which areas are open; one
  // waiting in its monitor does not answer, and that is no error here. As
  // the other commands, it is searched for unless --address says where.
  // A port that does not open ends the command with its own words, before
  // any search or monitor request could add others.
  if (!context.link().port.connected()) return kExitFailed;
  if (context.options.address) {
    app.device.messages_enabled = false;
    app.selector.identify_device();
    app.device.messages_enabled = true;
  } else {
    CliUi& ui = context.ui();
    ui.muted = true;
    context.connect_device(false);
    ui.muted = false;
  }
  CcTalkLink& link = context.link();
  app.device.download_address = link.device_address;

  FirmwareDownload download(link, app.selector);
  const bool terminal = platform::output_is_terminal();
  int shown = -1;
  download.view_changed = [&] {
    if (!terminal || download.view.progress == shown || download.view.progress == 0) return;
    shown = download.view.progress;
    context.out << "\r" << download.view.status_label << " " << shown << "/"
                << download.view.progress_max << std::flush;
  };

  download.before_message = [&] {
    if (shown < 0) return;
    context.out << "\n" << std::flush;
    shown = -1;
  };

  const int monitor = download.start_monitor();
  if (monitor == kUpgradeNotPermitted) {
    context.ui().error(language_text(msg::kThisOperationIsNotAllowed));
    return kExitFailed;
  }
  if (monitor == kNoMonitor) {
    context.ui().error(language_text(msg::kMonitorProgramError));
    return kExitFailed;
  }
  const bool accepted = download.download_prgm(*file.image);
  download.before_message();
  if (!accepted) return kExitFailed;
  context.out << english_text(msg::kProgrammingTime) << download.programming_time_ms
              << " ms\n";
  return kExitOk;
}

const CommandRegistrar firmware_command(
    "firmware", {"firmware FILE",
                 "finds the device (unless --address), then sends the firmware image FILE (*.u19) "
                 "through its boot monitor; "
                 "exit 0 only when the monitor accepted every record",
                 run_firmware});

}  // namespace

}  // namespace qv82::cli
