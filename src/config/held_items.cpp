#include "config/held_items.h"

#include <cctype>
#include <filesystem>

#include "config/config_file.h"
#include "config/parameter_tree.h"
#include "config/working_images.h"
#include "device/coin_selector.h"
#include "files/text.h"
#include "link/memory_labels.h"

namespace qv82 {

namespace {

constexpr std::size_t kMaxItemLength = 255;

std::optional<unsigned> parse_address(const std::string& text) {
  if (text.size() != 6 || text.rfind("0x", 0) != 0) return {};
  unsigned value = 0;
  for (std::size_t i = 2; i < text.size(); ++i) {
    const int digit = hex_digit(text[i]);
    if (digit < 0) return {};
    value = value * 16 + static_cast<unsigned>(digit);
  }
  return value;
}

std::optional<std::size_t> parse_length(const std::string& text) {
  if (text.empty() || text.size() > 3) return {};
  std::size_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return {};
    value = value * 10 + static_cast<std::size_t>(c - '0');
  }
  if (value == 0 || value > kMaxItemLength) return {};
  return value;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

}  // namespace

std::string item_caption(const std::string& caption, std::uint16_t address) {
  if (!caption.empty() && caption.rfind("0x", 0) != 0) return caption;
  for (std::size_t k = 1; k <= kCommonParameterCount; ++k) {
    if (common_parameter_address(k) == address) return common_parameter_key(k);
  }
  if (area_of_address(address) == kAreaStatisticOptions && address >= kStatOptionsAddress) {
    return "Option " + std::to_string(address - kStatOptionsAddress + 1);
  }
  std::string label = memory_label(address);
  if (!label.empty())
    label[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(label[0])));
  return label;
}

std::vector<HeldItem> tree_items(const ParameterTree& tree, bool held_only) {
  std::vector<HeldItem> items;
  for (std::size_t node = 0; node < tree.node_count(); ++node) {
    const auto address = parse_address(tree.attribute(node, "address"));
    const auto length = parse_length(tree.attribute(node, "length"));
    if (!address || !length || tree.subtree_end(node) > node + 1) continue;
    if (held_only && (tree.state(node) != CheckState::kChecked || tree.text(node).empty())) {
      continue;
    }
    const auto at = static_cast<std::uint16_t>(*address);
    items.push_back({item_caption(tree.caption(node), at), at, *length, tree.text(node)});
  }
  return items;
}

std::string caption_of_address(const ParameterTree& tree, std::uint16_t address) {
  for (const HeldItem& item : tree_items(tree, false)) {
    if (address >= item.address && address < item.address + item.length) return item.caption;
  }
  return item_caption({}, address);
}

std::optional<std::vector<HeldItem>> read_held_items(CoinSelector& selector,
                                                     std::vector<HeldItem> items) {
  std::uint8_t area = 0;
  for (HeldItem& item : items) {
    if (const std::uint8_t own = area_of_address(item.address)) area = own;
    Bytes data;
    if (selector.read_memory(item.address, static_cast<std::uint8_t>(item.length), area, data) !=
        kMemoryOk) {
      return std::nullopt;
    }
    item.text = bytes_to_hex(data);
  }
  return items;
}

void lay_items(ParameterTree& tree, const std::vector<HeldItem>& items) {
  for (std::size_t node = 0; node < tree.node_count(); ++node) {
    if (tree.subtree_end(node) > node + 1 || node == 0) continue;
    const auto address = parse_address(tree.attribute(node, "address"));
    const HeldItem* found = nullptr;
    for (const HeldItem& item : items) {
      if (address && item.address == *address && !item.text.empty()) found = &item;
    }
    tree.set_text(node, found ? found->text : std::string());
    tree.set_state(node, found ? CheckState::kChecked : CheckState::kUnavailable);
    if (!found) continue;
    for (std::size_t up = tree.parent(node); up != ParameterTree::kNotFound; up = tree.parent(up)) {
      tree.set_state(up, CheckState::kChecked);
    }
  }
}

void load_configuration(ParameterTree& tree, const std::string& template_path,
                        const std::string& path) {
  check_whole_document(path);
  if (std::filesystem::is_regular_file(template_path)) {
    tree.load_string(joined(merged_configuration(template_path, path)));
  } else {
    tree.load_file(path);
  }
}

}  // namespace qv82
