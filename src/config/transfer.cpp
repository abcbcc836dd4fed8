#include "config/transfer.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

#include "channels/channels_page.h"
#include "config/config_file.h"
#include "config/config_image.h"
#include "config/parameter_tree.h"
#include "config/working_images.h"
#include "device/coin_selector.h"
#include "device/unstored_writes.h"
#include "files/text.h"
#include "lang/language.h"
#include "link/errors.h"

namespace qv82 {

namespace {

constexpr unsigned kFirstConfigurationAddress = kChannelsAddress;
constexpr unsigned kStatOptionsFirst = 0x0816;
constexpr unsigned kStatOptionsLast = 0x082F;
constexpr int kUploadStartPolls = 20;
constexpr unsigned kSettleMs = 100;
constexpr unsigned long kMaxLength = 255;

// The hourglass and the busy indication for the length of a transfer, so
// that the tool bar stays off between its requests too.
class TransferScope {
 public:
  TransferScope(Ui& ui, CcTalkLink& link) : ui_(ui), link_(link) {
    ui_.wait_cursor(true);
    if (link_.busy_start) link_.busy_start();
  }
  ~TransferScope() { end(); }
  TransferScope(const TransferScope&) = delete;
  TransferScope& operator=(const TransferScope&) = delete;

  void end() {
    if (!active_) return;
    active_ = false;
    if (link_.busy_end) link_.busy_end();
    ui_.wait_cursor(false);
  }

