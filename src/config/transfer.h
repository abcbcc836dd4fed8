#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/bytes.h"

namespace qv82 {

class ChannelsPage;
class CoinSelector;
class ConfigImage;
class ParameterTree;

// The sections of loaded_sections (kSection...) that a node's item belongs
// to, by its address; 0 for groups and items outside the configuration.
std::uint8_t node_section(const ParameterTree& tree, std::size_t node);

// Keeps only the items of the given sections checked, as a person would by
// unticking the others in the section dialog; groups left without a checked
// item are unticked too. Unavailable nodes stay as they are.
void restrict_to_sections(ParameterTree& tree, std::uint8_t sections);

// "Upload" and "Download": the configuration between the coin selector and
// the program, item by item over the checked data items of the parameter
// tree, each behind the access check of its memory area.
class ConfigTransfer {
 public:
  ConfigTransfer(CoinSelector& selector, ParameterTree& tree, ConfigImage& image,
                 ChannelsPage& channels, std::string template_path);
  ConfigTransfer(const ConfigTransfer&) = delete;
  ConfigTransfer& operator=(const ConfigTransfer&) = delete;

  // The template with every section offered, the user's choice, the reads,
  // then the pages from the items. True when everything was read.
  bool upload();
  // The loaded sections into the tree, the user's choice, the writes, the
  // commit and restart. True when the device stored everything. An item
  // whose length or text cannot be converted throws ConversionError before
  // the first write.
  bool download();
  // A configuration file (a backup) written whole into the device, without
  // the section dialog, then stored with the read-back of every write; the
  // pages then show the restored items. Only items of the template, at
  // their template lengths, are accepted.
  bool restore(const std::string& path);

  struct PlannedWrite {
    std::uint16_t address;
    std::uint8_t area;
    Bytes data;
  };

  // Asked once the sections are chosen, before anything is written, when
  // the download holds items of the I/O configuration and common
  // parameters; false ends the download there. Unset: no question.
  std::function<bool()> confirm_io_download;

  // Statistics page: options and counters read back from the device (after
  // statistic options were written).
  std::function<void()> read_statistics;

  // The pages drawn again from what was just read, before the user is told the
  // upload finished: the message must not stand over the old values.
  std::function<void()> pages_changed;

  const std::string template_path;

 private:
  int read_items();
  // The backup, the writes, the read-back, the store and restart, and the
  // messages that tell the outcome.
  bool write_planned(const std::vector<PlannedWrite>& writes);
  void show_restored(const ParameterTree& backup);

  CoinSelector& selector_;
  ParameterTree& tree_;
  ConfigImage& image_;
  ChannelsPage& channels_;
};

}  // namespace qv82
