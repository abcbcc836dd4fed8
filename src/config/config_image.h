#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "config/working_images.h"

namespace qv82 {

class ChannelsPage;
class ParameterTree;

// "0x" and four upper-case hex digits: how data items name their address.
std::string item_address_text(unsigned address);

// A data item as a file gives it must hold exactly two hex digits for each
// byte of its length (a channel 64, an I/O record 16, a parameter 2, a
// statistic counter 6). Throws ConversionError naming the item's caption,
// address and the width expected.
void check_item_text(const ParameterTree& tree, std::size_t node);
// The same for every item of the tree that holds data.
void check_item_texts(const ParameterTree& tree);

// What the two conversions ask of the pages beyond the images. Every hook is
// optional; the application binds them to the configuration rules and the
// statistics page.
struct ConfigImageHooks {
  // Configuration page: the four parameter groups become visible.
  std::function<void()> show_configuration_groups;
  // Configuration page: " Stop mode " and " Autoprog mode " from the modes byte.
  std::function<void(std::uint8_t)> apply_modes_byte;
  // Configuration page: standard configuration, flags and controls from
  // io_text and param_image.
  std::function<void()> after_images_loaded;
  // Configuration page: io_text and param_image from the controls.
  std::function<void()> before_images_saved;
  // Statistics page: rows from stat_options_image and stat_counters_image.
  std::function<void()> display_statistics;
  // Statistics page: stat_options_image from the rows.
  std::function<void()> encode_statistic_options;
};

// Moves the configuration between the data items of the parameter tree and
// the working images behind the screens: xml_2_screen after a file was
// opened or an upload, screen_2_xml before a save or a download.
class ConfigImage {
 public:
  ConfigImage(ParameterTree& tree, WorkingImages& images, ChannelsPage& channels);
  ConfigImage(const ConfigImage&) = delete;
  ConfigImage& operator=(const ConfigImage&) = delete;

  // Applies every checked item with data to the images and pages and adds
  // the sections taken to loaded_sections. An item whose text is not hex (a
  // damaged file) throws ConversionError naming it, before anything changed.
  void xml_2_screen();
  // Puts the images of every loaded section into the item texts and checks
  // their nodes and the groups above them.
  void screen_2_xml();
  // What the pages show now counts as loaded for these sections: from now on
  // a save or download takes only the items that differ (the user's edits).
  // Runs the encoders, as a save would.
  void note_baseline(std::uint8_t sections);

  ConfigImageHooks hooks;

  ParameterTree& tree;
  WorkingImages& images;
  ChannelsPage& channels;

 private:
  // The text of the checked item at the address; nothing when the tree has
  // no such item, it is not checked or it holds no data.
  std::optional<std::string> checked_text(unsigned address) const;
  // Sets the item's text and checks it with `levels` nodes upwards (itself
  // included); nothing when the tree has no item at the address.
  void put(unsigned address, const std::string& text, int levels);
  // The item texts the pages give for the sections, by address, after the
  // encoders have brought the images up to date.
  std::map<unsigned, std::string> page_item_texts(std::uint8_t sections);
  void check_group_before(const char* first_caption, std::size_t distance);
};

}  // namespace qv82
