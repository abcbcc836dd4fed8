#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qv82 {

class CoinSelector;
class ParameterTree;

// One data item of a configuration as a plain value: what a file or the
// device holds at an address, for comparing and backing up.
struct HeldItem {
  std::string caption;  // as the user reads it ("Channel 1", not "0x0570")
  std::uint16_t address = 0;
  std::size_t length = 0;
  std::string text;  // hex; empty when the configuration does not hold it
};

// The caption of a template item as messages show it: the first item of a
// section is captioned with its own address there, so the memory map's
// label stands in for it.
std::string item_caption(const std::string& caption, std::uint16_t address);

// The data items of the tree in tree order: every one, or those that are
// checked and hold data.
std::vector<HeldItem> tree_items(const ParameterTree& tree, bool held_only);

// The caption of the item of the tree that holds the address, or the
// memory map's label when none does.
std::string caption_of_address(const ParameterTree& tree, std::uint16_t address);

// The texts of the items replaced by what the device holds there, read
// item by item behind the access check. Nothing when a read failed or was
// refused.
std::optional<std::vector<HeldItem>> read_held_items(CoinSelector& selector,
                                                     std::vector<HeldItem> items);

// Lays the items into a tree loaded from the template: a node whose address
// an item names gets its text and is checked (with the groups above it),
// every other data item loses its text and is unchecked.
void lay_items(ParameterTree& tree, const std::vector<HeldItem>& items);

// A configuration file in the template's layout, as opening it does (the
// file alone when there is no template). Throws ConfigFileError or
// XmlError naming the file.
void load_configuration(ParameterTree& tree, const std::string& template_path,
                        const std::string& path);

}  // namespace qv82
