#include "app/compare.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <memory>

#include "channels/channel_lists.h"
#include "channels/channel_record.h"
#include "channels/channels_page.h"
#include "channels/country_list.h"
#include "config/config_image.h"
#include "config/parameter_tree.h"
#include "config/working_images.h"
#include "device/ui.h"
#include "files/ini_file.h"
#include "files/text.h"
#include "lang/language.h"
#include "link/memory_map.h"
#include "rules/configuration_rules.h"
#include "rules/record_text.h"

namespace qv82 {

namespace {

constexpr std::uint16_t kIoEnd = 0x07B0;
constexpr std::uint16_t kDipModeAddress = 0x07AA;
constexpr std::size_t kIoRecordBytes = 8;

// Wording a configuration needs no person: nothing it might say is shown.
class SilentUi : public Ui {
 public:
  void error(const std::string&) override {}
  void information(const std::string&) override {}
  Answer question(const std::string&, Buttons) override { return Answer::No; }
  std::optional<std::string> password(const std::string&, const std::string&,
                                      const Validator&) override {
    return std::nullopt;
  }
  bool choose_sections(const std::string&, ParameterTree&) override { return false; }
  std::optional<std::string> open_file(const std::string&) override { return std::nullopt; }
  std::optional<std::string> save_file(const std::string&) override { return std::nullopt; }
  void wait_cursor(bool) override {}
};

// The configuration page as it would show the items after opening them,
// built by the page's own rules.
struct ItemPages {
  ItemPages(const std::vector<HeldItem>& items, const std::string& workdir)
      : rules(images, page, ui), channels(buffer), image(tree, images, channels) {
    tree.load_file(workdir + "/template.xml");
    lay_items(tree, items);
    rules.activate(workdir);
    image.hooks.show_configuration_groups = [this] { rules.show_configuration_groups(); };
    image.hooks.apply_modes_byte = [this](std::uint8_t modes) { rules.apply_modes_byte(modes); };
    image.hooks.after_images_loaded = [this] { rules.after_images_loaded(); };
    images.loaded_sections = 0;
    image.xml_2_screen();
  }

