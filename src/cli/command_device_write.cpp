#include "cli/cli_context.h"
#include "cli/command_device_args.h"
#include "cli/command_registry.h"
#include "lang/language.h"

namespace qv82::cli {

namespace {

// The most a vendor write frame carries besides its sub-command and
// address.
constexpr std::size_t kMaxWriteBytes = 248;

// Writes bytes into device memory behind the access check, then has the
// device store them and restart.
int run_write(CliContext& context, const CommandArgs& args) {
  const auto address = args.size() == 2 ? parse_memory_address(args[0]) : std::nullopt;
  const auto data = args.size() == 2 ? parse_hex_bytes(args[1]) : std::nullopt;
  if (!address || !data || data->size() > kMaxWriteBytes) {
    context.err << "usage: qv82hs-cli write ADDR HEX  (ADDR hex, HEX 1..248 bytes as hex)\n";
    return kExitUsage;
  }
  if (!context.connect_device(false)) return kExitFailed;
  CoinSelector& selector = context.app().selector;
  if (!selector.prepare_writes({{*address, data->size(), area_of_address(*address)}})) {
    return kExitFailed;
  }
  const int result = selector.write_memory(*address, *data, area_of_address(*address));
  if (result == kMemoryDenied) return kExitFailed;
  if (result == kMemoryFailed) {
    context.ui().error(language_text(msg::kWritingError));
    return kExitFailed;
  }
  if (!selector.commit_and_reset()) {
    if (!selector.verify_failed()) context.ui().error(language_text(msg::kErrorWriteToNvMemory));
    return kExitFailed;
  }
  context.ui().information(language_text(msg::kOperationFinished));
  return kExitOk;
}

const CommandRegistrar write_command(
    "write", {"write ADDR HEX",
              "writes the bytes (hex) into device memory at ADDR (hex), then stores them and "
              "restarts the device",
              run_write});

}  // namespace

}  // namespace qv82::cli
