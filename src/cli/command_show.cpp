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
