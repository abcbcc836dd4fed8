#include <cstdio>
#include <filesystem>
#include <optional>

#include "cli/cli_context.h"
#include "cli/cli_ui.h"
#include "cli/command_registry.h"
#include "config/config_file.h"
#include "config/parameter_tree.h"
#include "config/working_images.h"
#include "lang/language.h"
#include "rules/configuration_rules.h"
#include "rules/configuration_summary.h"
#include "rules/record_text.h"

namespace qv82::cli {

namespace {

std::string address_text(unsigned address) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", address);
  return text;
}

// The data of a checked item, or nothing.
std::optional<std::string> item_data(const ParameterTree& tree, unsigned address) {
  const std::size_t node = tree.find_by_address(address_text(address));
  if (node == ParameterTree::kNotFound || tree.state(node) != CheckState::kChecked) return {};
  std::string text = trimmed(tree.text(node));
  if (text.empty()) return {};
  return text;
}

// What opening the file puts on the configuration page: the I/O records,
// the common parameters and the modes byte. True when the file held any
// I/O or common-parameter item.
bool apply_configuration_items(const ParameterTree& tree, WorkingImages& images,
                               ConfigurationRules& rules) {
  bool loaded = false;
  for (std::size_t p = 0; p < kIoRecordCount; ++p) {
    if (auto text = item_data(tree, kIoAddress + 8 * static_cast<unsigned>(p))) {
      images.io_text[p] = *text;
      loaded = true;
    }
  }
  for (std::size_t k = 1; k <= kCommonParameterCount; ++k) {
    const auto text = item_data(tree, common_parameter_address(k));
    // An item without its two digits (a damaged file) leaves the value.
    if (!text || text->size() < 2) continue;
    images.param_image.replace(2 * (k - 1), 2, text->substr(0, 2));
    loaded = true;
  }
  if (loaded) rules.show_configuration_groups();
  if (const auto modes = item_data(tree, kModesByteAddress)) {
    const int value = hex_pair(*modes);
    if (value >= 0) rules.apply_modes_byte(static_cast<std::uint8_t>(value));
  }
  if (loaded) {
    rules.after_images_loaded();
    images.loaded_sections |= kSectionConfiguration;
  }
  return loaded;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
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
    if (!std::filesystem::is_regular_file(path)) {
      context.err << "qv82hs-cli: cannot read " << path << "\n";
      return kExitFailed;
    }
    if (!has_format_marker(path)) {
      context.err << "qv82hs-cli: " << language_text(msg::kFileFormatError) << ": " << path << "\n";
      return kExitFailed;
    }
    WorkingImages images;
    ConfigPageModel page;
    ConfigurationRules rules(images, page, ui);
    rules.activate(context.workdir());

    // As opening does: the file's data laid into the template, by address.
    ParameterTree tree;
    const std::string template_path = context.workdir() + "/template.xml";
    if (std::filesystem::is_regular_file(template_path)) {
      tree.load_string(joined(merge_lines(read_text_lines(template_path), read_text_lines(path))));
    } else {
      tree.load_file(path);
    }
    if (!apply_configuration_items(tree, images, rules)) {
      context.err << "qv82hs-cli: " << path << " holds no I/O configuration or common parameters\n";
    }
    for (const std::string& line : configuration_summary(page)) context.out << line << "\n";
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
