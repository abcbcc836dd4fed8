#include <iostream>
#include <sstream>

#include "cli/cli_context.h"
#include "cli/command_registry.h"
#include "link/log_decoder.h"
#include "files/read_file.h"

namespace qv82::cli {

namespace {

// Log lines are a few hundred characters; anything far longer is not one
// and is not kept whole (a file of zeros has no line end at all).
constexpr std::size_t kLongestLine = 16 * 1024;

// Reads one line of at most kLongestLine characters; the rest of a longer
// line is skipped. False at the end of the input.
bool read_line(std::istream& in, std::string& line, bool& cut) {
  line.clear();
  cut = false;
  std::istream::int_type c;
  while ((c = in.get()) != std::istream::traits_type::eof()) {
    if (c == '\n') return true;
    if (line.size() < kLongestLine) {
      line += static_cast<char>(c);
    } else {
      cut = true;
    }
  }
  return !line.empty() || cut;
}

// Bytes a terminal would act on (escape sequences, bells) are shown as '?'.
std::string printable(std::string text) {
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && c != '\t') || byte == 0x7F) c = '?';
  }
  return text;
}

void decode_stream(std::istream& in, std::ostream& out) {
  LogDecoder decoder;
  std::string line;
  bool cut = false;
  while (read_line(in, line, cut)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (cut) {
      out << printable(line.substr(0, 60)) << "...  not a log line (longer than "
          << kLongestLine << " characters)\n";
      continue;
    }
    if (line.empty()) {
      out << "\n";
      continue;
    }
    // Lines saved with their explanations are read by their raw part.
    out << printable(explained_line(std::string(raw_log_line(line)), decoder.explain(line)))
        << "\n";
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
  // A saved log of a long day is far below this; a device or a pipe is
  // refused before it is opened.
  constexpr std::size_t kLogFileLimit = 256 * kMiB;
  const FileContent file = read_whole_file(args[0], kLogFileLimit);
  if (!file.ok()) {
    context.err << "qv82hs-cli: cannot read " << args[0] << ": " << file.reason << "\n";
    return kExitFailed;
  }
  std::istringstream text(file.content);
  decode_stream(text, context.out);
  return kExitOk;
}

const CommandRegistrar decode_command(
    "decode", {"decode [FILE]",
               "explains each line of a communication log (a saved log, --log output, or "
               "standard input)",
               run_decode});

}  // namespace

}  // namespace qv82::cli
