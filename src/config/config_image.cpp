#include "config/config_image.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <set>

#include "channels/channels_page.h"
#include "config/parameter_tree.h"
#include "files/text.h"
#include "link/errors.h"

namespace qv82 {

namespace {

constexpr std::size_t kIoRecordDigits = 16;
constexpr std::size_t kParameterDigits = 2 * kCommonParameterCount;
constexpr std::size_t kOptionDigits = 2;
constexpr std::size_t kCounterDigits = 6;
constexpr std::uint8_t kAllSections =
    kSectionChannels | kSectionConfiguration | kSectionModes | kSectionStatistics;

unsigned io_address(std::size_t k) { return kIoAddress + 8 * static_cast<unsigned>(k); }

[[noreturn]] void bad_item(unsigned address, const std::string& why) {
  throw ConversionError("Item " + item_address_text(address) + ": " + why);
}

void require_hex(unsigned address, const std::string& text) {
  if (!all_hex(text)) bad_item(address, quoted_value(text) + " is not hexadecimal");
}

// Statistics texts are cut into fixed-width pieces later, so a text of
// another width would shift every value after it.
std::string fixed_hex(unsigned address, const std::string& text, std::size_t digits) {
  require_hex(address, text);
  if (text.size() != digits) {
    bad_item(address, quoted_value(text) + " is not " + std::to_string(digits) + " hex digits");
  }
  return upper_case(text);
}

std::string shortened(const std::string& text) {
  return text.size() <= 72 ? text : text.substr(0, 72) + "...";
}

}  // namespace

void check_item_text(const ParameterTree& tree, std::size_t node) {
  const std::string& text = tree.text(node);
  const std::string length_text = tree.attribute(node, "length");
  std::size_t length = 0;
  for (const char c : length_text) {
    if (c < '0' || c > '9' || length > 255) return;  // no usable length: the transfer says so
    length = length * 10 + static_cast<std::size_t>(c - '0');
  }
  if (length_text.empty() || (text.size() == 2 * length && all_hex(text))) return;
  const std::string found =
      all_hex(text) ? std::to_string(text.size()) + " hex digits" : "'" + shortened(text) + "'";
  throw ConversionError("Damaged item \"" + tree.attribute(node, "caption") + "\" (" +
                        tree.attribute(node, "address") + "): expected " +
                        std::to_string(2 * length) + " hex digits, found " + found);
}

void check_item_texts(const ParameterTree& tree) {
  for (std::size_t node = 0; node < tree.node_count(); ++node) {
    if (!tree.text(node).empty()) {
      check_item_text(tree, node);
    }
  }
}

std::string item_address_text(unsigned address) { return hex_address(address); }

ConfigImage::ConfigImage(ParameterTree& parameter_tree, WorkingImages& working_images,
                         ChannelsPage& channels_page)
    : tree(parameter_tree), images(working_images), channels(channels_page) {}

std::optional<std::string> ConfigImage::checked_text(unsigned address) const {
  const std::size_t node = tree.find_by_address(item_address_text(address));
  if (node == ParameterTree::kNotFound || tree.state(node) != CheckState::kChecked) return {};
  const std::string& text = tree.text(node);
  // An item without data (a template item an upload passed over) is as good
  // as none: taken, it would blank a record or shift an image.
  if (text.empty()) return {};
  check_item_text(tree, node);
  return text;
}

void ConfigImage::xml_2_screen() {
  // Everything is read and checked before anything changes, so that a
  // damaged item leaves the pages as they were.
  std::uint8_t noted = 0;
  std::set<unsigned> taken;

  std::array<std::optional<Bytes>, kChannelCount> records;
  for (int n = 1; n <= kChannelCount; ++n) {
    const unsigned address = channel_address(n);
    const auto text = checked_text(address);
    if (!text) continue;
    require_hex(address, *text);
    Bytes record = hex_to_bytes(*text);
    // The pages and the channel writes work on whole records only.
    if (record.size() != kChannelRecordSize) {
      bad_item(address, "a channel record is 32 bytes, this one " + std::to_string(record.size()));
    }
    records[static_cast<std::size_t>(n - 1)] = std::move(record);
    taken.insert(address);
    noted |= kSectionChannels;
  }

  std::array<std::optional<std::string>, kIoRecordCount> io;
  for (std::size_t k = 0; k < kIoRecordCount; ++k) {
    const auto text = checked_text(io_address(k));
    if (!text) continue;
    require_hex(io_address(k), *text);
    io[k] = *text;
    taken.insert(io_address(k));
    noted |= kSectionConfiguration;
  }

  std::string params = images.param_image;
  for (std::size_t k = 1; k <= kCommonParameterCount; ++k) {
    const unsigned address = common_parameter_address(k);
    const auto text = checked_text(address);
    // Fewer than two characters hold no parameter byte.
    if (!text || text->size() < 2) continue;
    const std::string digits = text->substr(0, 2);
    require_hex(address, digits);
    if (params.size() < kParameterDigits) params.resize(kParameterDigits, '0');
    params.replace(2 * (k - 1), 2, digits);
    taken.insert(address);
    noted |= kSectionConfiguration;
  }

  bool statistics_taken = false;
  std::string options;
  for (unsigned i = 0; i < kStatisticCount; ++i) {
    const unsigned address = kStatOptionsAddress + i;
    const auto text = checked_text(address);
    options += text ? fixed_hex(address, *text, kOptionDigits) : "FF";
    if (text) taken.insert(address);
    statistics_taken = statistics_taken || text.has_value();
  }
  std::string counters;
  for (unsigned i = 0; i < kStatisticCount; ++i) {
    const unsigned address = kStatCountersAddress + 3 * i;
    const auto text = checked_text(address);
    counters += text ? fixed_hex(address, *text, kCounterDigits) : "000000";
    statistics_taken = statistics_taken || text.has_value();
  }

  std::optional<std::uint8_t> modes;
  if (const auto text = checked_text(kModesByteAddress)) {
    if (text->size() < 2) bad_item(kModesByteAddress, quoted_value(*text) + " holds no byte");
    require_hex(kModesByteAddress, text->substr(0, 2));
    modes = hex_to_bytes(text->substr(0, 2)).front();
  }

  // An edit of the shown channel still on the page goes into the buffer
  // before the redraw, unless the load replaces that very channel.
  if ((noted & kSectionChannels) && channels.channel_modified) {
    channels.take_channel(channels.shown_channel);
  }

  // What the user already had of the sections this load touches (items of
  // an earlier load, edits) and the load does not replace stays theirs.
  std::set<unsigned> kept;
  const std::uint8_t touched =
      noted & images.loaded_sections & (kSectionChannels | kSectionConfiguration);
  for (const auto& [address, text] : page_item_texts(touched)) {
    if (taken.contains(address)) continue;
    const auto baseline = images.item_baseline.find(address);
    if (images.given_items.contains(address) || baseline == images.item_baseline.end() ||
        baseline->second != text) {
      kept.insert(address);
    }
  }

  // Channels.
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (records[i]) channels.channel_buffer[i] = std::move(*records[i]);
  }
  if (noted & kSectionChannels) channels.show_channel(channels.channel_number);

