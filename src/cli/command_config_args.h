#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cli/command_registry.h"

namespace qv82::cli {

class CliContext;

// The arguments of upload and download: a file (after -o for upload, alone
// for download) and --sections LIST.
struct TransferArgs {
  std::string file;
  // loaded_sections bits of the sections named; every section by default.
  std::uint8_t sections = 0x0F;
  bool sections_given = false;
};

// "channels,io,modes,stats" as section bits; nothing for an unknown name or
// an empty list.
std::optional<std::uint8_t> parse_sections(const std::string& list);

// Nothing, with the reason on stderr, when the arguments do not fit.
std::optional<TransferArgs> parse_transfer_args(CliContext& context, const CommandArgs& args,
                                                bool file_after_o);

// The pages and the template from the working directory, and the section
// choice put in place of the dialog. False, with the reason shown, when the
// working directory's files cannot be read.
bool prepare_configuration(CliContext& context, const TransferArgs& args);

inline constexpr const char* kSectionsHelp =
    "LIST: channels,io,modes,stats (io = I/O configuration and common parameters; default all)";

}  // namespace qv82::cli
