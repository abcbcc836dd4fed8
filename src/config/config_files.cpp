#include "config/config_files.h"

#include <filesystem>

#include "channels/channels_page.h"
#include "config/config_file.h"
#include "config/config_image.h"
#include "config/parameter_tree.h"
#include "device/ui.h"
#include "lang/language.h"
#include "link/errors.h"

namespace qv82 {

namespace {

constexpr const char* kTemplateName = "template.xml";

}  // namespace

ConfigFiles::ConfigFiles(ParameterTree& tree, ConfigImage& image, Ui& ui, std::string directory)
    : workdir(std::move(directory)), tree_(tree), image_(image), ui_(ui) {}

std::string ConfigFiles::template_path() const {
  return (std::filesystem::path(workdir) / kTemplateName).string();
}

std::string ConfigFiles::temporary_path() const {
  return (std::filesystem::path(workdir) / kTemporaryFileName).string();
}

bool ConfigFiles::open() {
  const auto path = ui_.open_file(kOpenFileFilterAll);
  if (!path) return false;
  return open(*path);
}

bool ConfigFiles::open(const std::string& path) {
  ParameterTree loaded;
  const bool read = read_chosen_file(path, ui_, [&] {
    merge_into_temporary(template_path(), path, temporary_path());
    // The file is loaded and chosen from in a tree of its own: a damaged
    // file, or one whose choice is cancelled, leaves the tree, the images and
    // the pages as they were, so nothing of it can be downloaded or saved.
    loaded.load_file(temporary_path());
    check_item_texts(loaded);
  });
  if (!read) return false;
  if (!ui_.choose_sections(language_text(msg::kSelectSectionsForLoading), loaded)) return false;
  loaded.accept();
  tree_.take(loaded);
  image_.xml_2_screen();
  return true;
}

std::optional<std::string> ConfigFiles::save() {
  // The channel on display is saved as the page shows it, as a download does.
  image_.channels.take_channel(image_.channels.channel_number);
  image_.screen_2_xml();
  if (!tree_.has_choosable_nodes()) {
    ui_.error(language_text(msg::kAllBuffersAreEmpty));
    return std::nullopt;
  }
  if (!ui_.choose_sections(language_text(msg::kSelectSectionsForSaving), tree_)) {
    return std::nullopt;
  }
  tree_.accept();
  const auto target = ui_.save_file(kSaveFileFilter);
  if (!target) return std::nullopt;
  // The dialog asked about the name typed; the file written may be another.
  const std::string written = force_xml_extension(*target);
  std::error_code ec;
  if (written != *target && std::filesystem::exists(written, ec) &&
      ui_.question(language_text(msg::kFileAlreadyExistsReplace, {written}), Buttons::YesNo) !=
          Answer::Yes) {
    return std::nullopt;
  }
  try {
    return write_configuration(template_path(), tree_, *target);
  } catch (const ConfigFileError& e) {
    ui_.error(e.what());
    return std::nullopt;
  }
}

}  // namespace qv82
