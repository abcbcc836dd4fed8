// Property: whatever a coin selector holds in its configuration areas, an
// upload to a file, a download of that file into a second selector and an
// upload from that one give the same file again, and the second selector
// then holds what the first did, up to the bytes the encoders normalise.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "config/transfer_bench.h"
#include "lang/language.h"

namespace qv82::test {
namespace {

constexpr unsigned kConfigurationStart = 0x0570;
constexpr unsigned kConfigurationEnd = 0x0870;  // one past

sim::SetupOptions erased_device() {
  sim::SetupOptions options;
  options.device.erased = true;
  return options;
}

void fill(sim::Device& device, std::uint8_t value) {
  sim::Memory::Image image = device.memory().nv();
  std::fill(image.begin() + kConfigurationStart, image.begin() + kConfigurationEnd, value);
  device.memory().load(image);
}

void randomise(sim::Device& device, unsigned seed) {
  std::mt19937 random(seed);
  Bytes bytes(kConfigurationEnd - kConfigurationStart);
  for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>(random());
  device.memory().poke(kConfigurationStart, bytes);
  // The access masks inside the modes area guard the device, not its
  // configuration: left open, or the upload would stop at a password.
  device.memory().set_masks({0xFF, 0xFF, 0xFF, 0xFF});
}

// Bytes that the pages rebuild from what they show instead of copying them,
// so a download may write them differently from the file: the shown
// channel's direction, country and coin code (out-of-range values become
// "none", bits 6-7 of the coin code are set); the I/O records' flag bytes;
// the common parameters the configuration page derives (multiprice mode,
// display type and data, sorter number); statistic options that are not in
// the installation's list.
bool normalised(unsigned address) {
  const unsigned shown_channel = 0x0570;
  if (address >= shown_channel + 27 && address <= shown_channel + 29) return true;
  if (address >= 0x0770 && address < 0x07B0 && (address % 8 == 3 || address % 8 == 7)) return true;
  for (unsigned derived : {0x0805u, 0x0808u, 0x0809u, 0x080Cu}) {
    if (address == derived) return true;
  }
  return address >= 0x081A && address <= 0x082D;
}

const std::vector<std::string> kFinished = {language_text(msg::kOperationFinished)};

// Uploads everything and saves it as name.txt; the text of name.xml, the
// name File Save gives it.
std::string upload_to_file(ConfigBench& bench, TempDir& dir, const std::string& name) {
  bench.ui.clear();
  EXPECT_TRUE(bench.app.upload());
  EXPECT_EQ(bench.ui.informations(), kFinished);
  bench.ui.save_files.push_back(dir.file(name + ".txt"));
  EXPECT_TRUE(bench.app.save_file());
  return dir.read(name + ".xml");
}

// One round trip copies every other byte; after it the configuration is
// a fixed point: a second round trip gives the same file and the same bytes.
TEST(RoundTrip, RandomImagesSurviveUploadDownloadUpload) {
  for (unsigned seed = 1; seed <= 3; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    TempDir dir;
    ConfigBench first({}, dir.path());
    randomise(first.device(), seed);
    ASSERT_FALSE(upload_to_file(first, dir, "first").empty()) << "saved under .xml";

    const auto copy_into = [&](ConfigBench& bench, const std::string& file) {
      fill(bench.device(), 0xFF);
      bench.ui.open_files.push_back(dir.file(file));
      ASSERT_TRUE(bench.app.open_file());
      ASSERT_TRUE(bench.app.download());
      EXPECT_EQ(bench.ui.errors(), std::vector<std::string>{});
    };
    ConfigBench second(erased_device(), dir.path());
    copy_into(second, "first.xml");
    const std::string second_file = upload_to_file(second, dir, "second");
    ConfigBench third(erased_device(), dir.path());
    copy_into(third, "second.xml");
    EXPECT_EQ(upload_to_file(third, dir, "third"), second_file);

    const auto& source = first.device().memory().nv();
    const auto& copy = second.device().memory().nv();
    const auto& again = third.device().memory().nv();
    for (const auto& [address, length] : template_items()) {
      for (unsigned at = address; at < address + length; ++at) {
        if (!normalised(at)) {
          EXPECT_EQ(copy[at], source[at]) << std::hex << "at 0x" << at;
        }
        EXPECT_EQ(again[at], copy[at]) << std::hex << "at 0x" << at;
      }
    }
  }
}

}  // namespace
}  // namespace qv82::test
