#include <fstream>
#include <iostream>

#include "cli/cli_context.h"
#include "cli/command_registry.h"
#include "link/log_decoder.h"

namespace qv82::cli {

namespace {

void decode_stream(std::istream& in, std::ostream& out) {
  LogDecoder decoder;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) {
      out << "\n";
      continue;
    }
    // Lines saved with their explanations are read by their raw part.
    out << explained_line(std::string(raw_log_line(line)), decoder.explain(line)) << "\n";
  }
}

// A saved log, --log output or standard input, each line with what it means.
int run_decode(CliContext& context, const CommandArgs& args) {
  if (args.size() > 1) {
    context.err << "usage: qv82hs-cli decode [FILE]\n";
    return kExitUsage;
  }
  if (args.empty() || args[0] == "-") {
    decode_stream(std::cin, context.out);
    return kExitOk;
  }
  std::ifstream file(args[0], std::ios::binary);
  if (!file) {
    context.err << "qv82hs-cli: cannot read " << args[0] << "\n";
    return kExitFailed;
  }
  decode_stream(file, context.out);
  return kExitOk;
}

const CommandRegistrar decode_command(
    "decode", {"decode [FILE]",
               "explains each line of a communication log (a saved log, --log output, or "
               "standard input)",
               run_decode});

}  // namespace

}  // namespace qv82::cli