  // I/O records and common parameters.
  for (std::size_t k = 0; k < kIoRecordCount; ++k) {
    if (io[k]) images.io_text[k] = std::move(*io[k]);
  }
  if (noted & kSectionConfiguration) {
    images.param_image = std::move(params);
    if (hooks.show_configuration_groups) hooks.show_configuration_groups();
  }

  // Statistics. The images are rebuilt only when the file or the device
  // gave statistics: rebuilt from nothing they would read as options
  // changed, and the next statistics Write would erase every counter.
  if (statistics_taken) {
    images.stat_options_image = std::move(options);
    images.stat_counters_image = std::move(counters);
    noted |= kSectionStatistics;
    if (hooks.display_statistics) hooks.display_statistics();
  }

  if (modes) {
    if (hooks.apply_modes_byte) hooks.apply_modes_byte(*modes);
    noted |= kSectionModes;
  }

  if ((noted & kSectionConfiguration) && hooks.after_images_loaded) hooks.after_images_loaded();

  images.loaded_sections |= noted;

  // What this load gave is what a save or download takes of these sections,
  // with what the user changes from here on.
  const std::uint8_t reloaded =
      noted & (kSectionChannels | kSectionConfiguration | kSectionStatistics);
  images.take_whole_sections(reloaded);
  for (const unsigned address : taken) {
    if (section_bit_for_address(address) & reloaded) images.given_items.insert(address);
  }
  images.given_items.insert(kept.begin(), kept.end());
  images.sourced_sections |= reloaded;
  note_baseline(reloaded);
}

