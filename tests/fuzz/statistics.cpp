// The statistics decoder: option and counter images of any text, as a file
// or the device may bring them, drawn on the page and encoded again.
//
// Input: the options image, a NUL, the counters image.
#include <cstddef>
#include <cstdint>
#include <string>

#include "files/ini_file.h"
#include "device/coin_selector.h"
#include "device/device_state.h"
#include "config/working_images.h"
#include "fuzz_bench.h"
#include "link/cctalk_link.h"
#include "link/errors.h"
#include "sim/simulated_setup.h"
#include "stats/statistics.h"
#include "support/fake_ui.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace qv82;
  const std::string input(fuzz::as_text(data, size));
  const std::size_t split = input.find('\0');

  // One page for the whole run, as the window keeps one.
  static sim::SimulatedSetup setup;
  static CcTalkLink link(setup.line(), setup.clock());
  static DeviceState state;
  static test::FakeUi ui;
  static IniFile settings(fuzz::workdir().file("qv82hs.ini"));
  static CoinSelector selector(link, state, ui, settings);
  static WorkingImages images;
  static StatisticsPage& page = []() -> StatisticsPage& {
    static StatisticsPage made(link, selector, images, settings, ui);
    made.load_option_names();
    return made;
  }();

  images.stat_options_image = input.substr(0, split);
  images.stat_counters_image = split == std::string::npos ? "" : input.substr(split + 1);
  try {
    page.display();
  } catch (const ConversionError&) {
    return 0;
  }
  // What the rows show encodes to an image that shows the same rows.
  const auto shown = page.selected;
  page.encode_options();
  QV82_FUZZ_CHECK(images.stat_options_image.size() == 2u * kStatisticRows);
  page.display();
  QV82_FUZZ_CHECK(page.selected == shown);
  return 0;
}
