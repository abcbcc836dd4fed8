#pragma once

#include <cstdint>

#include "sim/bus.h"
#include "sim/frame_assembler.h"

namespace qv82::sim {

// A second device on the bus that takes part in the address poll and in
// nothing else: enough to make the poll ambiguous.
class PollResponder : public BusDevice {
 public:
  explicit PollResponder(std::uint8_t address = 3, int baud = 9600)
      : address_(address), baud_(baud) {}
  void receive(std::uint8_t byte, int baud) override;
  std::uint8_t address() const { return address_; }

 private:
  std::uint8_t address_;
  int baud_;
  FrameAssembler frames_;
};

}  // namespace qv82::sim
