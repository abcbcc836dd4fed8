#include <filesystem>
#include <iostream>

#include "app/application.h"
#include "app/data_folder.h"
#include "app/version.h"
#include "cli/cli_context.h"
#include "cli/command_registry.h"
#include "cli/native_connection.h"
#include "config/xml_reader.h"
#include "lang/language.h"
#include "link/errors.h"
#include "platform/system.h"

namespace {

void print_help(std::ostream& out) {
  out << "Usage: qv82hs-cli [options] COMMAND [arguments]\n\nCommands:\n";
  for (const auto& [name, command] : qv82::cli::commands()) {
    out << "  " << command.usage << "\n      " << command.summary << "\n";
  }
  out << "\n" << qv82::cli::global_options_help() << "\n" << qv82::data_folder_help();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace qv82::cli;
  const std::shared_ptr<void> event_system = start_event_system(argc, argv);
  qv82::platform::use_exact_line_ends();

  GlobalOptions options;
  try {
    options = parse_global_options(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::invalid_argument& e) {
    std::cerr << "qv82hs-cli: " << e.what() << "\n";
    return kExitUsage;
  }
  if (options.version && !options.help) {
    std::cout << "qv82hs-cli " << qv82::kVersionText << "\n";
    return kExitOk;
  }
  if (options.help || options.command.empty()) {
    print_help(options.help ? std::cout : std::cerr);
    return options.help ? kExitOk : kExitUsage;
  }
  // What is said before the data folder is chosen is said in the language
  // of the option, or of the settings that folder will give.
  std::error_code no_folder;
  const qv82::DataFolderPlaces places = qv82::data_folder_places(
      std::filesystem::current_path(no_folder).string(), qv82::platform::executable_folder(argv[0]));
  if (options.language != 0) {
    qv82::set_language_base(options.language);
  } else if (options.workdir) {
    qv82::set_language_base(qv82::language_of_settings(
        qv82::IniFile(*options.workdir + "/" + qv82::kSettingsFileName)));
  } else {
    qv82::set_language_base(qv82::data_folder_language(places));
  }
  const auto found = commands().find(options.command);
  if (found == commands().end()) {
    std::cerr << "qv82hs-cli: " << qv82::language_text(qv82::msg::kUnknownCommand, {options.command})
              << "\n";
    return kExitUsage;
  }
  // Every data file is looked up there: a mistyped folder would otherwise
  // pass for an installation without settings.
  if (options.workdir) {
    std::error_code error;
    if (!std::filesystem::is_directory(*options.workdir, error)) {
      std::cerr << "qv82hs-cli: --workdir " << *options.workdir << ": "
                << qv82::language_text(std::filesystem::exists(*options.workdir, error)
                                           ? qv82::msg::kNotAFolder
                                           : qv82::msg::kNoSuchFolder)
                << "\n";
      return kExitData;
    }
  }
  if (!options.workdir) {
    const qv82::DataFolder folder = qv82::choose_data_folder(places);
    if (!folder.error.empty()) {
      std::cerr << "qv82hs-cli: " << folder.error << "\n";
      return kExitData;
    }
    for (const std::string& notice : folder.notices) std::cerr << "qv82hs-cli: " << notice << "\n";
    // Otherwise the current folder, which the context names in full.
    if (folder.per_user) options.workdir = folder.path;
  }
  CliContext context(std::move(options));
  try {
    const int status = found->second.run(context, context.options.args);
    return status == kExitFailed && context.data_error_shown() ? kExitData : status;
  } catch (const qv82::ConversionError& e) {
    // Typed arguments are checked by the commands themselves: what gets
    // here came from a file.
    std::cerr << "qv82hs-cli: " << e.what() << "\n";
    return kExitData;
  } catch (const qv82::XmlError& e) {
    std::cerr << "qv82hs-cli: " << e.what() << "\n";
    return kExitData;
  } catch (const qv82::PortError& e) {
    std::cerr << "qv82hs-cli: " << e.what() << "\n";
    return kExitFailed;
  } catch (const std::exception& e) {
    std::cerr << "qv82hs-cli: " << e.what() << "\n";
    return kExitFailed;
  }
}
