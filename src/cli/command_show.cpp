#include <filesystem>

#include "channels/channels_page.h"
#include "cli/cli_context.h"
#include "cli/cli_ui.h"
#include "cli/command_registry.h"
#include "config/config_file.h"
#include "config/config_image.h"
#include "config/parameter_tree.h"
#include "config/working_images.h"
#include "lang/language.h"
#include "rules/configuration_rules.h"
#include "rules/configuration_summary.h"

namespace qv82::cli {

namespace {

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// Per section of the file: whether it holds all, some or none of the
// section's items, and which ones it lacks. A download or save of the file
// writes only what it holds.
std::vector<std::string> file_holdings(const ParameterTree& tree) {
  struct Section {
    const char* name;
    std::uint8_t bit;
  };
  static constexpr Section kSections[] = {
      {"Channels", kSectionChannels},
      {"I/O configuration and common parameters", kSectionConfiguration},
      {"Modes", kSectionModes},
      {"Statistics", kSectionStatistics}};
  std::vector<std::string> lines;
  for (const Section& section : kSections) {
    std::size_t items = 0;
    std::vector<std::string> lacking;
    for (std::size_t node = 0; node < tree.node_count(); ++node) {
      const std::string address = tree.attribute(node, "address");
      if (address.size() != 6 || address.rfind("0x", 0) != 0 ||
          address.find_first_not_of("0123456789ABCDEFabcdef", 2) != std::string::npos) {
        continue;
      }
      const unsigned value = static_cast<unsigned>(std::stoul(address.substr(2), nullptr, 16));
      if (section_bit_for_address(value) != section.bit) continue;
      ++items;
      if (tree.text(node).empty()) lacking.push_back(tree.caption(node));
    }
    if (items == 0) continue;
    std::string line = std::string(section.name) + ": ";
    if (lacking.empty()) {
      line += "all " + std::to_string(items) + " items";
    } else if (lacking.size() == items) {
      line += "none";
    } else {
      line +=
          std::to_string(items - lacking.size()) + " of " + std::to_string(items) + " items; lacks";
      for (std::size_t i = 0; i < lacking.size(); ++i) line += (i ? ", " : " ") + lacking[i];
    }
    lines.push_back("File holds " + line);
  }
  return lines;
}

// The configuration file as the configuration page would show it after
// start-up and opening the file.
int run_show(CliContext& context, const CommandArgs& args) {
  if (args.size() != 1) {
    context.err << "usage: qv82hs-cli show FILE\n";
    return kExitUsage;
  }
  const std::string& path = args[0];
  CliUi ui(context.options, context.err, context.err);
  try {
    if (!has_format_marker(path)) {
      context.err << "qv82hs-cli: " << language_text(msg::kFileFormatError) << ": " << path << "\n";
      return kExitFailed;
    }
    check_whole_document(path);
    WorkingImages images;
    ConfigPageModel page;
    ConfigurationRules rules(images, page, ui);
    rules.activate(context.workdir());

    // As opening does: the file's data laid into the template, by address,
    // and refused when an item is damaged.
    ParameterTree tree;
    const std::string template_path = context.workdir() + "/template.xml";
    if (std::filesystem::is_regular_file(template_path)) {
      tree.load_string(joined(merged_configuration(template_path, path)));
    } else {
      tree.load_file(path);
    }
    check_item_texts(tree);
    // The page's side of xml_2_screen, without the other pages.
    ChannelBuffer channel_buffer;
    ChannelsPage channels(channel_buffer);
    ConfigImage image(tree, images, channels);
    image.hooks.show_configuration_groups = [&rules] { rules.show_configuration_groups(); };
    image.hooks.apply_modes_byte = [&rules](std::uint8_t modes) { rules.apply_modes_byte(modes); };
    image.hooks.after_images_loaded = [&rules] { rules.after_images_loaded(); };
    images.loaded_sections = 0;
    image.xml_2_screen();
    if (!(images.loaded_sections & kSectionConfiguration)) {
      context.err << "qv82hs-cli: " << path << " holds no I/O configuration or common parameters\n";
    }
    // The captions of the summary in English, the form scripts read.
    const ScopedLanguage printed_form(kEnglishBase);
    rules.relabel();
    for (const std::string& line : configuration_summary(page)) context.out << line << "\n";
    for (const std::string& line : file_holdings(tree)) context.out << line << "\n";
  } catch (const std::exception& e) {
    context.err << "qv82hs-cli: " << e.what() << "\n";
    return kExitFailed;
  }
  return kExitOk;
}

const CommandRegistrar show_command(
    "show", {"show FILE",
             "a configuration file as the configuration page shows it: the standard "
             "configuration (or Custom), the function of each I/O position and the shown "
             "common parameters",
             run_show});

}  // namespace

}  // namespace qv82::cli
