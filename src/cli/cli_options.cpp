#include "cli/cli_options.h"

#include <stdexcept>

#include "lang/language.h"

namespace qv82::cli {

namespace {

int parse_address(const std::string& text) {
  std::size_t used = 0;
  int value = -1;
  try {
    value = std::stoi(text, &used, 10);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != text.size() || value < 0 || value > 255) {
    throw std::invalid_argument("--address needs a decimal ccTalk address 0 to 255, not '" + text +
                                "'");
  }
  return value;
}

int parse_language(const std::string& text) {
  const int base = language_base_of(text);
  if (base == 0) throw std::invalid_argument("--language needs EN, IT or HR, not '" + text + "'");
  return base;
}

}  // namespace

GlobalOptions parse_global_options(const std::vector<std::string>& argv) {
  GlobalOptions options;
  bool command_seen = false;
  for (std::size_t i = 0; i < argv.size(); ++i) {
    const std::string& arg = argv[i];
    auto value = [&](const char* name) -> std::string {
      if (i + 1 >= argv.size()) throw std::invalid_argument(std::string(name) + " needs a value");
      return argv[++i];
    };
    if (arg == "--port") {
      options.port = value("--port");
    } else if (arg == "--address") {
      options.address = parse_address(value("--address"));
    } else if (arg == "--simulate") {
      options.simulate = true;
    } else if (arg == "--log") {
      options.log_file = value("--log");
    } else if (arg == "--workdir") {
      options.workdir = value("--workdir");
    } else if (arg == "--password") {
      options.password = value("--password");
    } else if (arg == "--pin") {
      options.pin = value("--pin");
    } else if (arg == "--language") {
      options.language = parse_language(value("--language"));
    } else if (arg == "--yes") {
      options.yes = true;
    } else if (arg == "--no-verify") {
      options.no_verify = true;
    } else if (arg == "--no-backup") {
      options.no_backup = true;
    } else if ((arg == "--help" || arg == "-h") && !command_seen) {
      options.help = true;
    } else if (arg == "--version" && !command_seen) {
      options.version = true;
    } else if (!command_seen && !arg.empty() && arg[0] != '-') {
      options.command = arg;
      command_seen = true;
    } else if (command_seen) {
      options.args.push_back(arg);
    } else {
      throw std::invalid_argument("unknown option '" + arg + "'");
    }
  }
  return options;
}

std::string global_options_help() {
  return "Options:\n"
         "  --port NAME       serial port of the coin selector (default: the remembered one)\n"
         "  --address N       ccTalk address in decimal (default: found by a search)\n"
         "  --simulate        talk to the built-in simulated coin selector\n"
         "  --log FILE        append the communication log (\"-> \" and \"<- \" lines)\n"
         "  --workdir DIR     folder of qv82hs.ini, io.ini and template.xml (default: below)\n"
         "  --password HEX    factory password (12 hex digits) when the device asks\n"
         "  --pin HEX         PIN (8 hex digits) when the device asks\n"
         "  --language CODE   language of the messages: EN, IT or HR (default: the\n"
         "                    setting [SETTINGS] Language, else EN)\n"
         "  --yes             answer questions with Yes or OK\n"
         "  --no-verify       store writes without reading them back (speed measurements)\n"
         "  --no-backup       write without saving what the device held first (speed\n"
         "                    measurements)\n"
         "  --version         print the program's name and version\n";
}

}  // namespace qv82::cli
