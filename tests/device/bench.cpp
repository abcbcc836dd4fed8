#include "device/bench.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace qv82::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qv82-device-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void TempDir::write(const std::string& name, const std::string& text) const {
  std::ofstream(file(name), std::ios::binary) << text;
}

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
