#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "link/bytes.h"
#include "link/cctalk_link.h"
#include "sim/image_file.h"
#include "sim/simulated_setup.h"

namespace qv82::test {

// The memory image a simulator saved (--save-image, the console's save).
inline sim::Memory::Image saved_image(const std::string& path) {
  sim::Memory::Image image{};
  std::string error;
  EXPECT_TRUE(sim::load_image_file(path, image, error)) << error;
  return image;
}

// A transaction holder on a virtual-time line to one default simulated coin
// selector (address 2, masks FF, password 123456789ABC, PIN 12345678).
// Derive and pass SetupOptions to change the bench.
class SimFixture : public ::testing::Test {
 protected:
  explicit SimFixture(sim::SetupOptions options = {})
      : setup(std::move(options)), link(setup.line(), setup.clock()) {
    link.device_address = setup.device().address();
  }

  sim::Device& device() { return setup.device(); }

  // One framed exchange with the device at link.device_address.
  std::uint8_t transact(const Bytes& command, Bytes& reply, int max_polls = 10);
  // The data of an acknowledged reply; nothing on a failed or refused one.
  std::optional<Bytes> ask(const Bytes& command, int max_polls = 10);
  // True when the device acknowledged the command.
  bool acked(const Bytes& command, int max_polls = 10);
  // Challenge and response with the given (default: the device's) password.
  bool unlock_factory(std::optional<Bytes> password = std::nullopt);
  // Every channel enabled and the master inhibit lifted: coins can be accepted.
  void enable_all_coins() {
    ASSERT_TRUE(acked({0xE7, 0xFF, 0xFF}, 15));
    ASSERT_TRUE(acked({0xE4, 0x01}, 15));
  }

  sim::SimulatedSetup setup;
  CcTalkLink link;
};

}  // namespace qv82::test
