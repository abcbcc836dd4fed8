#include "cli/cli_context.h"
#include "cli/command_device_args.h"
#include "cli/command_registry.h"
#include "lang/language.h"

namespace qv82::cli {

namespace {

// A block of device memory as hex text, behind the access check of the
// area the address lies in.
int run_read(CliContext& context, const CommandArgs& args) {
  const auto address = args.size() == 2 ? parse_memory_address(args[0]) : std::nullopt;
  const auto length = args.size() == 2 ? parse_decimal_in(args[1], 1, 255) : std::nullopt;
  if (!address || !length) {
    context.err << "usage: qv82hs-cli read ADDR LEN  (ADDR hex, LEN 1..255 decimal)\n";
    return kExitUsage;
  }
  if (!context.connect_device(false)) return kExitFailed;
  Bytes data;
  const int result = context.app().selector.read_memory(
      *address, static_cast<std::uint8_t>(*length), area_of_address(*address), data);
  if (result == kMemoryOk) {
    context.out << bytes_to_hex(data) << "\n";
    return kExitOk;
  }
  // Access denied has been explained already (or was cancelled).
  if (result == kMemoryFailed) context.ui().error(language_text(msg::kErrorReadingData));
  return kExitFailed;
}

const CommandRegistrar read_command(
    "read",
    {"read ADDR LEN",
     "reads LEN bytes (decimal) of device memory at ADDR (hex) and prints them as hex", run_read});

}  // namespace

}  // namespace qv82::cli
