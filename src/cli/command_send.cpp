#include <cctype>

#include "cli/cli_context.h"
#include "cli/command_registry.h"
#include "device/coin_selector.h"
#include "files/text.h"
#include "lang/language.h"
#include "link/errors.h"

namespace qv82::cli {

namespace {

// The most data bytes one frame carries: its length byte counts them.
constexpr std::size_t kMaxFrameData = 255;

bool starts_with(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// The terminal unlocks before vendor reads, writes and PIN changes; the
// device's masks say what is open, so they are read first.
bool needs_unlock(const std::string& command) {
  return starts_with(command, "FF02") || starts_with(command, "FF03") ||
         starts_with(command, "FF07");
}

// Why the text cannot be sent, or empty when it can.
std::string send_problem(const std::string& command) {
  try {
    hex_to_bytes(command);
  } catch (const ConversionError& e) {
    return e.what();
  }
  if (command.empty()) return language_text(msg::kHoldsNoByte, {"''"});
  if (command.size() % 2 != 0) return language_text(msg::kNotWholeBytes, {"'" + command + "'"});
  const std::size_t data_bytes = command.size() / 2 - 1;
  if (data_bytes > kMaxFrameData) {
    return language_text(msg::kFrameDataTooLong, {std::to_string(data_bytes)});
  }
  return {};
}

// One request typed as the terminal takes it: header and data as hex text,
// unlocking the device first as the terminal does.
int run_send(CliContext& context, const CommandArgs& args) {
  if (args.size() != 1) {
    context.err << "usage: qv82hs-cli send HEX\n";
    return kExitUsage;
  }
  const std::string command = upper_case(args[0]);
  // Checked before the port is touched, so bad text sends nothing at all.
  if (const std::string problem = send_problem(command); !problem.empty()) {
    context.err << "qv82hs-cli: " << problem << "\n";
    return kExitUsage;
  }
  context.link();  // opens the port, saying so when it cannot
  Application& app = context.app();
  if (needs_unlock(command)) {
    app.device.messages_enabled = false;
    app.selector.identify_device();
    app.device.messages_enabled = true;
  }
  context.on_log_line = [&context](const std::string& line) { context.out << line << "\n"; };
  const std::uint8_t result = app.selector.terminal_send(command).value_or(kTransactionTimeout);
  // stdout keeps the log lines alone; the failure is said beside them.
  if (result != kTransactionOk) {
    context.err << language_text(msg::kCommunicationError) << static_cast<int>(result) << "\n";
  }
  return result;
}

int run_ports(CliContext& context, const CommandArgs& args) {
  if (!args.empty()) {
    context.err << "usage: qv82hs-cli ports\n";
    return kExitUsage;
  }
  for (const std::string& name : context.port().list_ports()) context.out << name << "\n";
  return kExitOk;
}

const CommandRegistrar send_command(
    "send", {"send HEX",
             "one ccTalk request (header and data as hex, at most 255 data bytes) to the device, "
             "10 polls, as the terminal of the Comm. log page sends it: FF02, FF03 and FF07 "
             "first unlock the device with --password/--pin where it asks; exit status 0, "
             "1 (checksum) or 2 (time-out)",
             run_send});
const CommandRegistrar ports_command("ports",
                                     {"ports", "the serial ports present, one name per line",
                                      run_ports});

}  // namespace

}  // namespace qv82::cli
