#include <cctype>

#include "cli/cli_context.h"
#include "cli/command_registry.h"
#include "link/errors.h"

namespace qv82::cli {

namespace {

// One request typed as the terminal takes it: header and data as hex text.
int run_send(CliContext& context, const CommandArgs& args) {
  if (args.size() != 1) {
    context.err << "usage: qv82hs-cli send HEX\n";
    return kExitUsage;
  }
  std::string command = args[0];
  for (char& c : command) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  // Checked before the port is touched, so bad text sends nothing at all.
  try {
    if (hex_to_bytes(command).empty()) throw ConversionError("'" + command + "' holds no byte");
  } catch (const ConversionError& e) {
    context.err << "qv82hs-cli: " << e.what() << "\n";
    return kExitUsage;
  }
  context.on_log_line = [&context](const std::string& line) { context.out << line << "\n"; };
  TccTfrm& link = context.link();
  std::string reply;
  return link.cctalk_transaction(link.device_address, command, reply, 10, false, false);
}

int run_ports(CliContext& context, const CommandArgs&) {
  for (const std::string& name : context.port().list_ports()) context.out << name << "\n";
  return kExitOk;
}

const CommandRegistrar send_command(
    "send", {"send HEX", "one ccTalk request (header and data as hex) to the device, 10 polls; "
                         "exit status 0, 1 (checksum) or 2 (time-out)",
             run_send});
const CommandRegistrar ports_command(
    "ports", {"ports", "the serial ports present, one name per line", run_ports});

}  // namespace

}  // namespace qv82::cli
