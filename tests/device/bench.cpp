#include "device/bench.h"

namespace qv82::test {

Bench::Bench(sim::SetupOptions options, const std::string& ini)
    : setup(std::move(options)),
      link(setup.line(), setup.clock()),
      settings(dir.file("qv82hs.ini")),
      selector(link, state, ui, settings) {
  dir.write("qv82hs.ini", ini);
  link.device_address = setup.device().address();
}

sim::SetupOptions with_masks(std::uint8_t factory_read, std::uint8_t factory_write,
                             std::uint8_t pin_read, std::uint8_t pin_write) {
  sim::SetupOptions options;
  options.device.masks = {factory_read, factory_write, pin_read, pin_write};
  return options;
}

}  // namespace qv82::test