 private:
  Ui& ui_;
  CcTalkLink& link_;
  bool active_ = true;
};

std::optional<unsigned long> decimal(const std::string& text) {
  if (text.empty() || text.size() > 9) return {};
  unsigned long value = 0;
  for (const char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return {};
    value = value * 10 + static_cast<unsigned long>(c - '0');
  }
  return value;
}

// The four hex digits after "0x" of an address attribute.
std::optional<unsigned> item_address(const std::string& value) {
  const std::size_t prefix = value.find("0x");
  if (prefix == std::string::npos || prefix + 6 > value.size()) return {};
  unsigned address = 0;
  for (std::size_t i = prefix + 2; i < prefix + 6; ++i) {
    const int digit = hex_digit(value[i]);
    if (digit < 0) return {};
    address = address * 16 + static_cast<unsigned>(digit);
  }
  return address;
}

bool is_group(const ParameterTree& tree, std::size_t node) {
  return tree.subtree_end(node) > node + 1;
}

// Every checked item with data, converted before the first write, so that a
// damaged item cannot stop a download half-way.
std::vector<ConfigTransfer::PlannedWrite> planned_writes(const ParameterTree& tree) {
  using PlannedWrite = ConfigTransfer::PlannedWrite;
  std::vector<PlannedWrite> writes;
  std::uint8_t area = 0;
  for (std::size_t node = 0; node < tree.node_count(); ++node) {
    if (tree.state(node) != CheckState::kChecked || tree.text(node).empty()) continue;
    const std::string address_text = tree.attribute(node, "address");
    const std::string length_text = tree.attribute(node, "length");
    const std::string name = "Item " + address_text;
    const auto length = decimal(length_text);
    if (!length || *length > kMaxLength) {
      throw ConversionError(name + ": length '" + length_text + "' is not a number of bytes");
    }
    const auto address = item_address(address_text);
    if (!address) throw ConversionError(name + ": '" + address_text + "' is not an address");
    const std::string& text = tree.text(node);
    Bytes data;
    try {
      data = hex_to_bytes(std::string_view(text).substr(0, 2 * *length));
    } catch (const ConversionError& e) {
      throw ConversionError(name + ": " + e.what());
    }
    // Items outside the known areas go with the area of the item before.
    if (const std::uint8_t own = area_of_address(static_cast<std::uint16_t>(*address))) area = own;
    if (data.empty()) continue;
    writes.push_back({static_cast<std::uint16_t>(*address), area, std::move(data)});
  }
  return writes;
}

}  // namespace

std::uint8_t node_section(const ParameterTree& tree, std::size_t node) {
  if (is_group(tree, node)) return 0;
  const auto address = item_address(tree.attribute(node, "address"));
  return address ? section_bit_for_address(*address) : 0;
}

void restrict_to_sections(ParameterTree& tree, std::uint8_t sections) {
  // Backwards, so that every group is looked at after everything below it.
  for (std::size_t node = tree.node_count(); node-- > 0;) {
    if (tree.state(node) == CheckState::kUnavailable) continue;
    bool keep = false;
    if (is_group(tree, node)) {
      for (const std::size_t child : tree.children(node)) {
        keep = keep || tree.state(child) == CheckState::kChecked;
      }
    } else {
      keep = tree.state(node) == CheckState::kChecked && (node_section(tree, node) & sections);
    }
    tree.set_state(node, keep ? CheckState::kChecked : CheckState::kUnchecked);
  }
}

ConfigTransfer::ConfigTransfer(CoinSelector& selector, ParameterTree& tree, ConfigImage& image,
                               ChannelsPage& channels, std::string template_file)
    : template_path(std::move(template_file)),
      selector_(selector),
      tree_(tree),
      image_(image),
      channels_(channels) {}

int ConfigTransfer::read_items() {
  std::uint8_t area = 0;
  for (std::size_t node = 0; node < tree_.node_count(); ++node) {
    if (tree_.state(node) != CheckState::kChecked) continue;
    const auto length = decimal(tree_.attribute(node, "length")).value_or(0);
    const unsigned address = item_address(tree_.attribute(node, "address")).value_or(0);
    // Groups and the root have neither; a length no request can carry is
    // passed over like a missing one.
    if (address < kFirstConfigurationAddress || length == 0 || length > kMaxLength) continue;
    if (const std::uint8_t own = area_of_address(static_cast<std::uint16_t>(address))) area = own;
    image_.images.loaded_sections |= section_bit_for_address(address);
    Bytes data;
    const int result = selector_.read_memory(static_cast<std::uint16_t>(address),
                                             static_cast<std::uint8_t>(length), area, data);
    if (result != kMemoryOk) return result;
    tree_.set_text(node, bytes_to_hex(data));
  }
  return kMemoryOk;
}

bool ConfigTransfer::upload() {
  Ui& ui = selector_.ui;
  // A template cut short would read fewer items and still report success.
  try {
    (void)read_template_lines(template_path);
  } catch (const ConfigFileError& e) {
    ui.file_error(e.what());
    return false;
  }
  if (!selector_.identify_device()) {
    ui.error(language_text(msg::kCoinSelectorNotFound));
    return false;
  }
  try {
    tree_.load_file(template_path);
  } catch (const XmlError& e) {
    ui.file_error(e.what());
    return false;
  }
  tree_.check_all();
  if (!ui.choose_sections(language_text(msg::kUploadFromCoinSelector), tree_)) return false;
  tree_.accept();

  int result = kMemoryOk;
  {
    TransferScope scope(ui, selector_.link);
    // Tells the device a configuration read follows; its answer is not needed.
    Bytes reply;
    selector_.link.cctalk_transaction(selector_.link.device_address, Bytes{0xFF, 0x09}, reply,
                                      kUploadStartPolls);
    result = read_items();
  }
  if (result != kMemoryOk) {
    ui.error(language_text(msg::kErrorReadingData));
    return false;
  }
  image_.xml_2_screen();
  if (pages_changed) pages_changed();
  ui.information(language_text(msg::kOperationFinished));
  return true;
}

bool ConfigTransfer::download() {
  Ui& ui = selector_.ui;
  if (!selector_.identify_device()) {
    ui.error(language_text(msg::kCoinSelectorNotFound));
    return false;
  }
  channels_.take_channel(channels_.channel_number);
  image_.screen_2_xml();
  if (!tree_.has_choosable_nodes()) {
    ui.error(language_text(msg::kAllBuffersAreEmpty));
    return false;
  }
  if (!ui.choose_sections(language_text(msg::kDownloadToCoinSelector), tree_)) return false;
  tree_.accept();
  const std::vector<PlannedWrite> writes = planned_writes(tree_);
  const bool io_included = std::any_of(writes.begin(), writes.end(), [](const PlannedWrite& w) {
    return section_bit_for_address(w.address) == kSectionConfiguration;
  });
  if (io_included && confirm_io_download && !confirm_io_download()) return false;

  return write_planned(writes);
}

namespace {

// A backup holds template items only, each at its template length: the
// backup taken before the restore covers exactly those, so whatever the
// restore writes can be put back. Throws ConversionError naming the item.
void check_against_template(const ParameterTree& backup, const std::string& template_path) {
  ParameterTree known;
  known.load_file(template_path);
  for (std::size_t node = 0; node < backup.node_count(); ++node) {
    if (backup.text(node).empty()) continue;
    const std::string address = backup.attribute(node, "address");
    const std::size_t match = known.find_by_address(address);
    if (match == ParameterTree::kNotFound ||
        known.attribute(match, "length") != backup.attribute(node, "length")) {
      throw ConversionError(language_text(msg::kNotABackup) + "\"" +
                            backup.attribute(node, "caption") + "\" (" + address + ")");
    }
  }
  check_item_texts(backup);
}

}  // namespace

bool ConfigTransfer::restore(const std::string& path) {
  Ui& ui = selector_.ui;
  ParameterTree backup;
  const bool read = read_chosen_file(path, ui, [&] {
    backup.load_file(path);
    check_against_template(backup, template_path);
  });
  if (!read) return false;
  if (!selector_.identify_device()) {
    ui.error(language_text(msg::kCoinSelectorNotFound));
    return false;
  }
  const std::vector<PlannedWrite> writes = planned_writes(backup);
  if (!write_planned(writes)) return false;
  show_restored(backup);
  return true;
}

void ConfigTransfer::show_restored(const ParameterTree& backup) {
  // The pages keep the user's other edits but must show what the device now
  // holds: a later Download would otherwise write the old values back.
  channels_.take_channel(channels_.channel_number);
  image_.screen_2_xml();
  for (std::size_t node = 0; node < backup.node_count(); ++node) {
    if (backup.text(node).empty()) continue;
    const std::size_t shown = tree_.find_by_address(backup.attribute(node, "address"));
    if (shown == ParameterTree::kNotFound) continue;
    tree_.set_text(shown, backup.text(node));
    tree_.set_state(shown, CheckState::kChecked);
  }
  image_.xml_2_screen();
  if (pages_changed) pages_changed();
}

namespace {

// What the device holds when the port was lost under commit_and_reset.
std::string commit_cut_short(CoinSelector::CommitStage stage, int items) {
  switch (stage) {
    case CoinSelector::CommitStage::kReadingBack:
      // The store was never sent: a restart drops every item again.
      return writes_cut_off_by_port(items, items);
    case CoinSelector::CommitStage::kRestarting:
      return language_text(msg::kRestartUnconfirmed);
    default:
      return language_text(msg::kStoreCommandCutShort);
  }
}

}  // namespace

bool ConfigTransfer::write_planned(const std::vector<PlannedWrite>& writes) {
  Ui& ui = selector_.ui;
  TransferScope scope(ui, selector_.link);
  std::vector<MemoryBlock> blocks;
  for (const PlannedWrite& write : writes) {
    blocks.push_back({write.address, write.data.size(), write.area});
  }
  try {
    if (!selector_.prepare_writes(blocks)) return false;
  } catch (const PortError& e) {
    throw PortError(std::string(e.what()) + "\n" + language_text(msg::kBackupCutShort));
  }
  int result = kMemoryOk;
  int written = 0;
  bool options_sent = false;
  std::string unstored;
  try {
    for (const PlannedWrite& write : writes) {
      if (write.address >= kStatOptionsFirst && write.address <= kStatOptionsLast) {
        options_sent = true;
      }
      result = selector_.write_memory(write.address, write.data, write.area);
      if (result != kMemoryOk) break;
      ++written;
    }
    // A write that failed may have reached the device all the same.
    if (result == kMemoryFailed || (result == kMemoryDenied && written > 0)) {
      unstored = abandon_unstored_writes(selector_, written, static_cast<int>(writes.size()));
    }
    selector_.link.wait_ms(kSettleMs);
    if (options_sent && read_statistics) read_statistics();
  } catch (const PortError& e) {
    // The port names itself; what the device was left with only this download knows.
    throw PortError(std::string(e.what()) + "\n" +
                    writes_cut_off_by_port(written, static_cast<int>(writes.size())));
  }

  if (result == kMemoryOk) {
    bool stored = false;
    try {
      stored = selector_.commit_and_reset();
    } catch (const PortError& e) {
      throw PortError(std::string(e.what()) + "\n" + commit_cut_short(selector_.commit_stage(),
                                                                       static_cast<int>(writes.size())));
    }
    scope.end();
    if (stored) {
      ui.information(language_text(msg::kOperationFinished));
    } else if (!selector_.verify_failed()) {
      ui.error(language_text(msg::kErrorWriteToNvMemory));
    }
    return stored;
  }
  scope.end();
  // A refused access has been explained by the access check already.
  if (result == kMemoryFailed) {
    ui.error(language_text(msg::kWritingError) + "\n" + unstored);
  } else if (!unstored.empty()) {
    ui.error(unstored);
  }
  return false;
}

}  // namespace qv82
