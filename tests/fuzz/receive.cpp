// The receive path: whatever the line brings, in bursts with gaps of any
// length, through the transactions of the transaction holder over the
// simulated line, in virtual time.
//
// Input: bursts, one per request the host sends. A burst is a count byte,
// then that many pieces of [gap in 0.2 ms steps][length][bytes].
#include <cstddef>
#include <cstdint>

#include "fuzz_bench.h"
#include "link/cctalk_link.h"
#include "link/errors.h"
#include "sim/bus.h"
#include "sim/simulated_setup.h"

namespace {

using namespace qv82;

class HostileDevice : public sim::BusDevice {
 public:
  HostileDevice(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::size_t expected = 0;  // bytes of the request the next burst answers

  void receive(std::uint8_t, int baud) override {
    if (++heard_ != expected) return;
    heard_ = 0;
    if (at_ >= size_) return;
    std::size_t pieces = data_[at_++];
    std::uint64_t gap_us = 0;
    for (; pieces > 0 && at_ + 2 <= size_; --pieces) {
      gap_us += 200u * data_[at_];
      const std::size_t length = std::min<std::size_t>(data_[at_ + 1], size_ - at_ - 2);
      transmit(Bytes(data_ + at_ + 2, data_ + at_ + 2 + length), baud, gap_us);
      at_ += 2 + length;
    }
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
  std::size_t heard_ = 0;
};

// An accepted reply is one whole frame: length byte, data and checksum agree.
bool whole_frame(const Bytes& reply) {
  return reply.size() >= 5 && reply.size() == 5u + reply[1] &&
         cctalk_checksum(reply.data(), reply.size() - 1) == reply.back();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sim::SetupOptions options;
  options.device_port = "";
  sim::SimulatedSetup setup(options);
  HostileDevice device(data, size);
  setup.line().bus("SIM").attach(device);
  CcTalkLink link(setup.line(), setup.clock());

  const Bytes memory_read = {0xF6, 0x05, 0x70, 0x20};
  device.expected = build_frame(2, memory_read).size();
  Bytes reply;
  std::uint8_t result = link.cctalk_transaction(2, memory_read, reply, 30);
  QV82_FUZZ_CHECK(result <= kTransactionTimeout);
  if (result == kTransactionOk) {
    QV82_FUZZ_CHECK(whole_frame(reply));
    QV82_FUZZ_CHECK(reply_data(reply).size() == reply[1]);
  }

  // The date code asks for the base year and reads its text as a number.
  device.expected = build_frame(2, Bytes{0xAA}).size();
  try {
    (void)link.decode_date_code(0x1234);
  } catch (const ConversionError&) {
  }

  // The firmware monitor's unframed exchange.
  const Bytes monitor = {'S', '1', '0', '5'};
  device.expected = monitor.size();
  Bytes monitor_reply;
  result = link.raw_transfer(monitor, 3, 20, monitor_reply);
  QV82_FUZZ_CHECK(result == kRawOk ? monitor_reply.size() == 3 : result == kRawFailed);
  setup.line().bus("SIM").detach(device);
  return 0;
}
