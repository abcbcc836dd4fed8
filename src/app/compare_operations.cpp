#include <exception>

#include "app/application.h"
#include "config/backups.h"
#include "config/config_file.h"
#include "config/held_items.h"
#include "config/parameter_tree.h"
#include "lang/language.h"

namespace qv82 {

void Application::install_write_guard() {
  selector.back_up = [this](const std::vector<MemoryBlock>& blocks) {
    return backups.back_up(blocks);
  };
  backups.written = [this](const std::string& path) {
    if (hooks.backup_written) hooks.backup_written(path);
  };
  selector.caption_of = [this](std::uint16_t address) {
    ParameterTree tree;
    try {
      tree.load_file(path_of(kTemplateFileName));
    } catch (const std::exception&) {
      return item_caption({}, address);
    }
    return caption_of_address(tree, address);
  };
}

std::optional<std::vector<ItemDifference>> Application::compare_tree_with_device(
    const ParameterTree& tree) {
  const std::vector<HeldItem> held = tree_items(tree, true);
  if (!identified_or_said()) return std::nullopt;
  const auto device_items = read_held_items(selector, held);
  if (!device_items) {
    ui.error(language_text(msg::kErrorReadingData));
    return std::nullopt;
  }
  // Device first: the differences read as what a download would change.
  return compare_items(*device_items, held, workdir);
}

std::optional<std::vector<ItemDifference>> Application::compare_with_device(
    const std::string& path) {
  ParameterTree tree;
  try {
    load_configuration(tree, path_of(kTemplateFileName), path);
  } catch (const std::exception& e) {
    ui.error(e.what());
    return std::nullopt;
  }
  return compare_tree_with_device(tree);
}

std::optional<std::vector<ItemDifference>> Application::compare_files(const std::string& first,
                                                                      const std::string& second) {
  ParameterTree a;
  ParameterTree b;
  try {
    load_configuration(a, path_of(kTemplateFileName), first);
    load_configuration(b, path_of(kTemplateFileName), second);
  } catch (const std::exception& e) {
    ui.error(e.what());
    return std::nullopt;
  }
  return compare_items(tree_items(a, true), tree_items(b, true), workdir);
}

bool Application::restore(const std::string& path) {
  // Another unit's backup would give this one the other's coins and counters.
  const std::string from = backup_serial_of(path);
  const std::string connected = backups.device_serial();
  if (!from.empty() && from != connected) {
    if (ui.question(language_text(msg::kRestoreOtherSerial, {from, connected}),
                    Buttons::YesNo) != Answer::Yes) {
      return false;
    }
  }
  return configuration.transfer.restore(path);
}

std::vector<BackupEntry> Application::device_backups() {
  return backups.of_serial(backups.device_serial());
}

bool Application::compare_file_with_device() {
  const auto path = ui.open_file(open_file_filter.empty() ? kOpenFileFilter : open_file_filter);
  if (!path) return false;
  const auto differences = compare_with_device(*path);
  if (!differences) return false;
  ui.show_lines(language_text(msg::kCompareWithDevice), difference_lines(*differences));
  return true;
}

bool Application::restore_backup() {
  if (!identified_or_said()) return false;
  const std::vector<BackupEntry> entries = device_backups();
  if (entries.empty()) {
    ui.information(language_text(msg::kNoBackupsOfDevice) + " (" + backups.device_serial() + ")");
    return false;
  }
  std::vector<std::string> labels;
  for (const BackupEntry& entry : entries) {
    labels.push_back(entry.time + "  " + std::to_string(entry.items) + " items  " + entry.path);
  }
  const auto chosen = ui.choose_item(language_text(msg::kChooseBackup), labels);
  if (!chosen || *chosen >= entries.size()) return false;
  const std::string& path = entries[*chosen].path;
  if (ui.question(language_text(msg::kRestoreBackupQuestion) + path, Buttons::YesNo) !=
      Answer::Yes) {
    return false;
  }
  return restore(path);
}

}  // namespace qv82
