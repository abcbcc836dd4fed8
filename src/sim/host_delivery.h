#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "link/bytes.h"
#include "sim/scheduler.h"

namespace qv82::sim {

// How the bytes on the wire reach the host program: the adapter between the
// bus and the computer. A UART hands over each byte as it ends; USB adapters
// gather bytes into blocks.
struct DeliveryPattern {
  enum class Kind {
    ByteByByte,  // each byte when its last bit has passed
    Block,       // the echo and the reply each in one piece, when their last byte has passed
    Chunks,      // blocks of `chunk` bytes; the rest of a burst when it ends
    Held,        // an adapter's latency timer: bytes held until `hold_us` after the first of
                 // them, or until a USB packet is full
  };
  Kind kind = Kind::ByteByByte;
  std::size_t chunk = 1;
  std::uint64_t hold_us = 0;

  // "byte", "block", "N" (blocks of N bytes) or "held:L" (L ms adapter
  // latency); nullopt for anything else.
  static std::optional<DeliveryPattern> parse(const std::string& text);
  // The same words back, for the benchmarks' tables.
  std::string name() const;
};

// Stands between the wire and the host sink and hands bytes over as the
// pattern says. Bytes are never reordered or lost.
class HostDelivery {
 public:
  using Sink = std::function<void(const Bytes& bytes, int baud)>;
  // The payload of a full-speed USB packet of an FTDI adapter (64 bytes less
  // two status bytes): a full one goes out before the latency timer ends.
  static constexpr std::size_t kUsbPacketBytes = 62;

  explicit HostDelivery(Scheduler& scheduler) : scheduler_(scheduler) {}

  void set_sink(Sink sink) { sink_ = std::move(sink); }
  void set_pattern(const DeliveryPattern& pattern);
  const DeliveryPattern& pattern() const { return pattern_; }

  // A byte has finished on the wire; ends_burst when no other byte follows
  // it straight away on the same wire.
  void arrive(std::uint8_t byte, int baud, bool ends_burst);

 private:
  void flush();

  Scheduler& scheduler_;
  Sink sink_;
  DeliveryPattern pattern_;
  Bytes held_;
  int held_baud_ = 0;
  // Tells a pending latency flush whether its bytes are still the ones held.
  std::uint64_t generation_ = 0;
};

}  // namespace qv82::sim
