#include "app/configuration_workspace.h"

#include "device/coin_selector.h"
#include "device/ui.h"
#include "lang/language.h"

namespace qv82 {

ConfigurationWorkspace::ConfigurationWorkspace(CcTalkLink& link, CoinSelector& selector,
                                               DeviceState& device, IniFile& settings, Ui& ui,
                                               const std::string& workdir)
    : channels(device.channel_buffer),
      rules(images, config_page, ui),
      statistics(link, selector, images, settings, ui),
      image(tree, images, channels),
      files(tree, image, ui, workdir),
      transfer(selector, tree, image, channels, files.template_path()) {
  image.hooks.show_configuration_groups = [this] { rules.show_configuration_groups(); };
  image.hooks.apply_modes_byte = [this](std::uint8_t modes) { rules.apply_modes_byte(modes); };
  image.hooks.after_images_loaded = [this] { rules.after_images_loaded(); };
  image.hooks.before_images_saved = [this] { rules.before_images_saved(); };
  image.hooks.display_statistics = [this] { statistics.display(); };
  image.hooks.encode_statistic_options = [this] { statistics.encode_options(); };
  transfer.read_statistics = [this] { statistics.read(); };
  // Records the catalogue could not check would go out unchecked.
  transfer.confirm_io_download = [this, &ui] {
    const std::string off = rules.io_rules_off();
    return off.empty() || ui.question(off + "\n" + language_text(msg::kDownloadIoAnyway),
                                      Buttons::YesNo) == Answer::Yes;
  };
}

void ConfigurationWorkspace::prepare(const std::string& workdir) {
  rules.activate(workdir);
  statistics.load_option_names();
  tree.load_file(files.template_path());
  channels.channel_number = 1;
  channels.shown_channel = 1;
  channels.show_channel(1);
  // The command line shows no page: the standard configuration the rules
  // start with is nobody's choice there, and only what a file or the device
  // gives goes out.
  images.loaded_sections = 0;
  // Start-up's erased channels and standard configuration are not the
  // user's: only what is loaded or edited from now on goes out.
  image.note_baseline(kSectionChannels | kSectionConfiguration);
}

}  // namespace qv82