  SilentUi ui;
  WorkingImages images;
  ConfigPageModel page;
  ConfigurationRules rules;
  ChannelBuffer buffer;
  ChannelsPage channels;
  ParameterTree tree;
  ConfigImage image;
};

std::unique_ptr<ItemPages> pages_of(const std::vector<HeldItem>& items,
                                    const std::string& workdir) {
  try {
    return std::make_unique<ItemPages>(items, workdir);
  } catch (const std::exception&) {
    // Without the data files the differences are told in hex alone.
    return nullptr;
  }
}

void add_change(std::string& words, const std::string& name, const std::string& from,
                const std::string& to) {
  if (from == to) return;
  if (!words.empty()) words += ", ";
  words += name + " " + (from.empty() ? "-" : from) + " -> " + (to.empty() ? "-" : to);
}

std::string yes_no(bool value) { return value ? "Y" : "N"; }

std::string channel_words(const std::string& first, const std::string& second) {
  DecodedChannel a;
  DecodedChannel b;
  try {
    a = StrToChannel(hex_to_bytes(first));
    b = StrToChannel(hex_to_bytes(second));
  } catch (const std::exception&) {
    return {};
  }
  std::string words;
  for (int i = 0; i < kChannelParameterCount; ++i) {
    const std::string column = std::to_string(i + 1) + ".";
    add_change(words, column, std::to_string(a.view.parameters[i]),
               std::to_string(b.view.parameters[i]));
    add_change(words, "tollerance " + column, std::to_string(a.view.tolerances[i]),
               std::to_string(b.view.tolerances[i]));
  }
  add_change(words, "ccTalk", yes_no(a.view.cctalk), yes_no(b.view.cctalk));
  add_change(words, "Sel.", yes_no(a.view.selective), yes_no(b.view.selective));
  add_change(words, "Fake", yes_no(a.view.fake), yes_no(b.view.fake));
  add_change(words, "En.", yes_no(a.view.enabled), yes_no(b.view.enabled));
  add_change(words, "Dir.", std::string(list_item(direction_list(), a.view.direction)),
             std::string(list_item(direction_list(), b.view.direction)));
  const auto cvf = cvf_list(CvfListKind::kChannelsPage);
  add_change(words, "CVF", std::string(list_item(cvf, a.view.cvf)),
             std::string(list_item(cvf, b.view.cvf)));
  add_change(words, "Mint", std::string(list_item(mint_list(), a.view.mint)),
             std::string(list_item(mint_list(), b.view.mint)));
  add_change(words, "CC", std::string(country_code(a.view.country)),
             std::string(country_code(b.view.country)));
  add_change(words, "Val.", std::to_string(a.view.value), std::to_string(b.view.value));
  add_change(words, "status bits 4-7", hex_byte(a.status_high_bits),
             hex_byte(b.status_high_bits));
  return words;
}

std::string parameter_text(const ParameterControl& control) {
  std::string text = std::to_string(control.box.value);
  if (!control.unit.empty()) text += " " + control.unit;
  return text;
}

// The words of an item of the configuration page, from both pages.
std::string page_words(std::uint16_t address, const ItemPages* a, const ItemPages* b) {
  if (!a || !b) return {};
  std::string words;
  if (address == kDipModeAddress) {
    add_change(words, trimmed(language_text(msg::kDipSwitchMode)), a->page.dip_mode.text(),
               b->page.dip_mode.text());
    return words;
  }
  if (address >= kIoAddress && address < kIoEnd && (address - kIoAddress) % kIoRecordBytes == 0) {
    const std::size_t row = (address - kIoAddress) / kIoRecordBytes;
    if (row >= a->page.rows.size()) return {};
    std::string caption = trimmed(a->page.rows[row].caption);
    while (!caption.empty() && (caption.back() == ':' || caption.back() == ' ')) caption.pop_back();
    add_change(words, caption, a->page.rows[row].function.text(),
               b->page.rows[row].function.text());
    return words;
  }
  for (std::size_t k = 1; k <= kCommonParameterCount; ++k) {
    if (common_parameter_address(k) != address) continue;
    std::string caption = trimmed(a->page.parameter(k).caption);
    while (!caption.empty() && caption.back() == ':') caption.pop_back();
    if (caption.empty()) caption = common_parameter_key(k);
    add_change(words, caption, parameter_text(a->page.parameter(k)),
               parameter_text(b->page.parameter(k)));
  }
  return words;
}

// The statistic option's name as the statistics page lists it, by its
// code in qv82hs.ini; the code itself when no name has it.
std::string option_name(const std::vector<std::pair<std::string, std::string>>& codes,
                        const std::string& code) {
  for (const auto& [name, value] : codes) {
    if (same_text_ignoring_case(trimmed(value), code)) return name;
  }
  return code;
}

}  // namespace

std::vector<ItemDifference> compare_items(const std::vector<HeldItem>& first,
                                          const std::vector<HeldItem>& second,
                                          const std::string& workdir) {
  std::map<std::uint16_t, ItemDifference> by_address;
  for (const HeldItem& item : first) {
    if (item.text.empty()) continue;
    by_address[item.address] = {item.caption, item.address, upper_case(item.text), {}, {}};
  }
  for (const HeldItem& item : second) {
    if (item.text.empty()) continue;
    ItemDifference& d = by_address[item.address];
    if (d.caption.empty()) d = {item.caption, item.address, {}, {}, {}};
    d.second = upper_case(item.text);
  }
  std::vector<ItemDifference> differences;
  for (auto& [address, d] : by_address) {
    if (d.first != d.second) differences.push_back(d);
  }
  if (differences.empty()) return differences;

  const bool page_items = std::any_of(differences.begin(), differences.end(), [](auto& d) {
    return section_bit_for_address(d.address) == kSectionConfiguration;
  });
  const auto pages_a = page_items ? pages_of(first, workdir) : nullptr;
  const auto pages_b = page_items ? pages_of(second, workdir) : nullptr;
  for (ItemDifference& d : differences) {
    if (d.first.empty() || d.second.empty()) continue;
    if (area_of_address(d.address) == kAreaChannels) {
      d.words = channel_words(d.first, d.second);
    } else if (section_bit_for_address(d.address) == kSectionConfiguration) {
      d.words = page_words(d.address, pages_a.get(), pages_b.get());
    } else if (area_of_address(d.address) == kAreaStatisticOptions) {
      const IniFile settings(workdir + "/qv82hs.ini");
      const auto codes = settings.section_entries("Statistic options");
      add_change(d.words, "Setting", option_name(codes, d.first), option_name(codes, d.second));
    } else if (area_of_address(d.address) == kAreaStatisticCounters) {
      add_change(d.words, "count", std::to_string(std::stoul(d.first, nullptr, 16)),
                 std::to_string(std::stoul(d.second, nullptr, 16)));
    }
  }
  return differences;
}

std::vector<std::string> difference_lines(const std::vector<ItemDifference>& differences) {
  const std::string not_held = language_text(msg::kNotInThisFile);
  std::vector<std::string> lines;
  for (const ItemDifference& d : differences) {
    std::string line = d.caption + " (" + hex_address(d.address) +
                       "): " + (d.first.empty() ? not_held : d.first) + " -> " +
                       (d.second.empty() ? not_held : d.second);
    if (!d.words.empty()) line += "; " + d.words;
    lines.push_back(line);
  }
  if (differences.empty()) {
    lines.push_back(language_text(msg::kNoDifferences));
  } else {
    lines.push_back(std::to_string(differences.size()) + language_text(differences.size() == 1
                                                                           ? msg::kOneDifference
                                                                           : msg::kDifferences));
  }
  return lines;
}

}  // namespace qv82
