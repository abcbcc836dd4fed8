#pragma once

#include <string>
#include <utility>

#include "files/ini_file.h"
#include "device/coin_selector.h"
#include "link/cctalk_link.h"
#include "sim/simulated_setup.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"

namespace qv82::test {

// Settings that accept the simulated device and its boot monitor.
inline constexpr const char* kSupportedTypesIni = "[SUPPORTED TYPES]\nQV82=\nQV82HS-BL=\n";

// The coin selector's operations on a simulated bench in virtual time,
// talking to a scripted person, with qv82hs.ini in a fresh folder.
struct SelectorBench {
  explicit SelectorBench(sim::SetupOptions options = {}, const std::string& ini = kSupportedTypesIni)
      : setup(std::move(options)),
        link(setup.line(), setup.clock()),
        settings((dir.write("qv82hs.ini", ini), dir.file("qv82hs.ini"))),
        selector(link, state, ui, settings) {
    link.device_address = setup.device().address();
  }

  sim::Device& device() { return setup.device(); }
  // Frames the device has accepted so far.
  std::size_t requests() { return setup.device().requests().size(); }

  TempDir dir;
  sim::SimulatedSetup setup;
  CcTalkLink link;
  DeviceState state;
  FakeUi ui;
  IniFile settings;
  CoinSelector selector;
};

// Bench options with the device's four access masks.
inline sim::SetupOptions with_masks(std::uint8_t factory_read, std::uint8_t factory_write,
                                    std::uint8_t pin_read, std::uint8_t pin_write) {
  sim::SetupOptions options;
  options.device.masks = {factory_read, factory_write, pin_read, pin_write};
  return options;
}

}  // namespace qv82::test
