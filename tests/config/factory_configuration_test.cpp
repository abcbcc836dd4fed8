// The simulated coin selector's factory configuration is the first standard configuration
// of the installation as the utility itself writes it: a device no rule would object to.
#include <gtest/gtest.h>

#include "config/transfer_bench.h"
#include "lang/language.h"
#include "sim/factory_image.h"

namespace qv82::test {
namespace {

bool configuration_item(unsigned address) {
  return (address >= 0x0770 && address < 0x07B0) || (address >= 0x07F0 && address < 0x0816);
}

TEST(FactoryConfiguration, IsWhatTheUtilityDownloadsForTheFirstStandardConfiguration) {
  sim::SetupOptions erased;
  erased.device.erased = true;
  ConfigBench bench(erased);
  // The user picks the first standard configuration and downloads it.
  bench.app.configuration.rules.choose_standard_configuration(0);
  const bool downloaded = bench.app.download();
  EXPECT_EQ(bench.ui.errors(), std::vector<std::string>{});
  ASSERT_TRUE(downloaded);
  EXPECT_EQ(bench.ui.informations(),
            std::vector<std::string>{language_text(msg::kOperationFinished)});

  const auto& factory = sim::factory_image();
  const auto& written = bench.device().memory().nv();
  int compared = 0;
  for (const auto& [address, length] : template_items()) {
    if (!configuration_item(address)) continue;
    ++compared;
    EXPECT_EQ(bytes_to_hex(Bytes(written.begin() + address, written.begin() + address + length)),
              bytes_to_hex(Bytes(factory.begin() + address, factory.begin() + address + length)))
        << item_address_text(address);
  }
  EXPECT_EQ(compared, 8 + 1 + 17) << "I/O records, DIP switch mode, common parameters";
}

}  // namespace
}  // namespace qv82::test