void ConfigImage::note_baseline(std::uint8_t sections) {
  for (auto& [address, text] : page_item_texts(sections)) {
    images.item_baseline[address] = std::move(text);
  }
}

std::map<unsigned, std::string> ConfigImage::page_item_texts(std::uint8_t sections) {
  std::map<unsigned, std::string> texts;
  if (sections & kSectionChannels) {
    for (int n = 1; n <= kChannelCount; ++n) {
      const Bytes& record = channels.channel_buffer[static_cast<std::size_t>(n - 1)];
      if (!record.empty()) texts[channel_address(n)] = bytes_to_hex(record);
    }
  }
  if (sections & kSectionConfiguration) {
    if (hooks.before_images_saved) hooks.before_images_saved();
    for (std::size_t k = 0; k < kIoRecordCount; ++k) {
      const std::string& text = images.io_text[k];
      if (text.size() >= kIoRecordDigits) texts[io_address(k)] = text.substr(0, kIoRecordDigits);
    }
    const std::string& params = images.param_image;
    for (std::size_t k = 1; k <= kCommonParameterCount; ++k) {
      if (params.size() >= 2 * k)
        texts[common_parameter_address(k)] = params.substr(2 * (k - 1), 2);
    }
  }
  if (sections & kSectionStatistics) {
    if (hooks.encode_statistic_options) hooks.encode_statistic_options();
    const std::string& options = images.stat_options_image;
    for (unsigned i = 0; i < kStatisticCount; ++i) {
      if (options.size() >= 2 * i + 2) texts[kStatOptionsAddress + i] = options.substr(2 * i, 2);
    }
  }
  return texts;
}

void ConfigImage::put(unsigned address, const std::string& text, int levels) {
  const std::size_t node = tree.find_by_address(item_address_text(address));
  if (node == ParameterTree::kNotFound) return;
  tree.set_text(node, text);
  std::size_t n = node;
  for (int level = 0; level < levels && n != ParameterTree::kNotFound; ++level) {
    tree.set_state(n, CheckState::kChecked);
    n = tree.parent(n);
  }
}

void ConfigImage::check_group_before(const char* first_caption, std::size_t distance) {
  const std::size_t node = tree.find_by_caption(first_caption);
  if (node == ParameterTree::kNotFound || node < distance) return;
  tree.set_state(node - distance, CheckState::kChecked);
}

void ConfigImage::screen_2_xml() {
  const std::uint8_t loaded = images.loaded_sections;
  // Only items that came from the last load or that the user changed: an
  // item the file lacked keeps out of the save and the device.
  std::uint8_t sections = 0;
  for (const auto& [address, text] : page_item_texts(loaded)) {
    const auto baseline = images.item_baseline.find(address);
    if (!images.given_items.contains(address) && baseline != images.item_baseline.end() &&
        baseline->second == text) {
      continue;
    }
    const std::uint8_t section = section_bit_for_address(address);
    put(address, text, section == kSectionChannels ? 2 : 3);
    sections |= section;
  }
  sections |= loaded & kSectionModes;

  // The groups: found through the first item of each section, which the
  // template captions with its own address and places right after its
  // group's start line.
  if (sections & kSectionChannels) check_group_before("0x0570", 1);
  if (sections & kSectionConfiguration) {
    check_group_before("0x0770", 1);
    check_group_before("0x0770", 2);
    check_group_before("0x07F0", 1);
  }
  if (sections & kSectionModes) check_group_before("0x07B0", 1);
  if (sections & kSectionStatistics) check_group_before("0x081A", 1);
  if ((sections & kAllSections) == kAllSections && tree.node_count() > 0) {
    tree.set_state(0, CheckState::kChecked);
  }
}

}  // namespace qv82
