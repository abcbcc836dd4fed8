#pragma once

// A whole application over one simulated coin selector under virtual time,
// with the installation's data files in a working directory of its own, for
// the tests of upload, download, File Open and File Save.

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/application.h"
#include "config/parameter_tree.h"
#include "files/ini_file.h"
#include "sim/simulated_setup.h"
#include "support/test_files.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"

namespace qv82::test {

// FakeUi whose tree dialog can also change the tree, as a person ticking
// boxes would, and which remembers the captions it was shown with.
class ChoosingUi : public FakeUi {
 public:
  std::function<void(ParameterTree&)> choose;
  std::vector<std::string> section_captions;

  bool choose_sections(const std::string& caption, ParameterTree& tree) override {
    section_captions.push_back(caption);
    if (choose) choose(tree);
    return FakeUi::choose_sections(caption, tree);
  }
};

struct ConfigBench {
  explicit ConfigBench(sim::SetupOptions options = {}, const std::string& workdir = {})
      : setup(std::move(options)),
        dir(workdir.empty() ? own_dir.path() : workdir),
        app((copy_data_files(dir), setup.line()), setup.clock(), ui, dir) {
    app.link.device_address = setup.device().address();
    app.configuration.prepare(dir);
  }

  sim::Device& device() { return setup.device(); }
  WorkingImages& images() { return app.configuration.images; }
  ParameterTree& tree() { return app.configuration.tree; }

  // The frames the device took whose header and data start with `prefix`.
  std::vector<Bytes> requests(const Bytes& prefix) {
    std::vector<Bytes> found;
    for (const Bytes& frame : device().requests()) {
      if (frame.size() >= 4 + prefix.size() &&
          std::equal(prefix.begin(), prefix.end(), frame.begin() + 3)) {
        found.push_back(frame);
      }
    }
    return found;
  }

  TempDir own_dir;
  sim::SimulatedSetup setup;
  std::string dir;
  ChoosingUi ui;
  Application app;
};

// The items of the installation's template: address and length.
inline std::vector<std::pair<unsigned, unsigned>> template_items() {
  ParameterTree tree;
  tree.load_file(QV82_SOURCE_DIR "/data/template.xml");
  std::vector<std::pair<unsigned, unsigned>> items;
  for (std::size_t node = 0; node < tree.node_count(); ++node) {
    if (tree.subtree_end(node) != node + 1) continue;
    items.emplace_back(std::stoul(tree.attribute(node, "address"), nullptr, 16),
                       std::stoul(tree.attribute(node, "length")));
  }
  return items;
}

// A configured coin selector: the sorter channels the factory programmed,
// the standard configuration "Timer with display", both modes set,
// statistic options from the installation's list and counted coins.
inline void load_known_configuration(sim::Device& device) {
  const IniFile settings(QV82_SOURCE_DIR "/data/qv82hs.ini");
  const char* const kConfiguration = "Timer with display";
  const char* const kRecords[] = {"Output1", "Output2", "Output3", "Output4",
                                  "Output5", "Output6", "In2Out7", "Input1"};
  for (unsigned k = 0; k < 8; ++k) {
    device.memory().poke(static_cast<std::uint16_t>(0x0770 + 8 * k),
                         hex_to_bytes(settings.read_string(kConfiguration, kRecords[k], "")));
  }
  for (std::size_t k = 1; k <= kCommonParameterCount; ++k) {
    device.memory().poke(
        static_cast<std::uint16_t>(common_parameter_address(k)),
        hex_to_bytes(settings.read_string(kConfiguration, common_parameter_key(k), "")));
  }
  device.memory().poke(kModesByteAddress, {0x06});
  const auto options = settings.section_entries("Statistic options");
  for (unsigned i = 0; i < kStatisticCount; ++i) {
    device.memory().poke(static_cast<std::uint16_t>(kStatOptionsAddress + i),
                         hex_to_bytes(options[i % options.size()].second));
    const unsigned count = 1000 * i + 7;
    device.memory().poke(static_cast<std::uint16_t>(kStatCountersAddress + 3 * i),
                         {static_cast<std::uint8_t>(count >> 16),
                          static_cast<std::uint8_t>(count >> 8), static_cast<std::uint8_t>(count)});
  }
}

}  // namespace qv82::test
