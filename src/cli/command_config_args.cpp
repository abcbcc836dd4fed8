#include "cli/command_config_args.h"

#include <sstream>

#include "cli/cli_context.h"
#include "config/transfer.h"
#include "config/working_images.h"
#include "config/xml_reader.h"
#include "lang/language.h"
#include "link/errors.h"

namespace qv82::cli {

std::optional<std::uint8_t> parse_sections(const std::string& list) {
  std::uint8_t sections = 0;
  std::istringstream in(list);
  std::string name;
  while (std::getline(in, name, ',')) {
    if (name == "channels") {
      sections |= kSectionChannels;
    } else if (name == "io") {
      sections |= kSectionConfiguration;
    } else if (name == "modes") {
      sections |= kSectionModes;
    } else if (name == "stats") {
      sections |= kSectionStatistics;
    } else {
      return std::nullopt;
    }
  }
  if (sections == 0) return std::nullopt;
  return sections;
}

std::optional<TransferArgs> parse_transfer_args(CliContext& context, const CommandArgs& args,
                                                bool file_after_o) {
  TransferArgs result;
  bool file_seen = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--sections" && i + 1 < args.size()) {
      const auto sections = parse_sections(args[++i]);
      if (!sections) {
        context.err << "qv82hs-cli: unknown section in '" << args[i] << "'\n";
        return std::nullopt;
      }
      result.sections = *sections;
      result.sections_given = true;
    } else if (file_after_o && arg == "-o" && i + 1 < args.size() && !file_seen) {
      result.file = args[++i];
      file_seen = true;
    } else if (!file_after_o && !file_seen && !arg.empty() && arg[0] != '-') {
      result.file = arg;
      file_seen = true;
    } else {
      return std::nullopt;
    }
  }
  if (!file_seen || result.file.empty()) return std::nullopt;
  return result;
}

bool prepare_configuration(CliContext& context, const TransferArgs& args) {
  Application& app = context.app();
  try {
    app.configuration.prepare(context.workdir());
  } catch (const XmlError& e) {
    context.ui().file_error(e.what());
    return false;
  } catch (const ConversionError& e) {
    context.ui().file_error(e.what());
    return false;
  }
  // No one to ask: without --yes, records the rules cannot check stay out.
  app.configuration.transfer.confirm_io_download = [&context] {
    const std::string off = context.app().configuration.rules.io_rules_off();
    if (off.empty() || context.options.yes) return true;
    // The command has said why the rules are off when it started.
    context.ui().file_error(language_text(msg::kIoDownloadNeedsYes));
    return false;
  };
  if (args.sections_given) {
    const std::uint8_t sections = args.sections;
    context.ui().section_choice = [sections](ParameterTree& tree) {
      restrict_to_sections(tree, sections);
    };
  }
  return true;
}

}  // namespace qv82::cli
